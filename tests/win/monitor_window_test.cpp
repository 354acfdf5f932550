// The main window driven as a user would: real dialogs and list views under
// Xvfb, a scripted source of sessions and opens.
#include "support/running_monitor.h"

#include <commctrl.h>

#include <memory>

#include "common/code_page.h"
#include "common/controls_win.h"
#include "common/message_box_win.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "support/fake_net.h"
#include "support/window_driver.h"
#include "support/window_test_main.h"

namespace {

// The visible message boxes of this process, whatever thread shows them
// (the main window is a dialog too, told apart by its status line).
BOOL CALLBACK collect_message_boxes(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    WCHAR name[16] = {0};
    GetClassNameW(window, name, 16);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpW(name, L"#32770") == 0 &&
        !GetDlgItem(window, IDC_STATUS))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

struct MonitorWindow : RunningMonitor {
    HWND list(int id) { return GetDlgItem(main, id); }
    std::string cell(int id, int row, int column) { return list_cell_text(list(id), row, column); }
    int rows(int id) { return list_row_count(list(id)); }

    std::pair<std::string, int> column(int id, int index) {
        WCHAR text[64] = {0};
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.pszText = text;
        c.cchTextMax = 64;
        if (!SendMessageW(list(id), LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&c)))
            return {"<none>", -1};
        return {window_text_of(text), c.cx};
    }
    static std::string window_text_of(const WCHAR* text) {
        return codepage::utf16_to_gbk(reinterpret_cast<const char16_t*>(text));
    }

    void set_sessions(std::vector<netmgmt::SessionInfo> sessions) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = std::move(sessions);
    }
    void set_open_files(std::vector<netmgmt::OpenFileInfo> opens) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.open_files = std::move(opens);
    }

    bool answer_box(const std::string& text, int button) { return answer_message_box(main, text, button); }

    void set_failures(std::uint32_t status) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.share_failure = status;
        net.session_failure = status;
    }
    static std::vector<HWND> message_boxes() {
        std::vector<HWND> found;
        EnumWindows(collect_message_boxes, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static int boxes() { return static_cast<int>(message_boxes().size()); }
    static HWND first_box() {
        auto found = message_boxes();
        return found.empty() ? nullptr : found.front();
    }
};

}  // namespace

TEST_F(MonitorWindow, HasItsListsColumnsAndStyles) {
    EXPECT_EQ(column(IDC_SHARES, 0), std::make_pair(std::string("共享文件夹"), 150));
    EXPECT_EQ(column(IDC_SHARES, 3), std::make_pair(std::string("说明"), 120));
    EXPECT_EQ(column(IDC_SESSIONS, 0), std::make_pair(std::string("用户"), 130));
    EXPECT_EQ(column(IDC_SESSIONS, 2), std::make_pair(std::string("打开文件数目"), 120));
    EXPECT_EQ(column(IDC_SESSIONS, 4), std::make_pair(std::string("空闲时间"), 100));
    EXPECT_EQ(column(IDC_OPEN_FILES, 0), std::make_pair(std::string("打开文件"), 250));
    EXPECT_EQ(column(IDC_OPEN_FILES, 3), std::make_pair(std::string("文件标识"), 0));
    for (int id : {IDC_SHARES, IDC_SESSIONS, IDC_OPEN_FILES}) {
        EXPECT_EQ(SendMessageW(list(id), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_SUBITEMIMAGES);
        EXPECT_NE(SendMessageW(list(id), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
        EXPECT_EQ(GetWindowLongW(list(id), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        // The session and open-file lists hold no rows of their own: the window's copy is the only one.
        EXPECT_EQ((GetWindowLongW(list(id), GWL_STYLE) & LVS_OWNERDATA) != 0, id != IDC_SHARES) << id;
    }
    EXPECT_EQ(window_text(GetDlgItem(main, IDC_STATUS)), "");
    HMENU system = GetSystemMenu(main, FALSE);
    WCHAR about[64] = {0};
    GetMenuStringW(system, IDM_ABOUT, about, 64, MF_BYCOMMAND);
    EXPECT_EQ(window_text_of(about), "关于 Filvane(&A)...");
}

TEST_F(MonitorWindow, TheWorkerFillsAndEmptiesBothLists) {
    set_sessions({{"alice", "PC1", 1, 5, 0}, {"", "ANON", 0, 1, 1}});
    set_open_files({{0x80000005u, 0x23, "D:\\共享\\报告.doc", "alice"}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_SESSIONS) == 1 && rows(IDC_OPEN_FILES) == 1; }, 3000));
    EXPECT_EQ(cell(IDC_SESSIONS, 0, 1), "PC1");
    EXPECT_EQ(cell(IDC_OPEN_FILES, 0, 0), "D:\\共享\\报告.doc");
    EXPECT_EQ(cell(IDC_OPEN_FILES, 0, 2), "写入+读取");
    EXPECT_EQ(cell(IDC_OPEN_FILES, 0, 3), "-2147483643") << "the hidden column holds the id";
    set_sessions({});
    set_open_files({});
    EXPECT_TRUE(wait_until([&] { return rows(IDC_SESSIONS) == 0 && rows(IDC_OPEN_FILES) == 0; }, 3000));
}

TEST_F(MonitorWindow, OnlyTimerOneRefreshesTheShares) {
    // The window posts its first refresh to itself at start: counted from after it.
    auto share_calls = [&] {
        std::lock_guard<std::mutex> lock(net.mutex);
        return net.share_calls;
    };
    ASSERT_TRUE(wait_until([&] { return share_calls() > 0; }, 5000));
    int before = share_calls();
    SendMessageW(main, WM_TIMER, 2, 0);
    EXPECT_EQ(share_calls(), before);
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.shares = {{"IPC$", "", 0, ""}, {"docs", "C:\\docs", 3, "文档"}};
    }
    SendMessageW(main, WM_TIMER, 1, 0);
    EXPECT_EQ(share_calls(), before + 1);
    ASSERT_EQ(rows(IDC_SHARES), 2);
    EXPECT_EQ(cell(IDC_SHARES, 0, 0), "docs");
    EXPECT_EQ(cell(IDC_SHARES, 0, 3), "文档");
}

TEST_F(MonitorWindow, EnterAndEscapeDoNotCloseIt) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        PostMessageW(list(IDC_SESSIONS), WM_KEYDOWN, key, 0);
        PostMessageW(main, WM_KEYDOWN, key, 0);
    }
    Sleep(300);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(MonitorWindow, SystemMenuAboutOpensTheAboutBox) {
    PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND about = wait_for_window(kAboutTitle, 5000);
    ASSERT_NE(about, nullptr);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(about); }, 5000));
}

TEST_F(MonitorWindow, ClosesPromptlyBetweenPasses) {
    DWORD start = GetTickCount();
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ui->join(5000));
    EXPECT_LT(GetTickCount() - start, 2500u);
    main = nullptr;
}

TEST_F(MonitorWindow, ClosesWithinTheBoundDuringASlowPass) {
    set_sessions({{"alice", "PC1", 1, 5, 0}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_SESSIONS) == 1; }, 3000));
    net.session_delay_ms = 1500;
    Sleep(1200);  // the next pass is now inside its slow enumeration
    DWORD start = GetTickCount();
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ui->join(8000));
    // The worker's list updates are served while waiting, so closing takes
    // about the rest of the pass, not the full five-second bound.
    EXPECT_LT(GetTickCount() - start, 4000u);
    main = nullptr;
}

TEST_F(MonitorWindow, CloseFileAsksThenClosesTheSelectedOpen) {
    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    EXPECT_TRUE(answer_box("请先在当前打开文件列表中选择一个要关闭的文件!点击第一项“打开文件”即表示选择!", IDOK));

    set_open_files({{0x80000001u, 1, "D:\\a.txt", "bob"}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 1; }, 3000));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(list(IDC_OPEN_FILES), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));

    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    ASSERT_TRUE(answer_box("确定要关闭打开文件“D:\\a.txt”吗?", IDCANCEL));
    Sleep(200);
    EXPECT_TRUE(net.closed.empty()) << "Cancel closes nothing";

    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    ASSERT_TRUE(answer_box("确定要关闭打开文件“D:\\a.txt”吗?", IDOK));
    EXPECT_TRUE(answer_box("关闭文件成功!", IDOK));
    ASSERT_EQ(net.closed.size(), 1u);
    EXPECT_EQ(net.closed[0], 0x80000001u) << "a negative id text closes the right open";
    EXPECT_EQ(net.asked_to_close[0].path, "D:\\a.txt") << "the open as the question showed it";
    EXPECT_EQ(net.asked_to_close[0].user, "bob");

    net.close_result = 2314;
    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    ASSERT_TRUE(answer_box("确定要关闭打开文件“D:\\a.txt”吗?", IDOK));
    EXPECT_TRUE(answer_box("关闭文件失败!\r\n找不到这个打开文件,它可能已经关闭(2314)", IDOK));

    // The server gave the id to another open while the question was up.
    net.close_result = netmgmt::kFileChanged;
    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    ASSERT_TRUE(answer_box("确定要关闭打开文件“D:\\a.txt”吗?", IDOK));
    EXPECT_TRUE(answer_box("该文件已变化,没有关闭任何文件!", IDOK));
}

