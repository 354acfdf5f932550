#!/usr/bin/env python3
"""Draws the programs' icons and bitmaps: .ico files (32x32 and 16x16, 32-bit
with alpha) and 24-bit .bmp files. The pictures are code so they can be
changed like code: each program's set lives in art_<set>.py beside this file,
with ICONS = {resource id: draw(canvas)} and, optionally,
BITMAPS = {file name: (width, height, background, draw(canvas))}.

usage: artwork.py SET OUTDIR      (SET: filvane, brenvik, corvap)
"""
import importlib
import math
import struct
import sys
from pathlib import Path

S = 32  # drawing size; the 16x16 image is a 2x2 box-filtered copy

YELLOW = (240, 196, 64)
DARK_YELLOW = (176, 128, 24)
BLUE = (52, 101, 180)
LIGHT_BLUE = (140, 190, 240)
GREEN = (40, 160, 60)
WHITE = (250, 250, 250)
GREY = (120, 120, 130)
DARK = (40, 40, 50)
SKIN = (232, 186, 150)
RED = (210, 40, 40)
PAPER = (245, 245, 235)


class Canvas:
    def __init__(self, width=S, height=S, background=None):
        self.width, self.height = width, height
        self.px = [[background] * width for _ in range(height)]

    def dot(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, edge=DARK):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                on_edge = edge and (x in (x0, x1) or y in (y0, y1))
                self.dot(x, y, edge if on_edge else fill)

    def circle(self, cx, cy, r, fill, edge=DARK):
        for y in range(self.height):
            for x in range(self.width):
                d = math.hypot(x - cx, y - cy)
                if d <= r:
                    self.dot(x, y, edge if edge and d > r - 1.2 else fill)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            x = round(x0 + (x1 - x0) * i / n)
            y = round(y0 + (y1 - y0) * i / n)
            for dx in range(width):
                for dy in range(width):
                    self.dot(x + dx, y + dy, c)

    def polygon(self, points, fill):
        ys = [p[1] for p in points]
        for y in range(min(ys), max(ys) + 1):
            xs = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(math.ceil(a), math.floor(b) + 1):
                    self.dot(x, y, fill)


# Shared picture parts.
def folder(c, x, y, w, h, open_=False):
    c.rect(x, y, x + w // 3, y + 3, DARK_YELLOW)
    c.rect(x, y + 3, x + w, y + h, YELLOW)
    if open_:
        c.polygon([(x + 3, y + 8), (x + w + 2, y + 8), (x + w - 1, y + h), (x, y + h)], DARK_YELLOW)


def document(c, x, y, w, h, lines=True):
    c.rect(x, y, x + w, y + h, PAPER)
    if lines:
        for ly in range(y + 3, y + h - 1, 3):
            c.line(x + 2, ly, x + w - 2, ly, GREY)


def globe(c, cx, cy, r):
    c.circle(cx, cy, r, LIGHT_BLUE, BLUE)
    c.line(cx - r + 1, cy, cx + r - 1, cy, BLUE)
    c.line(cx, cy - r + 1, cx, cy + r - 1, BLUE)
    c.circle(cx - 1, cy - 1, r // 3, GREEN, None)


def person(c, cx, top, colour):
    c.circle(cx, top + 4, 4, SKIN)
    c.polygon([(cx - 7, top + 17), (cx - 5, top + 9), (cx + 5, top + 9), (cx + 7, top + 17)], colour)


def arrow(c, x, y, colour):
    c.polygon([(x, y + 3), (x + 6, y + 3), (x + 6, y), (x + 11, y + 5), (x + 6, y + 10), (x + 6, y + 7), (x, y + 7)],
              colour)


def monitor(c, x, y, w, h):
    c.rect(x, y, x + w, y + h, DARK)
    c.rect(x + 2, y + 2, x + w - 2, y + h - 2, LIGHT_BLUE, None)
    c.rect(x + w // 2 - 2, y + h + 1, x + w // 2 + 2, y + h + 3, GREY, None)
    c.rect(x + w // 2 - 6, y + h + 4, x + w // 2 + 6, y + h + 5, DARK, None)


def clock(c, cx, cy, r):
    c.circle(cx, cy, r, WHITE)
    c.line(cx, cy, cx, cy - r + 3, DARK)
    c.line(cx, cy, cx + r - 3, cy, DARK)


def window_frame(c, x, y, w, h):
    c.rect(x, y, x + w, y + h, WHITE)
    c.rect(x, y, x + w, y + 4, BLUE)


def image_bytes(pixels, size):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        for x in range(size):
            c = pixels[y][x]
            rows.append(struct.pack("BBBB", c[2], c[1], c[0], 255) if c else b"\0\0\0\0")
    mask_row = ((size + 31) // 32) * 4
    mask = []
    for y in reversed(range(size)):
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(row))
    return header + b"".join(rows) + b"".join(mask)


def downsample(px):
    out = []
    for y in range(0, S, 2):
        row = []
        for x in range(0, S, 2):
            block = [px[y + dy][x + dx] for dy in (0, 1) for dx in (0, 1)]
            solid = [b for b in block if b]
            row.append(tuple(sum(b[i] for b in solid) // len(solid) for i in range(3)) if len(solid) >= 2 else None)
        out.append(row)
    return out


def write_ico(path, draw):
    c = Canvas()
    draw(c)
    images = [(32, image_bytes(c.px, 32)), (16, image_bytes(downsample(c.px), 16))]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    path.write_bytes(header + entries + b"".join(d for _, d in images))


def write_bmp(path, width, height, background, draw):
    c = Canvas(width, height, background)
    draw(c)
    stride = (width * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(height)):
        row = b"".join(struct.pack("BBB", p[2], p[1], p[0]) for p in c.px[y])
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    path.write_bytes(header + info + rows)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.path.insert(0, str(Path(__file__).parent))
    pictures = importlib.import_module("art_" + sys.argv[1])
    out = Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    for number, draw in pictures.ICONS.items():
        write_ico(out / f"icon{number}.ico", draw)
    for name, (width, height, background, draw) in getattr(pictures, "BITMAPS", {}).items():
        write_bmp(out / name, width, height, background, draw)


if __name__ == "__main__":
    main()
