#!/usr/bin/env python3
"""Draws the Windows front end's images and writes them as BMP and ICO files.

    make_ui_images.py OUTPUT_DIR
    make_ui_images.py --icon-png SIZE FILE

writes warning_large.bmp (97 x 90), success.bmp (98 x 93), warning_small.bmp (45 x 40) and
tessel.ico (16, 32 and 48 pixels). The second form writes the application icon as one PNG
of SIZE x SIZE pixels (the Linux desktop entry's icon). A pixel that the shapes below do not cross takes their
colour; a pixel on an edge averages 8 x 8 samples, so edges are smooth. The output depends on
nothing but this file (standard library only).
"""
import math
import zlib
import os
import struct
import sys

SAMPLES = 8  # per axis and pixel

GROUND_GREY = (236, 237, 236)  # the main window's background
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


# Signed distances (negative inside) of the shapes, in pixels.

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def polygon_distance(px, py, points):
    inside = False
    best = float("inf")
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        best = min(best, segment_distance(px, py, ax, ay, bx, by))
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return -best if inside else best


def rounded_triangle(cx, top, bottom, half_width, radius):
    """A triangle with its apex at (cx, top) and its base at y = bottom, corners rounded."""
    # Shrink the triangle by the radius, then grow it back through the distance: the sides
    # stay where they were and the corners become arcs.
    height = bottom - top
    side = math.hypot(half_width, height)
    inset_top = radius * side / half_width
    inset_side = radius * (side + half_width) / height
    points = [(cx, top + inset_top), (cx + half_width - inset_side, bottom - radius),
              (cx - half_width + inset_side, bottom - radius)]
    return lambda x, y: polygon_distance(x, y, points) - radius


def exclamation(cx, top, bar_bottom, dot_y, top_half_width, bottom_half_width, dot_radius):
    """An exclamation mark: a bar that narrows downwards with round ends, and a dot."""
    def distance(x, y):
        t = max(0.0, min(1.0, (y - top) / (bar_bottom - top)))
        half = top_half_width + (bottom_half_width - top_half_width) * t
        bar = segment_distance(x, y, cx, top, cx, bar_bottom) - half
        dot = math.hypot(x - cx, y - dot_y) - dot_radius
        return min(bar, dot)
    return distance


def warning_sign(width, height, ground, mark, margin, border):
    cx = width / 2
    half = (width - 2 * margin) / 2
    top = margin + 0.5
    bottom = top + half * math.sqrt(3)
    radius = width * 0.07
    outer = rounded_triangle(cx, top, bottom, half, radius)
    h = bottom - top
    mark_shape = exclamation(cx, top + h * 0.33, top + h * 0.70, top + h * 0.84,
                             h * 0.062, h * 0.045, h * 0.068)
    dark = (214, 150, 0)
    light = (255, 214, 40)
    deep = (250, 184, 0)

    def colour(x, y):
        d = outer(x, y)
        if d > 0:
            return "ground", ground
        if mark_shape(x, y) < 0:
            return "mark", mark
        if d > -border:
            return "border", dark
        return "fill", mix(light, deep, (y - top) / h)
    return colour


def success_sign(width, height):
    cx, cy = width / 2, height / 2
    radius = min(width, height) / 2 - 3
    rim = max(1.5, radius * 0.06)
    stroke = radius * 0.11
    tick = [(cx - radius * 0.48, cy + radius * 0.02), (cx - radius * 0.12, cy + radius * 0.36),
            (cx + radius * 0.50, cy - radius * 0.32)]

    def colour(x, y):
        d = math.hypot(x - cx, y - cy) - radius
        if d > 0:
            return "ground", GROUND_GREY
        check = min(segment_distance(x, y, *tick[0], *tick[1]),
                    segment_distance(x, y, *tick[1], *tick[2])) - stroke
        if check < 0:
            return "check", WHITE
        if d > -rim:
            return "rim", (30, 128, 52)
        return "fill", mix((84, 196, 96), (38, 150, 62), (y - (cy - radius)) / (2 * radius))
    return colour


