// The session and open-file lists sorted by a header click and narrowed by
// the find box while passes go on: numbers as numbers, new rows in their
// place, the selection on its row; what they show exported and closed.
#include "support/running_monitor.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "common/code_page.h"
#include "common/controls_win.h"
#include "common/wide_text_win.h"
#include "shell/filvane_resources.h"
#include "support/fake_net.h"
#include "support/window_driver.h"

namespace {

struct SortedLists : RunningMonitor {
    HWND list(int id) { return GetDlgItem(main, id); }
    std::string cell(int id, int row, int column) { return list_cell_text(list(id), row, column); }
    int rows(int id) { return list_row_count(list(id)); }
    std::vector<std::string> column_texts(int id, int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < rows(id); ++row)
            texts.push_back(cell(id, row, column));
        return texts;
    }
    // As the list view reports a click on a header.
    void click_header(int id, int column) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = list(id);
        click.hdr.idFrom = static_cast<UINT_PTR>(id);
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(main, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&click));
    }
    int header_format(int id, int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list(id), LVM_GETHEADER, 0, 0));
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    int selected(int id) {
        return static_cast<int>(SendMessageW(list(id), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    void select(int id, int row) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list(id), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    void set_open_files(std::vector<netmgmt::OpenFileInfo> opens) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.open_files = std::move(opens);
    }
    int list_selected_count(int id) { return static_cast<int>(SendMessageW(list(id), LVM_GETSELECTEDCOUNT, 0, 0)); }
    // As typing into the find box does: the box tells the window at once.
    void find(const std::string& text) { set_window_text(GetDlgItem(main, IDC_FIND), text); }
    std::string status() { return window_text(GetDlgItem(main, IDC_STATUS)); }
};

// 10,000 opens of 37 users, ids from `first`, leaving out every `gap`th.
std::vector<netmgmt::OpenFileInfo> opens_from(unsigned first, unsigned gap) {
    std::vector<netmgmt::OpenFileInfo> opens;
    for (unsigned i = first; opens.size() < 10000; ++i)
        if (gap == 0 || i % gap != 0)
            opens.push_back({i, 1, "D:\\共享\\文件" + std::to_string(i) + ".txt", "用户" + std::to_string(i % 37)});
    return opens;
}

}  // namespace

TEST_F(SortedLists, AHeaderClickSortsNumbersAsNumbersAndASecondReverses) {
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = {{"bob", "PC2", 100, 5, 0}, {"Ann", "PC1", 9, 70, 3}, {"carl", "PC3", 10, 600, 1}};
    }
    ASSERT_TRUE(wait_until([&] { return rows(IDC_SESSIONS) == 3; }, 3000));
    click_header(IDC_SESSIONS, 2);
    EXPECT_EQ(column_texts(IDC_SESSIONS, 2), (std::vector<std::string>{"9", "10", "100"}));
    EXPECT_EQ(header_format(IDC_SESSIONS, 2), HDF_SORTUP);
    click_header(IDC_SESSIONS, 2);
    EXPECT_EQ(column_texts(IDC_SESSIONS, 2), (std::vector<std::string>{"100", "10", "9"}));
    EXPECT_EQ(header_format(IDC_SESSIONS, 2), HDF_SORTDOWN);
    click_header(IDC_SESSIONS, 3);
    EXPECT_EQ(column_texts(IDC_SESSIONS, 3), (std::vector<std::string>{"5秒", "70秒", "600秒"})) << "times too";
    EXPECT_EQ(header_format(IDC_SESSIONS, 2), 0) << "one arrow only";
    click_header(IDC_SESSIONS, 0);
    EXPECT_EQ(column_texts(IDC_SESSIONS, 0), (std::vector<std::string>{"Ann", "bob", "carl"})) << "case-blind";
}

