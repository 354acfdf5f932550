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
}
