// A popup menu whose entries the program draws itself: a shaded side bar with
// an upright title, items with an icon square and a label, a highlight in the
// caller's colour and etched separators.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/column_break.h"

constexpr std::uint32_t kMenuEntryTag = 0x0505A0A0;

// The item data of every drawn entry. An entry owns its icon.
class MenuEntryData {
public:
    MenuEntryData() = default;
    MenuEntryData(UINT command, std::string text, HICON icon, int size = 16)
        : command(command), text(std::move(text)), icon(icon), size(size) {}
    ~MenuEntryData();
    MenuEntryData(const MenuEntryData&) = delete;
    MenuEntryData& operator=(const MenuEntryData&) = delete;

    std::uint32_t tag = kMenuEntryTag;
    UINT command = 0;
    bool separator = false;
    bool title_strip = false;
    std::string text;  // GBK; "label\taccelerator" or the side bar's title
    HICON icon = nullptr;
    int size = 16;  // icon size of an item; width of the side bar
};

class DrawnMenu {
public:
    DrawnMenu();
    // Frees the entries it was given (with their icons) and destroys the
    // attached menu; entries of anyone else are left alone.
    ~DrawnMenu();
    DrawnMenu(const DrawnMenu&) = delete;
    DrawnMenu& operator=(const DrawnMenu&) = delete;

    // Takes ownership of a popup menu handle (from CreatePopupMenu).
    bool attach(HMENU menu);
    HMENU handle() const { return menu_; }
    void set_selection_colour(COLORREF colour) { selection_colour_ = colour; }

    // The side bar, in a column of its own: the next item opens a new column.
    bool append_title_strip(std::unique_ptr<MenuEntryData> bar);
    // `accelerator` (may be null) adds "\t" and its name to the label.
    bool append_drawn_item(UINT flags, std::unique_ptr<MenuEntryData> item, const ACCEL* accelerator);
    bool append_drawn_separator();

    // True when the request was for one of this menu's entries.
    bool measure_item(MEASUREITEMSTRUCT& request) const;
    bool draw_item(const DRAWITEMSTRUCT& request) const;
    // Routes an owner window's WM_MEASUREITEM / WM_DRAWITEM here; true when
    // handled (the window then answers TRUE).
    bool route(UINT msg, LPARAM lp) const;

private:
    const MenuEntryData* entry_of(ULONG_PTR data) const;
    bool append(UINT flags, std::unique_ptr<MenuEntryData> entry);
    void draw_entry(HDC dc, const RECT& row, const MenuEntryData& entry, UINT state) const;
    void paint_icon_frame(HDC dc, RECT rect, bool selected, bool disabled, bool checked) const;
    void paint_entry_label(HDC dc, RECT rect, const std::string& text, bool selected, bool disabled, bool bold) const;
    HFONT create_bold_font() const;

    HMENU menu_ = nullptr;
    HFONT font_ = nullptr;
    COLORREF background_colour_;
    COLORREF selection_colour_;
    COLORREF text_colour_;
    COLORREF selected_text_colour_;
    COLORREF disabled_text_colour_;
    COLORREF bar_bottom_colour_ = RGB(0, 0, 192);
    COLORREF bar_top_colour_ = RGB(0, 0, 0);
    menu::ColumnBreak column_break_;
    std::vector<std::unique_ptr<MenuEntryData>> entries_;
};

// The name of an accelerator's keys ("Ctrl+Shift+F"), empty for none.
std::string accelerator_text(const ACCEL& accelerator);
