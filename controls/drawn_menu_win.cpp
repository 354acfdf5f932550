#include "controls/drawn_menu_win.h"

#include <new>

#include "common/gdi_handles_win.h"
#include "common/wide_text_win.h"
#include "controls/menu_geometry.h"
#include "controls/menu_paint_win.h"
#include "controls/menu_text.h"

static_assert(menu::kFlagOwnerDraw == MF_OWNERDRAW && menu::kFlagSeparator == MF_SEPARATOR &&
                  menu::kFlagMenuBreak == MF_MENUBREAK,
              "the building sequence uses the Win32 flag values");
static_assert(menu::kAccelVirtKey == FVIRTKEY && menu::kAccelShift == FSHIFT && menu::kAccelControl == FCONTROL &&
                  menu::kAccelAlt == FALT,
              "accelerator flags are ACCEL's");

MenuEntryData::~MenuEntryData() {
    if (icon)
        DestroyIcon(icon);
}

namespace {

menu::Box box_of(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT rect_of(const menu::Box& b) { return {b.left, b.top, b.right, b.bottom}; }

LOGFONTW menu_font_description() {
    NONCLIENTMETRICSW metrics{};
    // The size without the Vista padding field: accepted by every version.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return metrics.lfMenuFont;
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
    return fallback;
}

}  // namespace

DrawnMenu::DrawnMenu()
    : background_colour_(GetSysColor(COLOR_MENU)),
      selection_colour_(GetSysColor(COLOR_HIGHLIGHT)),
      text_colour_(GetSysColor(COLOR_MENUTEXT)),
      selected_text_colour_(GetSysColor(COLOR_HIGHLIGHTTEXT)),
      disabled_text_colour_(GetSysColor(COLOR_GRAYTEXT)) {
    LOGFONTW description = menu_font_description();
    font_ = CreateFontIndirectW(&description);
}

DrawnMenu::~DrawnMenu() {
    if (font_)
        DeleteObject(font_);
    // The menu goes first so no entry points at freed data; entries_ then
    // frees exactly the entries this object was given.
    if (menu_)
        DestroyMenu(menu_);
}

bool DrawnMenu::attach(HMENU menu) {
    if (menu_ || !menu)
        return false;
    menu_ = menu;
    return true;
}

HFONT DrawnMenu::create_bold_font() const {
    LOGFONTW description{};
    if (!font_ || !GetObjectW(font_, sizeof description, &description))
        description = menu_font_description();
    description.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&description);
}

bool DrawnMenu::append(UINT flags, std::unique_ptr<MenuEntryData> entry) {
    if (!menu_)
        return false;
    UINT command = entry ? entry->command : 0;
    auto data = reinterpret_cast<LPCWSTR>(entry.get());
    if (!AppendMenuW(menu_, flags, command, data))
        return false;  // never referenced by the menu: freed here
    if (entry)
        entries_.push_back(std::move(entry));
    return true;
}

bool DrawnMenu::append_title_strip(std::unique_ptr<MenuEntryData> bar) {
    if (!bar)
        return false;
    return append(column_break_.title_strip(), std::move(bar));
}

bool DrawnMenu::append_drawn_item(UINT flags, std::unique_ptr<MenuEntryData> item, const ACCEL* accelerator) {
    if (!item)
        return false;
    flags = column_break_.item(flags);
    if (accelerator)
        item->text = menu::with_accelerator(item->text, accelerator_text(*accelerator));
    return append(flags, std::move(item));
}

bool DrawnMenu::append_drawn_separator() {
    UINT flags = column_break_.separator();
    std::unique_ptr<MenuEntryData> line(new (std::nothrow) MenuEntryData);
    if (line)
        line->separator = true;
    // Without memory the entry still goes in, with no data: neither measured
    // nor drawn by this menu.
    return append(flags, std::move(line));
}

const MenuEntryData* DrawnMenu::entry_of(ULONG_PTR data) const {
    // Only entries this menu was given are trusted, so foreign item data is
    // never read.
    for (const auto& entry : entries_)
        if (reinterpret_cast<ULONG_PTR>(entry.get()) == data && entry->tag == kMenuEntryTag)
            return entry.get();
    return nullptr;
}

