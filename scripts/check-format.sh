#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format (per .clang-format) would write.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
    echo "clang-format not found (scripts/deps.sh --test installs it)" >&2
    exit 1
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
else
    dirs=()
    for d in src tests bench fuzz tools; do [[ -d $d ]] && dirs+=("$d"); done
    mapfile -t files < <(find "${dirs[@]}" \( -name '*.cpp' -o -name '*.h' \) | sort)
fi

checked=0
off=()
for f in "${files[@]}"; do
    # A tracked file deleted in the working tree has nothing to check.
    [[ -f $f ]] || continue
    checked=$((checked + 1))
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        off+=("$f")
    fi
done

if ((${#off[@]})); then
    echo "Not formatted per .clang-format (fix with: clang-format -i FILE):"
    printf '  %s\n' "${off[@]}"
    exit 1
fi
echo "Format: $checked files OK"
