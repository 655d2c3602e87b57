#!/usr/bin/env python3
"""Writes the picture that scripts/run.sh opens in the editor: a small
landscape (sky, sun, hills, a lake) as an 8-bit RGB PNG.

usage: python3 scripts/sample_image.py OUT.png [WIDTH HEIGHT]
"""
import math
import struct
import sys
import zlib


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def pixel(x, y, w, h):
    sky = mix((116, 170, 226), (236, 244, 252), y / (h * 0.62))
    # Sun with a soft halo.
    sx, sy, sr = w * 0.78, h * 0.24, h * 0.09
    d = math.hypot(x - sx, y - sy)
    if d < sr:
        return (255, 214, 92)
    colour = mix((255, 236, 170), sky, min(1.0, (d - sr) / (sr * 1.6))) if d < sr * 2.6 else sky
    far = h * 0.56 + math.sin(x / w * 5.0 + 0.8) * h * 0.06 + math.sin(x / w * 13.0) * h * 0.015
    near = h * 0.70 + math.sin(x / w * 3.2 + 2.0) * h * 0.07
    lake = h * 0.84
    if y > lake:
        ripple = 0.08 * math.sin(y * 0.9 + x * 0.05)
        return mix((64, 128, 190), (38, 92, 150), (y - lake) / (h - lake) + ripple)
    if y > near:
        return mix((86, 156, 72), (52, 112, 52), (y - near) / (lake - near))
    if y > far:
        return mix((120, 150, 170), (96, 130, 120), (y - far) / (h * 0.2))
    return colour


def write_png(path, w, h):
    rows = bytearray()
    for y in range(h):
        rows.append(0)
        for x in range(w):
            rows.extend(pixel(x, y, w, h))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        out.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    width = int(sys.argv[2]) if len(sys.argv) > 3 else 640
    height = int(sys.argv[3]) if len(sys.argv) > 3 else 400
    write_png(sys.argv[1], width, height)
