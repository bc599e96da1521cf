#!/usr/bin/env python3
"""Draws Mnemora.Net's icons and bitmaps into res/.

Standard library only, so anyone can redraw the pictures; the output is
committed and the build never runs this. Re-running it reproduces the files
byte for byte.

Every painted bitmap is drawn for 100, 125, 150 and 200 % (96, 120, 144 and
192 DPI): name.bmp, and name_125.png, name_150.png, name_200.png, which the
program keeps compressed. The icons hold one image per size the program asks
for at those scales. The 100 % pictures are drawn exactly as before the other
scales existed.
"""
import math
import os
import struct
import zlib

OUT = os.path.dirname(os.path.abspath(__file__))

BLUE = (0, 105, 179)
RED = (193, 26, 26)
BAND = (222, 223, 222)      # caption band of the painted frame
BOX = (181, 182, 181)
WHITE = (255, 255, 255)

# (file suffix, DPI) of every scale a bitmap is drawn for.
SCALES = (('', 96), ('_125', 120), ('_150', 144), ('_200', 192))


def scaled(v, dpi):
    """A length drawn for 96 DPI at dpi, rounded as the program's MulDiv rounds."""
    return (v * dpi + 48) // 96


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def to_byte(v):
    v = int(v + 0.5)
    return 0 if v < 0 else 255 if v > 255 else v


