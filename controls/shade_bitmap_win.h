#pragma once

#include <windows.h>

// A bitmap of width x height running from colour1 at the bottom to colour2
// at the top in at most 256 steps; nullptr when it cannot be made.
HBITMAP build_shade_bitmap(HDC dc, COLORREF colour1, COLORREF colour2, int width, int height, int steps);
