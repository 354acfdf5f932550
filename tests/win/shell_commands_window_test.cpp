// The main window's toolbar, tray and commands, driven as a user would: the
// real MonitorDialog under Xvfb with a scripted source of shares.
#include "support/running_monitor.h"

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "common/controls_win.h"
#include "monitor/filvane_messages_win.h"
#include "monitor/monitor_pass.h"
#include "shell/commands_resources.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "shell/tray_icon_win.h"
#include "support/fake_net.h"
#include "support/window_driver.h"
#include "support/window_test_main.h"

namespace {

BOOL CALLBACK match_popup(HWND hwnd, LPARAM lp) {
    WCHAR cls[16] = {0};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// An empty folder made current for the test, so no companion can be found.
class EmptyCurrentDirectory {
public:
    EmptyCurrentDirectory() {
        GetCurrentDirectoryW(MAX_PATH, old_);
        WCHAR base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wsprintfW(path_, L"%sfilvane-cmd-%lu", base, GetCurrentProcessId());
        CreateDirectoryW(path_, nullptr);
        SetCurrentDirectoryW(path_);
    }
    ~EmptyCurrentDirectory() {
        SetCurrentDirectoryW(old_);
        RemoveDirectoryW(path_);
    }

private:
    WCHAR old_[MAX_PATH] = {0};
    WCHAR path_[MAX_PATH] = {0};
};

struct ShellCommands : RunningMonitor {
    void command(int id) { PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    // The tray answers a modify only for an icon it holds.
    bool tray_icon_present() { return tray_icon(main, TrayAction::Modify, nullptr, kMainTitle) != FALSE; }
    // The window shows before its icon goes: wait for the icon a moment.
    bool tray_icon_gone() {
        return wait_until([&] { return !tray_icon_present(); }, 3000);
    }

    bool hidden_into_tray() {
        return wait_until([&] { return !IsWindowVisible(main); }, 3000) && !IsIconic(main);
    }

    bool answer_box(const std::string& text) { return answer_message_box(main, text, IDOK); }

    HWND popup_menu() {
        HWND found = nullptr;
        wait_until(
            [&] {
                EnumThreadWindows(
                    GetWindowThreadProcessId(main, nullptr), match_popup, reinterpret_cast<LPARAM>(&found));
                return found != nullptr;
            },
            5000);
        return found;
    }
};

}  // namespace

TEST_F(ShellCommands, TheToolbarSitsInARebarAcrossTheTop) {
    HWND rebar = GetDlgItem(main, IDW_REBAR);
    ASSERT_NE(rebar, nullptr);
    HWND toolbar = GetDlgItem(rebar, IDW_TOOLBAR);
    ASSERT_NE(toolbar, nullptr) << "the toolbar lives in the rebar's band";
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 11);
    RECT client, bar;
    GetClientRect(main, &client);
    GetWindowRect(rebar, &bar);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_GT(bar.bottom, 22) << "tall enough for the 22-pixel images";
}

TEST_F(ShellCommands, MinimisingHidesIntoTheTrayAndALeftClickBringsItBack) {
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(hidden_into_tray()) << "hidden, never minimised";
    EXPECT_TRUE(tray_icon_present());

    PostMessageW(main, filvane_message::kTrayNotify, kTrayIconId, WM_MOUSEMOVE);
    Sleep(200);
    EXPECT_FALSE(IsWindowVisible(main)) << "other mouse messages do nothing";

    PostMessageW(main, filvane_message::kTrayNotify, kTrayIconId, WM_LBUTTONUP);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(main) != FALSE; }, 3000));
    EXPECT_TRUE(tray_icon_gone()) << "the icon is removed";
}

TEST_F(ShellCommands, HideCommandActsLikeMinimisingAndRestoreUndoesIt) {
    command(ID_HIDE);
    ASSERT_TRUE(hidden_into_tray());
    EXPECT_TRUE(tray_icon_present());
    command(ID_TRAY_RESTORE);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(main) != FALSE; }, 3000));
    EXPECT_TRUE(tray_icon_gone());
}

TEST_F(ShellCommands, TheTrayMenuOpensOnARightClickAndItsRestoreEntryWorks) {
    command(ID_HIDE);
    ASSERT_TRUE(hidden_into_tray());
    PostMessageW(main, filvane_message::kTrayNotify, kTrayIconId, WM_RBUTTONUP);
    HWND popup = popup_menu();
    ASSERT_NE(popup, nullptr);
    POINT cursor;
    GetCursorPos(&cursor);
    RECT where;
    GetWindowRect(popup, &where);
    EXPECT_TRUE(PtInRect(&where, cursor) || (where.left == cursor.x || where.top == cursor.y))
        << "tracked at the cursor";
    PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    Sleep(100);
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);  // "返回主窗口"
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(main) != FALSE; }, 3000));
    EXPECT_TRUE(tray_icon_gone());
}

