#!/usr/bin/env bash
# Compares Tunemark's reading of ID3v2 tags with python3-mutagen's on real-world files: the MP3
# and ID3 files of the test suites of Debian source packages (tag libraries, players, Perl
# modules). Prints each difference by class, then the count of each class. Not part of CI: it
# needs the network, and adds a deb-src entry of its own to apt for the while (removed after).
#
#     scripts/compare-id3v2.sh [BUILD]    BUILD: a build folder with tools (default build-dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-dev}
reader=$build/tools/tunemark_read_tags
[[ -x $reader ]] || cmake --build "$build" --target tunemark_read_tags
/usr/bin/python3 -c 'import mutagen' 2>/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends python3-mutagen

packages=(mutagen taglib libmp3-tag-perl libaudio-scan-perl libimage-exiftool-perl eyed3
          mediainfo libid3tag id3lib3.8.3 id3v2 puddletag quodlibet)
work=$(mktemp -d)
sources=/etc/apt/sources.list.d/tunemark-compare.sources
cleanup() {
    rm -f "$sources"
    apt-get update -qq || true
    rm -rf "$work"
}
trap cleanup EXIT
# The deb entries of the system, as deb-src.
entries=$(for file in /etc/apt/sources.list.d/*.sources; do
    [[ $file == "$sources" ]] || { sed -n 's/^Types: deb$/Types: deb-src/p; /^Types:/!p' "$file"; echo; }
done)
printf '%s\n' "$entries" >"$sources"
if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"${sources%.sources}.list"
fi
apt-get update -qq
(
    cd "$work"
    for p in "${packages[@]}"; do
        apt-get source -qq --download-only "$p" >/dev/null 2>&1 || echo "not all of the source of $p came" >&2
    done
    # The upstream tarballs hold the test files; a Debian part the mirror lacks does not matter.
    for archive in *.orig.tar.*; do
        [[ -e $archive ]] || continue
        mkdir -p "${archive%%.orig.tar.*}" && tar -xf "$archive" -C "${archive%%.orig.tar.*}"
    done
)
mapfile -d '' files < <(find "$work" -type f \( -iname '*.mp3' -o -iname '*.id3' -o -iname '*.tag' \
    -o -iname '*.mp2' \) -size -20M -print0 | sort -z)
echo "${#files[@]} files"
"$reader" "${files[@]}" >"$work/tunemark.json"

/usr/bin/python3 - "$work/tunemark.json" "$work" <<'PY'
import collections, json, sys
import mutagen.id3

ours = json.load(open(sys.argv[1]))
root = sys.argv[2]
frames = {"title": ["TIT2"], "singer": ["TPE1"], "album": ["TALB"], "track": ["TRCK"],
          "year": ["TDRC", "TYER"], "disc": ["TPOS"], "albumArtist": ["TPE2"]}
classes = collections.Counter()
for entry in ours:
    path = entry["file"]
    name = path[len(root) + 1:]
    # Latin-1 frames: mutagen reads them as Latin-1, Tunemark in the chosen code page, of which
    # windows-1252 is the nearest. A field ID3v1 filled in where ID3v2 had none counts apart.
    def reading(id3v2):
        return next(r for r in entry["readings"]
                    if r["encoding"] == "windows-1252" and r["id3v2"] == id3v2)
    with_v2, only_v1 = reading(True), reading(False)
    try:
        tag = mutagen.id3.ID3(path)
    except Exception:
        tag = None
    for field, ids in frames.items():
        mine = with_v2.get(field, "")
        text = ""
        for i in ids:
            frame = tag.get(i) if tag is not None else None
            if frame is not None and getattr(frame, "text", None):
                text = str(frame.text[0])
                break
        if mine == text:
            classes["same"] += 1
            continue
        if not text and mine == only_v1.get(field, ""):
            classes["ID3v1 where ID3v2 has none"] += 1
            continue
        if tag is None:
            cls = "mutagen reads no tag"
        elif not mine:
            cls = "only mutagen reads it"
        elif not text:
            cls = "only Tunemark reads it"
        elif mine.strip("\x00 ") == text.strip("\x00 "):
            cls = "blanks or NULs at the end"
        elif field == "year" and text.startswith(mine[:4]):
            cls = "year: a date against its year"
        else:
            cls = "different text"
        classes[cls] += 1
        print(f"{cls}: {name} {field}: Tunemark {mine!r}, mutagen {text!r}")
print()
for cls, n in classes.most_common():
    print(f"{n:6d}  {cls}")
PY
