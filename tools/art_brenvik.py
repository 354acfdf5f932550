"""brenvik's window icon: two networked computers under a magnifying glass."""
from artwork import *  # noqa: F401,F403 - the drawing primitives and colours


def scanned_network(c):
    monitor(c, 1, 3, 13, 10)
    monitor(c, 17, 3, 13, 10)
    c.line(7, 19, 7, 22, DARK, 2)
    c.line(23, 19, 23, 22, DARK, 2)
    c.line(7, 22, 24, 22, DARK, 2)
    c.line(15, 22, 15, 25, DARK, 2)
    # The lens over the wire, its handle towards the lower right.
    c.circle(13, 20, 6, LIGHT_BLUE, BLUE)
    c.circle(11, 18, 2, WHITE, None)
    c.line(18, 25, 24, 31, DARK_YELLOW, 3)


ICONS = {128: scanned_network}
