#include "controls/menu_paint_win.h"

#include "common/gdi_handles_win.h"
#include "common/wide_text_win.h"
#include "controls/menu_geometry.h"
#include "controls/menu_text.h"
#include "controls/shade_bitmap_win.h"

namespace menu {
namespace {

// Paints the brush where the source is dark and keeps the destination where
// it is white.
constexpr DWORD kBrushWhereDark = 0xB8074A;

}  // namespace

void paint_solid_box(HDC dc, RECT rect, COLORREF colour) {
    GdiObject brush(CreateSolidBrush(colour));
    Selection selected(dc, brush.get());
    PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATCOPY);
}

void paint_icon_relief(HDC dc, HICON icon, RECT rect, bool colour_bitmap, bool shadow_first) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    MemoryDc memory(dc);
    GdiObject bitmap(colour_bitmap ? CreateCompatibleBitmap(dc, width, height)
                                   : CreateBitmap(width, height, 1, 1, nullptr));
    if (!memory.get() || !bitmap)
        return;
    Selection picture(memory.get(), bitmap.get());
    PatBlt(memory.get(), 0, 0, width, height, WHITENESS);
    DrawIconEx(memory.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);

    COLORREF old_background = SetBkColor(dc, RGB(255, 255, 255));
    GdiObject shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    GdiObject highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    {
        Selection first(dc, shadow_first ? shadow.get() : highlight.get());
        BitBlt(dc, rect.left + 1, rect.top + 1, width, height, memory.get(), 0, 0, kBrushWhereDark);
    }
    {
        Selection second(dc, shadow.get());
        BitBlt(dc, rect.left, rect.top, width, height, memory.get(), 0, 0, kBrushWhereDark);
    }
    SetBkColor(dc, old_background);
}

void paint_check_glyph(HDC dc, RECT rect) {
    GdiObject pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    Selection selected(dc, pen.get());
    Point o = check_mark_origin({rect.left, rect.top, rect.right, rect.bottom});
    for (int i = 0; i < 3; ++i) {
        MoveToEx(dc, o.x, o.y + 3 + i, nullptr);
        LineTo(dc, o.x + 2, o.y + 5 + i);
        LineTo(dc, o.x + 7, o.y + i);
    }
}

void paint_label_text(HDC dc, RECT rect, const std::string& text, COLORREF colour) {
    LabelParts parts = split_label(text);
    COLORREF old_colour = SetTextColor(dc, colour);
    std::u16string label = widen(parts.label);
    DrawTextW(dc, wide_ptr(label), -1, &rect, DT_SINGLELINE | DT_VCENTER);
    if (parts.draw_accelerator) {
        std::u16string accelerator = widen(parts.accelerator);
        DrawTextW(dc, wide_ptr(accelerator), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    SetTextColor(dc, old_colour);
}

void paint_title_strip(HDC dc, RECT rect, COLORREF bottom, COLORREF top, const std::string& text) {
    int width = rect.right - rect.left + 3;
    int height = rect.bottom - rect.top;
    {
        GdiObject shade(build_shade_bitmap(dc, bottom, top, width, height, 256));
        MemoryDc memory(dc);
        if (shade && memory.get()) {
            Selection picture(memory.get(), shade.get());
            BitBlt(dc, rect.left, rect.top, width, height, memory.get(), 0, 0, SRCCOPY);
        }
    }
    // Escapement 900: the title reads upwards from the bottom.
    GdiObject title_font(CreateFontW(16, 0, 900, 900, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    Selection font(dc, title_font.get());
    COLORREF old_colour = SetTextColor(dc, RGB(255, 255, 255));
    int old_mode = SetBkMode(dc, TRANSPARENT);
    std::u16string title = widen(text);
    TextOutW(dc, rect.left + 2, rect.bottom - 4, wide_ptr(title), static_cast<int>(title.size()));
    SetBkMode(dc, old_mode);
    SetTextColor(dc, old_colour);
}

}  // namespace menu
