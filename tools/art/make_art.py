#!/usr/bin/env python3
"""Draws Springdeck's icons and tree bitmaps and writes them as .ico/.bmp files.

The pictures are made of code: a few drawing primitives on a pixel canvas, two
small bitmap fonts (3x5 for 16x16 images, 5x7 for 32x32 ones) and one function
per picture. Only the Python standard library is used; the .ico, .bmp and
preview .png bytes are written by hand.

    python3 tools/art/make_art.py                  # rewrite src/resources/art/
    python3 tools/art/make_art.py --preview x.png  # also write a 4x contact sheet
"""

import argparse
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Canvas and drawing primitives. A canvas is a list of rows; a pixel is an
# (r, g, b) tuple or None for transparent.
# ---------------------------------------------------------------------------

def canvas(w, h, fill=None):
    return [[fill] * w for _ in range(h)]


def size_of(c):
    return len(c[0]), len(c)


def put(c, x, y, col):
    w, h = size_of(c)
    if 0 <= x < w and 0 <= y < h:
        c[y][x] = col


def rect(c, x0, y0, x1, y1, col):
    """Fills the rectangle with corners (x0, y0) and (x1, y1), both inclusive."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(c, x, y, col)


def frame(c, x0, y0, x1, y1, col):
    rect(c, x0, y0, x1, y0, col)
    rect(c, x0, y1, x1, y1, col)
    rect(c, x0, y0, x0, y1, col)
    rect(c, x1, y0, x1, y1, col)


def line(c, x0, y0, x1, y1, col):
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        put(c, x0, y0, col)
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def polygon(c, pts, col):
    """Even-odd fill of a polygon, sampling at pixel centres."""
    w, h = size_of(c)
    for y in range(h):
        yc = y + 0.5
        xs = []
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            if (ay <= yc < by) or (by <= yc < ay):
                xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
        xs.sort()
        for a, b in zip(xs[0::2], xs[1::2]):
            for x in range(w):
                if a <= x + 0.5 < b:
                    c[y][x] = col


def disc(c, cx, cy, r, col):
    """Fills the pixels whose centres lie within r of (cx, cy)."""
    w, h = size_of(c)
    for y in range(h):
        for x in range(w):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                c[y][x] = col


def round_rect(c, x0, y0, x1, y1, r, col):
    """Filled rectangle whose corners are cut to radius r (0, 1 or 2 look best)."""
    rect(c, x0, y0, x1, y1, col)
    cut = {0: [], 1: [(0, 0)], 2: [(0, 0), (1, 0), (0, 1)],
           3: [(0, 0), (1, 0), (2, 0), (0, 1), (0, 2)]}[r]
    for dx, dy in cut:
        for px, py in ((x0 + dx, y0 + dy), (x1 - dx, y0 + dy),
                       (x0 + dx, y1 - dy), (x1 - dx, y1 - dy)):
            put(c, px, py, None)


def recolour(c, old, new):
    for row in c:
        for i, p in enumerate(row):
            if p == old:
                row[i] = new


def outline(c, col):
    """Gives every opaque shape a 1-pixel border of col on its transparent side."""
    w, h = size_of(c)
    src = [row[:] for row in c]
    for y in range(h):
        for x in range(w):
            if src[y][x] is not None:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if 0 <= nx < w and 0 <= ny < h and src[ny][nx] is not None:
                    c[y][x] = col
                    break


# ---------------------------------------------------------------------------
# Bitmap fonts. Each glyph is a list of rows; '#' is ink. Glyphs may differ
# in width, so legends are spaced proportionally.
# ---------------------------------------------------------------------------

def _font(table):
    return {ch: rows.split() for ch, rows in table.items()}


FONT_3X5 = _font({
    '0': "### #.# #.# #.# ###", '1': ".#. ##. .#. .#. ###",
    '2': "### ..# ### #.. ###", '3': "### ..# .## ..# ###",
    '4': "#.# #.# ### ..# ..#", '5': "### #.. ### ..# ###",
    '6': "### #.. ### #.# ###", '7': "### ..# ..# .#. .#.",
    '8': "### #.# ### #.# ###", '9': "### #.# ### ..# ###",
    'A': ".#. #.# ### #.# #.#", 'B': "##. #.# ##. #.# ##.",
    'C': ".## #.. #.. #.. .##", 'D': "##. #.# #.# #.# ##.",
    'E': "### #.. ##. #.. ###", 'F': "### #.. ##. #.. #..",
    'G': ".## #.. #.# #.# .##", 'H': "#.# #.# ### #.# #.#",
    'I': "### .#. .#. .#. ###", 'J': "..# ..# ..# #.# .#.",
    'K': "#.# #.# ##. #.# #.#", 'L': "#.. #.. #.. #.. ###",
    'M': "#.# ### ### #.# #.#", 'N': "##. #.# #.# #.# #.#",
    'O': ".#. #.# #.# #.# .#.", 'P': "##. #.# ##. #.. #..",
    'Q': ".#. #.# #.# ##. .##", 'R': "##. #.# ##. #.# #.#",
    'S': ".## #.. .#. ..# ##.", 'T': "### .#. .#. .#. .#.",
    'U': "#.# #.# #.# #.# ###", 'V': "#.# #.# #.# #.# .#.",
    'W': "#.# #.# ### ### #.#", 'X': "#.# #.# .#. #.# #.#",
    'Y': "#.# #.# .#. .#. .#.", 'Z': "### ..# .#. #.. ###",
    '!': "# # # . #", '|': "# # # # #", ' ': ". . . . .",
})

FONT_5X7 = _font({
    '0': ".###. #...# #...# #...# #...# #...# .###.",
    '1': "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.",
    '2': ".###. #...# ....# ...#. ..#.. .#... #####",
    '3': "##### ...#. ..#.. ...#. ....# #...# .###.",
    '4': "...#. ..##. .#.#. #..#. ##### ...#. ...#.",
    '5': "##### #.... ####. ....# ....# #...# .###.",
    '6': "..##. .#... #.... ####. #...# #...# .###.",
    '7': "##### ....# ...#. ..#.. .#... .#... .#...",
    '8': ".###. #...# #...# .###. #...# #...# .###.",
    '9': ".###. #...# #...# .#### ....# ...#. .##..",
    'A': ".###. #...# #...# ##### #...# #...# #...#",
    'B': "####. #...# #...# ####. #...# #...# ####.",
    'C': ".###. #...# #.... #.... #.... #...# .###.",
    'D': "####. #...# #...# #...# #...# #...# ####.",
    'E': "##### #.... #.... ####. #.... #.... #####",
    'F': "##### #.... #.... ####. #.... #.... #....",
    'G': ".###. #...# #.... #.### #...# #...# .####",
    'H': "#...# #...# #...# ##### #...# #...# #...#",
    'I': "### .#. .#. .#. .#. .#. ###",
    'J': "..### ...#. ...#. ...#. ...#. #..#. .##..",
    'K': "#...# #..#. #.#.. ##... #.#.. #..#. #...#",
    'L': "#.... #.... #.... #.... #.... #.... #####",
    'M': "#...# ##.## #.#.# #.#.# #...# #...# #...#",
    'N': "#...# #...# ##..# #.#.# #..## #...# #...#",
    'O': ".###. #...# #...# #...# #...# #...# .###.",
    'P': "####. #...# #...# ####. #.... #.... #....",
    'Q': ".###. #...# #...# #...# #.#.# #..#. .##.#",
    'R': "####. #...# #...# ####. #.#.. #..#. #...#",
    'S': ".#### #.... #.... .###. ....# ....# ####.",
    'T': "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
    'U': "#...# #...# #...# #...# #...# #...# .###.",
    'V': "#...# #...# #...# #...# #...# .#.#. ..#..",
    'W': "#...# #...# #...# #.#.# #.#.# #.#.# .#.#.",
    'X': "#...# #...# .#.#. ..#.. .#.#. #...# #...#",
    'Y': "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..",
    'Z': "##### ....# ...#. ..#.. .#... #.... #####",
    'a': ".... .... .##. ...# .### #..# .###",
    'b': "#... #... ###. #..# #..# #..# ###.",
    'c': ".... .... .### #... #... #... .###",
    'e': ".... .... .##. #..# #### #... .###",
    'i': "# . # # # # #",
    'k': "#... #... #..# #.#. ##.. #.#. #..#",
    'l': "#. #. #. #. #. #. .#",
    'n': ".... .... ###. #..# #..# #..# #..#",
    'o': ".... .... .##. #..# #..# #..# .##.",
    'r': "... ... #.# ##. #.. #.. #..",
    's': ".... .... .### #... .##. ...# ###.",
    't': ".#. .#. ### .#. .#. .#. ..#",
    'u': ".... .... #..# #..# #..# #..# .###",
    '!': "# # # # # . #", '|': "# # # # # # # # #", ' ': "... ... ... ... ... ... ...",
})


def text_width(font, s, bold=False, scale=1):
    if not s:
        return 0
    glyphs = sum(len(font[ch][0]) + (1 if bold else 0) for ch in s)
    return (glyphs + len(s) - 1) * scale


def text_height(font, scale=1):
    return len(font['0']) * scale


def text(c, font, s, x, y, col, bold=False, scale=1):
    """Draws s with its top-left corner at (x, y). A glyph taller than the
    font (the bar) is centred on the line."""
    for ch in s:
        rows = font[ch]
        top = y - (len(rows) - text_height(font)) // 2 * scale
        for gy, row in enumerate(rows):
            for gx, bit in enumerate(row):
                if bit != '#':
                    continue
                for k in range(2 if bold else 1):
                    rect(c, x + (gx + k) * scale, top + gy * scale,
                         x + (gx + k + 1) * scale - 1, top + (gy + 1) * scale - 1, col)
        x += (len(rows[0]) + (1 if bold else 0) + 1) * scale


def text_centred(c, font, lines, cx, cy, col, bold=False, scale=1, gap=2):
    """Draws one or more lines centred on the pixel boundary (cx, cy)."""
    lh = text_height(font, scale)
    total = len(lines) * lh + (len(lines) - 1) * gap
    y = cy - total // 2
    for s in lines:
        text(c, font, s, cx - text_width(font, s, bold, scale) // 2, y, col, bold, scale)
        y += lh + gap


# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
INK = (24, 24, 32)
OUTLINE = (56, 56, 64)
CAP_SIDE = (168, 168, 160)
CAP_SIDE_LIGHT = (200, 200, 192)
CAP_SIDE_DARK = (128, 128, 120)
CAP_FACE = (236, 236, 228)
CAP_FACE_EDGE = (212, 212, 204)
MAGENTA = (255, 0, 255)

# ---------------------------------------------------------------------------
# Key caps
# ---------------------------------------------------------------------------

def key_cap(w, h, lip):
    """An empty key cap seen from above and a little in front, filling a w x h
    canvas; lip is the height of the front skirt below the face. Returns the
    canvas and the face rectangle (x0, y0, x1, y1)."""
    c = canvas(w, h)
    big = w >= 32
    n, b = w - 1, h - 1
    side, top = (2, 2) if big else (1, 1)
    round_rect(c, 0, 0, n, b, 2 if big else 1, OUTLINE)
    rect(c, 1, 1, n - 1, b - 1, CAP_SIDE)
    # Lighter left skirt, darker right skirt and front lip.
    rect(c, 1, 1, side, b - 1, CAP_SIDE_LIGHT)
    rect(c, n - side, 1, n - 1, b - 1, CAP_SIDE_DARK)
    rect(c, 1, b - lip + 1, n - 1, b - 1, CAP_SIDE_DARK)
    rect(c, 2, b - lip + 1, n - 2, b - 2 if big else b - 1, CAP_SIDE)
    if big:
        # Bevels where the skirts meet the lip.
        for i in range(side):
            put(c, 1 + i, b - lip + 1 + i, CAP_SIDE_LIGHT)
            put(c, n - 1 - i, b - lip + 1 + i, CAP_SIDE_DARK)
    fx0, fy0, fx1, fy1 = side + 1, top, n - side - 1, b - lip
    rect(c, fx0, fy0, fx1, fy1, CAP_FACE)
    if big:
        rect(c, fx0, fy1, fx1, fy1, CAP_FACE_EDGE)
        rect(c, fx1, fy0, fx1, fy1, CAP_FACE_EDGE)
        rect(c, fx0, fy0, fx1 - 1, fy0, WHITE)
        rect(c, fx0, fy0, fx0, fy1 - 1, WHITE)
    return c, (fx0, fy0, fx1, fy1)


def key_icon(legend32, legend16):
    """The 32x32 and 16x16 images of a key cap with its legend."""
    images = []
    for size, lines, font, bold in ((32, legend32, FONT_5X7, True),
                                    (16, legend16, FONT_3X5, False)):
        c, (fx0, fy0, fx1, fy1) = key_cap(size, size, 7 if size >= 32 else 3)
        if bold and max(text_width(font, s, True) for s in lines or ['']) > fx1 - fx0 - 1:
            bold = False  # a long legend fits only in the regular weight
        if lines:
            text_centred(c, font, lines, (fx0 + fx1 + 1) // 2,
                         (fy0 + fy1 + 2) // 2, INK, bold=bold)
        images.append(c)
    return images


KEY_LEGENDS = [
    # file stem, 32x32 legend lines, 16x16 legend lines
    ('f%d' % i, ['F%d' % i], ['F%d' % i]) for i in range(1, 13)
] + [
    ('ps', ['Prt', 'Sc'], ['PS']),
    ('sl', ['Scr', 'Lk'], ['SL']),
    ('pause', ['Pause'], ['PAU']),
    ('blank', [], []),
]


# ---------------------------------------------------------------------------
# Program icon: a key cap on a coil spring, with a launch arrow on its face.
# ---------------------------------------------------------------------------

ARROW_RED = (216, 40, 24)
ARROW_DARK = (128, 16, 8)
SPRING = (72, 96, 168)
SPRING_LIGHT = (152, 176, 232)
SPRING_DARK = (32, 48, 104)
BASE = (88, 88, 96)


def springdeck_image(size):
    c = canvas(size, size)
    if size >= 32:
        cap_h, coil_x0, coil_x1, coil_rows = 19, 9, 22, (19, 22, 25)
        round_rect(c, 4, 28, 27, 31, 1, OUTLINE)
        rect(c, 5, 29, 26, 30, BASE)
    else:
        cap_h, coil_x0, coil_x1, coil_rows = 10, 4, 11, (10, 12)
        rect(c, 2, 14, 13, 15, OUTLINE)
        rect(c, 3, 14, 12, 14, BASE)
    # Coil spring between the base plate and the cap: stacked turns, each a
    # flat ring whose front is lit and whose back is in shadow.
    for y in coil_rows:
        if size >= 32:
            rect(c, coil_x0 + 1, y, coil_x1 - 1, y, SPRING_DARK)
            rect(c, coil_x0, y + 1, coil_x1, y + 1, SPRING)
            rect(c, coil_x0 + 1, y + 2, coil_x1 - 1, y + 2, SPRING_LIGHT)
        else:
            rect(c, coil_x0, y, coil_x1, y, SPRING)
            rect(c, coil_x0 + 1, y + 1, coil_x1 - 1, y + 1, SPRING_LIGHT)
    cap = springdeck_cap(size, cap_h)
    for y in range(cap_h):
        for x in range(size):
            if cap[y][x] is not None:
                c[y][x] = cap[y][x]
    return c


def springdeck_cap(w, h):
    """A key cap, w wide and h high, whose face carries a bold upward arrow."""
    c, (fx0, fy0, fx1, fy1) = key_cap(w, h, 5 if w >= 32 else 2)
    mx = (fx0 + fx1 + 1) / 2
    if w >= 32:
        head, half, shaft = 7, 7, 3
    else:
        head, half, shaft = 4, 4, 1.5
    polygon(c, [(mx, fy0), (mx + half, fy0 + head), (mx + shaft, fy0 + head),
                (mx + shaft, fy1 + 1), (mx - shaft, fy1 + 1), (mx - shaft, fy0 + head),
                (mx - half, fy0 + head)], ARROW_RED)
    if w >= 32:
        rect(c, int(mx) + 2, fy0 + head, int(mx) + 2, fy1, ARROW_DARK)
    return c


def springdeck_icon():
    return [springdeck_image(32), springdeck_image(16)]


# ---------------------------------------------------------------------------
# Dial-up connection: two computers joined by a telephone line.
# ---------------------------------------------------------------------------

CASE = (200, 196, 184)
CASE_DARK = (136, 132, 120)
SCREEN = (24, 96, 152)
SCREEN_LIGHT = (96, 176, 224)
WIRE = (200, 32, 24)


def computer(c, x, y, big):
    """A monitor on a small base with its top-left corner at (x, y)."""
    if big:
        w, h = 14, 11
        round_rect(c, x, y, x + w - 1, y + h - 1, 1, OUTLINE)
        rect(c, x + 1, y + 1, x + w - 2, y + h - 2, CASE)
        rect(c, x + w - 2, y + 1, x + w - 2, y + h - 2, CASE_DARK)
        rect(c, x + 2, y + 2, x + w - 4, y + h - 3, SCREEN)
        line(c, x + 3, y + 4, x + 5, y + 2, SCREEN_LIGHT)
        rect(c, x + 5, y + h, x + 8, y + h, OUTLINE)
        rect(c, x + 2, y + h + 1, x + w - 3, y + h + 2, OUTLINE)
        rect(c, x + 3, y + h + 1, x + w - 4, y + h + 1, CASE)
    else:
        w, h = 8, 6
        rect(c, x, y, x + w - 1, y + h - 1, OUTLINE)
        rect(c, x + 1, y + 1, x + w - 2, y + h - 2, SCREEN)
        put(c, x + 2, y + 2, SCREEN_LIGHT)
        rect(c, x + 2, y + h, x + w - 3, y + h, OUTLINE)


def connect_image(size):
    c = canvas(size, size)
    if size >= 32:
        computer(c, 0, 16, True)
        computer(c, 18, 2, True)
        # A jagged line from one computer to the other.
        pts = [(14, 21), (19, 17), (16, 16), (22, 14)]
    else:
        computer(c, 0, 8, False)
        computer(c, 8, 1, False)
        pts = [(8, 10), (10, 8), (9, 8), (11, 7)]
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        line(c, ax, ay, bx, by, WIRE)
        if size >= 32:
            line(c, ax, ay + 1, bx, by + 1, WIRE)
    return c


def connect_icon():
    return [connect_image(32), connect_image(16)]


# ---------------------------------------------------------------------------
# Folders: the "up one folder" icon and the tree bitmaps.
# ---------------------------------------------------------------------------

FOLDER = (248, 216, 96)
FOLDER_DARK = (200, 160, 40)
FOLDER_LINE = (112, 80, 16)
UP_GREEN = (24, 152, 40)
UP_DARK = (8, 80, 16)


def closed_folder(c, x0, y0, x1, y1, body, back, edge, tab):
    """A closed folder filling the box, with a tab of width tab on its back."""
    rect(c, x0 + 1, y0, x0 + tab, y0, edge)
    rect(c, x0, y0 + 1, x1, y1, edge)
    rect(c, x0 + 1, y0 + 1, x0 + tab - 1, y0 + 1, back)
    rect(c, x0 + 1, y0 + 2, x1 - 1, y1 - 1, body)
    rect(c, x0 + 1, y0 + 2, x1 - 1, y0 + 2, back)


def updir_image(size):
    c = canvas(size, size)
    if size >= 32:
        closed_folder(c, 1, 8, 30, 29, FOLDER, FOLDER_DARK, FOLDER_LINE, 11)
        rect(c, 2, 28, 29, 28, FOLDER_DARK)
        arrow = [(15.5, 1), (24, 10), (19, 10), (19, 25), (12, 25), (12, 10), (7, 10)]
    else:
        closed_folder(c, 0, 4, 15, 15, FOLDER, FOLDER_DARK, FOLDER_LINE, 6)
        arrow = [(8, 1), (12, 5), (9, 5), (9, 12), (7, 12), (7, 5), (4, 5)]
    arrow_c = canvas(size, size)
    polygon(arrow_c, arrow, UP_GREEN)
    outline(arrow_c, UP_DARK)
    overlay(c, arrow_c)
    return c


def updir_icon():
    return [updir_image(32), updir_image(16)]


def overlay(c, top):
    """Copies the opaque pixels of top onto c."""
    for y, row in enumerate(top):
        for x, p in enumerate(row):
            if p is not None:
                c[y][x] = p


# Tree bitmaps, drawn as pixel maps in VGA colours only (see bmp_bytes).
VGA_KEY = {'.': None, 'K': (0, 0, 0), 'r': (128, 0, 0), 'O': (128, 128, 0),
           'G': (192, 192, 192), 'D': (128, 128, 128), 'R': (255, 0, 0),
           'Y': (255, 255, 0), 'W': (255, 255, 255)}


def pixel_map(rows, key=VGA_KEY):
    return [[key[ch] for ch in row] for row in rows.split()]


BOOKMARK = pixel_map("""
    ..KKKKKKKKK.....
    ..KWRRRrWWKK....
    ..KWRRRrWWKGK...
    ..KWRRRrWWKGGK..
    ..KWRRRrWWKKKKK.
    ..KWRRRrWWWWWWK.
    ..KWRRRrWWWWWWK.
    ..KWRRrrWWWWWWK.
    ..KWRWWrWWWWWWK.
    ..KWWWWWWWWWWWK.
    ..KWDDDDDDDDWWK.
    ..KWWWWWWWWWWWK.
    ..KWDDDDDDDDWWK.
    ..KWWWWWWWWWWWK.
    ..KKKKKKKKKKKKK.
    ................""")

FOLDER_CLOSED = pixel_map("""
    ................
    ................
    .KKKK...........
    KWYYWKKKKKKKKK..
    KYYYYWWWWWWWWWK.
    KWYYYYYYYYYYYOK.
    KWYYYYYYYYYYYOK.
    KWYYYYYYYYYYYOK.
    KWYYYYYYYYYYYOK.
    KWYYYYYYYYYYYOK.
    KWYYYYYYYYYYYOK.
    KWYYYYYYYYYYYOK.
    KOOOOOOOOOOOOOK.
    KKKKKKKKKKKKKKK.
    ................
    ................""")

FOLDER_OPEN = pixel_map("""
    ................
    ................
    .KKKK...........
    KOOOOKKKKKKK....
    KOOOOOOOOOOOK...
    KOOWWWWWWWWOK...
    KOWWWWWWWWWOK...
    KOWKKKKKKKKKKKK.
    KOKYWWWWWWWWWYK.
    KOKYYYYYYYYYYYK.
    KKYYYYYYYYYYYK..
    KKYYYYYYYYYYYK..
    KYYYYYYYYYYYK...
    KKKKKKKKKKKKK...
    ................
    ................""")


# ---------------------------------------------------------------------------
# Preset web site badges: a coloured tile with a short white legend, and a
# star for the site of the day.
# ---------------------------------------------------------------------------

def shade(col, k):
    return tuple(max(0, min(255, int(v * k))) for v in col)


SITE_BADGES = [
    # file stem, resource name, legend, tile colour, legend colour
    ('yahoo', 'ICO_YAHOO', 'Y!', (120, 40, 168), WHITE),
    ('cnet', 'ICO_CNET', 'C|', (232, 176, 16), INK),
    ('pathfinder', 'ICO_PATHFINDER', 'PF', (32, 64, 144), WHITE),
    ('espnet', 'ICO_ESPNET', 'ES', (200, 24, 24), WHITE),
    ('e', 'ICO_E', 'E!', (216, 40, 128), WHITE),
    ('familyplanet', 'ICO_FAMILYPLANET', 'FP', (32, 136, 64), WHITE),
    ('usatoday', 'ICO_USATODAY', 'UT', (24, 120, 208), WHITE),
]


def badge_image(size, legend, tile, ink):
    c = canvas(size, size)
    n = size - 1
    big = size >= 32
    round_rect(c, 0, 0, n, n, 3 if big else 2, shade(tile, 0.55))
    round_rect(c, 1, 1, n - 1, n - 1, 2 if big else 1, tile)
    rect(c, 2, 1, n - 2, 1, shade(tile, 1.35))
    rect(c, 1, 2, 1, n - 2, shade(tile, 1.35))
    scale = 2 if big else 1
    w = text_width(FONT_5X7, legend, scale=scale)
    x = (size - w) // 2
    y = (size - text_height(FONT_5X7, scale)) // 2
    if big:
        text(c, FONT_5X7, legend, x + 1, y + 1, shade(tile, 0.55), scale=scale)
    text(c, FONT_5X7, legend, x, y, ink, scale=scale)
    return c


STAR = (255, 208, 32)
STAR_EDGE = (200, 112, 0)


def star_image(size):
    import math
    c = canvas(size, size)
    cx = cy = size / 2.0
    outer = size / 2.0 - 0.5
    inner = outer * 0.45
    pts = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / 5
        pts.append((cx + r * math.cos(a), cy + 0.6 + r * math.sin(a)))
    polygon(c, pts, STAR)
    outline(c, STAR_EDGE)
    return c


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------

def _palette(images):
    cols = []
    for c in images:
        for row in c:
            for p in row:
                if p is not None and p not in cols:
                    cols.append(p)
    return cols


def _dib(c, bpp, palette, with_mask):
    """BITMAPINFOHEADER, colour table and bottom-up pixel rows; for icons the
    height is doubled and the AND mask follows the colour bits."""
    w, h = size_of(c)
    index = {col: i for i, col in enumerate(palette)}
    stride = ((w * bpp + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            p = c[y][x]
            i = 0 if p is None else index[p]
            if bpp == 4:
                row[x // 2] |= i << (4 if x % 2 == 0 else 0)
            elif bpp == 8:
                row[x] = i
            else:
                raise ValueError(bpp)
        xor += row
    mask = bytearray()
    if with_mask:
        mstride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            row = bytearray(mstride)
            for x in range(w):
                if c[y][x] is None:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
    ncols = 1 << bpp
    table = bytearray()
    for i in range(ncols):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2 if with_mask else h, 1, bpp,
                         0, len(xor) + len(mask), 0, 0, ncols if with_mask else 0, 0)
    return header + table + xor + mask


def ico_bytes(images):
    """An .ico file holding the images, each with its own palette: 4 bits per
    pixel when it has at most 16 colours (black reserved for transparent
    pixels), 8 bits otherwise."""
    blobs, entries = [], []
    for c in images:
        w, h = size_of(c)
        cols = _palette([c])
        palette = [BLACK] + [p for p in cols if p != BLACK]
        bpp = 4 if len(palette) <= 16 else 8
        if len(palette) > 256:
            raise ValueError('too many colours')
        blob = _dib(c, bpp, palette, True)
        blobs.append(blob)
        entries.append((w, h, 16 if bpp == 4 else 0, bpp, len(blob)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (w, h, ncol, bpp, length) in entries:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, ncol, 0, 1, bpp, length, offset)
        offset += length
    return out + b''.join(blobs)


# The 16 colours of the standard VGA palette: a 4-bit image list maps any
# bitmap to these, so drawing with them keeps colours exact.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
         (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
         (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
         (0, 255, 255), (255, 255, 255)]


def bmp_bytes(c):
    """A 4-bit .bmp with the VGA palette; transparent pixels become magenta."""
    w, h = size_of(c)
    c = [[MAGENTA if p is None else p for p in row] for row in c]
    for row in c:
        for p in row:
            if p not in VGA16:
                raise ValueError('colour %r is not in the VGA palette' % (p,))
    dib = _dib(c, 4, VGA16, False)
    dib = dib[:32] + struct.pack('<I', 16) + dib[36:]  # biClrUsed
    return struct.pack('<2sIHHI', b'BM', 14 + len(dib), 0, 0, 14 + 40 + 64) + dib


def png_bytes(c, background):
    w, h = size_of(c)
    raw = bytearray()
    for row in c:
        raw.append(0)
        for p in row:
            raw += bytes(background if p is None else p)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


# ---------------------------------------------------------------------------
# The pictures, by file name
# ---------------------------------------------------------------------------

def all_pictures():
    """Returns [(file name, resource name, [canvases])]."""
    pics = [('springdeck.ico', 'ICO_SPRINGDECK', springdeck_icon())]
    for stem, l32, l16 in KEY_LEGENDS:
        pics.append((stem + '.ico', 'ICO_' + stem.upper(), key_icon(l32, l16)))
    pics.append(('connect.ico', 'ICO_CONNECT', connect_icon()))
    pics.append(('updir.ico', 'ICO_UPDIR', updir_icon()))
    for stem, res, legend, tile, ink in SITE_BADGES:
        pics.append((stem + '.ico', res, [badge_image(32, legend, tile, ink),
                                          badge_image(16, legend, tile, ink)]))
    pics.append(('sod.ico', 'ICO_SOD', [star_image(32), star_image(16)]))
    pics.append(('bookmark.bmp', 'BMP_BOOKMARK', [BOOKMARK]))
    pics.append(('folderopen.bmp', 'BMP_FOLDEROPEN', [FOLDER_OPEN]))
    pics.append(('folderclosed.bmp', 'BMP_FOLDERCLOSED', [FOLDER_CLOSED]))
    return pics


def preview(pics, path, zoom=4):
    """A contact sheet: every image at 1x and enlarged, on a button-face grey."""
    bg = (212, 208, 200)
    cell_w = (32 + 16) * (zoom + 1) + 28
    cell_h = 32 * zoom + 12
    cols = 5
    rows = (len(pics) + cols - 1) // cols
    sheet = canvas(cols * cell_w, rows * cell_h, bg)
    for i, (_, _, images) in enumerate(pics):
        ox = (i % cols) * cell_w + 4
        oy = (i // cols) * cell_h + 4
        for img in images:
            w, h = size_of(img)
            for y in range(h):
                for x in range(w):
                    p = img[y][x]
                    if p is None:
                        continue
                    sheet[oy + y][ox + x] = p
                    rect(sheet, ox + w + 4 + x * zoom, oy + y * zoom,
                         ox + w + 3 + (x + 1) * zoom, oy + (y + 1) * zoom - 1, p)
            ox += w + 4 + w * zoom + 8
    with open(path, 'wb') as f:
        f.write(png_bytes(sheet, bg))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, '..', '..', 'src', 'resources', 'art')
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--out', default=default_out, help='output folder')
    ap.add_argument('--preview', help='also write an enlarged contact sheet PNG here')
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    pics = all_pictures()
    for name, _, images in pics:
        if name.endswith('.ico'):
            data = ico_bytes(images)
        else:
            data = bmp_bytes(images[0])
        with open(os.path.join(args.out, name), 'wb') as f:
            f.write(data)
    if args.preview:
        preview(pics, args.preview)
    for name, res, _ in pics:
        print('%-18s %s' % (res, name))
    return 0


if __name__ == '__main__':
    sys.exit(main())
