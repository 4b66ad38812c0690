#!/usr/bin/env bash
# Draws the installed PNG icons from packaging/tunemark.svg. Run it by hand when the icon
# changes; the PNG files are kept in the repository so that builds need no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v rsvg-convert >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends librsvg2-bin
fi
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "packaging/icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" packaging/tunemark.svg \
        -o "packaging/icons/${size}x${size}/tunemark.png"
done
python3 scripts/make-ico.py
