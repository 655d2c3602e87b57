"""The image editor's artwork: its toolbar strips (normal and disabled, seven
35 x 32 images in toolbar order), the toolbar's fallback bitmap, the program
icon and the view's cursors. Registered in scripts/draw_art.py."""
import math
import struct

from art_shapes import (Capsule, Circle, Intersection, Placed, Polygon, RoundRect, Union, hex_colour, paint,
                        vertical_gradient)

INK = hex_colour('34404f')
WHITE = (255, 255, 255, 255)
CELL_W, CELL_H = 35, 32


# --- shared drawings, each in its own coordinates -----------------------------

def pencil_parts():
    """A pencil lying on the x axis, tip at the origin, 25 long, 6 thick:
    (shape, colour) pairs from the tip to the eraser."""
    return [
        (Polygon([(0, 0), (6, -3), (6, 3)]), hex_colour('f5d7a8')),
        (Polygon([(0, 0), (2.4, -1.2), (2.4, 1.2)]), hex_colour('2b3340')),
        (Polygon([(6, -3), (19, -3), (19, -1), (6, -1)]), hex_colour('ffc043')),
        (Polygon([(6, -1), (19, -1), (19, 1), (6, 1)]), hex_colour('f59e0b')),
        (Polygon([(6, 1), (19, 1), (19, 3), (6, 3)]), hex_colour('d97f06')),
        (RoundRect(19, -3, 21.8, 3, 0.3), hex_colour('b4bfcc')),
        (RoundRect(21.8, -3, 25, 3, 1.3), hex_colour('f47c8a')),
    ]


def marker_parts(body):
    """A highlighter on the x axis, chisel tip at the origin, in the given
    body colour."""
    dark = tuple(int(c * 0.8) for c in body[:3]) + (255,)
    light = tuple(int(c + (255 - c) * 0.45) for c in body[:3]) + (255,)
    return [
        (Polygon([(0, -1.9), (3.6, -3.3), (3.6, 3.3), (0, 1.3)]), dark),
        (RoundRect(3.6, -4.0, 6.6, 4.0, 0.4), hex_colour('4b5563')),
        (RoundRect(6.6, -4.6, 21, 4.6, 1.5), body),
        (RoundRect(8.2, -3.3, 19.4, -1.7, 0.8), light),
        (RoundRect(19.2, -4.6, 24, 4.6, 1.8), hex_colour('4b5563')),
    ]


def hand_parts():
    """An open hand in a 24 x 24 box: fingers first, palm last."""
    fingers = [
        Capsule(7.6, 5.6, 7.6, 13, 1.8),
        Capsule(11.6, 3.0, 11.6, 13, 1.8),
        Capsule(15.6, 4.0, 15.6, 13, 1.8),
        Capsule(19.3, 7.2, 19.3, 14, 1.6),
        Capsule(3.4, 11.4, 6.6, 17.2, 1.8),
    ]
    palm = RoundRect(5.8, 11, 21, 22.6, 4.6)
    return fingers, palm


def draw_parts(canvas, parts, place, outline=INK, halo=None):
    """Paints (shape, colour) parts placed by place(shape), with an outline
    of 1 pixel and optionally a white halo around the whole."""
    whole = Union([place(s) for s, _ in parts])
    if halo:
        paint(canvas, whole, WHITE, grow=halo)
    if outline:
        paint(canvas, whole, outline, grow=1.0)
    for shape, colour in parts:
        paint(canvas, place(shape), colour)


def draw_hand(canvas, ox, oy, fill, halo=None):
    fingers, palm = hand_parts()

    def place(s):
        return Placed(s, ox, oy)

    whole = Union([place(s) for s in fingers + [palm]])
    if halo:
        paint(canvas, whole, WHITE, grow=halo)
    paint(canvas, whole, INK, grow=1.1)
    for finger in fingers:
        paint(canvas, place(finger), fill, grow=-0.4)
    paint(canvas, place(palm), fill)


def arc_capsules(cx, cy, radius, start, end, r, steps=18):
    points = []
    for i in range(steps + 1):
        a = math.radians(start + (end - start) * i / steps)
        points.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    return [Capsule(*points[i], *points[i + 1], r) for i in range(steps)]


