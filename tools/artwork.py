#!/usr/bin/env python3
"""Draws the programs' icons and bitmaps: .ico files (32x32 and 16x16, 32-bit
with alpha; the program icon also at 48x48 and at 256x256 as PNG) and 24-bit
.bmp files. The pictures are code so they can be changed like code: each
program's set lives in art_<set>.py beside this file, with
ICONS = {resource id: draw(canvas)} and, optionally,
BITMAPS = {file name: (width, height, background, draw(canvas))}.
Pictures are drawn in a 32-unit square; a canvas with a larger scale draws
the same picture with smooth edges.

usage: artwork.py SET OUTDIR      (SET: filvane, brenvik, corvap)
"""
import importlib
import math
import struct
import sys
import zlib
from pathlib import Path

S = 32  # drawing size in units; the 16x16 image is a 2x2 box-filtered copy
# Explorer, the Start menu and the taskbar show the program icon at every
# size up to 256 px; the list, toolbar and menu icons are only shown small.
PROGRAM_ICON = 128

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
    """A picture of width x height units, `scale` pixels per unit."""

    def __init__(self, width=S, height=S, background=None, scale=1):
        self.width, self.height, self.k = width, height, scale
        self.px = [[background] * (width * scale) for _ in range(height * scale)]

    def fill(self, x0, y0, x1, y1, c):
        """Pixels x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(y0, 0), min(y1, len(self.px))):
            row = self.px[y]
            for x in range(max(x0, 0), min(x1, len(row))):
                row[x] = c

    def centre(self, pixel):
        """The unit coordinate of a pixel's centre (the pixel itself at scale 1)."""
        return (pixel + 0.5) / self.k - 0.5

    def dot(self, x, y, c):
        k = self.k
        self.fill(x * k, y * k, (x + 1) * k, (y + 1) * k, c)

    def rect(self, x0, y0, x1, y1, fill, edge=DARK):
        k = self.k
        if edge:
            self.fill(x0 * k, y0 * k, (x1 + 1) * k, (y1 + 1) * k, edge)
            self.fill((x0 + 1) * k, (y0 + 1) * k, x1 * k, y1 * k, fill)
        else:
            self.fill(x0 * k, y0 * k, (x1 + 1) * k, (y1 + 1) * k, fill)

    def circle(self, cx, cy, r, fill, edge=DARK):
        k = self.k
        for py in range(max(math.floor((cy - r) * k), 0), min(math.ceil((cy + r + 1) * k), len(self.px))):
            for px in range(max(math.floor((cx - r) * k), 0), min(math.ceil((cx + r + 1) * k), len(self.px[0]))):
                d = math.hypot(self.centre(px) - cx, self.centre(py) - cy)
                if d <= r:
                    self.px[py][px] = edge if edge and d > r - 1.2 else fill

    def arc(self, cx, cy, r, start, end, c, width=2):
        """A band `width` units wide around radius r, from angle `start` to
        `end` in degrees (0 points right, angles grow downwards)."""
        k = self.k
        outer = r + width / 2
        for py in range(max(math.floor((cy - outer) * k), 0), min(math.ceil((cy + outer + 1) * k), len(self.px))):
            for px in range(max(math.floor((cx - outer) * k), 0), min(math.ceil((cx + outer + 1) * k), len(self.px[0]))):
                u, v = self.centre(px) - cx, self.centre(py) - cy
                if abs(math.hypot(u, v) - r) <= width / 2 and start <= math.degrees(math.atan2(v, u)) <= end:
                    self.px[py][px] = c

    def line(self, x0, y0, x1, y1, c, width=1):
        k = self.k
        n = max(abs(x1 - x0), abs(y1 - y0), 1) * k
        for i in range(n + 1):
            x = round((x0 + (x1 - x0) * i / n) * k)
            y = round((y0 + (y1 - y0) * i / n) * k)
            self.fill(x, y, x + width * k, y + width * k, c)

    def polygon(self, points, fill):
        k = self.k
        ys = [p[1] for p in points]
        for py in range(max(math.ceil((min(ys) + 0.5) * k - 0.5), 0),
                        min(math.floor((max(ys) + 0.5) * k - 0.5) + 1, len(self.px))):
            y = self.centre(py)
            xs = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                self.fill(math.ceil((a + 0.5) * k - 0.5), py, math.floor((b + 0.5) * k - 0.5) + 1, py + 1, fill)


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


def rgba(c):
    return c if len(c) == 4 else (*c, 255)


def image_bytes(pixels, size):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        for x in range(size):
            if pixels[y][x]:
                r, g, b, a = rgba(pixels[y][x])
                rows.append(struct.pack("BBBB", b, g, r, a))
            else:
                rows.append(b"\0\0\0\0")
    mask_row = ((size + 31) // 32) * 4
    mask = []
    for y in reversed(range(size)):
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(row))
    return header + b"".join(rows) + b"".join(mask)


def png_bytes(pixels, size):
    """One icon image as PNG (8-bit RGBA), as Windows Vista and later read it."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + b"".join(bytes(rgba(c)) if c else b"\0\0\0\0" for c in row) for row in pixels)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def downsample(px, soft=False):
    """A 2x2 box-filtered copy. Hard: a pixel is opaque when at least half of
    its block is; soft: its alpha is the block's coverage, for smooth edges."""
    out = []
    for y in range(0, len(px), 2):
        row = []
        for x in range(0, len(px[0]), 2):
            block = [px[y + dy][x + dx] for dy in (0, 1) for dx in (0, 1)]
            solid = [b for b in block if b]
            colour = tuple(sum(b[i] for b in solid) // len(solid) for i in range(3)) if solid else None
            if soft:
                row.append((*colour, 255 * len(solid) // 4) if solid else None)
            else:
                row.append(colour if len(solid) >= 2 else None)
        out.append(row)
    return out


def drawn(draw, scale):
    c = Canvas(scale=scale)
    draw(c)
    return c.px


def write_ico(path, draw, program_icon):
    small = drawn(draw, 1)
    images = [(16, image_bytes(downsample(small), 16)), (32, image_bytes(small, 32))]
    if program_icon:
        # Drawn at twice the size and filtered down, for smooth edges.
        images.append((48, image_bytes(downsample(drawn(draw, 3), soft=True), 48)))
        images.append((256, png_bytes(downsample(drawn(draw, 16), soft=True), 256)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        # A size of 256 is written as 0 in the one-byte fields.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
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
        write_ico(out / f"icon{number}.ico", draw, number == PROGRAM_ICON)
    for name, (width, height, background, draw) in getattr(pictures, "BITMAPS", {}).items():
        write_bmp(out / name, width, height, background, draw)


if __name__ == "__main__":
    main()