TEST_F(SortedLists, OrderAndSelectionHoldAcrossAPassThatAddsAndRemovesRows) {
    set_open_files(opens_from(1, 0));
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 10000; }, 10000));
    click_header(IDC_OPEN_FILES, 1);
    click_header(IDC_OPEN_FILES, 1);  // users descending
    EXPECT_EQ(cell(IDC_OPEN_FILES, 0, 1), "用户9");
    int chosen = 4321;
    while (std::stoul(cell(IDC_OPEN_FILES, chosen, 3)) % 5 == 0)
        ++chosen;  // an open that stays
    select(IDC_OPEN_FILES, chosen);
    const std::string chosen_id = cell(IDC_OPEN_FILES, chosen, 3);

    // A pass: every 5th open goes, the same number of new ones come at the end.
    set_open_files(opens_from(1, 5));
    ASSERT_TRUE(wait_until([&] { return cell(IDC_OPEN_FILES, chosen, 3) != chosen_id; }, 5000));
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 10000; }, 5000));
    const std::vector<std::string> users = column_texts(IDC_OPEN_FILES, 1);
    EXPECT_TRUE(std::is_sorted(users.rbegin(), users.rend())) << "still by user, descending";
    const std::vector<std::string> ids = column_texts(IDC_OPEN_FILES, 3);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "12499"), 1) << "a new open in its place";
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "10"), 0) << "a gone open is gone";
    ASSERT_GE(selected(IDC_OPEN_FILES), 0);
    EXPECT_NE(selected(IDC_OPEN_FILES), chosen);
    EXPECT_EQ(cell(IDC_OPEN_FILES, selected(IDC_OPEN_FILES), 3), chosen_id) << "the selection followed its open";
}

namespace {

// How many of opens_from(first, gap) user `user` holds.
int opens_of_user(unsigned first, unsigned gap, unsigned user) {
    int count = 0;
    for (const auto& open : opens_from(first, gap))
        count += open.user == "用户" + std::to_string(user);
    return count;
}

// Python's csv module reading `csv` (a file's bytes): its row count, then
// its first rows with "|" between the fields, in UTF-8.
std::string read_by_python(const std::string& csv, int rows) {
    const std::string path = "/tmp/filvane_list_export_" + std::to_string(GetCurrentProcessId()) + ".csv";
    std::ofstream(path, std::ios::binary) << csv;
    const std::string command =
        "python3 -c \"import csv,sys; r=list(csv.reader(open(sys.argv[1],encoding='utf-8-sig',newline=''))); "
        "print(len(r)); [print('|'.join(x)) for x in r[:" +
        std::to_string(rows) + "]]\" " + path;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    std::remove(path.c_str());
    return out;
}

}  // namespace

TEST_F(SortedLists, TheFindBoxNarrowsBothListsCountsThemAndHoldsAcrossPasses) {
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = {{"用户7", "PC7", 3, 5, 0}, {"Ann", "PC1", 9, 70, 3}, {"carl", "用户7的PC", 10, 600, 1}};
    }
    set_open_files(opens_from(1, 0));
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 10000 && rows(IDC_SESSIONS) == 3; }, 10000));
    EXPECT_EQ(status(), "") << "no counts while nothing is looked for";

    find("用户7");
    const int shown = opens_of_user(1, 0, 7);
    EXPECT_EQ(rows(IDC_OPEN_FILES), shown);
    EXPECT_EQ(column_texts(IDC_SESSIONS, 0), (std::vector<std::string>{"用户7", "carl"})) << "any column";
    EXPECT_EQ(status(), "会话 显示 2 / 3  打开文件 显示 " + std::to_string(shown) + " / 10000");
    find("ANN");
    EXPECT_EQ(column_texts(IDC_SESSIONS, 0), (std::vector<std::string>{"Ann"})) << "ASCII in either case";

    // A pass: every 5th open goes and new ones come; the find text stays.
    find("用户7");
    set_open_files(opens_from(1, 5));
    const int after = opens_of_user(1, 5, 7);
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == after; }, 5000)) << rows(IDC_OPEN_FILES);
    for (const std::string& user : column_texts(IDC_OPEN_FILES, 1))
        ASSERT_EQ(user, "用户7");
    EXPECT_EQ(status(), "会话 显示 2 / 3  打开文件 显示 " + std::to_string(after) + " / 10000");

    find("");
    EXPECT_EQ(rows(IDC_OPEN_FILES), 10000);
    EXPECT_EQ(status(), "");
}

