// The drawn menu and the tray menu on real Win32 menus: entries and their
// data, measuring, painting into a bitmap, choosing by keyboard, clean-up.
#include "support/gtest_winelib.h"

#include <memory>
#include <vector>

#include "common/code_page.h"
#include "controls/drawn_menu_win.h"
#include "shell/commands_resources.h"
#include "shell/filvane_resources.h"
#include "shell/tray_menu_win.h"
#include "support/command_owner_window.h"
#include "support/window_driver.h"

namespace {

struct Entry {
    UINT type;
    UINT id;
    const MenuEntryData* data;
};

Entry entry_at(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
    return {info.fType, info.wID, reinterpret_cast<const MenuEntryData*>(info.dwItemData)};
}

bool icon_alive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

HICON fresh_icon() {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

// A visible popup menu window (class #32768) of this process.
BOOL CALLBACK match_popup(HWND hwnd, LPARAM lp) {
    WCHAR cls[16] = {0};
    GetClassNameW(hwnd, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(hwnd) && pid == GetCurrentProcessId()) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND find_popup_menu() {
    HWND found = nullptr;
    EnumWindows(match_popup, reinterpret_cast<LPARAM>(&found));
    return found;
}

COLORREF pixel(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

}  // namespace

TEST(TrayMenu, HasTheSideBarAndTheItemsInOrder) {
    std::unique_ptr<DrawnMenu> menu = build_tray_menu();
    ASSERT_NE(menu, nullptr);
    HMENU handle = menu->handle();
    struct Expected {
        UINT id;
        const char* text;  // nullptr: separator
    };
    const Expected expected[] = {{0, "Zelqo共享文件监控器"},
                                 {ID_TRAY_RESTORE, "返回主窗口"},
                                 {0, nullptr},
                                 {ID_TRAY_SETTINGS, "系统设置"},
                                 {0, nullptr},
                                 {ID_TRAY_HOST_SCAN, "主机检测"},
                                 {ID_TRAY_PING, "Ping"},
                                 {ID_TRAY_CONNECT, "连接到另一台计算机..."},
                                 {0, nullptr},
                                 {ID_TRAY_ABOUT, "关于软件"},
                                 {0, nullptr},
                                 {ID_TRAY_QUIT, "退出系统"}};
    const int count = static_cast<int>(sizeof expected / sizeof expected[0]);
    ASSERT_EQ(GetMenuItemCount(handle), count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        Entry e = entry_at(handle, i);
        ASSERT_NE(e.data, nullptr);
        EXPECT_EQ(e.data->tag, 0x0505A0A0u);
        EXPECT_TRUE(e.type & MFT_OWNERDRAW);
        EXPECT_EQ(e.id, expected[i].id);
        EXPECT_EQ(e.data->command, expected[i].id);
        if (i == 0) {
            EXPECT_TRUE(e.data->title_strip);
            EXPECT_TRUE(e.type & MFT_SEPARATOR) << "the bar cannot be chosen";
            EXPECT_EQ(e.data->size, 24);
            EXPECT_EQ(e.data->icon, nullptr);
        } else if (!expected[i].text) {
            EXPECT_TRUE(e.data->separator);
            EXPECT_TRUE(e.type & MFT_SEPARATOR);
        } else {
            EXPECT_FALSE(e.data->separator || e.data->title_strip);
            EXPECT_EQ(e.data->size, 16);
            EXPECT_TRUE(icon_alive(e.data->icon));
        }
        if (expected[i].text) {
            EXPECT_EQ(e.data->text, expected[i].text);
        }
        // The first item after the bar opens the column of the items.
        EXPECT_EQ((e.type & MFT_MENUBREAK) != 0, i == 1);
    }
}

TEST(DrawnMenu, ASeparatorRightAfterTheSideBarKeepsOneColumn) {
    DrawnMenu menu;
    ASSERT_TRUE(menu.attach(CreatePopupMenu()));
    auto bar = std::make_unique<MenuEntryData>(0, "bar", nullptr, 24);
    bar->title_strip = true;
    ASSERT_TRUE(menu.append_title_strip(std::move(bar)));
    ASSERT_TRUE(menu.append_drawn_separator());
    ASSERT_TRUE(menu.append_drawn_item(0, std::make_unique<MenuEntryData>(7, "x", nullptr), nullptr));
    EXPECT_EQ(entry_at(menu.handle(), 1).type & MFT_MENUBREAK, 0u);
    EXPECT_EQ(entry_at(menu.handle(), 2).type & MFT_MENUBREAK, 0u);
}

TEST(DrawnMenu, AcceleratorNamesJoinTheLabel) {
    DrawnMenu menu;
    ASSERT_TRUE(menu.attach(CreatePopupMenu()));
    ACCEL ctrl_f{FVIRTKEY | FCONTROL, 'F', 1};
    ACCEL escape{0, 27, 2};
    ASSERT_TRUE(menu.append_drawn_item(0, std::make_unique<MenuEntryData>(1, "查找", nullptr), &ctrl_f));
    ASSERT_TRUE(menu.append_drawn_item(0, std::make_unique<MenuEntryData>(2, "取消", nullptr), &escape));
    EXPECT_EQ(entry_at(menu.handle(), 0).data->text, "查找\tCtrl+F");
    EXPECT_EQ(entry_at(menu.handle(), 1).data->text, "取消") << "no tab when the accelerator names nothing";
    EXPECT_EQ(accelerator_text(ACCEL{FVIRTKEY | FSHIFT | FALT, VK_F5, 0}), "Shift+Alt+F5");
}

TEST(DrawnMenu, MeasuresItsOwnEntriesOnly) {
    std::unique_ptr<DrawnMenu> menu = build_tray_menu();
    ASSERT_NE(menu, nullptr);
    int check_width = GetSystemMetrics(SM_CXMENUCHECK);
    auto measure = [&](int position, UINT type) {
        MEASUREITEMSTRUCT m{};
        m.CtlType = type;
        m.itemData = reinterpret_cast<ULONG_PTR>(entry_at(menu->handle(), position).data);
        m.itemWidth = 1234;
        m.itemHeight = 5678;
        bool handled = menu->measure_item(m);
        return std::make_tuple(handled, static_cast<int>(m.itemWidth), static_cast<int>(m.itemHeight));
    };
    auto [bar_handled, bar_width, bar_height] = measure(0, ODT_MENU);
    EXPECT_TRUE(bar_handled);
    EXPECT_EQ(bar_width, 24 + 1 - check_width);
    EXPECT_EQ(bar_height, 1);
    auto [item_handled, item_width, item_height] = measure(1, ODT_MENU);
    EXPECT_TRUE(item_handled);
    EXPECT_GE(item_height, 20);
    EXPECT_GT(item_width, 2 * 16 + 12 + 1 - check_width) << "the label adds its width";
    auto [line_handled, line_width, line_height] = measure(2, ODT_MENU);
    EXPECT_TRUE(line_handled);
    EXPECT_EQ(line_height, GetSystemMetrics(SM_CYMENUCHECK) / 2);

    auto [button_handled, w, h] = measure(1, ODT_BUTTON);
    EXPECT_FALSE(button_handled);
    EXPECT_EQ(w, 1234) << "other requests are left untouched";
    MenuEntryData stranger(9, "stranger", nullptr);
    MEASUREITEMSTRUCT foreign{};
    foreign.CtlType = ODT_MENU;
    foreign.itemData = reinterpret_cast<ULONG_PTR>(&stranger);
    EXPECT_FALSE(menu->measure_item(foreign)) << "data of another menu is not this menu's";
    foreign.itemData = 0;
    EXPECT_FALSE(menu->measure_item(foreign));
}

TEST(DrawnMenu, PaintsTheSideBarDarkBlueAtTheBottomAndBlackAtTheTop) {
    std::unique_ptr<DrawnMenu> menu = build_tray_menu();
    ASSERT_NE(menu, nullptr);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 300);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 200, 300, WHITENESS);

    DRAWITEMSTRUCT bar{};
    bar.CtlType = ODT_MENU;
    bar.hDC = dc;
    bar.rcItem = {0, 0, 24, 0};  // the bar's own row is empty: it spans the clip box
    bar.itemData = reinterpret_cast<ULONG_PTR>(entry_at(menu->handle(), 0).data);
    ASSERT_TRUE(menu->draw_item(bar));
    EXPECT_EQ(pixel(dc, 1, 299), RGB(0, 0, 192));
    EXPECT_LE(GetBValue(pixel(dc, 1, 0)), 2);
    EXPECT_NE(pixel(dc, 26, 10), RGB(255, 255, 255)) << "the bitmap is three pixels wider than the bar";
    EXPECT_EQ(pixel(dc, 27, 10), RGB(255, 255, 255));

    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.hDC = dc;
    item.rcItem = {40, 10, 190, 30};
    item.itemState = ODS_SELECTED;
    item.itemData = reinterpret_cast<ULONG_PTR>(entry_at(menu->handle(), 1).data);
    ASSERT_TRUE(menu->draw_item(item));
    EXPECT_EQ(pixel(dc, 185, 12), RGB(102, 153, 255)) << "the tray menu's selection colour";
    EXPECT_EQ(pixel(dc, 41, 28), GetSysColor(COLOR_MENU)) << "the selected icon square keeps the background";

    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(DrawnMenu, DeletingItFreesItsIconsAndNothingForeign) {
    std::unique_ptr<DrawnMenu> menu = build_tray_menu();
    ASSERT_NE(menu, nullptr);
    std::vector<HICON> icons;
    for (int i = 0; i < GetMenuItemCount(menu->handle()); ++i)
        if (const MenuEntryData* data = entry_at(menu->handle(), i).data; data && data->icon)
            icons.push_back(data->icon);
    ASSERT_EQ(icons.size(), 7u);
    // A foreign owner-drawn entry in the same menu.
    MenuEntryData stranger(99, "stranger", fresh_icon());
    ASSERT_TRUE(AppendMenuW(menu->handle(), MF_OWNERDRAW, 99, reinterpret_cast<LPCWSTR>(&stranger)));
    HMENU handle = menu->handle();

    menu.reset();
    for (HICON icon : icons)
        EXPECT_FALSE(icon_alive(icon));
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_TRUE(icon_alive(stranger.icon)) << "the foreign entry and its icon are left alone";
    EXPECT_EQ(stranger.text, "stranger");
}

TEST(TrayMenu, ChoosingAnEntrySendsItsCommandToTheOwner) {
    std::atomic<int> command{0}, measured{0}, drawn{0};
    std::atomic<bool> tracked{false};
    UiThread ui([&] {
        CommandOwnerWindow owner;
        std::unique_ptr<DrawnMenu> menu = build_tray_menu();
        if (!menu)
            return;
        owner.route_to(menu.get());
        track_tray_menu(*menu, owner.hwnd(), POINT{300, 120});
        tracked = true;
        owner.route_to(nullptr);
        menu.reset();
        pump_until([&] { return owner.commands > 0; }, 3000);
        command = owner.last_command.load();
        measured = owner.measured.load();
        drawn = owner.drawn.load();
    });
    HWND popup = nullptr;
    ASSERT_TRUE(wait_until([&] { return (popup = find_popup_menu()) != nullptr; }, 5000));
    // Down twice: the bar and separators are skipped, so the second choice
    // is "系统设置".
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageW(popup, WM_KEYDOWN, key, 0);
        Sleep(100);
    }
    ASSERT_TRUE(ui.join(8000));
    EXPECT_TRUE(tracked);
    EXPECT_EQ(command, ID_TRAY_SETTINGS);
    EXPECT_EQ(measured, 12) << "every entry measured by the menu";
    EXPECT_GE(drawn, 12);
}
