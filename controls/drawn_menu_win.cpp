#include "controls/drawn_menu_win.h"

#include <new>

#include "common/win_text.h"
#include "controls/gdi_handles_win.h"
#include "controls/menu_geometry.h"
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
