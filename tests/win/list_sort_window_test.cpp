// The session and open-file lists sorted by a header click while passes go
// on: numbers as numbers, new rows in their place, the selection on its row.
#include "support/running_monitor.h"

#include <commctrl.h>

#include <algorithm>

#include "common/controls_win.h"
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
