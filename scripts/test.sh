#!/usr/bin/env bash
# Builds Tunemark with AddressSanitizer and UBSan (clang, so the fuzz targets build too)
# and runs every test, the fuzz targets over their corpora included.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh --test
cmake -S . -B build-test -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DTUNEMARK_SANITIZE=ON -DTUNEMARK_WERROR=ON -DTUNEMARK_FUZZ=ON >/dev/null
cmake --build build-test
cd build-test
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j"$(nproc)"
