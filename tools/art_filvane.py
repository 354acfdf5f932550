"""Filvane's icons: the window icon and the ten list icons."""
from artwork import *  # noqa: F401,F403 - the drawing primitives and colours


# Pictures by name.
def shared_folder_in_hand(c):
    folder(c, 5, 3, 22, 15)
    c.polygon([(1, 22), (10, 19), (30, 19), (30, 24), (18, 30), (1, 30)], SKIN)
    c.line(10, 22, 26, 22, DARK_YELLOW)


def folders_on_network(c):
    folder(c, 1, 2, 13, 9)
    folder(c, 17, 2, 13, 9)
    c.line(7, 13, 7, 20, DARK, 2)
    c.line(24, 13, 24, 20, DARK, 2)
    c.line(7, 20, 24, 20, DARK, 2)
    globe(c, 16, 24, 7)


def two_people(c):
    person(c, 11, 6, BLUE)
    person(c, 21, 10, GREEN)


def open_folder_arrow_document(c):
    document(c, 17, 2, 12, 15)
    folder(c, 1, 10, 24, 18, open_=True)
    arrow(c, 12, 14, GREEN)


def monitor_with_globe(c):
    monitor(c, 2, 3, 24, 18)
    globe(c, 14, 12, 6)


def folder_with_list(c):
    folder(c, 2, 6, 26, 22)
    document(c, 7, 12, 14, 13)
    arrow(c, 18, 20, BLUE)


def folder_with_file_window(c):
    folder(c, 2, 4, 27, 22)
    window_frame(c, 7, 11, 18, 13)
    for i in range(3):
        c.rect(9 + i * 5, 18, 12 + i * 5, 22, PAPER)


def document_with_clock(c):
    document(c, 3, 2, 18, 26)
    clock(c, 22, 21, 8)


def lined_sheet(c):
    document(c, 6, 2, 20, 27)


def form_window(c):
    window_frame(c, 2, 4, 27, 23)
    for i, w in enumerate((14, 18, 10)):
        c.line(5, 11 + i * 5, 10, 11 + i * 5, GREY)
        c.rect(12, 9 + i * 5, 12 + w, 12 + i * 5, WHITE)


def person_with_plus(c):
    person(c, 12, 5, BLUE)
    c.rect(21, 17, 24, 29, GREEN, None)
    c.rect(17, 21, 28, 24, GREEN, None)


# Toolbar and tray menu pictures.
def gear(c):
    import math as m
    for i in range(8):
        a = i * m.pi / 4
        x, y = 16 + 11 * m.cos(a), 16 + 11 * m.sin(a)
        c.circle(round(x), round(y), 3, GREY, None)
    c.circle(16, 16, 10, GREY)
    c.circle(16, 16, 4, WHITE)


def magnifier(c, cx, cy, r):
    c.circle(cx, cy, r, LIGHT_BLUE)
    c.line(cx + r - 1, cy + r - 1, cx + r + 6, cy + r + 6, DARK, 3)


def document_with_magnifier(c):
    document(c, 3, 2, 18, 26)
    magnifier(c, 20, 17, 6)


def document_with_cross(c):
    document(c, 4, 2, 18, 26)
    c.line(17, 17, 28, 28, RED, 3)
    c.line(28, 17, 17, 28, RED, 3)


def globe_with_echo(c):
    globe(c, 12, 18, 9)
    for r in (4, 8, 12):
        for i in range(-3, 4):
            c.dot(24 + round(r * 0.5) - abs(i) // 2, 8 + i - r // 2, GREEN)
    arrow(c, 19, 0, GREEN)


def monitor_with_magnifier(c):
    monitor(c, 1, 2, 22, 16)
    magnifier(c, 20, 18, 6)


def window_into_tray(c):
    window_frame(c, 3, 2, 24, 17)
    c.polygon([(12, 20), (19, 20), (19, 24), (23, 24), (15, 30), (8, 24), (12, 24)], GREEN)
    c.rect(2, 29, 29, 31, GREY)


def door_with_exit(c):
    c.rect(6, 2, 20, 30, DARK_YELLOW)
    c.rect(8, 4, 18, 28, YELLOW, None)
    c.circle(16, 17, 1, DARK, None)
    c.polygon([(18, 13), (24, 13), (24, 9), (31, 16), (24, 23), (24, 19), (18, 19)], RED)


def book_with_question(c):
    c.rect(4, 3, 26, 29, BLUE)
    c.rect(7, 5, 24, 27, PAPER, None)
    c.circle(15, 12, 4, YELLOW, None)
    c.circle(15, 12, 2, PAPER, None)
    c.rect(13, 12, 14, 14, PAPER, None)
    c.rect(15, 16, 17, 20, DARK_YELLOW, None)
    c.rect(15, 22, 17, 24, DARK_YELLOW, None)


ICONS = {
    128: shared_folder_in_hand,
    150: folders_on_network,
    151: two_people,
    152: open_folder_arrow_document,
    153: monitor_with_globe,
    154: folder_with_list,
    155: folder_with_file_window,
    156: document_with_clock,
    157: lined_sheet,
    158: form_window,
    159: person_with_plus,
    132: gear,
    134: document_with_magnifier,
    161: document_with_cross,
    162: globe_with_echo,
    163: monitor_with_magnifier,
    165: window_into_tray,
    166: door_with_exit,
    168: book_with_question,
}