# --- toolbar images -----------------------------------------------------------

def tool_undo(canvas, mirror=False):
    colour = hex_colour('4b5d75')
    parts = [Capsule(12, 11.5, 18.5, 11.5, 1.6), Capsule(18.5, 24.5, 11, 24.5, 1.6)]
    parts += arc_capsules(18.5, 18, 6.5, -90, 90, 1.6)
    parts.append(Polygon([(7.2, 11.5), (12.6, 6.6), (12.6, 16.4)]).grown(0.7))
    glyph = Union(parts)
    if mirror:
        paint(canvas, Placed(glyph, 34.5, 0, mirror=True), colour)
    else:
        paint(canvas, Placed(glyph, 0.5, 0), colour)


def tool_redo(canvas):
    tool_undo(canvas, mirror=True)


def tool_hand(canvas):
    draw_hand(canvas, 5.5, 4.2, hex_colour('fde2bf'))


def tool_pencil(canvas):
    draw_parts(canvas, pencil_parts(), lambda s: Placed(s, 7.6, 25.8, degrees=-45, s=1.1))


def tool_highlighter(canvas):
    paint(canvas, RoundRect(6, 23.6, 29, 28.4, 1.2), (255, 212, 59, 170))
    draw_parts(canvas, marker_parts(hex_colour('ffd43b')),
               lambda s: Placed(s, 10, 23, degrees=-45, s=0.92))


MOSAIC_PALETTE = [hex_colour(c) for c in ('1d4ed8', '3b82f6', '93c5fd', '60a5fa')]
MOSAIC_PATTERN = [[0, 1, 2, 3], [3, 2, 1, 0], [1, 0, 3, 2], [2, 3, 0, 1]]


def tool_mosaic(canvas):
    left, top, size = 7.5, 6, 5
    clip = RoundRect(left, top, left + 4 * size, top + 4 * size, 3.2)
    for row in range(4):
        for col in range(4):
            cell = RoundRect(left + col * size, top + row * size, left + (col + 1) * size, top + (row + 1) * size)
            paint(canvas, Intersection(cell, clip), MOSAIC_PALETTE[MOSAIC_PATTERN[row][col]])


def tool_store(canvas):
    cloud = Union([Circle(12.3, 18.6, 5.0), Circle(18.6, 14.4, 6.6), Circle(24.2, 18.6, 4.8),
                   RoundRect(7.3, 16.2, 29.0, 23.6, 3.6)])
    paint(canvas, cloud, vertical_gradient(8, hex_colour('60a8ff'), 24, hex_colour('2563eb')))
    arrow = Union([Capsule(18.2, 21.4, 18.2, 15.5, 1.4), Polygon([(14.6, 17.2), (18.2, 13.2), (21.8, 17.2)]).grown(0.5)])
    paint(canvas, arrow, WHITE)


TOOLBAR_IMAGES = [tool_undo, tool_redo, tool_hand, tool_pencil, tool_highlighter, tool_mosaic, tool_store]


def toolbar_strip(Canvas):
    strip = Canvas(CELL_W * len(TOOLBAR_IMAGES), CELL_H)
    for i, draw in enumerate(TOOLBAR_IMAGES):
        cell = Canvas(CELL_W, CELL_H)
        draw(cell)
        strip.paste(cell, i * CELL_W, 0)
    return strip


def greyed(canvas, Canvas):
    """The disabled look: light grey, half transparent, shapes kept."""
    out = Canvas(canvas.width, canvas.height)
    for y, row in enumerate(canvas.pixels):
        for x, (r, g, b, a) in enumerate(row):
            if a:
                lum = 0.299 * r + 0.587 * g + 0.114 * b
                v = int(round(lum * 0.45 + 175 * 0.55))
                out.pixels[y][x] = (v, v, v, int(a * 0.75))
    return out