bool DrawnMenu::measure_item(MEASUREITEMSTRUCT& request) const {
    if (request.CtlType != ODT_MENU)
        return false;
    const MenuEntryData* entry = entry_of(request.itemData);
    if (!entry)
        return false;
    menu::CheckMetrics check{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
    menu::Extent text;
    menu::EntryKind kind = entry->title_strip ? menu::EntryKind::TitleStrip
                           : entry->separator ? menu::EntryKind::Separator
                                              : menu::EntryKind::Item;
    if (kind == menu::EntryKind::Item) {
        // Labels are measured bold whether or not they are drawn bold.
        HDC screen = GetDC(nullptr);
        GdiObject bold(create_bold_font());
        {
            Selection font(screen, bold.get());
            RECT extent{0, 0, 0, 0};
            std::u16string wide = widen(entry->text);
            DrawTextW(screen, wide_ptr(wide), -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
            text = {extent.right - extent.left, extent.bottom - extent.top};
        }
        ReleaseDC(nullptr, screen);
    }
    menu::Extent size = menu::measure_entry(kind, entry->size, text, check);
    request.itemWidth = static_cast<UINT>(size.width);
    request.itemHeight = static_cast<UINT>(size.height);
    return true;
}

bool DrawnMenu::draw_item(const DRAWITEMSTRUCT& request) const {
    if (request.CtlType != ODT_MENU || !request.itemData)
        return false;
    const MenuEntryData* entry = entry_of(request.itemData);
    if (!entry)
        return false;
    draw_entry(request.hDC, request.rcItem, *entry, request.itemState);
    return true;
}

void DrawnMenu::draw_entry(HDC dc, const RECT& row, const MenuEntryData& entry, UINT state) const {
    if (entry.title_strip) {
        RECT clip;
        GetClipBox(dc, &clip);
        menu::paint_title_strip(dc, rect_of(menu::title_strip_box(box_of(row), box_of(clip))), bar_bottom_colour_,
                                bar_top_colour_, entry.text);
        return;
    }
    if (entry.separator) {
        menu::paint_solid_box(dc, row, background_colour_);
        RECT line = rect_of(menu::separator_line_box(box_of(row)));
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    bool selected = state & ODS_SELECTED;
    bool disabled = state & ODS_GRAYED;
    bool checked = state & ODS_CHECKED;
    menu::ItemLayout layout = menu::lay_out_item(box_of(row), entry.size);
    menu::paint_solid_box(dc, row, selected ? selection_colour_ : background_colour_);
    if (entry.icon || checked)
        paint_icon_frame(dc, rect_of(layout.icon_square), selected, disabled, checked);
    RECT icon = rect_of(layout.icon);
    if (entry.icon && disabled)
        menu::paint_icon_relief(dc, entry.icon, icon, false, false);
    else if (entry.icon)
        DrawIconEx(
            dc, icon.left, icon.top, entry.icon, icon.right - icon.left, icon.bottom - icon.top, 0, nullptr, DI_NORMAL);
    else if (checked)
        menu::paint_check_glyph(dc, icon);
    paint_entry_label(dc, rect_of(layout.text), entry.text, selected, disabled, state & ODS_DEFAULT);
}

void DrawnMenu::paint_icon_frame(HDC dc, RECT rect, bool selected, bool disabled, bool checked) const {
    // The selected item's square keeps the menu background.
    menu::paint_solid_box(dc, rect, checked && !selected ? GetSysColor(COLOR_BTNHIGHLIGHT) : background_colour_);
    if (!disabled && (selected || checked))
        DrawEdge(dc, &rect, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void DrawnMenu::paint_entry_label(HDC dc, RECT rect, const std::string& text, bool selected, bool disabled,
                                  bool bold) const {
    GdiObject bold_font(bold ? create_bold_font() : nullptr);
    Selection font(dc, bold_font ? bold_font.get() : font_);
    int old_mode = SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        if (!selected) {
            RECT relief{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
            menu::paint_label_text(dc, relief, text, selected_text_colour_);
        }
        menu::paint_label_text(dc, rect, text, disabled_text_colour_);
    } else {
        menu::paint_label_text(dc, rect, text, selected ? selected_text_colour_ : text_colour_);
    }
    SetBkMode(dc, old_mode);
}

bool DrawnMenu::route(UINT msg, LPARAM lp) const {
    if (msg == WM_MEASUREITEM)
        return measure_item(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
    if (msg == WM_DRAWITEM)
        return draw_item(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    return false;
}

std::string accelerator_text(const ACCEL& accelerator) {
    return menu::accelerator_text(accelerator.fVirt, accelerator.key, [](std::uint16_t key) {
        WCHAR name[64] = {0};
        LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        int length = GetKeyNameTextW(scan, name, 64);
        return length > 0 ? narrow(name, static_cast<std::size_t>(length)) : std::string();
    });
}
