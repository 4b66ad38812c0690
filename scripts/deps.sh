#!/usr/bin/env bash
# Installs the Debian packages the build needs; does nothing when all are present.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libtag1-dev libicu-dev
    zlib1g-dev qt6-translations-l10n fonts-noto-cjk)
case "${1:-}" in
--test)
    packages+=(clang libclang-rt-14-dev clang-format g++-mingw-w64-x86-64-posix
               binutils-mingw-w64-x86-64 libz-mingw-w64-dev desktop-file-utils appstream exfat-fuse exfatprogs
               fusefat dosfstools)
    ;;
--windows)
    # The Windows build: the MinGW compilers and zlib, the host Qt tools a Qt cross build
    # runs, Wine and a display for the tests, locales for Wine's code pages.
    packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
               xz-utils patch wine wine64 xvfb xauth locales zip)
    ;;
--package)
    packages+=(dpkg-dev file lintian)
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
