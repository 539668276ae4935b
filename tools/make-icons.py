#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (32-bit BGRA images with an AND mask).

    tools/make-icons.py [output-dir]     (default: resources/)

Zerenta.ico (resource 128): a monitor with a gamma curve, 16, 32 and 48 pixels.
Warning.ico (resource 140): the yellow warning triangle of the gamma page, 16 pixels at 96 DPI, with
20, 24 and 32 pixels for 120, 144 and 192 DPI.
"""
import math
import os
import struct
import sys


def blend(dst, src, a):
    return tuple(int(round(d * (1 - a) + s * a)) for d, s in zip(dst, src))


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0)] * size for _ in range(size)]  # RGBA, row 0 at the top

    def put(self, x, y, rgb, alpha=1.0):
        if 0 <= x < self.size and 0 <= y < self.size and alpha > 0:
            r, g, b, a = self.px[y][x]
            if a == 0:
                self.px[y][x] = (*rgb, int(round(255 * alpha)))
            else:
                out_a = a / 255 + alpha * (1 - a / 255)
                self.px[y][x] = (*blend((r, g, b), rgb, alpha), int(round(255 * out_a)))

    def coverage_fill(self, inside, rgb, samples=4):
        """Fills every pixel by the share of its sub-samples for which inside(x, y) holds."""
        for y in range(self.size):
            for x in range(self.size):
                hits = sum(inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples)
                           for i in range(samples) for j in range(samples))
                if hits:
                    self.put(x, y, rgb, hits / (samples * samples))


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def thick_polyline(points, width):
    half = width / 2

    def inside(x, y):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy or 1)))
            if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half:
                return True
        return False
    return inside


def triangle(ax, ay, bx, by, cx, cy):
    def sign(px, py, qx, qy, rx, ry):
        return (px - rx) * (qy - ry) - (qx - rx) * (py - ry)

    def inside(x, y):
        d1 = sign(x, y, ax, ay, bx, by)
        d2 = sign(x, y, bx, by, cx, cy)
        d3 = sign(x, y, cx, cy, ax, ay)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


def program_icon(size):
    s = size / 32.0
    c = Canvas(size)
    # stand and foot
    c.coverage_fill(rounded_rect(13 * s, 22 * s, 19 * s, 27 * s, 0.5 * s), (90, 90, 100))
    c.coverage_fill(rounded_rect(8 * s, 26 * s, 24 * s, 29.5 * s, 1.5 * s), (70, 70, 80))
    # case and screen
    c.coverage_fill(rounded_rect(1.5 * s, 3 * s, 30.5 * s, 23 * s, 2.5 * s), (45, 50, 62))
    screen = rounded_rect(4 * s, 5.5 * s, 28 * s, 20.5 * s, 1 * s)
    for y in range(size):
        for x in range(size):
            t = y / max(1, size - 1)
            rgb = blend((40, 110, 220), (20, 30, 90), t)
            hits = sum(screen(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
            if hits:
                c.put(x, y, rgb, hits / 16)
    # the gamma curve across the screen, warm yellow
    pts = []
    for k in range(13):
        u = k / 12
        pts.append(((5 + 22 * u) * s, (19.5 - 13 * (u ** 0.55)) * s))
    c.coverage_fill(thick_polyline(pts, max(1.2, 1.8 * s)), (255, 205, 40))
    return c


def warning_icon(size=16):
    s = size / 16.0
    c = Canvas(size)
    c.coverage_fill(triangle(8 * s, 0.5 * s, 15.6 * s, 15 * s, 0.4 * s, 15 * s), (120, 80, 0))     # dark outline
    c.coverage_fill(triangle(8 * s, 2.6 * s, 14.0 * s, 14.0 * s, 2.0 * s, 14.0 * s), (255, 214, 0))  # yellow body
    c.coverage_fill(rounded_rect(7.1 * s, 5.5 * s, 8.9 * s, 10.8 * s, 0.8 * s), (0, 0, 0))       # the mark
    c.coverage_fill(rounded_rect(7.1 * s, 11.6 * s, 8.9 * s, 13.2 * s, 0.8 * s), (0, 0, 0))
    return c


def ico_image(c):
    n = c.size
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in reversed(range(n)):  # bottom-up rows
        for x in range(n):
            r, g, b, a = c.px[y][x]
            xor += bytes((b, g, r, a))
    row_bytes = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(n)):
        row = bytearray(row_bytes)
        for x in range(n):
            if c.px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_ico(path, canvases):
    images = [ico_image(c) for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        dim = c.size if c.size < 256 else 0
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, 'wb') as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'resources')
    write_ico(os.path.join(outdir, 'Zerenta.ico'), [program_icon(n) for n in (16, 32, 48)])
    write_ico(os.path.join(outdir, 'Warning.ico'), [warning_icon(n) for n in (16, 20, 24, 32)])


if __name__ == '__main__':
    main()
