"""The capture toolbar's artwork: the six images of its layered window, its
program icon and the capture overlay's cursor, in the editor's colours.
Registered in scripts/draw_art.py.

The window is 85 x 50: a drag grip on the left 27 pixels, the capture
button at (28, 6) 34 x 38 and the menu button at (63, 6) 15 x 38. The
program draws the capture icon at (30, 12), the menu arrow at (65, 21), the
hover edges at each button's left and right and the pressed face stretched
over a pressed button, all on top of the background."""
from art_shapes import Capsule, Circle, Difference, Placed, Polygon, RoundRect, Union, hex_colour, paint, \
    vertical_gradient
from editor_art import INK, WHITE, icon_tile

BLUE = hex_colour('2563eb')
LIGHT_BLUE = hex_colour('60a8ff')
RED = hex_colour('ef4444')
EDGE = hex_colour('7d8da3')


def background(Canvas):
    """85 x 50: a rounded, lightly shaded bar on a soft shadow, the grip's
    dots on its left and a divider before the menu button."""
    canvas = Canvas(85, 50)
    body = RoundRect(1.5, 1.5, 83.5, 47.5, 7)
    # The shadow: two faint rings below and around the body.
    paint(canvas, Placed(body, 0, 1.2), (15, 23, 42, 40), grow=1.2)
    paint(canvas, body, EDGE, grow=0.8)
    paint(canvas, body, vertical_gradient(2, hex_colour('fdfefe'), 47, hex_colour('dde4ee')))
    # A highlight along the top edge.
    paint(canvas, RoundRect(5, 2.6, 80, 3.4, 0.4), (255, 255, 255, 200))
    for row in range(4):
        for col in range(2):
            dot = Circle(10.5 + col * 6, 16.5 + row * 5.5, 1.25)
            paint(canvas, Placed(dot, 0.6, 0.6), (255, 255, 255, 230))
            paint(canvas, dot, hex_colour('8a9bb2'))
    paint(canvas, RoundRect(26.4, 9, 27.3, 41, 0.3), (148, 163, 184, 150))
    paint(canvas, RoundRect(62.1, 12, 62.9, 38, 0.3), (148, 163, 184, 120))
    return canvas


def viewfinder(left, top, right, bottom, arm, r):
    """The four corners of a viewfinder: arms arm long and 2r thick."""
    return Union([
        Capsule(left, top, left + arm, top, r), Capsule(left, top, left, top + arm, r),
        Capsule(right, top, right - arm, top, r), Capsule(right, top, right, top + arm, r),
        Capsule(left, bottom, left + arm, bottom, r), Capsule(left, bottom, left, bottom - arm, r),
        Capsule(right, bottom, right - arm, bottom, r), Capsule(right, bottom, right, bottom - arm, r),
    ])


def capture_icon(Canvas):
    """30 x 29: the corners of a viewfinder around a red aiming dot."""
    canvas = Canvas(30, 29)
    paint(canvas, viewfinder(3.5, 3.5, 26.5, 25.5, 7, 1.45), vertical_gradient(2, LIGHT_BLUE, 27, BLUE))
    cx, cy = 15, 14.5
    cross = Union([Capsule(cx, cy - 6.5, cx, cy - 3.2, 0.75), Capsule(cx, cy + 3.2, cx, cy + 6.5, 0.75),
                   Capsule(cx - 6.5, cy, cx - 3.2, cy, 0.75), Capsule(cx + 3.2, cy, cx + 6.5, cy, 0.75)])
    paint(canvas, cross, INK)
    paint(canvas, Circle(cx, cy, 2.3), RED)
    return canvas


def menu_arrow(Canvas):
    """11 x 8: a small arrow pointing down."""
    canvas = Canvas(11, 8)
    paint(canvas, Polygon([(1.5, 2), (9.5, 2), (5.5, 6.5)]).grown(0.3), hex_colour('475569'))
    return canvas


def hover_edge(Canvas, left):
    """2 x 38: a button's border while the mouse is over it: a blue line
    outside, a white highlight inside, both fading out at the ends."""
    canvas = Canvas(2, 38)
    outer, inner = (0, 1) if left else (1, 0)
    for y in range(38):
        fade = min(1.0, (min(y, 37 - y) + 1) / 5.0)
        canvas.pixels[y][outer] = (96, 165, 250, int(round(230 * fade)))
        canvas.pixels[y][inner] = (255, 255, 255, int(round(170 * fade)))
    return canvas


def pressed_face(Canvas):
    """14 x 38, stretched across a pressed button: a translucent blue shade,
    darker at the top, that lets the icon show through."""
    canvas = Canvas(14, 38)
    for y in range(38):
        t = y / 37.0
        alpha = int(round(95 - 45 * t))
        if y in (0, 37):
            alpha = 140
        for x in range(14):
            canvas.pixels[y][x] = (37, 99, 235, alpha)
    return canvas


def program_icon(Canvas, size):
    """The toolbar's icon at size pixels: a blue tile with a white
    viewfinder and a red aiming dot."""
    canvas, at, _ = icon_tile(Canvas, size)
    paint(canvas, at(viewfinder(52, 52, 204, 204, 50, 13)), WHITE)
    paint(canvas, at(Circle(128, 128, 30)), WHITE)
    paint(canvas, at(Circle(128, 128, 21)), RED)
    return canvas


def capture_cursor(Canvas, size=32):
    """size x size (32 at 96 DPI, more at larger display scales): a thin
    cross with an open centre, dark on a white halo, so that it shows on any
    picture; its hot spot is the centre pixel, on which the arms meet at
    every size."""
    canvas = Canvas(size, size)
    s = size / 32.0
    p = size // 2 - 1
    c = p + 0.5
    margin, gap = 2 * s, 3 * s
    arms = Union([Capsule(c, margin, c, c - gap, 0.5), Capsule(c, c + gap, c, 2 * c - margin, 0.5),
                  Capsule(margin, c, c - gap, c, 0.5), Capsule(c + gap, c, 2 * c - margin, c, 0.5)])
    paint(canvas, arms, WHITE, grow=1.2)
    paint(canvas, Difference(Circle(c, c, 1.6), Circle(c, c, 0.2)), WHITE)
    paint(canvas, arms, INK)
    canvas.pixels[p][p] = INK
    return canvas, (p, p)