TEST_F(ShellCommands, MissingCompanionsAreReportedAndTheWindowStaysAsItWas) {
    EmptyCurrentDirectory empty;
    struct Case {
        int id;
        const char* message;
    };
    const Case cases[] = {
        {ID_HOST_SCAN, "无法打开主机检测程序!请确认它在当前目录下!"},
        {ID_TRAY_HOST_SCAN, "无法打开主机检测程序!请确认它在当前目录下!"},
        {ID_PING, "无法打开Ping程序!请确认它在当前目录下!"},
        {ID_TRAY_PING, "无法打开Ping程序!请确认它在当前目录下!"},
        {ID_HELP, "无法打开使用说明文件!请确认它在当前目录下!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        command(c.id);
        EXPECT_TRUE(answer_box(c.message));
        EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(main) != FALSE; }, 3000));
        EXPECT_TRUE(IsWindowVisible(main));
    }
}

TEST_F(ShellCommands, BothAboutCommandsShowTheAboutBox) {
    for (int id : {ID_ABOUT, ID_TRAY_ABOUT}) {
        SCOPED_TRACE(id);
        command(id);
        HWND about = wait_for_window(kAboutTitle, 5000);
        ASSERT_NE(about, nullptr);
        PostMessageW(about, WM_CLOSE, 0, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(about) || !IsWindow(about); }, 5000));
    }
}

TEST_F(ShellCommands, TwoAboutRequestsFromTheTrayLeaveNoBoxBehind) {
    command(ID_HIDE);
    ASSERT_TRUE(hidden_into_tray());
    command(ID_TRAY_ABOUT);
    HWND about = wait_for_window(kAboutTitle, 5000);
    ASSERT_NE(about, nullptr);
    command(ID_TRAY_ABOUT);  // while the first is up: it comes to the front, no second one
    Sleep(500);
    EXPECT_EQ(find_window(kAboutTitle), about);
    PostMessageW(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(about); }, 5000));
    Sleep(500);
    EXPECT_EQ(find_window(kAboutTitle), nullptr) << "no box is left that could never be closed";
}

TEST_F(ShellCommands, DialogsOpenCentredOnTheirOwner) {
    auto centre_of = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    RECT work, window;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(main, &window);
    EXPECT_LE(std::abs(centre_of(window).x - centre_of(work).x), 1) << "the main window on the screen";
    EXPECT_LE(std::abs(centre_of(window).y - centre_of(work).y), 1);
    command(ID_ABOUT);
    HWND about = wait_for_window(kAboutTitle, 5000);
    ASSERT_NE(about, nullptr);
    RECT box;
    GetWindowRect(about, &box);
    EXPECT_LE(std::abs(centre_of(box).x - centre_of(window).x), 1) << "a dialog on its owner";
    EXPECT_LE(std::abs(centre_of(box).y - centre_of(window).y), 1);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(about); }, 5000));
}

TEST_F(ShellCommands, AClosePleaDuringClosingDoesNotStartItAgain) {
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = {{"alice", "PC1", 1, 5, 0}};
    }
    ASSERT_TRUE(wait_until([&] { return list_row_count(GetDlgItem(main, IDC_SESSIONS)) == 1; }, 3000));
    net.session_delay_ms = 1500;
    Sleep(1200);  // the next pass is now inside its slow enumeration
    DWORD start = GetTickCount();
    PostMessageW(main, WM_CLOSE, 0, 0);
    Sleep(100);
    // As the update check does from its thread: sent, so it arrives while
    // closing waits for the worker.
    UiThread plea([this] { SendMessageW(main, WM_CLOSE, 0, 0); });
    ASSERT_TRUE(ui->join(8000));
    EXPECT_LT(GetTickCount() - start, 4000u) << "a second sequence would wait out the whole bound";
    main = nullptr;
}

TEST_F(ShellCommands, QuitFromTheTrayClosesTheWindow) {
    command(ID_HIDE);
    ASSERT_TRUE(hidden_into_tray());
    command(ID_TRAY_QUIT);
    ASSERT_TRUE(ui->join(8000));
    main = nullptr;
}

TEST_F(ShellCommands, QuitFromTheToolbarClosesTheWindow) {
    HWND toolbar = GetDlgItem(GetDlgItem(main, IDW_REBAR), IDW_TOOLBAR);
    ASSERT_NE(toolbar, nullptr);
    RECT button;
    const WPARAM last = static_cast<WPARAM>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) - 1);
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETITEMRECT, last, reinterpret_cast<LPARAM>(&button)));
    LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(toolbar, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(ui->join(8000)) << "the last button quits";
    main = nullptr;
}

