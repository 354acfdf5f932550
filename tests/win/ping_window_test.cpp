// The ping window driven as a user would, under Xvfb: history in Wine's
// registry, completion by keystrokes, runs against 127.0.0.1 only.
#include "support/gtest_winelib.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "common/controls_win.h"
#include "common/wide_text_win.h"
#include "common/windows_sockets_win.h"
#include "ping/corvap_resources.h"
#include "ping/history_registry_win.h"
#include "ping/ping_dialog_win.h"
#include "ping/ping_messages_win.h"
#include "ping/ping_worker_win.h"
#include "ping/winsock_echo_port_win.h"
#include "support/window_driver.h"
#include "support/window_test_main.h"

namespace {

// The test program's base name keys its profile, as corvap's does for it.
std::string profile_name() {
    WCHAR path[MAX_PATH] = {0};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string name = narrow(path, length);
    name.erase(0, name.find_last_of("\\/") + 1);
    return name.substr(0, name.find('.'));
}

void clear_history() {
    std::u16string key = widen("Software\\RODA\\" + profile_name() + "\\MRU");
    RegDeleteKeyW(HKEY_CURRENT_USER, wide_ptr(key));
}

DWORD read_entries() {
    DWORD value = 0, size = sizeof value;
    std::u16string key = widen("Software\\RODA\\" + profile_name() + "\\MRU");
    LONG status = RegGetValueW(HKEY_CURRENT_USER, wide_ptr(key), L"Entries", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS ? value : 0xFFFFFFFF;
}

struct PingWindow : ::testing::Test {
    std::unique_ptr<PingDialog> dialog;
    std::unique_ptr<UiThread> ui;
    HWND main = nullptr;

    void open() {
        dialog = std::make_unique<PingDialog>();
        ui = std::make_unique<UiThread>([this] { dialog->run_modal(nullptr); });
        main = wait_for_window("Ping", 10000);
        ASSERT_NE(main, nullptr);
    }
    void close() {
        if (main && IsWindow(main))
            PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(ui->join(20000));
        ui.reset();
        dialog.reset();
        main = nullptr;
    }
    void SetUp() override { clear_history(); }
    void TearDown() override {
        if (ui)
            close();
    }

    HWND control(int id) { return GetDlgItem(main, id); }
    HWND edit() {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(control(IDC_HOST), &info);
        return info.hwndItem;
    }
    std::vector<std::string> combo_entries() {
        std::vector<std::string> entries;
        HWND combo = control(IDC_HOST);
        int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            WCHAR text[256] = {0};
            auto length = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(narrow(text, static_cast<std::size_t>(length)));
        }
        return entries;
    }
    int rows() { return list_row_count(control(IDC_RESULTS)); }
    std::string row(int i) { return list_cell_text(control(IDC_RESULTS), i, 0); }
    int image(int i) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageW(control(IDC_RESULTS), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    // Starts a run and waits for its end (the Ping button enabled again).
    bool ping(const std::string& host, int count, DWORD timeout_ms) {
        set_window_text(control(IDC_HOST), host);
        SendMessageW(control(IDC_COUNT_SPIN), UDM_SETPOS32, 0, count);
        SendMessageW(control(IDC_PING), BM_CLICK, 0, 0);
        if (IsWindowEnabled(control(IDC_PING)))
            return false;
        return wait_until([&] { return IsWindowEnabled(control(IDC_PING)) != FALSE; }, timeout_ms);
    }
    // Raw sockets need root (or Wine's fallback): skip where they cannot open.
    bool raw_socket_refused() {
        for (int i = 0; i < rows(); ++i)
            if (row(i).rfind("socket() - WSAError", 0) == 0)
                return true;
        return false;
    }
    void type(HWND target, WPARAM key, WCHAR ch) {
        SendMessageW(target, WM_KEYDOWN, key, 1);
        SendMessageW(target, WM_CHAR, ch, 1);
        SendMessageW(target, WM_KEYUP, key, 0xC0000001);
    }
    std::pair<int, int> selection() {
        DWORD start = 0, end = 0;
        SendMessageW(
            control(IDC_HOST), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
};

TEST_F(PingWindow, OpensIdleWithItsControlsSetUp) {
    open();
    LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "no system menu, so no close box";
    EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(window_text(control(IDC_COUNT)), "5");
    EXPECT_EQ(window_text(control(IDCANCEL)), "关闭");
    LONG combo_style = GetWindowLongW(control(IDC_HOST), GWL_STYLE);
    EXPECT_EQ(combo_style & 3, CBS_DROPDOWN);
    EXPECT_NE(combo_style & CBS_SORT, 0);
    HWND list = control(IDC_RESULTS);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 5);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), client.right - client.left);
    EXPECT_EQ(rows(), 0);
    EXPECT_NE(SendMessageW(main, WM_QUERYDRAGICON, 0, 0), 0);
}

TEST_F(PingWindow, HistoryIsShownSortedAndSavedInThatOrderOnEscape) {
    ASSERT_EQ(save_host_history(profile_name(), {"b", "A", "b"}), ERROR_SUCCESS);
    open();
    EXPECT_EQ(combo_entries(), (std::vector<std::string>{"A", "b", "b"}));
    // Esc is the cancel command: it saves and ends the dialog.
    SetForegroundWindow(main);
    PostMessageW(edit(), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(ui->join(10000));
    ui.reset();
    dialog.reset();
    EXPECT_EQ(read_entries(), 3u);
    EXPECT_EQ(load_host_history(profile_name()), (std::vector<std::string>{"A", "b", "b"}));
}

TEST_F(PingWindow, OnlyEntriesThatExistAreLoadedAndOnlyTheyAreSavedBack) {
    open();
    EXPECT_TRUE(combo_entries().empty());
    close();
    // A count far beyond the values present, as a damaged profile has it.
    std::u16string key = widen("Software\\RODA\\" + profile_name() + "\\MRU");
    DWORD huge = 0xFFFFFFF0;
    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CURRENT_USER, wide_ptr(key), L"Entries", REG_DWORD, &huge, sizeof huge), ERROR_SUCCESS);
    for (const char* name : {"Host#1", "host#7", "Host#07", "Host#x"}) {
        std::u16string text = widen(std::string("from ") + name);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, wide_ptr(key), wide_ptr(widen(name)), REG_SZ, text.c_str(),
                                  static_cast<DWORD>((text.size() + 1) * 2)),
                  ERROR_SUCCESS);
    }
    open();
    // "Host#07" and "Host#x" are not names the history writes.
    EXPECT_EQ(combo_entries(), (std::vector<std::string>{"from Host#1", "from host#7"}));
    close();
    EXPECT_EQ(read_entries(), 2u);
    EXPECT_EQ(load_host_history(profile_name()), (std::vector<std::string>{"from Host#1", "from host#7"}));
}

