// The log query dialog driven as a user would, over a day file in the
// current directory.
#include "support/gtest_winelib.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "bench/query_box_candidates_win.h"
#include "common/controls_win.h"
#include "common/exclusive_file.h"
#include "common/wide_text_win.h"
#include "monitor/activity_log.h"
#include "query/log_query.h"
#include "query/log_query_dialog_win.h"
#include "query/query_resources.h"
#include "query/text_to_time.h"
#include "support/window_driver.h"

namespace {

const std::string kAlice = "第1条会话记录:用户:alice计算机:PC1打开文件数目:1连接时间:5秒空闲时间:0秒 ";

long env_number(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value ? std::atol(value) : fallback;
}

// A button event at `at` (screen coordinates): the event carries its own
// position, so a busy machine cannot deliver it where the cursor went next.
void mouse(DWORD flags, POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Presses the left button at one point of `window` and lets it go at another.
void drag(HWND window, POINT from, POINT to) {
    ClientToScreen(window, &from);
    ClientToScreen(window, &to);
    // The press goes wherever the pointer is: wait until nothing (a window
    // of the test before, still going) lies over the box there.
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    wait_until([&] { return WindowFromPoint(from) == window; }, 5000);
    mouse(MOUSEEVENTF_LEFTDOWN, from);
    mouse(0, to);
    mouse(MOUSEEVENTF_LEFTUP, to);
}

void shift_click(HWND window, POINT at) {
    INPUT shift{};
    shift.type = INPUT_KEYBOARD;
    shift.ki.wVk = VK_SHIFT;
    SendInput(1, &shift, sizeof shift);
    drag(window, at, at);
    shift.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &shift, sizeof shift);
}

struct QueryWindow : ::testing::Test {
    std::unique_ptr<LogQueryDialog> dialog;
    std::unique_ptr<UiThread> ui;
    HWND box = nullptr;
    LocalTime today{};
    std::string day_file;

    void SetUp() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        today = {st.wYear, st.wMonth, st.wDay, 0, 0, 0};
        day_file = activity_file_name(today);
        dialog = std::make_unique<LogQueryDialog>();
        ui = std::make_unique<UiThread>([this] { dialog->run_modal(nullptr); });
        box = wait_for_window("日志查询", 10000);
        ASSERT_NE(box, nullptr);
    }
    void TearDown() override {
        if (box && IsWindow(box))
            PostMessageW(box, WM_CLOSE, 0, 0);
        ASSERT_TRUE(ui->join(10000));
        std::remove(day_file.c_str());
    }

    std::string stamp(int h, int m, int s) {
        LocalTime t = today;
        t.hour = h;
        t.minute = m;
        t.second = s;
        return activity_stamp(t);
    }
    void write_day(const std::string& body, long count) {
        std::ofstream(day_file, std::ios::binary) << activity_counter_line(count) << body;
    }
    void set_time(int id, int h, int m, int s) {
        SYSTEMTIME st;
        SendMessageW(GetDlgItem(box, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
        st.wHour = static_cast<WORD>(h);
        st.wMinute = static_cast<WORD>(m);
        st.wSecond = static_cast<WORD>(s);
        SendMessageW(GetDlgItem(box, id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
    void click(int id) { SendMessageW(box, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    HWND control(int id) { return GetDlgItem(box, id); }
    // Clicks 查询 and waits for the walk, which runs beside the window's
    // message loop, to fill the boxes.
    bool run_query(DWORD timeout_ms = 10000) {
        click(IDC_QUERY_RUN);
        return wait_until([&] { return IsWindowEnabled(control(IDC_QUERY_RUN)) != FALSE; }, timeout_ms);
    }
    // What Ctrl+C in a box puts on the clipboard.
    std::string copied_selection(int id) {
        if (!OpenClipboard(nullptr))
            return "<no clipboard>";
        EmptyClipboard();
        CloseClipboard();
        // A message box closing over the dialog would take the keys.
        wait_until([&] { return IsWindowEnabled(box) != FALSE; }, 5000);
        SetForegroundWindow(box);
        SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(id)), TRUE);
        press_with_control('C');
        std::string text;
        wait_until([&] { return clipboard_text(text); }, 30000);
        return text;
    }
    // A box's whole text as the user copies it: Ctrl+A, Ctrl+C.
    std::string copied(int id) {
        SetForegroundWindow(box);
        SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(id)), TRUE);
        press_with_control('A');
        return copied_selection(id);
    }

    bool answer(const std::string& message) { return answer_message_box(box, message, IDOK); }

    // A busy day: `entries` entries of ten session records, spread over the day.
    void write_busy_day(long entries) {
        std::string records;
        for (int k = 1; k <= 10; ++k)
            records += "第" + std::to_string(k) + "条会话记录:用户:user" + std::to_string(k) + "计算机:PC" +
                       std::to_string(k) + "打开文件数目:1连接时间:35秒空闲时间:0秒 ";
        std::string body;
        for (long i = 0; i < entries; ++i) {
            long second = i * 86400 / entries;
            body += "时间:" +
                    stamp(static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                          static_cast<int>(second % 60)) +
                    "内容:" + records + "\r\n";
        }
        write_day(body, entries);
    }

    // Writes a busy day and gives the whole day's session log as the core
    // reads it, with the number of lines it walked.
    std::string busy_day_session_log(long entries, long& lines) {
        write_busy_day(entries);
        QueryConditions whole_day;
        whole_day.start = *text_to_time(stamp(0, 0, 0));
        whole_day.end = *text_to_time(stamp(23, 59, 59));
        QueryProgress progress;
        std::string log =
            run_log_query(ExclusiveFile::open(day_file, ExclusiveFile::Disposition::OpenExisting), whole_day, progress)
                .session_log;
        lines = progress.line;
        return log;
    }
};

}  // namespace

TEST_F(QueryWindow, ListsTheDaysEntriesInTheWindow) {
    write_day("时间:" + stamp(8, 0, 0) + "内容:" + kAlice + "\r\n" + "时间:" + stamp(9, 30, 0) + "内容:" + kAlice +
                  "〓第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n" + "时间:" + stamp(9, 30, 1) +
                  "内容:\r\n" + "时间:" + stamp(11, 0, 0) + "内容:" + kAlice + "\r\n",
              4);
    set_time(IDC_QUERY_START, 9, 0, 0);
    set_time(IDC_QUERY_END, 10, 0, 0);
    ASSERT_TRUE(run_query());
    const std::string listed = stamp(9, 30, 0) + kAlice + "\r\n";
    EXPECT_EQ(copied(IDC_QUERY_SESSION_LOG), listed);
    EXPECT_EQ(window_text(control(IDC_QUERY_SESSION_LOG)), listed) << "the box answers WM_GETTEXT as an edit box";
    // Dragging over the first row selects the start of the entry; a Shift
    // click below the text extends it to the end.
    HWND session_box = control(IDC_QUERY_SESSION_LOG);
    RECT client{};
    GetClientRect(session_box, &client);
    drag(session_box, {1, 3}, {client.right / 2, 3});
    std::string part = copied_selection(IDC_QUERY_SESSION_LOG);
    EXPECT_FALSE(part.empty());
    EXPECT_LT(part.size(), listed.size());
    EXPECT_EQ(listed.compare(0, part.size(), part), 0) << part;
    shift_click(session_box, {client.right / 2, client.bottom - 2});
    EXPECT_EQ(copied_selection(IDC_QUERY_SESSION_LOG), listed);
    EXPECT_EQ(
        copied(IDC_QUERY_FILE_LOG), stamp(9, 30, 0) + "第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n");
    HWND progress = GetDlgItem(box, IDC_QUERY_PROGRESS);
    EXPECT_EQ(SendMessageW(progress, PBM_GETRANGE, FALSE, 0), 4);
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 4) << "the walk covered every line";

    WCHAR here_before[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, here_before);
    char temp[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, temp);
    std::string saved = std::string(temp) + "query_window_saved.txt";
    DeleteFileA(saved.c_str());
    PostMessageW(box, WM_COMMAND, IDC_QUERY_SAVE, 0);
    std::string proposed;
    ASSERT_TRUE(answer_save_dialog(box, saved, proposed));
    EXPECT_EQ(proposed, "VlxLogo.txt");
    SendMessageW(box, WM_NULL, 0, 0);  // returns once the save handler has
    WCHAR here_after[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, here_after);
    EXPECT_EQ(lstrcmpW(here_before, here_after), 0) << "the day files stay where they are looked up";
    EXPECT_EQ(win32_file_bytes(saved), "会话日志\r\n" + stamp(9, 30, 0) + kAlice + "\r\n\r\n打开文件日志\r\n" +
                                           stamp(9, 30, 0) +
                                           "第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n\r\n");
    DeleteFileA(saved.c_str());
}

TEST_F(QueryWindow, RefusesAStartAfterTheEndAndAMissingDay) {
    set_time(IDC_QUERY_START, 12, 0, 0);
    set_time(IDC_QUERY_END, 11, 0, 0);
    PostMessageW(box, WM_COMMAND, IDC_QUERY_RUN, 0);
    EXPECT_TRUE(answer("起始时间不能大于终止时间!请重新设置!"));
    set_time(IDC_QUERY_END, 12, 0, 0);
    PostMessageW(box, WM_COMMAND, IDC_QUERY_RUN, 0);
    EXPECT_TRUE(answer("打开日志文件失败!软件目录下没有该天的日志文件!"));
}

TEST_F(QueryWindow, ABadLineIsNamedAndEarlierEntriesStay) {
    write_day("时间:" + stamp(8, 0, 0) + "内容:" + kAlice + "\r\nnot an entry\r\n", 2);
    set_time(IDC_QUERY_START, 0, 0, 0);
    set_time(IDC_QUERY_END, 23, 59, 59);
    PostMessageW(box, WM_COMMAND, IDC_QUERY_RUN, 0);
    EXPECT_TRUE(answer("日志文件第3行不是有效的日志记录,查询在此行结束!"));
    EXPECT_EQ(copied(IDC_QUERY_SESSION_LOG), stamp(8, 0, 0) + kAlice + "\r\n");
}

TEST_F(QueryWindow, TickingAConditionEnablesItsField) {
    HWND field = GetDlgItem(box, IDC_QUERY_USER);
    EXPECT_FALSE(IsWindowEnabled(field));
    SendMessageW(GetDlgItem(box, IDC_QUERY_USER_CHECK), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(field));
    SendMessageW(GetDlgItem(box, IDC_QUERY_USER_CHECK), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(field));
}

TEST_F(QueryWindow, EnterAndEscapeDoNothing) {
    PostMessageW(GetDlgItem(box, IDC_QUERY_USER), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(QueryWindow, ItsTwoLogsTakeTheRoomItIsGivenAndItGetsNoSmallerThanAtFirst) {
    auto box_of = [&](int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(box, id), &r);
        MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT smallest{};
    GetWindowRect(box, &smallest);
    const RECT sessions = box_of(IDC_QUERY_SESSION_LOG), files = box_of(IDC_QUERY_FILE_LOG);
    const RECT run = box_of(IDC_QUERY_RUN);
    const int width = smallest.right - smallest.left, height = smallest.bottom - smallest.top;
    // The dialog is over 800 high and the screen 1024.
    SetWindowPos(box, nullptr, 0, 0, width + 300, height + 120, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT grown_sessions = box_of(IDC_QUERY_SESSION_LOG), grown_files = box_of(IDC_QUERY_FILE_LOG);
    EXPECT_EQ(grown_sessions.right - grown_sessions.left, sessions.right - sessions.left + 300);
    EXPECT_EQ((grown_sessions.bottom - grown_sessions.top) + (grown_files.bottom - grown_files.top),
              (sessions.bottom - sessions.top) + (files.bottom - files.top) + 120)
        << "the two logs share all the extra height";
    EXPECT_GT(grown_files.top, files.top + 40) << "the file log moves down below the taller session log";
    EXPECT_EQ(box_of(IDC_QUERY_RUN).left, run.left) << "the conditions and buttons stay";
    EXPECT_EQ(box_of(IDC_QUERY_RUN).top, run.top);

    SetWindowPos(box, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT now{};
    GetWindowRect(box, &now);
    EXPECT_EQ(now.right - now.left, width);
    EXPECT_EQ(now.bottom - now.top, height);
    EXPECT_EQ(box_of(IDC_QUERY_FILE_LOG).bottom, files.bottom);
}

// A busy day through the real dialog: every entry listed, byte for byte what
// the core gives, while the window keeps answering. bench/query_dialog_timing.sh
// runs it with other sizes and collects the time it prints.
TEST_F(QueryWindow, ListsEveryEntryOfABusyDay) {
    long entries = env_number("FILVANE_QUERY_ENTRIES", 100000);
    long lines = 0;
    std::string expected = busy_day_session_log(entries, lines);
    ASSERT_EQ(lines, entries);

    set_time(IDC_QUERY_START, 0, 0, 0);
    set_time(IDC_QUERY_END, 23, 59, 59);
    DWORD start = GetTickCount();
    click(IDC_QUERY_RUN);
    ASSERT_FALSE(IsWindowEnabled(control(IDC_QUERY_RUN))) << "the walk is under way when the click returns";
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer))
        << "the window's thread answers during the walk";
    ASSERT_TRUE(wait_until([&] { return IsWindowEnabled(control(IDC_QUERY_RUN)) != FALSE; }, 60000));
    UpdateWindow(control(IDC_QUERY_SESSION_LOG));
    DWORD elapsed = GetTickCount() - start;
    std::printf("query dialog: %ld entries, %lu ms from the click to the filled box\n", entries,
                static_cast<unsigned long>(elapsed));

    std::string shown = copied(IDC_QUERY_SESSION_LOG);
    EXPECT_EQ(shown.size(), expected.size());
    EXPECT_TRUE(shown == expected) << "the box holds the core's result byte for byte";
}

// Run by bench/query_box_candidates.sh: the time each control takes to show
// a busy day's text in the box's place and size, then to select all of it.
TEST_F(QueryWindow, TimedBoxCandidates) {
    const char* names = std::getenv("FILVANE_QUERY_CANDIDATES");
    if (!names)
        GTEST_SKIP() << "run by bench/query_box_candidates.sh";
    long entries = env_number("FILVANE_QUERY_ENTRIES", 100000);
    long lines = 0;
    std::string text = busy_day_session_log(entries, lines);
    std::istringstream list(names);
    for (std::string name; std::getline(list, name, ',');) {
        BoxCandidate candidate = box_candidate(name, control(IDC_QUERY_SESSION_LOG));
        ASSERT_TRUE(candidate.window) << name;
        DWORD start = GetTickCount();
        candidate.show(text);
        UpdateWindow(candidate.window);
        DWORD shown = GetTickCount() - start;
        start = GetTickCount();
        candidate.select_all();
        UpdateWindow(candidate.window);
        DWORD selected = GetTickCount() - start;
        std::printf("box candidate %s: %ld entries, %zu bytes: shown in %lu ms, all selected in %lu ms\n", name.c_str(),
                    entries, text.size(), static_cast<unsigned long>(shown), static_cast<unsigned long>(selected));
        DestroyWindow(candidate.window);
    }
}
