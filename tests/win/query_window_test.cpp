// The log query dialog driven as a user would, over a day file in the
// current directory.
#include "support/gtest_winelib.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/controls_win.h"
#include "monitor/activity_log.h"
#include "query/log_query_dialog_win.h"
#include "query/query_resources.h"
#include "support/window_driver.h"

namespace {

const std::string kAlice = "第1条会话记录:用户:alice计算机:PC1打开文件数目:1连接时间:5秒空闲时间:0秒 ";

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
    std::string text(int id) { return window_text(GetDlgItem(box, id)); }

    bool answer(const std::string& message) { return answer_message_box(box, message, IDOK); }
};

}  // namespace

TEST_F(QueryWindow, ListsTheDaysEntriesInTheWindow) {
    write_day("时间:" + stamp(8, 0, 0) + "内容:" + kAlice + "\r\n" + "时间:" + stamp(9, 30, 0) + "内容:" + kAlice +
                  "〓第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n" + "时间:" + stamp(9, 30, 1) +
                  "内容:\r\n" + "时间:" + stamp(11, 0, 0) + "内容:" + kAlice + "\r\n",
              4);
    set_time(IDC_QUERY_START, 9, 0, 0);
    set_time(IDC_QUERY_END, 10, 0, 0);
    PostMessageW(box, WM_COMMAND, IDC_QUERY_RUN, 0);
    ASSERT_TRUE(wait_until([&] { return !text(IDC_QUERY_SESSION_LOG).empty(); }, 5000));
    EXPECT_EQ(text(IDC_QUERY_SESSION_LOG), stamp(9, 30, 0) + kAlice + "\r\n");
    EXPECT_EQ(text(IDC_QUERY_FILE_LOG), stamp(9, 30, 0) + "第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n");
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
    EXPECT_EQ(text(IDC_QUERY_SESSION_LOG), stamp(8, 0, 0) + kAlice + "\r\n");
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