TEST_F(PingWindow, TypingCompletesAndBackspaceDoesNot) {
    ASSERT_EQ(save_host_history(profile_name(), {"server", "host1", "host10"}), ERROR_SUCCESS);
    open();
    HWND e = edit();
    ASSERT_NE(e, nullptr);
    type(e, 'H', L'h');
    type(e, 'O', L'o');
    EXPECT_EQ(window_text(e), "host1");
    EXPECT_EQ(selection(), std::make_pair(2, 5)) << "st1 highlighted";
    type(e, VK_BACK, 0x08);
    EXPECT_EQ(window_text(e), "ho") << "Backspace removes the completion and does not complete again";
    type(e, 'X', L'x');
    EXPECT_EQ(window_text(e), "hox");
    EXPECT_EQ(selection(), std::make_pair(3, 3));
}

TEST_F(PingWindow, LinesPostedToTheWindowBecomeRowsWithTheirImages) {
    open();
    const char* texts[] = {"Host not found: x", "Pinging a [1.2.3.4] with 32 bytes of data:", "Request Timed Out"};
    const int kinds[] = {0, 1, 3};
    for (int i = 0; i < 3; ++i) {
        std::string text = texts[i];
        char* copy = new char[text.size() + 1];
        std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
        ASSERT_TRUE(
            PostMessageW(main, ping_message::kLine, static_cast<WPARAM>(kinds[i]), reinterpret_cast<LPARAM>(copy)));
    }
    ASSERT_TRUE(wait_until([&] { return rows() == 3; }, 5000));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(row(i), texts[i]);
        EXPECT_EQ(image(i), kinds[i]);
    }
}

TEST_F(PingWindow, LoopbackRunsAddTheHostOnceWithSeparatorsBetweenRuns) {
    open();
    ASSERT_TRUE(ping("127.0.0.1", 1, 10000));
    if (raw_socket_refused())
        GTEST_SKIP() << "raw ICMP sockets are not available here";
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(row(0), "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:");
    EXPECT_EQ(image(0), 1);
    EXPECT_EQ(row(1).rfind("Reply[1] from: 127.0.0.1: bytes=32 time=", 0), 0u) << row(1);
    EXPECT_NE(row(1).find("TTL=64"), std::string::npos) << row(1);
    EXPECT_EQ(image(1), 2);
    EXPECT_EQ(combo_entries(), std::vector<std::string>{"127.0.0.1"});

    // Another letter case of a resolving name is still one entry.
    ASSERT_TRUE(ping("LOCALHOST", 1, 10000));
    ASSERT_TRUE(ping("localhost", 1, 10000));
    EXPECT_EQ(combo_entries(), (std::vector<std::string>{"127.0.0.1", "LOCALHOST"}));
    ASSERT_EQ(rows(), 2 + 3 + 3);
    EXPECT_EQ(row(2), "");
    EXPECT_EQ(image(2), 4);
    EXPECT_EQ(row(5), "");
    EXPECT_EQ(image(5), 4);
    EXPECT_EQ(row(6), "Pinging localhost [127.0.0.1] with 32 bytes of data:");
}

