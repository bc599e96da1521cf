#!/usr/bin/env python3
"""Draws the toolbar bitmaps of the bitmap-menu tests, tb16.bmp (16 colours) and tb256.bmp (256):
three 16 x 15 images side by side, each light grey with black, dark-grey and white marker pixels
at (1..3, 1) and a square (4..11, 4..10) in red, blue and green. Committed; re-running this
reproduces them byte for byte."""
import os
import struct

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
MARKERS = {1: 0, 2: 8, 3: 15}  # black, dark grey, white
ROWS = [[sq if 4 <= x <= 11 and 4 <= y <= 10 else MARKERS.get(x, 7) if y == 1 else 7
         for sq in (9, 12, 10) for x in range(16)] for y in range(15)]


def write_bmp(name, bits, palette):
    pack = (lambda r: bytes((r[i] << 4) | r[i + 1] for i in range(0, len(r), 2))) if bits == 4 else bytes
    data = b"".join(pack(r) + b"\0" * (-len(pack(r)) % 4) for r in reversed(ROWS))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, len(ROWS[0]), len(ROWS), 1, bits, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(header) + len(colours)
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header + colours + data)


write_bmp("tb16.bmp", 4, PALETTE)
write_bmp("tb256.bmp", 8, PALETTE + [(0, 0, 0)] * 240)
