#!/usr/bin/env python3
"""Draws the toolbar bitmaps of the bitmap-menu tests: tb16.bmp (16 colours) and tb256.bmp
(256 colours), each three 16 x 15 images side by side.

Every image has a light-grey background, a black, a dark-grey and a white marker pixel at
(1, 1), (2, 1) and (3, 1), and a filled square (4..11, 4..10) in red, blue and green. The files
are committed; re-running this reproduces them byte for byte.
"""
import os
import struct

OUT = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, in palette order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SILVER, BLACK, GRAY, WHITE = 7, 0, 8, 15
SQUARES = [9, 12, 10]  # red, blue, green
W, H = 16, 15


def image_pixels():
    rows = []
    for y in range(H):
        row = []
        for k, square in enumerate(SQUARES):
            for x in range(W):
                p = SILVER
                if 4 <= x <= 11 and 4 <= y <= 10:
                    p = square
                elif y == 1 and x in (1, 2, 3):
                    p = {1: BLACK, 2: GRAY, 3: WHITE}[x]
                row.append(p)
        rows.append(row)
    return rows


def write_bmp(name, bits, colours):
    rows = image_pixels()
    width = len(rows[0])
    data = b""
    for row in reversed(rows):  # bottom-up
        if bits == 4:
            line = bytes((row[i] << 4) | row[i + 1] for i in range(0, width, 2))
        else:
            line = bytes(row)
        data += line + b"\0" * (-len(line) % 4)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    header = struct.pack("<IiiHHIIiiII", 40, width, H, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(header) + len(palette)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset))
        f.write(header + palette + data)


write_bmp("tb16.bmp", 4, PALETTE)
write_bmp("tb256.bmp", 8, PALETTE + [(0, 0, 0)] * 240)