TEST_F(SortedLists, ExportWritesTheShownRowsInTheirOrderAsCsvThatPythonReads) {
    std::vector<netmgmt::OpenFileInfo> opens = opens_from(1, 0);
    opens[6].path = "D:\\共享\\报告,第\"一\"版.doc";  // a comma and quotes: quoted
    set_open_files(opens);
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 10000; }, 10000));
    find("用户7");
    click_header(IDC_OPEN_FILES, 3);
    click_header(IDC_OPEN_FILES, 3);  // ids descending: numbers as numbers
    const int shown = rows(IDC_OPEN_FILES);

    char temp[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, temp);
    const std::string saved = std::string(temp) + "list_export_test.csv";
    DeleteFileA(saved.c_str());
    PostMessageW(main, WM_COMMAND, IDC_EXPORT_OPEN_FILES, 0);
    std::string proposed;
    ASSERT_TRUE(answer_save_dialog(main, saved, proposed));
    EXPECT_EQ(proposed, "打开文件列表.csv");
    SendMessageW(main, WM_NULL, 0, 0);  // returns once the export has been written

    // Row i of the list: the opens of user 7 from the highest id down.
    std::vector<std::string> expected{"打开文件|访问者|打开模式|文件标识"};
    for (int row = 0; row < 2; ++row)
        expected.push_back(cell(IDC_OPEN_FILES, row, 0) + "|用户7|" + cell(IDC_OPEN_FILES, row, 2) + "|" +
                           cell(IDC_OPEN_FILES, row, 3));
    EXPECT_GT(std::stoul(cell(IDC_OPEN_FILES, 0, 3)), std::stoul(cell(IDC_OPEN_FILES, 1, 3)));
    std::string lines = std::to_string(shown + 1) + "\n";
    for (const std::string& line : expected)
        lines += line + "\n";
    EXPECT_EQ(read_by_python(win32_file_bytes(saved), 3), codepage::gbk_to_utf8(lines));
    EXPECT_NE(win32_file_bytes(saved).find(codepage::gbk_to_utf8("\"D:\\共享\\报告,第\"\"一\"\"版.doc\",用户7,")),
              std::string::npos)
        << "the comma's field quoted, its quotes doubled";
    DeleteFileA(saved.c_str());
}

TEST_F(SortedLists, AMultiRowCloseClosesExactlyTheChosenRowsAfterOneQuestion) {
    set_open_files(opens_from(1, 0));
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 10000; }, 10000));
    find("用户11");
    click_header(IDC_OPEN_FILES, 3);
    std::vector<std::uint32_t> chosen;
    for (int row : {0, 5, 17}) {
        select(IDC_OPEN_FILES, row);
        chosen.push_back(static_cast<std::uint32_t>(std::stoul(cell(IDC_OPEN_FILES, row, 3))));
    }
    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    ASSERT_TRUE(answer_message_box(main, "确定要关闭选中的3个打开文件吗?", IDOK));
    ASSERT_TRUE(answer_message_box(main, "关闭了3个文件。", IDOK));
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        EXPECT_EQ(net.closed, chosen);
        for (const auto& asked : net.asked_to_close)
            EXPECT_EQ(asked.user, "用户11") << "only rows the find box shows";
        net.closed.clear();
        net.close_result = 5;  // refused
    }
    const std::string first = cell(IDC_OPEN_FILES, 0, 0), second = cell(IDC_OPEN_FILES, 5, 0);
    LVITEMW off{};
    off.stateMask = LVIS_SELECTED;
    SendMessageW(list(IDC_OPEN_FILES), LVM_SETITEMSTATE, 17, reinterpret_cast<LPARAM>(&off));
    PostMessageW(main, WM_COMMAND, ID_CLOSE_FILE, 0);
    ASSERT_TRUE(answer_message_box(main, "确定要关闭选中的2个打开文件吗?", IDOK));
    EXPECT_TRUE(answer_message_box(main, "关闭了0个文件。\r\n以下2个文件关闭失败:\r\n" + first + "\r\n" + second, IDOK))
        << "which failed, by name";
}

