// The drawing steps of the drawn menu as plain functions of a device context:
// a leaf that DrawnMenu calls and that knows nothing of menus. Each step
// makes its fonts, brushes and bitmaps afresh and frees them before
// returning: nothing is cached.
#pragma once

#include <windows.h>

#include <string>

namespace menu {

// A solid brush of `colour` over `rect`, with PatBlt and PATCOPY.
void paint_solid_box(HDC dc, RECT rect, COLORREF colour);
// The icon as a shadow-coloured silhouette with a highlight (or, when
// `shadow_first`, shadow) copy one pixel lower right.
void paint_icon_relief(HDC dc, HICON icon, RECT rect, bool colour_bitmap, bool shadow_first);
void paint_check_glyph(HDC dc, RECT rect);
// The label left-aligned and the accelerator (after the first tab) right-aligned.
void paint_label_text(HDC dc, RECT rect, const std::string& text, COLORREF colour);
// The shaded bar from `bottom` to `top` colour, three pixels wider than
// `rect`, with the title reading upwards in bold white Arial.
void paint_title_strip(HDC dc, RECT rect, COLORREF bottom, COLORREF top, const std::string& text);
}  // namespace menu
