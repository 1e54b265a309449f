#!/usr/bin/env python3
"""Draws the program's icon, button bitmaps and banner picture.

Run from anywhere: python3 res/make_images.py
Writes the files listed in res/vorn.qrc next to this script, and vorn.ico
(the same icon in its three sizes) for the Windows resource script
res/images.rc. Uses only the standard library, so the pictures can be
redrawn on any machine.

The button bitmaps are 24-bit BMPs on pure blue (0, 0, 255); the buttons key
that colour out. Edges are smoothed against a light button grey instead of
the blue, so no blue fringe is left around a picture once the key is gone.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (0, 0, 255)
FACE = (240, 240, 240)   # what smoothed edges blend into
SUBSAMPLES = 4           # per axis, for smooth edges


# --- shapes: a bounding box and an inside test in picture coordinates -------

class Shape:
    def __init__(self, box, inside):
        self.box = box          # (x0, y0, x1, y1)
        self.inside = inside    # (x, y) -> bool

    def __sub__(self, other):
        return Shape(self.box, lambda x, y: self.inside(x, y) and not other.inside(x, y))

    def __or__(self, other):
        box = (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
               max(self.box[2], other.box[2]), max(self.box[3], other.box[3]))
        return Shape(box, lambda x, y: self.inside(x, y) or other.inside(x, y))

    def __and__(self, other):
        return Shape(self.box, lambda x, y: self.inside(x, y) and other.inside(x, y))


def polygon(*points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return Shape((min(xs), min(ys), max(xs), max(ys)), inside)


def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return Shape((x0, y0, x1, y1), inside)


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return Shape((cx - rx, cy - ry, cx + rx, cy + ry),
                 lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0)


def line(x0, y0, x1, y1, width):
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = (y0 - y1) / length * width / 2, (x1 - x0) / length * width / 2
    return polygon((x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny))


# --- canvas: premultiplied colour and coverage per pixel --------------------

class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def paint(self, shape, colour, opacity=1.0):
        x0, y0, x1, y1 = shape.box
        step = 1.0 / SUBSAMPLES
        for py in range(max(0, int(y0) - 1), min(self.height, int(math.ceil(y1)) + 1)):
            for px in range(max(0, int(x0) - 1), min(self.width, int(math.ceil(x1)) + 1)):
                hits = sum(shape.inside(px + (i + 0.5) * step, py + (j + 0.5) * step)
                           for i in range(SUBSAMPLES) for j in range(SUBSAMPLES))
                if hits:
                    self._blend(px, py, colour, opacity * hits / SUBSAMPLES ** 2)

    def _blend(self, px, py, colour, cover):
        pixel = self.pixels[py * self.width + px]
        for c in range(3):
            pixel[c] = colour[c] * cover + pixel[c] * (1.0 - cover)
        pixel[3] = cover + pixel[3] * (1.0 - cover)

    def keyed_rgb(self):
        """Pixels for a keyed bitmap: barely covered ones become the key."""
        out = []
        for r, g, b, a in self.pixels:
            if a < 0.3:
                out.append(KEY)
            else:
                out.append(tuple(clamp(v + (1.0 - a) * f) for v, f in zip((r, g, b), FACE)))
        return out

    def rgba(self):
        out = []
        for r, g, b, a in self.pixels:
            out.append((0, 0, 0, 0) if a == 0 else (clamp(r / a), clamp(g / a), clamp(b / a), clamp(a * 255)))
        return out


def clamp(value):
    return max(0, min(255, int(round(value))))


# --- file formats ------------------------------------------------------------

def write_bmp(path, width, height, pixels):
    """24 bits per pixel, bottom-up rows padded to four bytes."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for r, g, b in pixels[y * width:(y + 1) * width]:
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (row_size - len(row)))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_png(path, width, height, pixels):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + bytes(v for p in pixels[y * width:(y + 1) * width] for v in p)
                   for y in range(height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def write_ico(path, images):
    """Each size as a 32-bit image with alpha, plus the 1-bit mask older
    systems draw with (set where the picture is fully transparent)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        colour = b"".join(bytes((b, g, r, a)) for y in reversed(range(size))
                          for r, g, b, a in pixels[y * size:(y + 1) * size])
        mask_row = (size + 31) // 32 * 4
        mask = bytearray()
        for y in reversed(range(size)):
            row = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(pixels[y * size:(y + 1) * size]):
                if a == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
        blob = header + colour + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


# --- the button pictograms (24 x 24 unless said) ------------------------------

def start(c):
    c.paint(polygon((5.5, 2.5), (21.5, 12), (5.5, 21.5)), (0, 100, 20))
    c.paint(polygon((7, 5), (18.6, 12), (7, 19)), (40, 175, 60))
    c.paint(polygon((7, 5), (18.6, 12), (7, 12)), (110, 215, 120))


def stop(c):
    c.paint(rect(4, 4, 20, 20, 2), (130, 10, 10))
    c.paint(rect(5.5, 5.5, 18.5, 18.5, 1), (215, 45, 35))
    c.paint(rect(5.5, 5.5, 18.5, 10, 1), (240, 110, 95))


def pause(c):
    for x in (5, 13.5):
        c.paint(rect(x, 4, x + 5.5, 20, 1.5), (20, 60, 120))
        c.paint(rect(x + 1.2, 5.2, x + 4.3, 18.8, 1), (70, 130, 200))


def exit_door(c):
    c.paint(rect(3, 2.5, 13, 21.5), (90, 60, 30))
    c.paint(rect(4.5, 4, 11.5, 21.5), (40, 30, 20))
    c.paint(polygon((4.5, 4), (10, 6), (10, 23), (4.5, 21.5)), (190, 130, 60))
    c.paint(ellipse(8.7, 14, 0.9), (60, 40, 20))
    c.paint(rect(12, 10.3, 17.5, 13.7), (20, 140, 40))
    c.paint(polygon((16, 6.5), (22, 12), (16, 17.5)), (20, 140, 40))


def website(c):
    globe = ellipse(12, 12, 9.5)
    c.paint(globe, (10, 90, 130))
    c.paint(ellipse(12, 12, 8.3), (40, 150, 200))
    c.paint(ellipse(10, 9, 4.5) & ellipse(12, 12, 8.3), (90, 190, 230))
    for shape in (ellipse(12, 12, 4.6, 8.3) - ellipse(12, 12, 3.5, 8.3),
                  rect(11.4, 3.5, 12.6, 20.5),
                  rect(3.5, 11.4, 20.5, 12.6),
                  rect(4.5, 7, 19.5, 8) & globe,
                  rect(4.5, 16, 19.5, 17) & globe):
        c.paint(shape, (230, 245, 255), 0.85)


def save(c):
    c.paint(polygon((3, 3), (19.5, 3), (22, 5.5), (22, 22), (3, 22)), (35, 45, 70))
    c.paint(polygon((4.5, 4.5), (19, 4.5), (20.5, 6), (20.5, 20.5), (4.5, 20.5)), (70, 90, 140))
    c.paint(rect(7.5, 3, 17.5, 10), (190, 195, 205))
    c.paint(rect(14, 4.3, 16, 8.7), (50, 55, 70))
    c.paint(rect(6.5, 13, 18.5, 22, 0.8), (250, 250, 245))
    for y in (15.5, 18):
        c.paint(rect(8, y, 17, y + 0.9), (150, 160, 180))


def choose_dir(c):
    c.paint(polygon((2, 5), (9, 5), (11, 7.5), (21, 7.5), (21, 19.5), (2, 19.5)), (150, 100, 10))
    c.paint(polygon((3, 6.3), (8.5, 6.3), (10.5, 8.8), (19.8, 8.8), (19.8, 18.5), (3, 18.5)), (225, 175, 50))
    c.paint(polygon((5.5, 10.5), (23, 10.5), (19.5, 20), (2, 20)), (160, 110, 15))
    c.paint(polygon((6.3, 11.7), (21.4, 11.7), (18.7, 18.8), (3.6, 18.8)), (250, 215, 90))


BITMAPS = [
    ("start.bmp", 24, start),
    ("exit.bmp", 24, exit_door),
    ("website.bmp", 24, website),
    ("stop.bmp", 24, stop),
    ("pause.bmp", 24, pause),
    ("save.bmp", 25, save),
    ("choose_dir.bmp", 24, choose_dir),
]


# --- the program icon: a sheet of paper with a red delete mark --------------

def icon(c, size):
    s = size / 48.0

    def p(*points):
        return polygon(*[(x * s, y * s) for x, y in points])
    c.paint(p((8, 3), (30, 3), (40, 13), (40, 45), (8, 45)), (70, 80, 95))
    c.paint(p((10, 5), (29, 5), (38, 14), (38, 43), (10, 43)), (252, 252, 250))
    c.paint(p((29, 5), (38, 14), (29, 14)), (190, 200, 215))
    if size >= 32:
        for y in (19, 24, 29):
            c.paint(rect(14 * s, y * s, 33 * s, (y + 2) * s), (150, 165, 190))
    c.paint(ellipse(34 * s, 34 * s, 12.5 * s), (150, 20, 20))
    c.paint(ellipse(34 * s, 34 * s, 10.8 * s), (220, 50, 40))
    width = max(1.8, 3.2 * s)
    for (x0, y0, x1, y1) in ((29, 29, 39, 39), (39, 29, 29, 39)):
        c.paint(line(x0 * s, y0 * s, x1 * s, y1 * s, width), (255, 255, 255))


ICON_SIZES = (16, 32, 48)


# --- the banner: the product name with files being swept away ---------------

def letters(c, x, y, colour):
    """V O R N, 26 pixels high, drawn from strokes."""
    h = 26
    c.paint(polygon((x, y), (x + 5, y), (x + 10, y + 19), (x + 15, y), (x + 20, y), (x + 12.5, y + h),
                    (x + 7.5, y + h)), colour)
    x += 23
    c.paint(rect(x, y, x + 20, y + h, 9) - rect(x + 5, y + 5, x + 15, y + h - 5, 5), colour)
    x += 24
    c.paint(rect(x, y, x + 5, y + h), colour)
    bowl = rect(x, y, x + 18, y + 15, 6) | rect(x, y, x + 10, y + 15)
    c.paint(bowl - rect(x + 5, y + 4.5, x + 13, y + 10.5, 2.5), colour)
    c.paint(polygon((x + 7, y + 14), (x + 12.5, y + 14), (x + 19, y + h), (x + 13.5, y + h)), colour)
    x += 22
    c.paint(rect(x, y, x + 5, y + h), colour)
    c.paint(rect(x + 15, y, x + 20, y + h), colour)
    c.paint(polygon((x, y), (x + 5.5, y), (x + 20, y + h), (x + 14.5, y + h)), colour)


def small_file(c, x, y, opacity):
    c.paint(polygon((x, y), (x + 9, y), (x + 13, y + 4), (x + 13, y + 17), (x, y + 17)), (40, 60, 80), opacity)
    c.paint(polygon((x + 1.2, y + 1.2), (x + 8.5, y + 1.2), (x + 11.8, y + 4.5), (x + 11.8, y + 15.8),
                    (x + 1.2, y + 15.8)), (250, 250, 250), opacity)
    for row in (6, 9, 12):
        c.paint(rect(x + 3, y + row, x + 10, y + row + 1), (150, 165, 190), opacity)


def banner(c):
    w, h = c.width, c.height
    for x in range(w):   # a band that darkens to the left
        t = x / (w - 1)
        shade = (int(20 + 60 * t), int(70 + 90 * t), int(110 + 100 * t))
        c.paint(rect(x, 0, x + 1, h), shade)
    c.paint(rect(0, h - 3, w, h), (250, 180, 40))
    letters(c, 10, 5, (255, 255, 255))
    for i, opacity in enumerate((1.0, 0.8, 0.6, 0.4, 0.22)):
        small_file(c, 120 + i * 22, 11 + (i % 2) * 3, opacity)


def main():
    for name, size, draw in BITMAPS:
        canvas = Canvas(size, size)
        draw(canvas)
        write_bmp(os.path.join(HERE, name), size, size, canvas.keyed_rgb())
    icons = []
    for size in ICON_SIZES:
        canvas = Canvas(size, size)
        icon(canvas, size)
        icons.append((size, canvas.rgba()))
        write_png(os.path.join(HERE, "icon%d.png" % size), size, size, icons[-1][1])
    write_ico(os.path.join(HERE, "vorn.ico"), icons)
    canvas = Canvas(234, 39)
    banner(canvas)
    write_bmp(os.path.join(HERE, "banner.bmp"), 234, 39, [p[:3] for p in canvas.rgba()])


if __name__ == "__main__":
    main()
