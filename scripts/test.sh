#!/usr/bin/env bash
# Builds and runs every check: the formatting, the layers' includes, a Windows compile of
# every product source, the core libraries and their tests built without the window, then
# everything built with
# AddressSanitizer and UBSan (clang, so the fuzz targets build too) and every test run, the
# fuzz targets over their corpora included, then what the install puts in place, and last the
# Windows build of everything with the whole suite run under Wine (scripts/test-windows.sh; its
# Qt and TagLib are built once into a prefix outside the clone and reused after).
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

# What `cmake --install` puts in place, checked as a desktop would read it.
install_check() {
    local root
    root=$(mktemp -d)
    DESTDIR=$root cmake --install build-test --prefix /usr >/dev/null
    local share=$root/usr/share
    local expected=(
        "$root/usr/bin/tunemark"
        "$share/applications/org.tunemark.Tunemark.desktop"
        "$share/metainfo/org.tunemark.Tunemark.metainfo.xml"
        "$share/icons/hicolor/scalable/apps/tunemark.svg"
        "$share/man/man1/tunemark.1.gz"
        "$share/doc/tunemark/copyright"
        "$share/doc/tunemark/changelog.gz"
    )
    for size in 16 22 24 32 48 64 128 256; do
        expected+=("$share/icons/hicolor/${size}x${size}/apps/tunemark.png")
    done
    local missing=0
    for f in "${expected[@]}"; do
        [[ -f $f ]] || { echo "not installed: ${f#"$root"}"; missing=1; }
    done
    desktop-file-validate "$share/applications/org.tunemark.Tunemark.desktop"
    appstreamcli validate --no-net "$share/metainfo/org.tunemark.Tunemark.metainfo.xml"
    rm -rf "$root"
    return $missing
}

scripts/deps.sh --test
step format scripts/check-format.sh
step layers scripts/check-layers.sh
step windows scripts/check-windows.sh
step core-only core_only
step everything everything
step install install_check
step windows-suite scripts/test-windows.sh
