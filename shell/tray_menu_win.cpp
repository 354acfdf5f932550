#include "shell/tray_menu_win.h"

#include "common/string_resource_win.h"
#include "shell/commands_resources.h"
#include "shell/filvane_resources.h"

namespace {

constexpr COLORREF kSelection = RGB(102, 153, 255);
constexpr int kBarWidth = 24;
constexpr int kItemIconSize = 16;

struct Entry {
    int command;  // 0: separator
    int icon;
    unsigned text;
};

const Entry kEntries[] = {
    {ID_TRAY_RESTORE, IDI_MAIN, IDS_COMMAND_RESTORE},
    {0, 0, 0},
    {ID_TRAY_SETTINGS, IDI_SETTINGS, IDS_COMMAND_SETTINGS},
    {0, 0, 0},
    {ID_TRAY_HOST_SCAN, IDI_HOST_SCAN, IDS_COMMAND_HOST_SCAN},
    {ID_TRAY_PING, IDI_PING, IDS_COMMAND_PING},
    {ID_TRAY_CONNECT, IDI_LIST_COMPUTER, IDS_COMMAND_CONNECT},
    {0, 0, 0},
    {ID_TRAY_ABOUT, IDI_MAIN, IDS_COMMAND_ABOUT},
    {0, 0, 0},
    {ID_TRAY_QUIT, IDI_QUIT, IDS_COMMAND_QUIT},
};

// A private copy at the standard icon size: the item destroys it with itself,
// which a shared LoadIcon handle would not survive.
HICON load_item_icon(int id) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

}  // namespace

std::unique_ptr<DrawnMenu> build_tray_menu() {
    auto menu = std::make_unique<DrawnMenu>();
    HMENU handle = CreatePopupMenu();
    if (!handle)
        return nullptr;
    menu->attach(handle);
    menu->set_selection_colour(kSelection);
    auto bar = std::make_unique<MenuEntryData>(0, resource_text(IDS_TRAY_MENU_TITLE), nullptr, kBarWidth);
    bar->title_strip = true;
    bool complete = menu->append_title_strip(std::move(bar));
    for (const Entry& entry : kEntries) {
        if (!entry.command) {
            complete = menu->append_drawn_separator() && complete;
            continue;
        }
        auto item = std::make_unique<MenuEntryData>(
            entry.command, resource_text(entry.text), load_item_icon(entry.icon), kItemIconSize);
        complete = menu->append_drawn_item(0, std::move(item), nullptr) && complete;
    }
    // A menu with entries missing is not shown at all.
    return complete ? std::move(menu) : nullptr;
}

void track_tray_menu(const DrawnMenu& menu, HWND owner, POINT at) {
    SetForegroundWindow(owner);
    TrackPopupMenu(menu.handle(), 0, at.x, at.y, 0, owner, nullptr);
}
