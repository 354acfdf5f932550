// Painting of the drawn menu's entries. Every step makes its fonts, brushes
// and bitmaps afresh and frees them before returning: nothing is cached.
#include "controls/drawn_menu_win.h"

#include "common/win_text.h"
#include "controls/gdi_handles_win.h"
#include "controls/menu_geometry.h"
#include "controls/menu_text.h"
#include "controls/shade_bitmap_win.h"

namespace {

menu::Box box_of(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT rect_of(const menu::Box& b) { return {b.left, b.top, b.right, b.bottom}; }

// Paints the brush where the source is dark and keeps the destination where
// it is white.
constexpr DWORD kBrushWhereDark = 0xB8074A;

}  // namespace

bool DrawnMenu::draw_item(const DRAWITEMSTRUCT& request) const {
    if (request.CtlType != ODT_MENU || !request.itemData)
        return false;
    const MenuEntryData* entry = entry_of(request.itemData);
    if (!entry)
        return false;
    HDC dc = request.hDC;
    const RECT& row = request.rcItem;
    if (entry->title_strip) {
        RECT clip;
        GetClipBox(dc, &clip);
        paint_title_strip(dc, rect_of(menu::title_strip_box(box_of(row), box_of(clip))), entry->icon, entry->text);
        return true;
    }
    if (entry->separator) {
        paint_entry_background(dc, row, false, false);
        RECT line = rect_of(menu::separator_line_box(box_of(row)));
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return true;
    }
    bool selected = request.itemState & ODS_SELECTED;
    bool disabled = request.itemState & ODS_GRAYED;
    bool checked = request.itemState & ODS_CHECKED;
    bool bold = request.itemState & ODS_DEFAULT;
    menu::ItemLayout layout = menu::lay_out_item(box_of(row), entry->size);
    paint_entry_background(dc, row, selected, disabled);
    if (entry->icon || checked)
        paint_icon_frame(dc, rect_of(layout.icon_square), selected, disabled, checked);
    if (entry->icon)
        paint_entry_icon(dc, rect_of(layout.icon), entry->icon, selected, disabled, checked);
    else if (checked)
        paint_check_glyph(dc, rect_of(layout.icon), selected);
    paint_entry_label(dc, rect_of(layout.text), entry->text, selected, disabled, bold);
    return true;
}

void DrawnMenu::paint_solid_box(HDC dc, RECT rect, COLORREF colour) const {
    GdiObject brush(CreateSolidBrush(colour));
    Selection selected(dc, brush.get());
    PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATCOPY);
}

void DrawnMenu::paint_entry_background(HDC dc, RECT rect, bool selected, bool) const {
    paint_solid_box(dc, rect, selected ? selection_colour_ : background_colour_);
}

void DrawnMenu::paint_icon_frame(HDC dc, RECT rect, bool selected, bool disabled, bool checked) const {
    // The selected item's square keeps the menu background.
    paint_solid_box(dc, rect, checked && !selected ? GetSysColor(COLOR_BTNHIGHLIGHT) : background_colour_);
    if (!disabled && (selected || checked))
        DrawEdge(dc, &rect, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void DrawnMenu::paint_entry_icon(HDC dc, RECT rect, HICON icon, bool, bool disabled, bool) const {
    if (disabled)
        paint_icon_relief(dc, icon, rect, false, false);
    else
        DrawIconEx(dc, rect.left, rect.top, icon, rect.right - rect.left, rect.bottom - rect.top, 0, nullptr,
                   DI_NORMAL);
}

void DrawnMenu::paint_icon_relief(HDC dc, HICON icon, RECT rect, bool colour_bitmap, bool shadow_first) const {
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

void DrawnMenu::paint_check_glyph(HDC dc, RECT rect, bool) const {
    GdiObject pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    Selection selected(dc, pen.get());
    menu::Point o = menu::check_mark_origin(box_of(rect));
    for (int i = 0; i < 3; ++i) {
        MoveToEx(dc, o.x, o.y + 3 + i, nullptr);
        LineTo(dc, o.x + 2, o.y + 5 + i);
        LineTo(dc, o.x + 7, o.y + i);
    }
}

void DrawnMenu::paint_entry_label(HDC dc, RECT rect, const std::string& text, bool selected, bool disabled,
                                  bool bold) const {
    GdiObject bold_font(bold ? create_bold_font() : nullptr);
    Selection font(dc, bold_font ? bold_font.get() : font_);
    int old_mode = SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        if (!selected) {
            RECT relief{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
            paint_label_text(dc, relief, text, selected_text_colour_);
        }
        paint_label_text(dc, rect, text, disabled_text_colour_);
    } else {
        paint_label_text(dc, rect, text, selected ? selected_text_colour_ : text_colour_);
    }
    SetBkMode(dc, old_mode);
}

void DrawnMenu::paint_label_text(HDC dc, RECT rect, const std::string& text, COLORREF colour) const {
    menu::LabelParts parts = menu::split_label(text);
    COLORREF old_colour = SetTextColor(dc, colour);
    std::u16string label = widen(parts.label);
    DrawTextW(dc, wide_ptr(label), -1, &rect, DT_SINGLELINE | DT_VCENTER);
    if (parts.draw_accelerator) {
        std::u16string accelerator = widen(parts.accelerator);
        DrawTextW(dc, wide_ptr(accelerator), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    SetTextColor(dc, old_colour);
}

void DrawnMenu::paint_title_strip(HDC dc, RECT rect, HICON, const std::string& text) const {
    int width = rect.right - rect.left + 3;
    int height = rect.bottom - rect.top;
    {
        GdiObject shade(build_shade_bitmap(dc, bar_bottom_colour_, bar_top_colour_, width, height, 256));
        MemoryDc memory(dc);
        if (shade && memory.get()) {
            Selection picture(memory.get(), shade.get());
            BitBlt(dc, rect.left, rect.top, width, height, memory.get(), 0, 0, SRCCOPY);
        }
    }
    // Escapement 900: the title reads upwards from the bottom.
    GdiObject title_font(CreateFontW(16, 0, 900, 900, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    Selection font(dc, title_font.get());
    COLORREF old_colour = SetTextColor(dc, RGB(255, 255, 255));
    int old_mode = SetBkMode(dc, TRANSPARENT);
    std::u16string title = widen(text);
    TextOutW(dc, rect.left + 2, rect.bottom - 4, wide_ptr(title), static_cast<int>(title.size()));
    SetBkMode(dc, old_mode);
    SetTextColor(dc, old_colour);
}
