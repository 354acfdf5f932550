"""Corvap's pictures: the window icon, the icon at each end of the activity
line, and the five 16x16 images of the result list (magenta is transparent)."""
from artwork import *  # noqa: F401,F403 - the drawing primitives and colours

MAGENTA = (255, 0, 255)
ORANGE = (240, 140, 30)


def computer_with_waves(c):
    monitor(c, 1, 6, 18, 15)
    for r, colour in ((6, GREEN), (10, GREEN), (14, BLUE)):
        c.arc(16, 13, r, -40, 40, colour)


def networked_computer(c):
    monitor(c, 4, 3, 24, 17)
    c.line(16, 27, 16, 30, DARK, 2)
    c.line(6, 30, 26, 30, BLUE, 2)


# The list images, each drawn at x offset `x` in the 80x16 strip.
def warning(c, x):
    c.polygon([(x + 7, 1), (x + 15, 14), (x + 0, 14)], YELLOW)
    c.line(x + 7, 1, x + 15, 14, DARK_YELLOW)
    c.line(x + 7, 1, x + 0, 14, DARK_YELLOW)
    c.line(x + 0, 14, x + 15, 14, DARK_YELLOW)
    c.line(x + 7, 5, x + 7, 10, DARK)
    c.dot(x + 7, 12, DARK)


def small_computer(c, x, y=3):
    c.rect(x, y, x + 8, y + 6, LIGHT_BLUE)
    c.rect(x + 2, y + 8, x + 6, y + 9, GREY, None)


def dots(c, x0, colour):
    for i in range(3):
        c.rect(x0 + i * 2, 6, x0 + i * 2, 7, colour, None)


def sending(c, x):
    small_computer(c, x)
    dots(c, x + 10, GREEN)


def receiving(c, x):
    small_computer(c, x + 7)
    dots(c, x + 1, BLUE)


def timed_out(c, x):
    clock(c, x + 6, 8, 6)
    c.rect(x + 13, 2, x + 14, 9, RED, None)
    c.rect(x + 13, 12, x + 14, 13, RED, None)


def separator(c, x):
    c.line(x + 3, 8, x + 12, 8, GREY)


def line_images(c):
    for i, draw in enumerate((warning, sending, receiving, timed_out, separator)):
        draw(c, i * 16)


ICONS = {
    128: computer_with_waves,
    131: networked_computer,
}

BITMAPS = {
    "line_images.bmp": (80, 16, MAGENTA, line_images),
}
