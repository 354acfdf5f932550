// The program icon drawn in a minimised window, as every program's window
// paints itself while iconic.
#pragma once

#include <windows.h>

// Draws `icon` centred in `window`'s client area on `dc`, after letting the
// window erase its icon background.
void draw_minimised_icon(HWND window, HDC dc, HICON icon);

// Paints the window's update region with draw_minimised_icon when it is
// minimised; false, painting nothing, when it is not.
bool paint_minimised_icon(HWND window, HICON icon);
