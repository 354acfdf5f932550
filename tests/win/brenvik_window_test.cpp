// brenvik's window driven as a user would, in-process under Xvfb. Scans stay
// inside x.y.0.* (listed, never probed) unless the peer test script has made
// its namespace and exported BRENVIK_PEER_* (see tests/e2e/brenvik_e2e.sh).
#include "support/gtest_winelib.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "common/controls_win.h"
#include "common/wide_text_win.h"
#include "common/windows_sockets_win.h"
#include "scanner/brenvik_resources.h"
#include "scanner/scanner_dialog_win.h"
#include "support/window_driver.h"
#include "support/window_test_main.h"

namespace {

const std::string kTitle = "主机检测";
const std::string kDone = "-----检测完毕!-----";

int last_octet(const std::string& address) { return std::atoi(address.substr(address.rfind('.') + 1).c_str()); }

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

struct ScannerWindow : ::testing::Test {
    std::unique_ptr<ScannerDialog> dialog;
    std::unique_ptr<UiThread> ui;
    HWND main = nullptr;

    void SetUp() override {
        ui = std::make_unique<UiThread>([this] {
            dialog = std::make_unique<ScannerDialog>();
            dialog->run_modal(nullptr);
        });
        main = wait_for_window(kTitle, 10000);
        ASSERT_NE(main, nullptr);
    }

    void TearDown() override {
        if (main && IsWindow(main))
            PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(ui->join(15000));
        ui.reset();
        dialog.reset();
    }