TEST_F(SortedLists, KeysCopyCloseAndFindAndTheSystemMenuHoldsTheToolbarsCommands) {
    set_open_files({{1, 1, "D:\\共享\\甲.doc", "ann"}, {2, 1, "D:\\共享\\乙.doc", "bob"}, {3, 1, "D:\\丙.doc", "ann"}});
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 3; }, 3000));
    SetForegroundWindow(main);
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list(IDC_OPEN_FILES)), TRUE);
    press_with_control('A');
    ASSERT_TRUE(wait_until([&] { return list_selected_count(IDC_OPEN_FILES) == 3; }, 3000)) << "Ctrl+A";
    LVITEMW off{};
    off.stateMask = LVIS_SELECTED;
    SendMessageW(list(IDC_OPEN_FILES), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&off));

    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    press_with_control('C');
    std::string copied;
    ASSERT_TRUE(wait_until([&] { return clipboard_text(copied); }, 3000));
    EXPECT_EQ(copied, "D:\\共享\\甲.doc\tann\t读取\t1\r\nD:\\丙.doc\tann\t读取\t3\r\n");

    press_key(VK_DELETE);
    EXPECT_TRUE(answer_message_box(main, "确定要关闭选中的2个打开文件吗?", IDCANCEL)) << "Delete asks";

    // 关闭文件 from the system menu, as Alt+Space and the arrows would choose it.
    HMENU menu = GetSystemMenu(main, FALSE);
    UINT close_item = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        WCHAR text[64] = {0};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (narrow(text, static_cast<std::size_t>(lstrlenW(text))) == "关闭文件")
            close_item = GetMenuItemID(menu, i);
    }
    ASSERT_NE(close_item, 0u);
    PostMessageW(main, WM_SYSCOMMAND, close_item, 0);
    EXPECT_TRUE(answer_message_box(main, "确定要关闭选中的2个打开文件吗?", IDCANCEL));
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        EXPECT_TRUE(net.closed.empty()) << "both questions cancelled";
    }

    press_with_control('F');
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    EXPECT_TRUE(wait_until(
        [&] {
            GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &focus);
            return focus.hwndFocus == GetDlgItem(main, IDC_FIND);
        },
        3000))
        << "Ctrl+F goes to the find box";
}

TEST_F(SortedLists, TypingALetterGoesToTheNextRowStartingWithIt) {
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = {{"ann", "PC1", 1, 5, 0}, {"bob", "PC2", 1, 5, 0}, {"Carl", "PC3", 1, 5, 0}};
    }
    ASSERT_TRUE(wait_until([&] { return rows(IDC_SESSIONS) == 3; }, 3000));
    click_header(IDC_SESSIONS, 0);
    click_header(IDC_SESSIONS, 0);  // Carl, bob, ann
    SetForegroundWindow(main);
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list(IDC_SESSIONS)), TRUE);
    press_key('B');
    EXPECT_TRUE(wait_until([&] { return selected(IDC_SESSIONS) == 1; }, 3000)) << selected(IDC_SESSIONS);
}

