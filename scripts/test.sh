#!/usr/bin/env bash
# Builds and runs every check: the formatting, a Windows compile of every product source, the
# core libraries and their tests built without the window, then everything built with
# AddressSanitizer and UBSan (clang, so the fuzz targets build too) and every test run, the
# fuzz targets over their corpora included.
set -euo pipefail
cd "$(dirname "$0")/.."

step() {
    local name=$1
    shift
    local start=$SECONDS
    echo "== $name"
    "$@"
    echo "== $name: $((SECONDS - start)) s"
}

core_only() {
    cmake -S . -B build-core -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DTUNEMARK_GUI=OFF -DTUNEMARK_WERROR=ON >/dev/null
    cmake --build build-core
    ctest --test-dir build-core --output-on-failure -j"$(nproc)"
}

everything() {
    cmake -S . -B build-test -G Ninja \
        -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_COMPILER=clang++ \
        -DTUNEMARK_SANITIZE=ON -DTUNEMARK_WERROR=ON -DTUNEMARK_FUZZ=ON >/dev/null
    cmake --build build-test
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j"$(nproc)"
}

scripts/deps.sh --test
step format scripts/check-format.sh
step windows scripts/check-windows.sh
step core-only core_only
step everything everything
