#!/usr/bin/env python3
"""Draws the programs' artwork: PNG strips, icons and cursors (with their
hot spots), using nothing but the standard library. The outputs are
committed; run this again after changing a drawing:

    python3 scripts/draw_art.py            # every artwork
    python3 scripts/draw_art.py NAME...    # only these

Each drawing is a function returning RGBA rows; ARTWORK maps an output path
(relative to the repository) to how it is drawn and written. Program issues
add their own entries.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor_art  # noqa: E402
import toolbar_art  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


# --- canvas -----------------------------------------------------------------

class Canvas:
    """width x height RGBA pixels, transparent to begin with."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0, 0, 0, 0)] * width for _ in range(height)]

    def fill_rect(self, left, top, right, bottom, rgba):
        for y in range(max(0, top), min(self.height, bottom)):
            row = self.pixels[y]
            for x in range(max(0, left), min(self.width, right)):
                row[x] = rgba

    def fill_circle(self, cx, cy, radius, rgba):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                    self.pixels[y][x] = rgba

    def outline_rect(self, left, top, right, bottom, rgba):
        self.fill_rect(left, top, right, top + 1, rgba)
        self.fill_rect(left, bottom - 1, right, bottom, rgba)
        self.fill_rect(left, top, left + 1, bottom, rgba)
        self.fill_rect(right - 1, top, right, bottom, rgba)

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                if 0 <= left + x < self.width and 0 <= top + y < self.height:
                    self.pixels[top + y][left + x] = other.pixels[y][x]


# --- file formats -----------------------------------------------------------

def png_bytes(canvas):
    """A 32-bit RGBA PNG."""
    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


def dib_image(canvas):
    """The image block of an icon or cursor entry: a 32-bit bottom-up DIB
    (height doubled for the mask) followed by the 1-bit AND mask."""
    w, h = canvas.width, canvas.height
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(canvas.pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(canvas.pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def icon_bytes(canvases, hotspots=None):
    """An .ico (hotspots None) or .cur file of one entry per canvas; a cursor
    entry's hot spot is (x, y) from its top-left pixel."""
    kind = 1 if hotspots is None else 2
    images = [dib_image(c) for c in canvases]
    out = struct.pack('<HHH', 0, kind, len(canvases))
    offset = 6 + 16 * len(canvases)
    for i, (canvas, image) in enumerate(zip(canvases, images)):
        if kind == 1:
            planes_or_x, bits_or_y = 1, 32
        else:
            planes_or_x, bits_or_y = hotspots[i]
        out += struct.pack('<BBBBHHII', canvas.width % 256, canvas.height % 256, 0, 0, planes_or_x, bits_or_y,
                           len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def write(path, data):
    full = os.path.join(REPO, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, 'wb') as f:
        f.write(data)
    print('wrote', path, len(data), 'bytes')


# --- drawings ---------------------------------------------------------------

def test_strip():
    """The framework tests' strip: two 35 x 32 images, opaque red and
    half-transparent blue."""
    strip = Canvas(70, 32)
    strip.fill_rect(0, 0, 35, 32, (255, 0, 0, 255))
    strip.fill_rect(35, 0, 70, 32, (0, 0, 255, 128))
    return png_bytes(strip)


def test_cursor():
    """A 32 x 32 cross-hair cursor whose hot spot is its centre (15, 15)."""
    cursor = Canvas(32, 32)
    cursor.fill_rect(15, 2, 17, 30, (0, 0, 0, 255))
    cursor.fill_rect(2, 15, 30, 17, (0, 0, 0, 255))
    return icon_bytes([cursor], hotspots=[(15, 15)])


def test_icon():
    """A 32 x 32 and a 16 x 16 icon: a blue disc."""
    big = Canvas(32, 32)
    big.fill_circle(16, 16, 14, (40, 90, 200, 255))
    small = Canvas(16, 16)
    small.fill_circle(8, 8, 7, (40, 90, 200, 255))
    return icon_bytes([big, small])


def capture_cursor_file():
    """The overlay's cursor with one image per display scale (100%, 150%,
    200%): the system picks the one of its cursor size instead of stretching
    one, which would move the hot spot off the cross."""
    drawn = [toolbar_art.capture_cursor(Canvas, size) for size in (32, 48, 64)]
    return icon_bytes([canvas for canvas, _ in drawn], hotspots=[spot for _, spot in drawn])


ARTWORK = {
    'tests/data/ui_test_strip.png': test_strip,
    'tests/data/ui_test.cur': test_cursor,
    'tests/data/ui_test.ico': test_icon,
    'res/art/vomla_toolbar.png': lambda: png_bytes(editor_art.toolbar_strip(Canvas)),
    'res/art/vomla_toolbar_disabled.png': lambda: png_bytes(editor_art.greyed(editor_art.toolbar_strip(Canvas),
                                                                                Canvas)),
    'res/art/vomla_toolbar.bmp': lambda: editor_art.bmp_bytes(editor_art.toolbar_strip(Canvas)),
    'res/art/vomla.ico': lambda: editor_art.icon_file(Canvas, png_bytes, dib_image, [16, 20, 24, 32, 40, 48, 64, 256]),
}
ARTWORK.update({
    'res/art/norpa_background.png': lambda: png_bytes(toolbar_art.background(Canvas)),
    'res/art/norpa_capture_icon.png': lambda: png_bytes(toolbar_art.capture_icon(Canvas)),
    'res/art/norpa_menu_arrow.png': lambda: png_bytes(toolbar_art.menu_arrow(Canvas)),
    'res/art/norpa_hover_left.png': lambda: png_bytes(toolbar_art.hover_edge(Canvas, left=True)),
    'res/art/norpa_hover_right.png': lambda: png_bytes(toolbar_art.hover_edge(Canvas, left=False)),
    'res/art/norpa_pressed.png': lambda: png_bytes(toolbar_art.pressed_face(Canvas)),
    'res/art/norpa.ico': lambda: editor_art.icon_file(Canvas, png_bytes, dib_image, [16, 20, 24, 32, 40, 48, 64, 256],
                                                     draw=toolbar_art.program_icon),
    'res/art/norpa_capture.cur': lambda: capture_cursor_file(),
})
for _name in editor_art.CURSORS:
    ARTWORK['res/art/vomla_%s.cur' % _name] = (lambda n: lambda: editor_art.cursor_file(Canvas, icon_bytes, n))(_name)


def main(names):
    chosen = names or sorted(ARTWORK)
    for name in chosen:
        if name not in ARTWORK:
            sys.exit('unknown artwork: ' + name)
        write(name, ARTWORK[name]())


if __name__ == '__main__':
    main(sys.argv[1:])