    HWND item(int id) { return GetDlgItem(main, id); }
    void set_address(int id, BYTE a, BYTE b, BYTE c, BYTE d) {
        SendMessageW(item(id), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
    }
    std::string address(int id) {
        DWORD a = 0;
        SendMessageW(item(id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&a));
        return std::to_string(FIRST_IPADDRESS(a)) + "." + std::to_string(SECOND_IPADDRESS(a)) + "." +
               std::to_string(THIRD_IPADDRESS(a)) + "." + std::to_string(FOURTH_IPADDRESS(a));
    }
    void set_timeout(int ms) { SendMessageW(item(IDC_TIMEOUT_SPIN), UDM_SETPOS32, 0, ms); }
    void click(int id) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item(id)));
    }

    std::vector<std::string> probed() {
        std::vector<std::string> lines;
        int n = static_cast<int>(SendMessageW(item(IDC_PROBED), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            WCHAR text[64] = {0};
            SendMessageW(item(IDC_PROBED), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            lines.push_back(narrow(text, lstrlenW(text)));
        }
        return lines;
    }
    int done_lines() {
        int n = 0;
        for (const auto& line : probed())
            n += line == kDone;
        return n;
    }
    bool idle() { return IsWindowEnabled(item(IDC_START)) && !IsWindowEnabled(item(IDC_STOP)); }
    int probed_count() { return static_cast<int>(SendMessageW(item(IDC_PROBED), LB_GETCOUNT, 0, 0)); }
    std::string last_probed() {
        WCHAR text[64] = {0};
        SendMessageW(item(IDC_PROBED), LB_GETTEXT, probed_count() - 1, reinterpret_cast<LPARAM>(text));
        return narrow(text, lstrlenW(text));
    }
    int rows() { return list_row_count(item(IDC_RESULTS)); }
    std::string cell(int row, int column) { return list_cell_text(item(IDC_RESULTS), row, column); }

    // Scans and waits for the completion line; the elapsed milliseconds.
    // The wait reads only the last line, so that it costs the timed scan
    // little.
    DWORD scan(const BYTE (&from)[4], const BYTE (&to)[4], int timeout_ms, DWORD limit_ms) {
        set_address(IDC_START_ADDRESS, from[0], from[1], from[2], from[3]);
        set_address(IDC_END_ADDRESS, to[0], to[1], to[2], to[3]);
        set_timeout(timeout_ms);
        return scan_as_set(limit_ms);
    }
    // The same with the range and timeout the controls hold.
    DWORD scan_as_set(DWORD limit_ms) {
        int before = probed_count();
        DWORD start = GetTickCount();
        click(IDC_START);
        EXPECT_TRUE(wait_until([&] { return probed_count() > before && last_probed() == kDone && idle(); }, limit_ms));
        return GetTickCount() - start;
    }

    // Save, with the file dialog answered as a user would: the default
    // name checked, a path typed into the name box, OK.
    bool save_through_dialog(const std::string& path) {
        DeleteFileA(path.c_str());
        click(IDC_SAVE);
        std::string proposed;
        if (!answer_save_dialog(main, path, proposed))
            return false;
        EXPECT_EQ(proposed, "brenvik");
        SendMessageW(main, WM_NULL, 0, 0);  // returns once the Save handler has
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool answer_box(const std::string& text) { return answer_message_box(main, text, IDOK); }

    // The start control's field that shows `text` (the fields' window order
    // differs between versions).
    HWND start_field(const std::string& text) {
        for (HWND f = FindWindowExW(item(IDC_START_ADDRESS), nullptr, L"Edit", nullptr); f;
             f = FindWindowExW(item(IDC_START_ADDRESS), f, L"Edit", nullptr)) {
            if (window_text(f) == text)
                return f;
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(ScannerWindow, StartsIdleWithItsColumnsRangeAndTimeout) {
    const char* headings[] = {"IP地址", "工作组", "主机", "MAC地址"};
    const int widths[] = {120, 100, 120, 140};
    for (int i = 0; i < 4; ++i) {
        WCHAR text[32] = {0};
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = text;
        c.cchTextMax = 32;
        ASSERT_TRUE(SendMessageW(item(IDC_RESULTS), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c)));
        EXPECT_EQ(narrow(text, lstrlenW(text)), headings[i]);
        EXPECT_EQ(c.cx, widths[i]);
        EXPECT_EQ(c.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(
        SendMessageW(item(IDC_RESULTS), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(GetWindowLongW(item(IDC_PROBED), GWL_STYLE) & LBS_SORT, 0);
    EXPECT_TRUE(idle());
    int low = 0, high = 0;
    SendMessageW(
        item(IDC_TIMEOUT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 100);
    EXPECT_EQ(high, 10000);
    EXPECT_EQ(window_text(item(IDC_TIMEOUT)), "100");
    std::string start = address(IDC_START_ADDRESS), end = address(IDC_END_ADDRESS);
    EXPECT_EQ(start.substr(start.rfind('.')), ".1");
    EXPECT_EQ(end, start.substr(0, start.rfind('.')) + ".255");
    EXPECT_NE(SendMessageW(main, WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(ScannerWindow, EditingAStartFieldCopiesItsNetworkToTheEnd) {
    set_address(IDC_END_ADDRESS, 1, 2, 3, 4);
    set_address(IDC_START_ADDRESS, 10, 20, 30, 40);
    // As typed, then left: the control reports the changed field when the
    // field loses the focus.
    HWND third = start_field("30");
    ASSERT_NE(third, nullptr);
    SetWindowTextW(third, L"31");
    SendMessageW(third, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(address(IDC_START_ADDRESS), "10.20.31.40");
    EXPECT_TRUE(wait_until([&] { return address(IDC_END_ADDRESS) == "10.20.31.255"; }, 2000))
        << address(IDC_END_ADDRESS);
}

TEST_F(ScannerWindow, AFieldTypedBeyond255IsClampedAndCarriesIntoNoOtherOctet) {
    set_address(IDC_START_ADDRESS, 10, 231, 40, 1);
    HWND first = start_field("10");
    ASSERT_NE(first, nullptr);
    SetFocus(first);
    SendMessageW(first, EM_SETSEL, 0, -1);
    for (WCHAR digit : {L'9', L'9', L'9'})
        SendMessageW(first, WM_CHAR, digit, 1);
    SendMessageW(first, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(address(IDC_START_ADDRESS), "255.231.40.1");
    EXPECT_EQ(address(IDC_END_ADDRESS), "255.231.40.255");
}

TEST_F(ScannerWindow, BadRangesAreRefusedEndOrderFirst) {
    set_address(IDC_START_ADDRESS, 10, 0, 1, 1);
    set_address(IDC_END_ADDRESS, 11, 0, 0, 1);
    click(IDC_START);
    EXPECT_TRUE(answer_box("终止地址应大于起始地址！"));
    set_address(IDC_END_ADDRESS, 11, 0, 1, 1);
    click(IDC_START);
    EXPECT_TRUE(answer_box("不支持A类或B类网！"));
    Sleep(200);
    EXPECT_TRUE(idle());
    EXPECT_TRUE(probed().empty());
}

TEST_F(ScannerWindow, NetworkZeroIsListedWaitedForAndFinished) {
    DWORD elapsed = scan({10, 213, 0, 1}, {10, 213, 0, 4}, 150, 5000);
    EXPECT_EQ(probed(), (std::vector<std::string>{"10.213.0.1", "10.213.0.2", "10.213.0.3", kDone}));
    EXPECT_GE(elapsed, 150u) << "every address waits out its own timeout";
    EXPECT_EQ(rows(), 0);
    // Equal addresses: that one address.
    scan({10, 213, 0, 9}, {10, 213, 0, 9}, 100, 5000);
    auto lines = probed();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "10.213.0.9");
}

TEST_F(ScannerWindow, StopEndsTheScanAtOnceWithoutTheCompletionLineAndStartWorksAgain) {
    // 10,000 addresses: listing them takes about ten seconds. On loopback,
    // so the queries of this scan never leave the machine.
    set_address(IDC_START_ADDRESS, 127, 213, 0, 1);
    set_address(IDC_END_ADDRESS, 127, 213, 40, 0);
    set_timeout(300);
    click(IDC_START);
    ASSERT_TRUE(wait_until([&] { return probed().size() >= 20; }, 5000));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_START)));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_START_ADDRESS)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_SAVE)));
    click(IDC_STOP);
    ASSERT_TRUE(wait_until([&] { return idle(); }, 3000));
    std::size_t stopped_at = probed().size();
    EXPECT_EQ(done_lines(), 0);
    EXPECT_LT(stopped_at, 5000u);
    Sleep(500);
    EXPECT_EQ(probed().size(), stopped_at) << "nothing is listed after the stop";
    scan({10, 213, 0, 1}, {10, 213, 0, 3}, 100, 5000);
    EXPECT_EQ(probed().size(), stopped_at + 3);
}

TEST_F(ScannerWindow, UnreadableTimeoutTextKeepsTheLastPosition) {
    // One address of x.y.0.*, waited for without a query: the scan lasts
    // the timeout that Start read.
    set_address(IDC_START_ADDRESS, 10, 213, 0, 1);
    set_address(IDC_END_ADDRESS, 10, 213, 0, 1);
    set_timeout(700);
    SetWindowTextW(item(IDC_TIMEOUT), L"abc");
    DWORD kept = scan_as_set(5000);
    EXPECT_GE(kept, 700u);
    EXPECT_LT(kept, 2500u);
    SetWindowTextW(item(IDC_TIMEOUT), L"2500");
    EXPECT_GE(scan_as_set(8000), 2500u);
}

TEST_F(ScannerWindow, ClosingDuringAScanEndsPromptly) {
    set_address(IDC_START_ADDRESS, 10, 213, 0, 1);
    set_address(IDC_END_ADDRESS, 10, 213, 0, 250);
    set_timeout(10000);
    click(IDC_START);
    ASSERT_TRUE(wait_until([&] { return !probed().empty(); }, 3000));
    DWORD start = GetTickCount();
    PostMessageW(main, WM_CLOSE, 0, 0);
    // run_modal returns only after the worker has ended: the window is
    // destroyed after it, and the dialog object after that.
    ASSERT_TRUE(ui->join(5000));
    EXPECT_LT(GetTickCount() - start, 3000u) << "the 10 s wait is cut short";
    EXPECT_FALSE(IsWindow(main));
    main = nullptr;
}

TEST_F(ScannerWindow, SaveThroughTheFileDialogWritesTheHeaderForAnEmptyList) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "brenvik_empty.txt";
    ASSERT_TRUE(save_through_dialog(path));
    EXPECT_EQ(win32_file_bytes(path), "IP地址           工作组        主机          MAC地址\r\n\r\n");
    DeleteFileA(path.c_str());
}

// Against the namespace of tests/e2e/brenvik_e2e.sh: a /24 where nmbd and
// responders answer (some of them late, so answers arrive out of address
// order) and every other address is silent. The script compares the saved
// report with what nbtscan found on the same addresses.
TEST_F(ScannerWindow, PeerNetworkRowsComeInAddressOrderAndStopEndsAScanHalfway) {
    int a = 0, b = 0, c = 0;
    if (std::sscanf(env("BRENVIK_PEER_NET").c_str(), "%d.%d.%d", &a, &b, &c) != 3)
        GTEST_SKIP() << "no peer namespace (run tests/e2e/brenvik_e2e.sh)";
    const BYTE from[4] = {BYTE(a), BYTE(b), BYTE(c), 1}, to[4] = {BYTE(a), BYTE(b), BYTE(c), 255};
    DWORD elapsed = scan(from, to, 1000, 60000);
    std::printf("brenvik scan %d.%d.%d.1-.254 timeout 1000 ms: %lu ms, %d rows\n", a, b, c,
                static_cast<unsigned long>(elapsed), rows());
    ASSERT_EQ(rows(), std::atoi(env("BRENVIK_PEER_ROWS").c_str()));
    for (int i = 0; i < rows(); ++i) {
        std::printf(
            "  %s | %s | %s | %s\n", cell(i, 0).c_str(), cell(i, 1).c_str(), cell(i, 2).c_str(), cell(i, 3).c_str());
        if (i > 0) {
            EXPECT_LT(last_octet(cell(i - 1, 0)), last_octet(cell(i, 0))) << "rows in address order";
        }
    }
    std::string report = env("BRENVIK_REPORT");
    ASSERT_FALSE(report.empty());
    ASSERT_TRUE(save_through_dialog(report));
    // For a screenshot of the finished scan.
    if (!env("BRENVIK_HOLD_MS").empty())
        Sleep(static_cast<DWORD>(std::atoi(env("BRENVIK_HOLD_MS").c_str())));

    // The same range again, stopped once a hundred addresses are listed.
    int listed = probed_count(), shown = rows();
    click(IDC_START);
    ASSERT_TRUE(wait_until([&] { return probed_count() >= listed + 100; }, 10000));
    click(IDC_STOP);
    ASSERT_TRUE(wait_until([&] { return idle(); }, 5000));
    EXPECT_EQ(done_lines(), 1) << "the stopped scan adds no completion line";
    int stopped_at = probed_count(), rows_at_stop = rows();
    std::printf("stopped after %d of 254 addresses, %d rows\n", stopped_at - listed, rows_at_stop - shown);
    Sleep(1500);
    EXPECT_EQ(probed_count(), stopped_at) << "nothing is listed after the stop";
    EXPECT_EQ(rows(), rows_at_stop) << "no answer is taken after the stop";
}

// Measured by bench/brenvik_scan_bench.sh: a.b.c.1 to a.b.c.255 with the
// timeout it gives; prints the scan time and the rows.
TEST_F(ScannerWindow, TimedScanOfANetwork) {
    std::string network = env("BRENVIK_TIMED_NETWORK");  // "a.b.c"
    if (network.empty())
        GTEST_SKIP() << "run by bench/brenvik_scan_bench.sh";
    int a = 0, b = 0, c = 0;
    ASSERT_EQ(std::sscanf(network.c_str(), "%d.%d.%d", &a, &b, &c), 3);
    int timeout = std::atoi(env("BRENVIK_TIMED_TIMEOUT_MS").c_str());
    BYTE from[4] = {BYTE(a), BYTE(b), BYTE(c), 1}, to[4] = {BYTE(a), BYTE(b), BYTE(c), 255};
    DWORD elapsed = scan(from, to, timeout, 300000);
    EXPECT_EQ(probed().size(), 255u);
    std::printf("brenvik scan %s.1-.254 timeout %d ms: %lu ms, %d rows\n", network.c_str(), timeout,
                static_cast<unsigned long>(elapsed), rows());
}

int main(int argc, char** argv) {
    if (!start_windows_sockets())
        return 1;
    return run_window_tests(argc, argv, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES);
}
