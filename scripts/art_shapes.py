"""Anti-aliased vector shapes for scripts/draw_art.py.

A shape answers whether a point lies inside it, optionally grown by a
distance (which is how outlines and halos are made: paint the grown shape
in the outline colour, then the shape itself). paint() samples each pixel
on a grid and blends the colour by the covered fraction.
"""
import math

SAMPLES = 5  # per axis and pixel


def _seg_dist2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy


class Shape:
    def contains(self, x, y, grow=0.0):
        raise NotImplementedError

    def bounds(self, grow=0.0):
        """(left, top, right, bottom) enclosing the grown shape."""
        raise NotImplementedError

    def grown(self, by):
        return Grown(self, by)

    def __or__(self, other):
        return Union([self, other])

    def __sub__(self, other):
        return Difference(self, other)


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def contains(self, x, y, grow=0.0):
        r = self.r + grow
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= r * r

    def bounds(self, grow=0.0):
        r = self.r + grow
        return self.cx - r, self.cy - r, self.cx + r, self.cy + r


class Capsule(Shape):
    """A thick line with round ends."""

    def __init__(self, x1, y1, x2, y2, r):
        self.a, self.b, self.r = (x1, y1), (x2, y2), r

    def contains(self, x, y, grow=0.0):
        r = self.r + grow
        return _seg_dist2(x, y, self.a[0], self.a[1], self.b[0], self.b[1]) <= r * r

    def bounds(self, grow=0.0):
        r = self.r + grow
        return (min(self.a[0], self.b[0]) - r, min(self.a[1], self.b[1]) - r,
                max(self.a[0], self.b[0]) + r, max(self.a[1], self.b[1]) + r)


class RoundRect(Shape):
    def __init__(self, left, top, right, bottom, radius=0.0):
        self.l, self.t, self.r, self.b, self.rad = left, top, right, bottom, radius

    def contains(self, x, y, grow=0.0):
        rad = self.rad + grow
        l, t, r, b = self.l - grow, self.t - grow, self.r + grow, self.b + grow
        if not (l <= x <= r and t <= y <= b):
            return False
        cx = min(max(x, l + rad), r - rad)
        cy = min(max(y, t + rad), b - rad)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad

    def bounds(self, grow=0.0):
        return self.l - grow, self.t - grow, self.r + grow, self.b + grow


class Polygon(Shape):
    def __init__(self, points):
        self.points = list(points)

    def _inside(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside

    def contains(self, x, y, grow=0.0):
        if self._inside(x, y):
            return True
        if grow <= 0:
            return False
        pts = self.points
        g2 = grow * grow
        return any(_seg_dist2(x, y, *pts[i - 1], *pts[i]) <= g2 for i in range(len(pts)))

    def bounds(self, grow=0.0):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs) - grow, min(ys) - grow, max(xs) + grow, max(ys) + grow


class Union(Shape):
    def __init__(self, shapes):
        self.shapes = list(shapes)

    def contains(self, x, y, grow=0.0):
        return any(s.contains(x, y, grow) for s in self.shapes)

    def bounds(self, grow=0.0):
        b = [s.bounds(grow) for s in self.shapes]
        return min(v[0] for v in b), min(v[1] for v in b), max(v[2] for v in b), max(v[3] for v in b)


class Difference(Shape):
    """a without b; growing grows a only, so an outline keeps the hole's edge."""

    def __init__(self, a, b):
        self.a, self.b = a, b

    def contains(self, x, y, grow=0.0):
        return self.a.contains(x, y, grow) and not self.b.contains(x, y, -grow if grow else 0.0)

    def bounds(self, grow=0.0):
        return self.a.bounds(grow)


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def contains(self, x, y, grow=0.0):
        return self.a.contains(x, y, grow) and self.b.contains(x, y, grow)

    def bounds(self, grow=0.0):
        a, b = self.a.bounds(grow), self.b.bounds(grow)
        return max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])


class Grown(Shape):
    def __init__(self, shape, by):
        self.shape, self.by = shape, by

    def contains(self, x, y, grow=0.0):
        return self.shape.contains(x, y, grow + self.by)

    def bounds(self, grow=0.0):
        return self.shape.bounds(grow + self.by)


class Placed(Shape):
    """shape drawn in its own coordinates, then scaled by s, rotated by
    degrees (clockwise on screen) and moved so that its origin is at (ox, oy);
    mirror flips its x axis first."""

    def __init__(self, shape, ox, oy, degrees=0.0, s=1.0, mirror=False):
        self.shape, self.ox, self.oy, self.s, self.mirror = shape, ox, oy, s, mirror
        a = math.radians(degrees)
        self.cos, self.sin = math.cos(a), math.sin(a)

    def _to_local(self, x, y):
        dx, dy = (x - self.ox) / self.s, (y - self.oy) / self.s
        lx, ly = dx * self.cos + dy * self.sin, -dx * self.sin + dy * self.cos
        return (-lx if self.mirror else lx), ly

    def contains(self, x, y, grow=0.0):
        lx, ly = self._to_local(x, y)
        return self.shape.contains(lx, ly, grow / self.s)

    def bounds(self, grow=0.0):
        l, t, r, b = self.shape.bounds(grow / self.s)
        corners = []
        for cx, cy in ((l, t), (r, t), (l, b), (r, b)):
            if self.mirror:
                cx = -cx
            cx, cy = cx * self.s, cy * self.s
            corners.append((self.ox + cx * self.cos - cy * self.sin, self.oy + cx * self.sin + cy * self.cos))
        return (min(c[0] for c in corners), min(c[1] for c in corners),
                max(c[0] for c in corners), max(c[1] for c in corners))


def blend(under, colour, coverage):
    """Straight-alpha "over" of colour, weighted by coverage, onto under."""
    r, g, b, a = colour
    a = a / 255.0 * coverage
    ur, ug, ub, ua = under
    ua /= 255.0
    out_a = a + ua * (1 - a)
    if out_a <= 0:
        return (0, 0, 0, 0)

    def mix(c, u):
        return int(round((c * a + u * ua * (1 - a)) / out_a))

    return (mix(r, ur), mix(g, ug), mix(b, ub), int(round(out_a * 255)))


def paint(canvas, shape, colour, grow=0.0):
    """Fills shape (grown by grow) on canvas. colour is an RGBA tuple or a
    function of the pixel centre (x, y) giving one."""
    l, t, r, b = shape.bounds(grow)
    step = 1.0 / SAMPLES
    offsets = [(i + 0.5) * step for i in range(SAMPLES)]
    total = SAMPLES * SAMPLES
    for y in range(max(0, int(math.floor(t))), min(canvas.height, int(math.ceil(b)) + 1)):
        row = canvas.pixels[y]
        for x in range(max(0, int(math.floor(l))), min(canvas.width, int(math.ceil(r)) + 1)):
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    if shape.contains(x + ox, y + oy, grow):
                        hits += 1
            if hits:
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                row[x] = blend(row[x], c, hits / total)


def vertical_gradient(top_y, top, bottom_y, bottom):
    """A colour function running from top (at top_y) to bottom (at bottom_y)."""

    def colour(x, y):
        t = max(0.0, min(1.0, (y - top_y) / float(bottom_y - top_y)))
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))

    return colour


def hex_colour(text, alpha=255):
    text = text.lstrip('#')
    return int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha
