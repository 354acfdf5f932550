// The main window resized, maximised and started again: its lists take the
// room, and the registry gives it back its size, place and column widths.
#include "support/running_monitor.h"

#include <commctrl.h>

#include <cstdlib>
#include <functional>

#include "common/controls_win.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "support/fake_net.h"
#include "support/window_driver.h"

namespace {

const char* const kRemembered[] = {"MainWindow", "ShareColumns", "SessionColumns", "OpenFileColumns"};

void forget_window() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\QuindarSoft\\Filvane", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    for (const char* name : kRemembered)
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void store(const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\QuindarSoft\\Filvane", &key), ERROR_SUCCESS);
    RegSetValueExA(
        key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

struct GrowingMainWindow : RunningMonitor {
    void SetUp() override {
        forget_window();
        RunningMonitor::SetUp();
    }
    void TearDown() override {
        RunningMonitor::TearDown();
        forget_window();  // the other window tests start at the default size
    }
    // `meanwhile` runs once the window has closed and remembered itself.
    void restart(const std::function<void()>& meanwhile = [] {}) {
        RunningMonitor::TearDown();
        meanwhile();
        RunningMonitor::SetUp();
    }

    HWND list(int id) { return GetDlgItem(main, id); }
    RECT frame() {
        RECT r{};
        GetWindowRect(main, &r);
        return r;
    }
    RECT client_box(int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(main, id), &r);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    int rows_per_page(int id) { return static_cast<int>(SendMessageW(list(id), LVM_GETCOUNTPERPAGE, 0, 0)); }
    int column_width(int id, int column) {
        return static_cast<int>(SendMessageW(list(id), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    }
    void resize(int width, int height) {
        const RECT r = frame();
        SetWindowPos(main, nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

int width_of(const RECT& r) { return r.right - r.left; }
int height_of(const RECT& r) { return r.bottom - r.top; }

}  // namespace

TEST_F(GrowingMainWindow, ItsListsTakeTheRoomItIsGivenAndItGetsNoSmallerThanAtFirst) {
    std::vector<netmgmt::OpenFileInfo> opens;
    for (unsigned i = 0; i < 10000; ++i)
        opens.push_back({i + 1, 1, "D:\\共享\\文件" + std::to_string(i) + ".txt", "user" + std::to_string(i % 50)});
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.open_files = std::move(opens);
    }
    ASSERT_TRUE(wait_until([&] { return list_row_count(list(IDC_OPEN_FILES)) == 10000; }, 10000));

    const RECT smallest = frame();
    const RECT shares = client_box(IDC_SHARES), sessions = client_box(IDC_SESSIONS), files = client_box(IDC_OPEN_FILES);
    const RECT status = client_box(IDC_STATUS);
    const int per_page = rows_per_page(IDC_OPEN_FILES);
    const int path_width = column_width(IDC_OPEN_FILES, 0);

    resize(width_of(smallest) + 400, height_of(smallest) + 150);  // the screen is 1024 high
    const RECT grown_files = client_box(IDC_OPEN_FILES);
    EXPECT_EQ(width_of(client_box(IDC_SHARES)), width_of(shares) + 400);
    EXPECT_EQ(width_of(grown_files), width_of(files) + 400);
    EXPECT_EQ(height_of(client_box(IDC_SHARES)) + height_of(client_box(IDC_SESSIONS)) + height_of(grown_files),
              height_of(shares) + height_of(sessions) + height_of(files) + 150)
        << "the lists share all the extra height";
    EXPECT_GT(height_of(client_box(IDC_SESSIONS)), height_of(sessions) + 40) << "each list takes its part";
    EXPECT_EQ(client_box(IDC_STATUS).top, status.top + 150) << "the status line stays at the foot";
    EXPECT_GT(rows_per_page(IDC_OPEN_FILES), per_page + 2);
    EXPECT_GT(column_width(IDC_OPEN_FILES, 0), path_width + 150) << "the paths get most of the width";
    EXPECT_EQ(column_width(IDC_OPEN_FILES, 3), 0) << "the id column stays hidden";

    resize(200, 150);
    EXPECT_EQ(width_of(frame()), width_of(smallest));
    EXPECT_EQ(height_of(frame()), height_of(smallest));
    EXPECT_EQ(column_width(IDC_OPEN_FILES, 0), path_width) << "back to the smallest size, back to the widths";
    EXPECT_EQ(rows_per_page(IDC_OPEN_FILES), per_page);
}

TEST_F(GrowingMainWindow, SizePlaceAndColumnWidthsSurviveARestart) {
    const RECT smallest = frame();
    SetWindowPos(
        main, nullptr, 40, 30, width_of(smallest) + 120, height_of(smallest) + 90, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(list(IDC_SESSIONS), LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(222, 0));  // as a drag of the header would
    const RECT before = frame();
    restart();
    ASSERT_TRUE(wait_until([&] { return frame().left == before.left && frame().top == before.top; }, 3000))
        << frame().left << "," << frame().top;
    EXPECT_EQ(width_of(frame()), width_of(before));
    EXPECT_EQ(height_of(frame()), height_of(before));
    EXPECT_EQ(column_width(IDC_SESSIONS, 1), 222);

    SendMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(IsZoomed(main));
    restart();
    EXPECT_TRUE(wait_until([&] { return IsZoomed(main) != FALSE; }, 3000)) << "maximised again";
    SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(width_of(frame()), width_of(before)) << "restored to the size it had before";
    EXPECT_EQ(column_width(IDC_SESSIONS, 1), 222) << "widths chosen at a size come back at that size";
}

TEST_F(GrowingMainWindow, APlaceOffEveryScreenIsCentredAndDamagedValuesAreIgnored) {
    const RECT smallest = frame();
    restart([] {
        store("MainWindow", "-30000,-30000,-29000,-29500,0");  // 1000 wide, too short: the smallest height
        store("OpenFileColumns", "300,x,100,0");
    });
    ASSERT_TRUE(wait_until([&] { return width_of(frame()) == 1000; }, 3000)) << width_of(frame());
    EXPECT_EQ(height_of(frame()), height_of(smallest));
    EXPECT_NE(MonitorFromWindow(main, MONITOR_DEFAULTTONULL), nullptr) << "on a screen";
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame().left + frame().right) - (work.left + work.right)), 2) << "centred";
    EXPECT_GT(column_width(IDC_OPEN_FILES, 0), 250) << "the default widths, spread over the wider list";
}