def application_icon(size):
    """A blue rounded square with a white arrow that rises from a bar: firmware going up."""
    s = float(size)
    corner = s * 0.2
    inset = s * 0.03
    half = s / 2 - inset
    cx = cy = s / 2
    shaft = s * 0.075
    head = [(cx, s * 0.16), (cx + s * 0.27, s * 0.45), (cx - s * 0.27, s * 0.45)]
    bar_y = s * 0.80
    bar_half = s * 0.27
    bar_thick = s * 0.06

    def colour(x, y):
        qx = abs(x - cx) - (half - corner)
        qy = abs(y - cy) - (half - corner)
        d = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - corner
        if d > 0:
            return "outside", (0, 0, 0, 0)
        arrow = min(polygon_distance(x, y, head),
                    segment_distance(x, y, cx, s * 0.40, cx, s * 0.66) - shaft)
        bar = segment_distance(x, y, cx - bar_half, bar_y, cx + bar_half, bar_y) - bar_thick
        if arrow < 0 or bar < 0:
            return "arrow", (255, 255, 255, 255)
        return "fill", mix((47, 134, 224), (18, 78, 160), y / s) + (255,)
    return colour


def render(width, height, colour):
    """Rows of pixels, top row first. colour(x, y) names the shape at a point and gives its
    colour there, as RGB or RGBA."""
    rows = []
    step = 1.0 / SAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            shapes = {colour(px + dx, py + dy)[0] for dx, dy in
                      ((0.0, 0.0), (1.0, 0.0), (0.0, 1.0), (1.0, 1.0))}
            if len(shapes) == 1:  # no edge crosses the pixel (every shape is wider than one)
                row.append(tuple(int(round(v)) for v in colour(px + 0.5, py + 0.5)[1]))
                continue
            acc = None
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour(px + (sx + 0.5) * step, py + (sy + 0.5) * step)[1]
                    if len(c) == 4:  # accumulate premultiplied colour
                        c = (c[0] * c[3], c[1] * c[3], c[2] * c[3], c[3])
                    acc = list(c) if acc is None else [a + b for a, b in zip(acc, c)]
            n = SAMPLES * SAMPLES
            if len(acc) == 4:
                alpha = acc[3] / n
                rgb = [a / acc[3] if acc[3] else 0 for a in acc[:3]]
                row.append(tuple(int(round(v)) for v in rgb) + (int(round(alpha)),))
            else:
                row.append(tuple(int(round(a / n)) for a in acc))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    """A 24-bit bottom-up BMP."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def ico_bytes(images):
    """An icon with one 32-bit image (with alpha) per size."""
    entries = bytearray()
    data = bytearray()
    offset = 6 + 16 * len(images)
    for rows in images:
        size = len(rows)
        pixels = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                pixels += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytes(mask_stride * size)  # the alpha channel decides; the mask stays clear
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                           0, 0, 0, 0)
        image = info + bytes(pixels) + mask
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image),
                               offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + bytes(entries) + bytes(data)


def png_bytes(rows):
    """A 32-bit RGBA PNG."""
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) == 4 and argv[1] == "--icon-png":
        size = int(argv[2])
        with open(argv[3], "wb") as f:
            f.write(png_bytes(render(size, size, application_icon(size))))
        return 0
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "warning_large.bmp": bmp_bytes(render(97, 90, warning_sign(97, 90, GROUND_GREY, WHITE,
                                                                   3, 2.2))),
        "success.bmp": bmp_bytes(render(98, 93, success_sign(98, 93))),
        "warning_small.bmp": bmp_bytes(render(45, 40, warning_sign(45, 40, WHITE, BLACK,
                                                                   1.5, 1.4))),
        "tessel.ico": ico_bytes([render(n, n, application_icon(n)) for n in (16, 32, 48)]),
    }
    for name, content in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
