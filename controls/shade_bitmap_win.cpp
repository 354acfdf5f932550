#include "controls/shade_bitmap_win.h"

#include <vector>

#include "controls/shade.h"

HBITMAP build_shade_bitmap(HDC dc, COLORREF colour1, COLORREF colour2, int width, int height, int steps) {
    std::vector<std::uint32_t> pixels = menu::shade_pixels(colour1, colour2, width, height, steps);
    if (pixels.empty())
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: the first row is the bottom one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS);
}
