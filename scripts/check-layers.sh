#!/usr/bin/env bash
# Fails when a source includes a header of a library at its own layer or above: each library
# of src/ sees only the layers below it. The same order is checked on the links by CMake
# (cmake/TunemarkLibraries.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."

# The layer of each folder of src/; dialogs/UserDialogs.h alone is the interface the core sees.
declare -A layer=([platform]=0 [tags]=1 [filebox]=1 [settings]=1 [list]=2 [rename]=3
                  [dialogs]=2 [cli]=4 [app]=5)

bad=0
while IFS= read -r -d '' file; do
    own=${file#src/}
    own=${own%%/*}
    while IFS= read -r header; do
        other=${header%%/*}
        [[ $other == "$own" || -z ${layer[$other]:-} ]] && continue
        [[ $header == dialogs/UserDialogs.h ]] && continue
        if ((layer[$other] >= layer[$own])); then
            echo "$file includes $header: $other is not below $own"
            bad=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find src -name '*.cpp' -print0 -o -name '*.h' -print0)

if ((bad)); then
    exit 1
fi
echo "Layers: every include points down"
