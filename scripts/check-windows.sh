#!/usr/bin/env bash
# Compiles every source under src/ and tests/ with the MinGW-w64 cross compiler, syntax only, so
# code behind Q_OS_WIN is checked too, and the executable's resource file with its resource
# compiler. There are no Windows Qt libraries here: the Linux Qt
# headers stand in for them, which is fine because Qt picks the platform from the compiler
# (_WIN32), not from its generated config headers.
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=x86_64-w64-mingw32-g++-posix
if ! command -v "$cxx" >/dev/null; then
    echo "$cxx not found (scripts/deps.sh --test installs it)" >&2
    exit 1
fi

qt=""
if command -v qmake6 >/dev/null; then
    qt=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || true)
fi
[[ -n $qt ]] || qt=/usr/include/x86_64-linux-gnu/qt6
if [[ ! -f $qt/QtCore/qglobal.h ]]; then
    echo "Qt headers not found in $qt" >&2
    exit 1
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# Each test ends by including the file moc makes from it; a syntax check needs only a file of
# that name, since nothing is linked.
mkdir "$logs/moc"
while IFS= read -r -d '' test; do
    base=${test##*/}
    : >"$logs/moc/${base%.cpp}.moc"
done < <(find tests -name 'tst_*.cpp' -print0)

# The version, as CMake gives it to every source.
version=$(sed -n 's/^project(Tunemark VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
major=${version%%.*}
minor=${version#*.}

# The Qt root only, never /usr/include itself: glibc's headers would shadow MinGW's.
# The defines are those the build and Qt's CMake targets give on Windows.
flags=(
    -std=c++17 -fsyntax-only -Werror -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast
    -DQT_NO_CAST_FROM_ASCII -DQT_NO_CAST_TO_ASCII -DQT_NO_URL_CAST_FROM_STRING
    -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -DUNICODE -D_UNICODE
    "-DTUNEMARK_VERSION=\"$version\""
    -I src -I tests -I "$logs/moc"
    -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets"
    -isystem "$qt/QtTest"
    # TagLib's own folder only, for the same reason.
    -isystem /usr/include/taglib
)

mapfile -d '' files < <(find src tests bench tools -name '*.cpp' -print0 | sort -z)
if ((${#files[@]} == 0)); then
    echo "No sources found under src/ or tests/" >&2
    exit 1
fi

# Each failing file leaves its errors in a log of its own, so parallel output never mixes.
# shellcheck disable=SC2016 # expanded by the inner shell
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c '
    f=${!#}
    out=$("$@" 2>&1) || printf "%s\n" "$out" >"$0/${f//\//_}.log"
' "$logs" "$cxx" "${flags[@]}"

failed=0
# The resource file, filled in as CMake fills it, compiled by the resource compiler.
rc=$logs/tunemark.rc
sed -e "s|@TUNEMARK_WINDOWS_DIR@|$PWD/packaging/windows|g" \
    -e "s/@PROJECT_VERSION_MAJOR@/$major/g; s/@PROJECT_VERSION_MINOR@/$minor/g" \
    -e "s/@PROJECT_VERSION@/$version/g" \
    packaging/windows/tunemark.rc.in >"$rc"
if grep -q @ "$rc" || ! x86_64-w64-mingw32-windres "$rc" -O coff -o "$logs/tunemark.res.o"; then
    echo "FAIL packaging/windows/tunemark.rc.in"
    failed=$((failed + 1))
fi

for f in "${files[@]}"; do
    log=$logs/${f//\//_}.log
    if [[ -f $log ]]; then
        echo "FAIL $f"
        cat "$log"
        failed=$((failed + 1))
    fi
done

if ((failed)); then
    echo "Windows compile check: $failed failed"
    exit 1
fi
echo "Windows compile check: ${#files[@]} files and the resource file OK"
