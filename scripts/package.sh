#!/usr/bin/env bash
# Builds the Debian package (release build, installed under /usr) into build-package/ and
# checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh --package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB)
deb=$(ls build-package/tunemark_*.deb)
lintian --fail-on error "$deb"
echo "$deb"
