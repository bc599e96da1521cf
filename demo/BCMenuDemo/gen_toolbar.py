#!/usr/bin/env python3
"""Draws the demo's toolbar bitmap, toolbar.bmp: seven 16 x 15 images side by side in 16
colours (New, Open, Save, Cut, Copy, Paste, Help), in the toolbar resource's button order.

Light grey is the background: loaded with the button colours it becomes the 3-D face colour,
which the menu treats as transparent. The file is committed; re-running this reproduces it.
"""
import os
import struct

OUT = os.path.dirname(os.path.abspath(__file__))

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
INK = {'.': 7, 'k': 0, 'g': 8, 'w': 15, 'y': 11, 'o': 3, 'b': 12, 'n': 4, 'r': 9}

NEW = [
    "................",
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkkkk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
]
OPEN = [
    "................",
    "................",
    ".kkkkk..........",
    "kyyyyyk.........",
    "kyyyyyykkkkkkkk.",
    "kyyyyyyyyyyyyyk.",
    "kywyyyyyyyyyyyk.",
    "kyyyyyyyyyyyyyk.",
    "kyyyyyyyyyyyyyk.",
    "kyyyyyyyyyyyyyk.",
    "koooooooooooook.",
    "kkkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
]
SAVE = [
    "................",
    ".nnnnnnnnnnnnn..",
    ".nnwwwwwwwwwnn..",
    ".nnwwwwwwwwwnn..",
    ".nnwrrrrrrrwnn..",
    ".nnwwwwwwwwwnn..",
    ".nnnnnnnnnnnnn..",
    ".nnnnnnnnnnnnn..",
    ".nnngggggggnnn..",
    ".nnnggkkgggnnn..",
    ".nnnggkkgggnnn..",
    ".nnngggggggnnn..",
    ".nnnnnnnnnnnnn..",
    "................",
    "................",
]
CUT = [
    "................",
    "....k.....k.....",
    "....k.....k.....",
    ".....k...k......",
    ".....k...k......",
    "......k.k.......",
    "......k.k.......",
    ".......k........",
    "......bkb.......",
    "....bbb.bbb.....",
    "...b..b.b..b....",
    "...b..b.b..b....",
    "...b..b.b..b....",
    "....bb...bb.....",
    "................",
]
COPY = [
    "kkkkkkkk........",
    "kwwwwwwk........",
    "kwkkkkwk........",
    "kwwwwwwk........",
    "kwkkkkwk........",
    "kwwwwkkkkkkkkk..",
    "kwkkkkwwwwwwwk..",
    "kwwwwkwkkkkkwk..",
    "kwkkkkwwwwwwwk..",
    "kkkkkkwkkkkkwk..",
    ".....kwwwwwwwk..",
    ".....kwkkkkkwk..",
    ".....kwwwwwwwk..",
    ".....kkkkkkkkk..",
    "................",
]
PASTE = [
    "................",
    "......kk........",
    "..kkkkggkkkk....",
    ".kooookkoooook..",
    ".koookkkkkkkkkk.",
    ".koookwwwwwwwwk.",
    ".koookwkkkkkkwk.",
    ".koookwwwwwwwwk.",
    ".koookwkkkkkkwk.",
    ".koookwwwwwwwwk.",
    ".koookwkkkkkwwk.",
    ".koookwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
]
HELP = [
    "................",
    ".....bbbbb......",
    "....bb...bb.....",
    "....bb...bb.....",
    ".........bb.....",
    "........bb......",
    ".......bb.......",
    "......bb........",
    "......bb........",
    "......bb........",
    "................",
    "......bb........",
    "......bb........",
    "................",
    "................",
]
IMAGES = [NEW, OPEN, SAVE, CUT, COPY, PASTE, HELP]
W, H = 16, 15

for art in IMAGES:
    assert len(art) == H and all(len(row) == W for row in art), art

rows = [[INK[c] for art in IMAGES for c in art[y]] for y in range(H)]
width = len(rows[0])
data = b""
for row in reversed(rows):  # bottom-up
    line = bytes((row[i] << 4) | row[i + 1] for i in range(0, width, 2))
    data += line + b"\0" * (-len(line) % 4)
palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
header = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 4, 0, len(data), 2835, 2835, 0, 0)
offset = 14 + len(header) + len(palette)
with open(os.path.join(OUT, "toolbar.bmp"), "wb") as f:
    f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset))
    f.write(header + palette + data)
