#!/usr/bin/env python3
"""Draws the icon resources of ZEVARIDA.EXE.

Every picture is built from layers, bottom to top:
  1. a coloured square (status colour) with a one-pixel see-through margin,
     or nothing at all for the radio-off images;
  2. the station glyph from glyphN.txt (N = 16, 20, 24, 32);
  3. optionally the red X from crossN.txt.
The pressed ("down") images are the normal picture moved one pixel right
and one pixel down; the vacated top row and left column are see-through.

Usage:  python3 make_icons.py            (writes the .ico files next to it)
The output depends only on the text files and this script, so running it
twice gives byte-identical files. Python 3 standard library only.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 standard VGA colours, in the order Windows uses for 16-colour
# bitmaps. The 4-bit images use exactly this table.
VGA16 = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  dark red
    (0x00, 0x80, 0x00),  # 2  dark green
    (0x80, 0x80, 0x00),  # 3  olive
    (0x00, 0x00, 0x80),  # 4  navy
    (0x80, 0x00, 0x80),  # 5  purple
    (0x00, 0x80, 0x80),  # 6  teal
    (0xC0, 0xC0, 0xC0),  # 7  light grey
    (0x80, 0x80, 0x80),  # 8  dark grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]


def palette256():
    """256 entries: the 16 VGA colours, a 6x6x6 colour cube, a grey ramp."""
    pal = list(VGA16)
    steps = (0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF)
    for r in steps:
        for g in steps:
            for b in steps:
                pal.append((r, g, b))
    for i in range(24):
        v = 8 + 10 * i
        pal.append((v, v, v))
    assert len(pal) == 256
    return pal


BLACK = VGA16[0]
WHITE = VGA16[15]
LIGHT_GREY = VGA16[7]
RED = VGA16[9]
GREEN = VGA16[10]
YELLOW = VGA16[11]
BLUE = VGA16[12]
NAVY = VGA16[4]

# Characters of the text files. '.' lets the layer below show through.
LEGEND = {
    'K': BLACK,
    'W': WHITE,
    'g': LIGHT_GREY,
    'B': BLUE,
    'R': RED,
}
SEE_THROUGH = '.'

# Status colours of the square behind the glyph.
SQUARE_LINKED = GREEN
SQUARE_POOR = YELLOW
SQUARE_NOT_LINKED = RED
SQUARE_APP = NAVY       # darker than the blue antenna ring, so it stays visible

# The sizes the shell draws: 16 x 16 at 96 DPI (100 %), 20 at 120, 24 at
# 144 and 32 at 192 DPI; each is drawn from its own art, never scaled.
SIZES = (32, 24, 20, 16)

# name, square colour (None: no square), red X?, bits per pixel.
# The pressed variants are derived from these; see PRESSED below.
ICONS = [
    ('app',          SQUARE_APP,        False, 4),   # 128
    ('linked',       SQUARE_LINKED,     False, 4),   # 512
    ('poor',         SQUARE_POOR,       False, 4),   # 513
    ('not_linked',   SQUARE_NOT_LINKED, False, 4),   # 514
    ('radio_off',    None,              True,  4),   # 515
    ('frame_errors', SQUARE_LINKED,     True,  8),   # 137
]

# Images that also get a pressed variant, written as <name>_down.ico.
PRESSED = ['linked', 'poor', 'not_linked', 'radio_off', 'frame_errors']


def read_art(filename, size):
    """Reads one ASCII-art layer: size rows of size characters."""
    path = os.path.join(HERE, filename)
    with open(path, 'r', encoding='ascii') as f:
        rows = [line.rstrip('\r\n') for line in f
                if not line.startswith('#') and line.strip()]
    if len(rows) != size:
        sys.exit('%s: expected %d rows, found %d' % (filename, size, len(rows)))
    for n, row in enumerate(rows):
        if len(row) != size:
            sys.exit('%s: row %d has %d characters, expected %d'
                     % (filename, n, len(row), size))
        for ch in row:
            if ch != SEE_THROUGH and ch not in LEGEND:
                sys.exit('%s: row %d: unknown character %r' % (filename, n, ch))
    return rows


def blank(size):
    """A picture is a list of rows of (r, g, b) or None for see-through."""
    return [[None] * size for _ in range(size)]


def paint_square(pic, colour):
    size = len(pic)
    for y in range(1, size - 1):
        for x in range(1, size - 1):
            pic[y][x] = colour


def paint_art(pic, rows):
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch != SEE_THROUGH:
                pic[y][x] = LEGEND[ch]


def compose(size, square, cross):
    pic = blank(size)
    if square is not None:
        paint_square(pic, square)
    paint_art(pic, read_art('glyph%d.txt' % size, size))
    if cross:
        paint_art(pic, read_art('cross%d.txt' % size, size))
    return pic


def pressed(pic):
    """The picture moved one pixel right and one down."""
    size = len(pic)
    # Only the see-through margin may fall off the right and bottom edges.
    assert all(p is None for p in pic[size - 1])
    assert all(row[size - 1] is None for row in pic)
    out = blank(size)
    for y in range(size - 1):
        for x in range(size - 1):
            out[y + 1][x + 1] = pic[y][x]
    return out


def dib(pic, bpp, palette):
    """BITMAPINFOHEADER, colour table, XOR bitmap and AND mask."""
    size = len(pic)
    index = {rgb: i for i, rgb in reversed(list(enumerate(palette)))}

    xor_stride = ((size * bpp + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pic):                      # rows are stored bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, rgb in enumerate(row):
            if rgb is None:
                i = 0                               # black under a set mask bit
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                i = index[rgb]
            if bpp == 4:
                line[x // 2] |= i << 4 if x % 2 == 0 else i
            elif bpp == 8:
                line[x] = i
            else:
                raise ValueError('unsupported depth %d' % bpp)
        xor += line
        mask += bits

    header = struct.pack('<IiiHHIIiiII',
                         40,                # biSize
                         size,              # biWidth
                         size * 2,          # biHeight: XOR and AND together
                         1,                 # biPlanes
                         bpp,               # biBitCount
                         0,                 # biCompression = BI_RGB
                         len(xor) + len(mask),
                         0, 0,              # pixels per metre
                         0, 0)              # all palette entries used
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    return header + colours + bytes(xor) + bytes(mask)


def ico(images):
    """images: list of (picture, bits per pixel)."""
    blobs = []
    for pic, bpp in images:
        palette = VGA16 if bpp == 4 else palette256()
        blobs.append(dib(pic, bpp, palette))

    out = struct.pack('<HHH', 0, 1, len(images))   # ICONDIR
    offset = 6 + 16 * len(images)
    for (pic, bpp), blob in zip(images, blobs):
        size = len(pic)
        out += struct.pack('<BBBBHHII',
                           size % 256, size % 256,
                           (1 << bpp) if bpp < 8 else 0,  # colour count
                           0,                             # reserved
                           1,                             # planes
                           bpp,
                           len(blob),
                           offset)
        offset += len(blob)
    return out + b''.join(blobs)


def write(name, data):
    path = os.path.join(HERE, name + '.ico')
    with open(path, 'wb') as f:
        f.write(data)
    print('wrote %s (%d bytes)' % (os.path.relpath(path), len(data)))


def main():
    for name, square, cross, bpp in ICONS:
        pics = [compose(size, square, cross) for size in SIZES]
        write(name, ico([(pic, bpp) for pic in pics]))
        if name in PRESSED:
            write(name + '_down', ico([(pressed(pic), bpp) for pic in pics]))


if __name__ == '__main__':
    main()