class Canvas:
    """Straight-alpha RGBA float canvas, top row first."""

    def __init__(self, w, h, color=(0, 0, 0), alpha=0.0):
        self.w, self.h = w, h
        self.px = [[list(color) + [alpha] for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, color, a):
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        da = p[3]
        oa = a + da * (1.0 - a)
        if oa <= 0.0:
            return
        for i in range(3):
            p[i] = (color[i] * a + p[i] * da * (1.0 - a)) / oa
        p[3] = oa

    def set(self, x, y, color, a=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = list(color) + [a]

    def shade(self, coverage, color_at, bbox=None, opacity=1.0):
        """Blend color_at(x, y) weighted by coverage(cx, cy) at pixel centres."""
        x0, y0, x1, y1 = bbox if bbox else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                c = coverage(x + 0.5, y + 0.5)
                if c > 0.0:
                    self.blend(x, y, color_at(x, y), c * opacity)

    def fill(self, coverage, color, bbox=None, opacity=1.0):
        self.shade(coverage, lambda x, y: color, bbox, opacity)


# Coverage helpers: signed distances, anti-aliased over one pixel.

def rrect_sdf(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def rrect(x0, y0, x1, y1, r):
    return lambda px, py: clamp01(0.5 - rrect_sdf(px, py, x0, y0, x1, y1, r))


def rrect_ring(x0, y0, x1, y1, r, width=1.0):
    def cov(px, py):
        d = rrect_sdf(px, py, x0, y0, x1, y1, r)
        return clamp01(0.5 - d) * clamp01(0.5 + d + width)
    return cov


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0.0 else clamp01(((px - ax) * dx + (py - ay) * dy) / ll)
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def strokes(segs, width):
    """Coverage of round-capped strokes along a list of segments."""
    r = width / 2.0

    def cov(px, py):
        d = min(seg_dist(px, py, *s) for s in segs)
        return clamp01(r + 0.5 - d)
    return cov


def polygon(pts):
    """Coverage of a convex or concave polygon, 4x4 supersampled."""
    n = len(pts)

    def inside(x, y):
        c = False
        for i in range(n):
            x1, y1 = pts[i]
            x2, y2 = pts[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                c = not c
        return c

    def cov(px, py):
        hits = 0
        for sy in range(4):
            for sx in range(4):
                if inside(px - 0.375 + sx * 0.25, py - 0.375 + sy * 0.25):
                    hits += 1
        return hits / 16.0
    return cov


def bbox_of(pts, pad):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad + 1, max(ys) + pad + 1)


# A small stroke font of the letters the banner needs: baseline at y 0, y up,
# x-height 5, cap height 7. Arc points are rounded so that the output does not
# hang on the last bit of the maths library.

def arc(cx, cy, rx, ry, a0, a1, steps=None):
    steps = steps or max(6, int(abs(a1 - a0) / 10))
    pts = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((round(cx + rx * math.cos(a), 6), round(cy + ry * math.sin(a), 6)))
    return pts


GLYPHS = {
    'M': (6.0, [[(0, 0), (0, 7), (3, 2.2), (6, 7), (6, 0)]]),
    'N': (5.0, [[(0, 0), (0, 7), (5, 0), (5, 7)]]),
    'F': (4.2, [[(0, 0), (0, 7), (4.2, 7)], [(0, 3.9), (3.6, 3.9)]]),
    'n': (4.2, [[(0, 0), (0, 5)], [(0, 2.9)] + arc(2.1, 2.9, 2.1, 2.1, 180, 0) + [(4.2, 0)]]),
    'm': (7.2, [[(0, 0), (0, 5)],
                [(0, 3.2)] + arc(1.8, 3.2, 1.8, 1.8, 180, 0) + [(3.6, 0)],
                [(3.6, 3.2)] + arc(5.4, 3.2, 1.8, 1.8, 180, 0) + [(7.2, 0)]]),
    'o': (5.0, [arc(2.5, 2.5, 2.5, 2.5, 0, 360, 48)]),
    'e': (5.0, [[(0, 2.6), (5, 2.6)] + arc(2.5, 2.5, 2.5, 2.5, 0, 315, 40)]),
    'a': (5.0, [arc(2.5, 2.5, 2.5, 2.5, 0, 360, 48), [(5, 5), (5, 0)]]),
    'r': (2.7, [[(0, 0), (0, 5)], [(0, 2.7)] + arc(2.3, 2.7, 2.3, 2.3, 180, 75)]),
    't': (3.2, [[(1.1, 6.6), (1.1, 1.2)] + arc(2.3, 1.2, 1.2, 1.2, 180, 270) + [(3.1, 0)],
                [(0, 5), (3.0, 5)]]),
    'u': (4.2, [[(0, 5), (0, 2.1)] + arc(2.1, 2.1, 2.1, 2.1, 180, 360) + [(4.2, 5)],
                [(4.2, 5), (4.2, 0)]]),
    'y': (4.2, [[(0, 5), (0, 2.1)] + arc(2.1, 2.1, 2.1, 2.1, 180, 360),
                [(4.2, 5), (4.2, -0.6)] + arc(2.1, -0.6, 2.1, 1.9, 360, 200)]),
    '.': (0.0, [[(0, 0), (0, 0)]]),
    ' ': (1.6, []),
}


def text_glyphs(text, x, baseline, scale, width, spacing=1.15):
    """Per-glyph segment lists in pixel space, and the x after the last glyph."""
    glyphs = []
    for ch in text:
        adv, lines = GLYPHS[ch]
        segs = []
        for line in lines:
            pts = [(x + px * scale, baseline - py * scale) for px, py in line]
            if len(pts) == 1:
                pts = pts * 2
            segs += [(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1])
                     for i in range(len(pts) - 1)]
        if segs:
            glyphs.append(segs)
        x += (adv + spacing) * scale + width
    return glyphs, x - spacing * scale - width


def seg_bbox(segs, pad):
    pts = [(s[0], s[1]) for s in segs] + [(s[2], s[3]) for s in segs]
    return bbox_of(pts, pad)


def draw_text(cv, text, x, baseline, scale, width, color, opacity=1.0):
    glyphs, end = text_glyphs(text, x, baseline, scale, width)
    for g in glyphs:
        cv.fill(strokes(g, width), color, seg_bbox(g, width), opacity)
    return end



def bmp24(cv, name):
    stride = (cv.w * 3 + 3) & ~3
    rows = []
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            r, g, b, _ = cv.px[y][x]
            row += bytes((to_byte(b), to_byte(g), to_byte(r)))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(head + info + data)


def png_bytes(cv, alpha):
    """8-bit RGB or RGBA PNG with no colour-space chunks, so a decoder gives the bytes back as they are."""
    rows = []
    for y in range(cv.h):
        row = bytearray(b'\0')
        for x in range(cv.w):
            r, g, b, a = cv.px[y][x]
            ab = to_byte(a * 255.0)
            if alpha:
                row += bytes((to_byte(r), to_byte(g), to_byte(b), ab) if ab else (0, 0, 0, 0))
            else:
                row += bytes((to_byte(r), to_byte(g), to_byte(b)))
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    head = struct.pack('>IIBBBBB', cv.w, cv.h, 8, 6 if alpha else 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', head) + chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) +
            chunk(b'IEND', b''))


def png24(cv, name):
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(png_bytes(cv, False))


def icon_image(cv):
    """One 32-bit icon image: BGRA colour rows plus the 1-bit AND mask."""
    xor = bytearray()
    mask = bytearray()
    mstride = ((cv.w + 31) // 32) * 4
    for y in range(cv.h - 1, -1, -1):
        bits = bytearray(mstride)
        for x in range(cv.w):
            r, g, b, a = cv.px[y][x]
            ab = to_byte(a * 255.0)
            if ab == 0:
                xor += b'\0\0\0\0'
            else:
                xor += bytes((to_byte(b), to_byte(g), to_byte(r), ab))
            if ab < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico(canvases, name, classic=1):
    """The first `classic` images as bitmaps, as icons always were; the rest PNG-compressed,
    which Windows reads from Vista on."""
    images = [icon_image(c) if i < classic else png_bytes(c, True) for i, c in enumerate(canvases)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(out + b''.join(images))


PIXEL_COLOURS = {
    'p': (176, 182, 190),           # pin
    'q': (122, 128, 138),           # pin, shaded half
    'o': (0, 58, 104),              # body outline
    'O': (0, 58, 104, 0.45),        # body outline, soft corner
    'l': (52, 146, 212),            # body, lit top edge
    'b': BLUE,
    'd': (0, 86, 150),              # body, shaded bottom edge
    'w': WHITE,
    'r': RED,
}


def paint_pixels(cv, rows, x0=0, y0=0):
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch in PIXEL_COLOURS:
                c = PIXEL_COLOURS[ch]
                cv.blend(x0 + x, y0 + y, c[:3], c[3] if len(c) > 3 else 1.0)


# Memory chip with pins on every side, a red pin-1 mark and three rising bars.
CHIP_16 = [
    '................',
    '.....pp..pp.....',
    '.....qq..qq.....',
    '...OooooooooO...',
    '...ollllllllo...',
    '.pqobrrbbbwbobp.',
    '.pqobrrbbbwbobp.',
    '...obbbbwbwbo...',
    '...obbbbwbwbo...',
    '.pqobbwbwbwbobp.',
    '.pqobbwbwbwbobp.',
    '...oddddddddo...',
    '...OooooooooO...',
    '.....qq..qq.....',
    '.....pp..pp.....',
    '................',
]


def chip(cv, s=1.0):
    """The 32 x 32 chip at scale s, with pixel-aligned edges at 1."""
    def box(x0, y0, x1, y1, r, color, opacity=1.0):
        cv.fill(rrect(x0 * s, y0 * s, x1 * s, y1 * s, r * s), color, None, opacity)

    for i in range(4):
        p = 9 + 4 * i
        for (x0, y0, x1, y1, sx0, sy0, sx1, sy1) in (
                (p, 2, p + 2, 6, p, 4, p + 2, 6), (p, 26, p + 2, 30, p, 26, p + 2, 28),
                (2, p, 6, p + 2, 4, p, 6, p + 2), (26, p, 30, p + 2, 26, p, 28, p + 2)):
            box(x0, y0, x1, y1, 0.3, PIXEL_COLOURS['p'])
            box(sx0, sy0, sx1, sy1, 0.0, PIXEL_COLOURS['q'])
    top, bot = (58, 150, 215), (0, 84, 148)
    cv.shade(rrect(6 * s, 6 * s, 26 * s, 26 * s, 2.5 * s),
             lambda x, y: lerp(top, bot, clamp01((y + 0.5 - 6 * s) / (20.0 * s))))
    box(7, 7, 25, 16, 1.5, WHITE, 0.10)
    cv.fill(rrect_ring(6 * s, 6 * s, 26 * s, 26 * s, 2.5 * s, 1.0 * s), PIXEL_COLOURS['o'])
    cv.fill(lambda px, py: clamp01(2.5 * s - math.hypot(px - 11 * s, py - 11 * s)), RED)
    for i, hgt in enumerate((5, 9, 13)):
        x = 12 + 4 * i
        box(x, 22 - hgt, x + 3, 22, 0.5, WHITE)


def app_icon(size):
    cv = Canvas(size, size)
    if size == 16:
        paint_pixels(cv, CHIP_16)
    else:
        chip(cv, size / 32.0)
    return cv


def bolt_points(x, y, s):
    # Lightning bolt in a unit box, scaled by s.
    pts = [(0.62, 0.0), (0.10, 0.58), (0.42, 0.58), (0.26, 1.0), (0.90, 0.36), (0.56, 0.36), (0.80, 0.0)]
    return [(x + px * s, y + py * s) for px, py in pts]


def optimize_icon(size=32):
    # The image button lays this icon out at half its size (taken from the hotspot) but draws
    # it at its natural size, so the picture lives in the top-left quarter and the rest stays
    # transparent.
    cv = Canvas(size, size)
    k = size / 32.0
    if size == 32:
        paint_pixels(cv, CHIP_16, 0, 0)
    else:
        chip(cv, k / 2.0)
    bolt = bolt_points(5.0 * k, 0.0, 13.0 * k)
    ring = [(bolt[i][0], bolt[i][1], bolt[(i + 1) % 7][0], bolt[(i + 1) % 7][1]) for i in range(7)]
    cv.fill(strokes(ring, 1.7 * k), (132, 60, 0), bbox_of(bolt, 2 * k))
    cv.shade(polygon(bolt), lambda x, y: lerp((255, 226, 92), (246, 150, 24), clamp01(y / (13.0 * k))),
             bbox_of(bolt, 1 * k))
    return cv


def caption_button(glyph, hot, dpi=96):
    w, h = scaled(17, dpi), scaled(16, dpi)
    s = dpi / 96.0
    cv = Canvas(w, h, BAND, 1.0)
    if hot and glyph == 'close':
        face_top, face_bot, edge, ink = (214, 60, 55), RED, (140, 16, 16), WHITE
    elif hot:
        face_top, face_bot, edge, ink = WHITE, (214, 232, 248), (96, 150, 200), BLUE
    else:
        face_top, face_bot, edge, ink = (236, 237, 236), BAND, BOX, (90, 89, 90)
    # Whole-pixel edges stay sharp; they grow with the scale in whole steps.
    edge_width = float(int(s + 0.5))
    cv.shade(rrect(0, 0, w, h, 3.0 * s), lambda x, y: lerp(face_top, face_bot, y / (h - 1.0)))
    cv.fill(rrect_ring(0, 0, w, h, 3.0 * s, edge_width), edge)
    if dpi == 96:
        for y, row in enumerate(CAPTION_GLYPHS[glyph]):
            for x, ch in enumerate(row):
                if ch != '.':
                    a = 1.0 if ch == '#' else 0.45
                    gx = 8 - len(row) // 2 + x
                    cv.blend(gx, 4 + y, ink, a)
    else:
        caption_glyph(cv, glyph, w, h, s, ink)
    return cv


def caption_glyph(cv, glyph, w, h, s, ink):
    """The 7 x 7 pixel glyphs of the 100 % buttons as shapes, for the larger scales."""
    g = int(7 * s + 0.5)
    x0, y0 = (w - g) // 2, (h - g) // 2
    u = g / 7.0

    def at(ux, uy):
        return (x0 + ux * u, y0 + uy * u)

    box = (x0 - 2, y0 - 2, x0 + g + 2, y0 + g + 2)
    if glyph == 'close':
        a, b, c, d = at(1.0, 1.0), at(6.0, 6.0), at(6.0, 1.0), at(1.0, 6.0)
        cv.fill(strokes([(a[0], a[1], b[0], b[1]), (c[0], c[1], d[0], d[1])], 1.9 * u), ink, box)
    elif glyph == 'minimize':
        cv.fill(rrect(x0, y0 + g - int(2 * s + 0.5), x0 + g, y0 + g, 0.0), ink, box)
    else:
        hook = arc(3.5, 2.0, 2.4, 1.6, 180, 360, 16) + [(5.9, 2.3), (3.5, 3.6), (3.5, 4.5)]
        pts = [at(px, py) for px, py in hook]
        segs = [(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1]) for i in range(len(pts) - 1)]
        cv.fill(strokes(segs, 1.5 * u), ink, box)
        dx, dy = at(3.5, 6.3)
        cv.fill(lambda px, py: clamp01(0.85 * u + 0.5 - math.hypot(px - dx, py - dy)), ink, box)


CAPTION_GLYPHS = {
    'close': [
        '##...##',
        '###.###',
        '.#####.',
        '..###..',
        '.#####.',
        '###.###',
        '##...##',
    ],
    'minimize': [
        '.......',
        '.......',
        '.......',
        '.......',
        '.......',
        '#######',
        '#######',
    ],
    'help': [
        '.#####.',
        '##...##',
        '....##.',
        '...##..',
        '...##..',
        '.......',
        '...##..',
    ],
}


def trace_segments(paths):
    segs = []
    for pts in paths:
        segs += [(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1]) for i in range(len(pts) - 1)]
    return segs


def memory_module(cv, x0, y0, w, h, s=1.0):
    """A memory module seen from the front: PCB, eight chips, gold contacts."""
    pcb_top, pcb_bot = (22, 118, 186), (0, 78, 140)
    cv.shade(rrect(x0, y0, x0 + w, y0 + h, 1.5 * s),
             lambda x, y: lerp(pcb_top, pcb_bot, clamp01((y + 0.5 - y0) / h)))
    cv.fill(rrect_ring(x0, y0, x0 + w, y0 + h, 1.5 * s, 1.0 * s), (0, 56, 104))
    # Side notches that hold the module in its slot.
    for nx in (x0 - 0.5 * s, x0 + w - 2.5 * s):
        cv.fill(rrect(nx, y0 + h * 0.45, nx + 3 * s, y0 + h * 0.45 + 4 * s, 1.5 * s), WHITE)
    chips, gap, margin = 8, 4.0 * s, 7.0 * s
    cw = (w - 2 * margin - (chips - 1) * gap) / chips
    for i in range(chips):
        cx = x0 + margin + i * (cw + gap)
        cv.fill(rrect(cx, y0 + 3 * s, cx + cw, y0 + h - 8 * s, 1.0 * s), (36, 40, 48))
        cv.fill(rrect(cx + 1 * s, y0 + 3.5 * s, cx + cw - 1 * s, y0 + 5 * s, 0.5 * s), (92, 98, 110))
    # Gold contacts, with the key notch off centre.
    notch = x0 + w * 0.42
    x = x0 + 4.0 * s
    while x + 2 * s <= x0 + w - 4 * s:
        if not (notch - 3 * s < x + 1 * s < notch + 3 * s):
            cv.fill(rrect(x, y0 + h - 5 * s, x + 2 * s, y0 + h - 1 * s, 0.0), (232, 186, 74))
            cv.fill(rrect(x, y0 + h - 5 * s, x + 2 * s, y0 + h - 4 * s, 0.0), (252, 226, 140))
        x += 3.0 * s
    cv.fill(rrect(notch - 2 * s, y0 + h - 5 * s, notch + 2 * s, y0 + h + 1 * s, 1.0 * s), WHITE)


def banner(dpi=96):
    w, h = scaled(507, dpi), scaled(61, dpi)
    s = dpi / 96.0
    cv = Canvas(w, h, BLUE, 1.0)
    light = lerp(BLUE, WHITE, 0.40)
    for y in range(h):
        for x in range(w):
            c = lerp(BLUE, light, (x / (w - 1)) ** 1.4)
            c = lerp(c, (0, 0, 0), 0.12 * (y / (h - 1)))
            cv.set(x, y, c)
    for y in range(h // 2):
        for x in range(w):
            cv.blend(x, y, WHITE, 0.09 * (1.0 - y / (h / 2.0)))

    # Circuit traces running out of the name towards the right.
    paths = [
        [(196, 6), (282, 6), (290, 14), (334, 14)],
        [(268, 22), (286, 22), (294, 30), (318, 30)],
        [(268, 36), (280, 36), (286, 42), (312, 42)],
        [(150, 48), (232, 48), (238, 54), (304, 54)],
        [(168, 56), (214, 56)],
    ]
    paths = [[(px * s, py * s) for px, py in pts] for pts in paths]
    cv.fill(strokes(trace_segments(paths), 1.4 * s), WHITE, (140 * s, 0, 340 * s, h), 0.22)
    for pts in paths:
        for (px, py) in (pts[0], pts[-1]):
            cv.fill(lambda qx, qy, px=px, py=py: clamp01(2.6 * s - math.hypot(qx - px, qy - py)),
                    WHITE, (px - 4 * s, py - 4 * s, px + 5 * s, py + 5 * s), 0.35)

    # Light sweep at the right; the home page link is drawn over it.
    ex, ey, rx, ry = 606.0 * s, 64.0 * s, 290.0 * s, 116.0 * s

    def ellipse_d(px, py):
        return (math.hypot((px - ex) / rx, (py - ey) / ry) - 1.0) * rx

    cv.fill(lambda px, py: clamp01(1.4 * s - abs(ellipse_d(px, py) + 4.5 * s)), RED, (290 * s, 0, w, h))
    cv.shade(lambda px, py: clamp01(0.5 - ellipse_d(px, py)),
             lambda x, y: lerp((222, 236, 250), WHITE, clamp01((x - 320 * s) / (150.0 * s))), (290 * s, 0, w, h))

    memory_module(cv, 344 * s, 38 * s, 152 * s, 19 * s, s)

    # Product name and tagline.
    base, sc, sw = 37 * s, 3.4 * s, 3.4 * s
    glyphs, end = text_glyphs('Mnemora', 18 * s, base, sc, sw)
    for g in glyphs:
        sh = [(a + 1.2 * s, b + 1.6 * s, c + 1.2 * s, d + 1.6 * s) for a, b, c, d in g]
        cv.fill(strokes(sh, sw), (0, 48, 96), seg_bbox(sh, 4 * s), 0.45)
        cv.fill(strokes(g, sw), WHITE, seg_bbox(g, 4 * s))
    glyphs, _ = text_glyphs('.Net', end + 1.0 * sc + sw, base, sc, sw)
    for g in glyphs:
        cv.fill(strokes(g, sw + 3.0 * s), WHITE, seg_bbox(g, 6 * s), 0.95)
        cv.fill(strokes(g, sw), RED, seg_bbox(g, 4 * s))
    draw_text(cv, 'Free your memory', 20 * s, 52 * s, 1.15 * s, 1.25 * s, (214, 232, 248))
    return cv


def main():
    # The 100 % images come first, as they always were; then the sizes the program loads at
    # 125, 150 and 200 %: small icons of 20, 24 and 32, standard ones of 40, 48 and 64.
    ico([app_icon(n) for n in (16, 32, 20, 24, 40, 48, 64)], 'mnemora.ico', 2)
    ico([optimize_icon(n) for n in (32, 40, 48, 64)], 'optimize.ico', 1)
    for suffix, dpi in SCALES:
        def save(cv, name):
            if suffix:
                png24(cv, name + suffix + '.png')
            else:
                bmp24(cv, name + '.bmp')
        for glyph, ids in (('minimize', ('caption_minimize', 'caption_minimize_hot')),
                           ('close', ('caption_close', 'caption_close_hot')),
                           ('help', ('caption_help', 'caption_help_hot'))):
            save(caption_button(glyph, False, dpi), ids[0])
            save(caption_button(glyph, True, dpi), ids[1])
        save(banner(dpi), 'banner')


if __name__ == '__main__':
    main()