TEST_F(PingWindow, UnreadableCountKeepsTheLastValidPosition) {
    open();
    SendMessageW(control(IDC_COUNT_SPIN), UDM_SETPOS32, 0, 2);
    set_window_text(control(IDC_COUNT), "abc");
    set_window_text(control(IDC_HOST), "127.0.0.1");
    SendMessageW(control(IDC_PING), BM_CLICK, 0, 0);
    ASSERT_TRUE(wait_until([&] { return IsWindowEnabled(control(IDC_PING)) != FALSE; }, 10000));
    if (raw_socket_refused())
        GTEST_SKIP() << "raw ICMP sockets are not available here";
    EXPECT_EQ(rows(), 3) << "header and two replies";
}

TEST_F(PingWindow, StatusColumnFollowsTheClientWidthSoNoHorizontalScrollBarAppears) {
    open();
    HWND list = control(IDC_RESULTS);
    for (int i = 0; i < 40; ++i) {
        std::string text = "Request Timed Out";
        char* copy = new char[text.size() + 1];
        std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
        ASSERT_TRUE(PostMessageW(main, ping_message::kLine, 3, reinterpret_cast<LPARAM>(copy)));
    }
    ASSERT_TRUE(wait_until([&] { return rows() == 40; }, 5000));
    LONG style = GetWindowLongW(list, GWL_STYLE);
    EXPECT_NE(style & WS_VSCROLL, 0) << "40 rows need the vertical scroll bar";
    EXPECT_EQ(style & WS_HSCROLL, 0);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), client.right - client.left);
}

TEST_F(PingWindow, MarkerIsRedWhileRunningAndGoneAfter) {
    open();
    set_window_text(control(IDC_HOST), "127.0.0.1");
    SendMessageW(control(IDC_COUNT_SPIN), UDM_SETPOS32, 0, 2);
    RECT left;
    GetWindowRect(control(IDC_LINE_LEFT), &left);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&left), 2);
    RECT right;
    GetWindowRect(control(IDC_LINE_RIGHT), &right);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&right), 2);
    auto red_on_line = [&] {
        HDC dc = GetDC(main);
        bool red = false;
        for (int x = left.right; x <= right.left && !red; ++x)
            red = GetPixel(dc, x, right.bottom) == RGB(255, 0, 0);
        ReleaseDC(main, dc);
        return red;
    };
    SendMessageW(control(IDC_PING), BM_CLICK, 0, 0);
    EXPECT_TRUE(wait_until(red_on_line, 3000));
    ASSERT_TRUE(wait_until([&] { return IsWindowEnabled(control(IDC_PING)) != FALSE; }, 10000));
    EXPECT_TRUE(wait_until([&] { return !red_on_line(); }, 2000));
}

// Last of the window cases: the run it leaves behind keeps pinging for a
// while, and its answers would reach the runs of later cases.
TEST_F(PingWindow, ClosingDuringALongRunDoesNotWaitForItsEnd) {
    open();
    set_window_text(control(IDC_HOST), "127.0.0.1");
    SendMessageW(control(IDC_COUNT_SPIN), UDM_SETPOS32, 0, 60);
    SendMessageW(control(IDC_PING), BM_CLICK, 0, 0);
    ASSERT_TRUE(wait_until([&] { return rows() >= 2 || IsWindowEnabled(control(IDC_PING)); }, 10000));
    if (raw_socket_refused())
        GTEST_SKIP() << "raw ICMP sockets are not available here";
    const DWORD started = GetTickCount();
    close();
    EXPECT_LT(GetTickCount() - started, 30000u) << "60 echoes take a minute; closing waits at most 5 s of it";
}

// The worker's wait, without a window.
int g_requests_run = 0;
void count_request() { ++g_requests_run; }

TEST(PingWorkerLoop, FailedWaitEndsTheThreadWithoutRunningARequest) {
    g_requests_run = 0;
    HANDLE request = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    ASSERT_NE(request, nullptr);
    // A broken stop handle makes the wait fail at once.
    DWORD start = GetTickCount();
    EXPECT_EQ(run_worker_loop(nullptr, request, count_request), 1u);
    EXPECT_EQ(g_requests_run, 0);
    EXPECT_LT(GetTickCount() - start, 1000u);
    CloseHandle(request);
}

TEST(PingWorkerLoop, StopWinsOverAPendingRequest) {
    g_requests_run = 0;
    HANDLE stop = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    HANDLE request = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(run_worker_loop(stop, request, count_request), 0u);
    EXPECT_EQ(g_requests_run, 0);
    CloseHandle(stop);
    CloseHandle(request);
}

}  // namespace

int main(int argc, char** argv) {
    if (!start_windows_sockets())
        return 1;
    int result = run_window_tests(argc, argv, ICC_WIN95_CLASSES);
    stop_windows_sockets();
    return result;
}