TEST_F(MonitorWindow, SelectionStaysOnItsOpenAsRowsAboveGo) {
    set_open_files({{1, 1, "D:\\a.txt", "ann"}, {2, 1, "D:\\b.txt", "ann"}, {3, 1, "D:\\c.txt", "bob"}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 3; }, 3000));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list(IDC_OPEN_FILES), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    auto selected = [&] {
        return static_cast<int>(
            SendMessageW(list(IDC_OPEN_FILES), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    };

    set_open_files({{2, 1, "D:\\b.txt", "ann"}, {3, 1, "D:\\c.txt", "bob"}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 2; }, 3000));
    ASSERT_EQ(selected(), 1) << "the selection moved up with its open";
    EXPECT_EQ(cell(IDC_OPEN_FILES, 1, 3), "3");
    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    EXPECT_TRUE(answer_box("确定要关闭打开文件“D:\\c.txt”吗?", IDCANCEL)) << "closing asks about that open";

    set_open_files({{1, 1, "D:\\a.txt", "ann"}, {2, 1, "D:\\b.txt", "ann"}});
    ASSERT_TRUE(wait_until([&] { return cell(IDC_OPEN_FILES, 1, 3) == "2"; }, 3000));
    EXPECT_EQ(selected(), -1) << "its open is gone: no other row takes the selection";
}

TEST_F(MonitorWindow, StatusLineNamesAFailureUntilTheListsReadAgain) {
    auto status = [&] { return window_text(GetDlgItem(main, IDC_STATUS)); };
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.session_failure = 2114;
    }
    ASSERT_TRUE(wait_until(
        [&] { return status().find("读取会话列表失败:文件共享服务没有运行(2114)") != std::string::npos; }, 4000))
        << status();
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.session_failure = 0;
    }
    EXPECT_TRUE(wait_until([&] { return status().empty(); }, 4000)) << status();
}

TEST_F(MonitorWindow, StatusLineTellsTheListsAgeWhileAPassStretches) {
    auto status = [&] { return window_text(GetDlgItem(main, IDC_STATUS)); };
    set_sessions({{"alice", "PC1", 1, 5, 0}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_SESSIONS) == 1 && status().empty(); }, 4000)) << status();
    net.session_delay_ms = 4000;  // a listing longer than the period
    ASSERT_TRUE(wait_until([&] { return status().find("列表已") != std::string::npos; }, 4500))
        << "told while the pass is still inside its listing: " << status();
    const std::string first = status();
    EXPECT_TRUE(wait_until([&] { return status() != first && !status().empty(); }, 2500))
        << "the age goes on meanwhile: " << first;
    net.session_delay_ms = 0;
    EXPECT_TRUE(wait_until([&] { return status().empty(); }, 10000)) << "a prompt pass clears it: " << status();
}

TEST_F(MonitorWindow, AShareListThatFailedIsReadAgainOnceTheServerAnswers) {
    auto status = [&] { return window_text(GetDlgItem(main, IDC_STATUS)); };
    set_failures(2114);  // the server restarts: shares and sessions fail
    SendMessageW(main, WM_TIMER, 1, 0);
    const int failing_pass = net.session_calls;
    ASSERT_TRUE(wait_until([&] { return net.session_calls > failing_pass + 1; }, 4000)) << "no failing pass";
    ASSERT_NE(status().find("文件共享服务没有运行(2114)"), std::string::npos) << status();
    const int share_calls = net.share_calls;
    set_failures(0);
    // The share timer's next tick is 10 s away: the line empties before it.
    EXPECT_TRUE(wait_until([&] { return status().empty(); }, 4000)) << status();
    EXPECT_EQ(net.share_calls, share_calls + 1) << "read again once, at the first good pass";
}

TEST_F(MonitorWindow, ReportsOfTimersAndTheWorkerNeverStackBoxes) {
    // An error log that cannot be written (a folder of its name), and shares
    // and sessions that cannot be read: every tick and every pass has a box
    // to show.
    WCHAR previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    WCHAR folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    lstrcatW(folder, L"filvane-box-storm");
    CreateDirectoryW(folder, nullptr);
    SetCurrentDirectoryW(folder);
    CreateDirectoryW(L"vlerror.log", nullptr);
    set_failures(2114);
    const unsigned long dropped_before = dropped_reports();
    for (int tick = 0; tick < 300; ++tick)
        PostMessageW(main, WM_TIMER, 1, 0);
    ASSERT_TRUE(wait_until([&] { return boxes() == 1; }, 5000));
    DWORD_PTR answer = 0;
    for (int i = 0; i < 40; ++i) {
        EXPECT_LE(boxes(), 1);
        EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer), 0) << "the window answers";
        Sleep(50);
    }
    EXPECT_GT(dropped_reports(), dropped_before) << "the worker's reports meanwhile were counted and dropped";
    set_failures(0);
    // Answering what is up leaves nothing behind it.
    for (int i = 0; i < 10 && wait_until([&] { return boxes() > 0; }, 2000); ++i)
        PostMessageW(first_box(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until([&] { return boxes() == 0; }, 3000));
    SetCurrentDirectoryW(previous);
    const std::u16string log_folder = std::u16string(reinterpret_cast<const char16_t*>(folder)) + u"\\vlerror.log";
    RemoveDirectoryW(reinterpret_cast<const WCHAR*>(log_folder.c_str()));
    RemoveDirectoryW(folder);
}

int main(int argc, char** argv) { return run_window_tests(argc, argv, ICC_WIN95_CLASSES); }