def bmp_bytes(canvas, background=(192, 192, 192)):
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray()
        for r, g, b, a in row:
            f = a / 255.0
            line += bytes((int(round(b * f + background[2] * (1 - f))), int(round(g * f + background[1] * (1 - f))),
                           int(round(r * f + background[0] * (1 - f)))))
        data += line + bytes(stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)) + header + bytes(data)


# --- program icon ---------------------------------------------------------------

def icon_tile(Canvas, size):
    """The programs' blue icon tile at size pixels: the canvas, a function
    placing a shape drawn on a 256-pixel grid onto it, and the scale."""
    canvas = Canvas(size, size)
    s = size / 256.0

    def at(shape):
        return Placed(shape, 0, 0, s=s)

    paint(canvas, at(RoundRect(8, 8, 248, 248, 54)), vertical_gradient(8 * s, hex_colour('5aa6ff'), 248 * s,
                                                                         hex_colour('1d4ed8')))
    return canvas, at, s


def program_icon(Canvas, size):
    """The editor's icon at size pixels: a blue tile holding a picture, with a
    pencil from 32 pixels up."""
    canvas, at, s = icon_tile(Canvas, size)
    paint(canvas, at(RoundRect(40, 58, 208, 190, 16)), WHITE)
    inner = RoundRect(56, 74, 192, 174, 6)
    paint(canvas, at(inner), hex_colour('dbeafe'))
    hills = Polygon([(56, 176), (102, 114), (132, 148), (154, 124), (194, 168), (194, 176)])
    paint(canvas, at(Intersection(hills, inner)), hex_colour('2563eb'))
    paint(canvas, at(Circle(158, 104, 14)), hex_colour('fbbf24'))
    if size >= 32:
        k = 4.4
        draw_parts(canvas, pencil_parts(), lambda p: Placed(p, 126 * s, 226 * s, degrees=-45, s=k * s),
                   outline=WHITE)
    return canvas


def icon_file(Canvas, png_bytes, dib_image, sizes, draw=None):
    """An .ico with one entry per size, drawn by draw(Canvas, size) (the
    editor's icon by default); 256 is stored as PNG, the rest as 32-bit DIBs
    with masks."""
    draw = draw or program_icon
    images = []
    for size in sizes:
        canvas = draw(Canvas, size)
        images.append((size, png_bytes(canvas) if size >= 256 else dib_image(canvas)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(image for _, image in images)


# --- cursors --------------------------------------------------------------------

def cursor_pencil(canvas):
    draw_parts(canvas, pencil_parts(), lambda s: Placed(s, 1.6, 30.4, degrees=-45, s=1.05), halo=2.0)
    return (1, 30)


def cursor_marker(body):
    def draw(canvas):
        draw_parts(canvas, marker_parts(body), lambda s: Placed(s, 2.2, 29.8, degrees=-45, s=1.05), halo=2.0)
        return (2, 29)

    return draw


def cursor_mosaic(canvas):
    left, top, size = 9.5, 9.5, 4
    whole = RoundRect(left, top, left + 3 * size, top + 3 * size, 1.5)
    paint(canvas, whole, WHITE, grow=2.0)
    paint(canvas, whole, INK, grow=1.0)
    for row in range(3):
        for col in range(3):
            cell = RoundRect(left + col * size, top + row * size, left + (col + 1) * size, top + (row + 1) * size)
            paint(canvas, Intersection(cell, whole), MOSAIC_PALETTE[MOSAIC_PATTERN[row][col]])
    return (15, 15)


def cursor_hand(canvas):
    draw_hand(canvas, 3.5, 3.5, WHITE, halo=1.8)
    return (15, 15)


CURSORS = {
    'pencil': cursor_pencil,
    'mosaic': cursor_mosaic,
    'highlighter_yellow': cursor_marker(hex_colour('ffd43b')),
    'highlighter_purple': cursor_marker(hex_colour('b57cf6')),
    'highlighter_cyan': cursor_marker(hex_colour('22cfe8')),
    'hand': cursor_hand,
}


def cursor_file(Canvas, icon_bytes, name):
    canvas = Canvas(32, 32)
    hotspot = CURSORS[name](canvas)
    return icon_bytes([canvas], hotspots=[hotspot])