// The list holds no rows: what it draws at the end of 50,000 sorted rows is
// asked for as it scrolls there. Prints what a page of scrolling costs.
TEST_F(SortedLists, FiftyThousandSortedRowsScrollToTheEndAndKeepAllSelectedAcrossAPass) {
    std::vector<netmgmt::OpenFileInfo> opens;
    for (unsigned i = 1; i <= 50000; ++i)
        opens.push_back({i, 1, "D:\\共享\\文件" + std::to_string(i) + ".txt", "用户" + std::to_string(i % 37)});
    set_open_files(opens);
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 50000; }, 30000));
    click_header(IDC_OPEN_FILES, 3);
    click_header(IDC_OPEN_FILES, 3);  // ids descending
    HWND files = list(IDC_OPEN_FILES);
    const int page = static_cast<int>(SendMessageW(files, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 0);
    const int pages = 200;
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < pages; ++i) {
        SendMessageW(files, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(files);
    }
    const ULONGLONG paged = GetTickCount64() - start;
    SendMessageW(files, LVM_ENSUREVISIBLE, 49999, FALSE);  // as the End key scrolls
    UpdateWindow(files);
    std::printf("scrolling 50,000 rows: %.2f ms a page (%d rows) over %d pages\n", static_cast<double>(paged) / pages,
                page, pages);
    const int top = static_cast<int>(SendMessageW(files, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(top + page, 50000) << "at the end";
    EXPECT_EQ(cell(IDC_OPEN_FILES, 49999, 3), "1");
    EXPECT_EQ(cell(IDC_OPEN_FILES, top, 0), "D:\\共享\\文件" + std::to_string(50000 - top) + ".txt");

    SetForegroundWindow(main);
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(files), TRUE);
    const ULONGLONG before_all = GetTickCount64();
    press_with_control('A');
    ASSERT_TRUE(wait_until([&] { return list_selected_count(IDC_OPEN_FILES) == 50000; }, 30000)) << "Ctrl+A";
    std::printf("Ctrl+A over 50,000 rows: %.0f ms\n", static_cast<double>(GetTickCount64() - before_all));

    // A pass brings a new open with the highest id: it comes first, every
    // selected row moves down by one and keeps its selection, the new one has none.
    opens.push_back({60000, 1, "D:\\新.txt", "用户1"});
    set_open_files(opens);
    ASSERT_TRUE(wait_until([&] { return rows(IDC_OPEN_FILES) == 50001; }, 10000));
    EXPECT_EQ(list_selected_count(IDC_OPEN_FILES), 50000);
    EXPECT_EQ(selected(IDC_OPEN_FILES), 1) << "the new first row is not selected";
}

namespace {

// Passes a minute apart, the share list read every ten seconds: only F5
// lists a change within a few seconds.
struct SlowRefresh : SortedLists {
    SlowRefresh() { pass_period_ms = 60000; }
    bool shares_read() {
        std::lock_guard<std::mutex> lock(net.mutex);
        return net.share_calls > 0;
    }
    bool listed(int sessions, int open_files, int shares) {
        return rows(IDC_SESSIONS) == sessions && rows(IDC_OPEN_FILES) == open_files && rows(IDC_SHARES) == shares;
    }
};

}  // namespace

TEST_F(SlowRefresh, F5ReadsAllThreeListsAtOnceAndAgainAtTheNextPress) {
    ASSERT_TRUE(wait_until([&] { return shares_read(); }, 5000)) << "the first share refresh";
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.shares = {{"共享", "D:\\共享", 2, ""}};
        net.sessions = {{"ann", "PC1", 1, 5, 0}};
        net.open_files = {{1, 1, "D:\\共享\\甲.doc", "ann"}, {2, 1, "D:\\共享\\乙.doc", "ann"}};
    }
    Sleep(300);
    ASSERT_TRUE(listed(0, 0, 0)) << "nothing read before F5";
    SetForegroundWindow(main);
    press_key(VK_F5);
    EXPECT_TRUE(wait_until([&] { return listed(1, 2, 1); }, 3000))
        << rows(IDC_SESSIONS) << " " << rows(IDC_OPEN_FILES) << " " << rows(IDC_SHARES);

    set_open_files({{2, 1, "D:\\共享\\乙.doc", "ann"}});
    press_key(VK_F5);
    EXPECT_TRUE(wait_until([&] { return listed(1, 1, 1); }, 3000)) << "a second press passes again";
}