namespace {

struct SessionCommands : ShellCommands {
    HWND sessions() { return GetDlgItem(main, IDC_SESSIONS); }

    void set_sessions(std::vector<netmgmt::SessionInfo> listed) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = std::move(listed);
    }
    int row_of(const std::string& user) {
        for (int row = 0; row < list_row_count(sessions()); ++row)
            if (list_cell_text(sessions(), row, kSessionUser) == user)
                return row;
        return -1;
    }
    void select(int row) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(sessions(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    std::vector<netmgmt::SessionInfo> disconnected() {
        std::lock_guard<std::mutex> lock(net.mutex);
        return net.asked_to_disconnect;
    }
};

}  // namespace

TEST_F(SessionCommands, DisconnectAsksWithTheChosenSessionsNamesAndEndsExactlyThatOne) {
    set_sessions({{"张三", "192.168.1.5", 1, 60, 0}, {"李四", "192.168.1.9", 0, 30, 0}});
    ASSERT_TRUE(wait_until([&] { return list_row_count(sessions()) == 2; }, 5000));

    command(ID_DISCONNECT_SESSION);
    EXPECT_TRUE(answer_box("请在会话列表中选中一个要断开的会话!")) << "nothing chosen";

    const int row = row_of("李四");
    ASSERT_GE(row, 0);
    select(row);
    command(ID_DISCONNECT_SESSION);
    EXPECT_TRUE(answer_message_box(main, "确定要断开李四(192.168.1.9)的会话吗?", IDCANCEL));
    Sleep(200);
    EXPECT_TRUE(disconnected().empty()) << "cancelled";

    // The session list's right-click menu: its one entry, chosen by keys.
    RECT cell{};
    cell.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageW(sessions(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)));
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    PostMessageW(sessions(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(sessions(), WM_RBUTTONUP, 0, at);
    HWND menu = popup_menu();
    ASSERT_NE(menu, nullptr);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    Sleep(100);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(answer_message_box(main, "确定要断开李四(192.168.1.9)的会话吗?", IDOK));
    EXPECT_TRUE(answer_box("断开会话成功!"));

    const auto asked = disconnected();
    ASSERT_EQ(asked.size(), 1u) << "one call, for the chosen session only";
    EXPECT_EQ(asked[0].user, "李四");
    EXPECT_EQ(asked[0].computer, "192.168.1.9");
}

TEST_F(SessionCommands, OnSambaTheQuestionSaysWhatElseGoesAndAFailureShowsItsCause) {
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.ends_connection = true;
        net.disconnect_result = netmgmt::kLogonFailure;
    }
    set_sessions({{"张三", "192.168.1.5", 0, 60, 0}});
    ASSERT_TRUE(wait_until([&] { return list_row_count(sessions()) == 1; }, 5000));
    select(0);
    command(ID_DISCONNECT_SESSION);
    EXPECT_TRUE(answer_message_box(
        main,
        "确定要断开张三(192.168.1.5)的会话吗?\r\n\r\n这是一台Samba服务器:它会结束为192.168.1.5服务的整个连接,"
        "这台计算机经此连接的所有会话和打开的文件都会断开。如果它就是运行本程序的计算机,本程序自己的连接也会断开。",
        IDOK));
    EXPECT_TRUE(answer_box("断开会话失败:Samba管理员账户的用户名或密码错误(1326)"));
    EXPECT_EQ(disconnected().size(), 1u);
}

TEST_F(ShellCommands, TheConnectDialogRefusesANameThatCannotBeWatched) {
    for (int id : {ID_CONNECT, ID_TRAY_CONNECT}) {
        SCOPED_TRACE(id);
        command(id);
        HWND dialog = wait_for_window("连接到另一台计算机", 5000);
        ASSERT_NE(dialog, nullptr);
        for (const char* name : {"", "\\\\", "文件 服务器", "192.168.1.300"}) {
            SCOPED_TRACE(name);
            set_window_text(GetDlgItem(dialog, IDC_CONNECT_NAME), name);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            const std::string refusal = std::string("“") + name +
                                        "”不是可以监控的服务器名。请给出一个计算机名(前面可加两个反斜杠)或 "
                                        "IPv4 地址,例如 FILESRV 或 192.168.1.10。";
            EXPECT_TRUE(
                wait_until([&] { return window_text(GetDlgItem(dialog, IDC_CONNECT_REFUSED)) == refusal; }, 3000));
            set_window_text(GetDlgItem(dialog, IDC_CONNECT_REFUSED), "");
            Sleep(100);
            EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the dialog stays for another try";
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 3000));
    }
}

int main(int argc, char** argv) {
    return run_window_tests(argc, argv, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES);
}
