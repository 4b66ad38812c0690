#!/usr/bin/env python3
"""Packs the PNG icons in packaging/icons into packaging/windows/tunemark.ico for the Windows
executable. Run by scripts/make-icons.sh; Windows Vista and later read PNG images inside ICO."""
import struct
from pathlib import Path

root = Path(__file__).resolve().parent.parent
sizes = [16, 24, 32, 48, 64, 128, 256]
images = [(root / f"packaging/icons/{s}x{s}/tunemark.png").read_bytes() for s in sizes]

header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries = b""
for size, data in zip(sizes, images):
    side = size % 256  # 0 stands for 256
    entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
(root / "packaging/windows/tunemark.ico").write_bytes(header + entries + b"".join(images))
