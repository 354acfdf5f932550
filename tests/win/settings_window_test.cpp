// The settings dialog driven as a user would, against Wine's registry (a
// fresh prefix per run), owned by a plain main window of the test's own.
#include "support/gtest_winelib.h"

#include <shlobj.h>

#include <atomic>
#include <memory>
#include <vector>

#include "common/controls_win.h"
#include "common/wide_text_win.h"
#include "monitor/monitor_settings.h"
#include "shell/settings_apply.h"
#include "shell/settings_command_win.h"
#include "shell/settings_registry_win.h"
#include "shell/settings_resources.h"
#include "support/window_driver.h"
#include "support/window_test_main.h"

namespace {

constexpr char kKey[] = "Software\\QuindarSoft\\Filvane";
const std::string kTitle = "系统设置";
const std::string kLoggingOff = "开启保存日志功能";
const std::string kLoggingOn = "停止保存日志功能";
const char* const kValues[] = {"StartLog", "SaveSession", "SaveFile", "ShareTime", "Dirs"};

struct Stored {
    bool present = false;
    DWORD type = 0;
    DWORD size = 0;
    std::string text;
};

Stored read_stored(const char* name) {
    Stored stored;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    std::vector<char> data(4096, 0);
    stored.size = static_cast<DWORD>(data.size());
    stored.present = RegQueryValueExA(key, name, nullptr, &stored.type, reinterpret_cast<BYTE*>(data.data()),
                                      &stored.size) == ERROR_SUCCESS;
    RegCloseKey(key);
    stored.text = data.data();
    return stored;
}

bool key_exists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Stored the short way, as another writer might have left it.
void store_value(const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::string wide_item_text(HWND control, UINT length_msg, UINT text_msg, int index) {
    auto length = SendMessageW(control, length_msg, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return "<none>";
    std::vector<WCHAR> text(static_cast<std::size_t>(length) + 1, 0);
    SendMessageW(control, text_msg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return narrow(text.data(), static_cast<std::size_t>(length));
}

// The first visible dialog of `thread` other than `except` whose static
// texts contain `text`.
struct DialogSearch {
    HWND except;
    std::string text;
    HWND found;
};

BOOL CALLBACK match_dialog_text(HWND hwnd, LPARAM lp) {
    auto search = reinterpret_cast<DialogSearch*>(lp);
    WCHAR cls[16] = {0};
    GetClassNameW(hwnd, cls, 16);
    if (hwnd != search->except && IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32770") == 0 &&
        message_box_text(hwnd).find(search->text) != std::string::npos) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct SettingsWindow : ::testing::Test {
    std::unique_ptr<UiThread> ui;
    std::atomic<DWORD> ui_thread{0};
    std::atomic<bool> done{false};
    HWND dialog = nullptr;
    unsigned period = 0;

    void SetUp() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        monitor_settings().update([](MonitorSettings& s) { s = MonitorSettings{}; });
    }

    void TearDown() override {
        if (ui && !done && dialog && IsWindow(dialog))
            PostMessageW(dialog, WM_COMMAND, IDC_SETTINGS_CANCEL, 0);
        if (ui) {
            ASSERT_TRUE(ui->join(10000));
        }
        ui.reset();
    }

    // Loads the stored settings as start-up does, then runs the settings
    // command of a plain main window on a thread of its own.
    void open() {
        load_monitor_settings(monitor_settings());
        ui = std::make_unique<UiThread>([this] {
            ui_thread = GetCurrentThreadId();
            HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
            period = run_settings_command(main);
            DestroyWindow(main);
            done = true;
        });
        dialog = wait_for_window(kTitle, 10000);
        ASSERT_NE(dialog, nullptr);
    }

    bool closed() {
        return wait_until([&] { return done.load(); }, 5000);
    }
    bool still_open() {
        Sleep(300);
        return !done && IsWindow(dialog);
    }

    HWND control(int id) { return GetDlgItem(dialog, id); }
    void click(int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control(id)); }
    void set_check(int id, bool on) { SendMessageW(control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    bool checked(int id) { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string text(int id) { return window_text(control(id)); }
    int interval() { return static_cast<int>(SendMessageW(control(IDC_SETTINGS_INTERVAL), CB_GETCURSEL, 0, 0)); }
    void choose_interval(int index) { SendMessageW(control(IDC_SETTINGS_INTERVAL), CB_SETCURSEL, index, 0); }

    std::vector<std::string> folders() {
        HWND list = control(IDC_SETTINGS_FOLDERS);
        std::vector<std::string> result;
        int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            result.push_back(wide_item_text(list, LB_GETTEXTLEN, LB_GETTEXT, i));
        return result;
    }
    void select_folder(int index) {
        SendMessageW(control(IDC_SETTINGS_FOLDERS), LB_SETCURSEL, index, 0);
        PostMessageW(
            dialog, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_FOLDERS, LBN_SELCHANGE), (LPARAM)control(IDC_SETTINGS_FOLDERS));
    }

    HWND find_other_dialog(const std::string& containing, DWORD timeout_ms = 5000) {
        DialogSearch search{dialog, containing, nullptr};
        wait_until(
            [&] {
                EnumThreadWindows(ui_thread, match_dialog_text, reinterpret_cast<LPARAM>(&search));
                return search.found != nullptr;
            },
            timeout_ms);
        return search.found;
    }

    // Answers the message box showing exactly `message` with OK.
    bool answer_box(const std::string& message) {
        HWND box = find_other_dialog(message);
        if (!box)
            return false;
        EXPECT_EQ(message_box_text(box), message);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return wait_until([&] { return !IsWindow(box); }, 5000);
    }

    // Adds `path` through the shell's folder browser, as a user picking it.
    bool add_through_browser(const std::string& path) {
        click(IDC_SETTINGS_ADD);
        HWND browser = find_other_dialog("选择要监控的文件夹");
        if (!browser)
            return false;
        std::u16string wide = widen(path);
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide_ptr(wide)));
        PostMessageW(browser, WM_COMMAND, IDOK, 0);
        return wait_until([&] { return !IsWindow(browser); }, 5000);
    }
};

}  // namespace

TEST_F(SettingsWindow, WithoutAKeyShowsDefaultsAndFirstApplyStoresEveryValue) {
    open();
    EXPECT_FALSE(key_exists()) << "loading never creates the key";
    EXPECT_EQ(text(IDC_SETTINGS_LOGGING), kLoggingOff);
    EXPECT_FALSE(checked(IDC_SETTINGS_SESSIONS));
    EXPECT_FALSE(checked(IDC_SETTINGS_OPEN_FILES));
    EXPECT_EQ(interval(), 0);
    HWND intervals = control(IDC_SETTINGS_INTERVAL);
    std::vector<std::string> items;
    for (int i = 0; i < 7; ++i)
        items.push_back(wide_item_text(intervals, CB_GETLBTEXTLEN, CB_GETLBTEXT, i));
    EXPECT_EQ(items, (std::vector<std::string>{"10", "20", "30", "40", "50", "60", "<none>"}));
    EXPECT_TRUE(folders().empty());
    EXPECT_EQ(
        GetWindowLongW(control(IDC_SETTINGS_FOLDERS), GWL_STYLE) & (LBS_SORT | LBS_NOTIFY), LBS_SORT | LBS_NOTIFY);
    EXPECT_TRUE(GetWindowLongW(control(IDC_SETTINGS_PATH), GWL_STYLE) & ES_READONLY);

    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("保存设置成功!"));
    ASSERT_TRUE(closed());
    EXPECT_EQ(period, 0u);
    const char* expected[] = {"0", "0", "0", "1", ""};
    for (int i = 0; i < 5; ++i) {
        Stored stored = read_stored(kValues[i]);
        EXPECT_TRUE(stored.present) << kValues[i];
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ)) << kValues[i];
        EXPECT_EQ(stored.size, 2048u) << kValues[i] << ": the whole buffer is stored";
        EXPECT_EQ(stored.text, expected[i]) << kValues[i];
    }
}

TEST_F(SettingsWindow, StoredValuesAreShownAndAnEmptiedListIsStoredEmpty) {
    store_value("StartLog", "1");
    store_value("SaveSession", "1");
    store_value("SaveFile", "1");
    store_value("ShareTime", "4");
    store_value("Dirs", "D:\\z|C:\\共享|E:\\lost");
    open();
    EXPECT_EQ(text(IDC_SETTINGS_LOGGING), kLoggingOn);
    EXPECT_TRUE(checked(IDC_SETTINGS_SESSIONS));
    EXPECT_TRUE(checked(IDC_SETTINGS_OPEN_FILES));
    EXPECT_EQ(interval(), 3);
    ASSERT_EQ(folders(), (std::vector<std::string>{"C:\\共享", "D:\\z"})) << "sorted, the unclosed path dropped";

    click(IDC_SETTINGS_DELETE);
    EXPECT_TRUE(answer_box("请选择要删除的监控文件夹!"));
    select_folder(1);
    EXPECT_TRUE(wait_until([&] { return text(IDC_SETTINGS_PATH) == "D:\\z"; }, 3000));
    click(IDC_SETTINGS_DELETE);
    EXPECT_TRUE(wait_until([&] { return folders().size() == 1; }, 3000));
    EXPECT_EQ(text(IDC_SETTINGS_PATH), "D:\\z") << "the path keeps its text";
    select_folder(0);
    click(IDC_SETTINGS_DELETE);
    ASSERT_TRUE(wait_until([&] { return folders().empty(); }, 3000));

    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("保存设置成功!"));
    ASSERT_TRUE(closed());
    EXPECT_EQ(period, 0u) << "ShareTime unchanged";
    Stored dirs = read_stored("Dirs");
    EXPECT_TRUE(dirs.present);
    EXPECT_EQ(dirs.text, "") << "an empty list is stored as empty text";
    EXPECT_EQ(dirs.size, 2048u);
    EXPECT_TRUE(monitor_settings().snapshot().folders.empty());
}

TEST_F(SettingsWindow, LoggingButtonNeedsContentAndActsAtOnce) {
    open();
    click(IDC_SETTINGS_LOGGING);
    ASSERT_TRUE(answer_box("请选择要记录的内容后再开启保存日志功能!"));
    EXPECT_EQ(text(IDC_SETTINGS_LOGGING), kLoggingOff);
    EXPECT_EQ(monitor_settings().snapshot().start_log, false);

    // Open-file recording alone counts as content.
    set_check(IDC_SETTINGS_OPEN_FILES, true);
    click(IDC_SETTINGS_LOGGING);
    ASSERT_TRUE(wait_until([&] { return text(IDC_SETTINGS_LOGGING) == kLoggingOn; }, 3000));
    EXPECT_EQ(monitor_settings().snapshot().start_log, true) << "in memory before any Apply";

    set_check(IDC_SETTINGS_OPEN_FILES, false);
    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("请选择要记录的内容后再点应用!"));
    EXPECT_TRUE(still_open());
    EXPECT_FALSE(key_exists()) << "a refused Apply stores nothing";

    // Enter and Esc never end the dialog.
    SetForegroundWindow(dialog);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE})
        PostMessageW(control(IDC_SETTINGS_APPLY), WM_KEYDOWN, key, 0);
    EXPECT_TRUE(still_open());
    EXPECT_FALSE(key_exists());

    click(IDC_SETTINGS_CANCEL);
    ASSERT_TRUE(closed());
    EXPECT_EQ(monitor_settings().snapshot().start_log, true) << "logging stays on for the run";
    EXPECT_FALSE(key_exists());
}

TEST_F(SettingsWindow, LoggingOnThenCancelLeavesTheStoredValue) {
    store_value("StartLog", "0");
    open();
    set_check(IDC_SETTINGS_SESSIONS, true);
    click(IDC_SETTINGS_LOGGING);
    ASSERT_TRUE(wait_until([&] { return text(IDC_SETTINGS_LOGGING) == kLoggingOn; }, 3000));
    click(IDC_SETTINGS_CANCEL);
    ASSERT_TRUE(closed());
    EXPECT_EQ(monitor_settings().snapshot().start_log, true);
    EXPECT_EQ(read_stored("StartLog").text, "0");
    // The next start reads the stored value again.
    load_monitor_settings(monitor_settings());
    EXPECT_EQ(monitor_settings().snapshot().start_log, false);
}

TEST_F(SettingsWindow, SameIntervalLeavesTimerOneAlone) {
    store_value("ShareTime", "3");
    open();
    EXPECT_EQ(interval(), 2);
    choose_interval(2);
    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("保存设置成功!"));
    ASSERT_TRUE(closed());
    EXPECT_EQ(period, 0u);
}

TEST_F(SettingsWindow, ThirtySecondsReArmsTimerOne) {
    open();
    choose_interval(2);
    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("保存设置成功!"));
    ASSERT_TRUE(closed());
    EXPECT_EQ(period, 30000u);
    EXPECT_EQ(read_stored("ShareTime").text, "3");
}

TEST_F(SettingsWindow, CloseBoxStoresNothing) {
    open();
    choose_interval(5);
    set_check(IDC_SETTINGS_SESSIONS, true);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(closed());
    EXPECT_FALSE(key_exists());
    EXPECT_EQ(period, 0u);
    EXPECT_EQ(monitor_settings().snapshot().share_time, 1);
}

TEST_F(SettingsWindow, FolderPickedTwiceInTheBrowserIsListedAndStoredTwice) {
    open();
    ASSERT_TRUE(add_through_browser("C:\\windows"));
    ASSERT_TRUE(wait_until([&] { return folders().size() == 1; }, 3000));
    const std::string picked = folders()[0];
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, picked.c_str(), -1, "C:\\windows", -1), CSTR_EQUAL)
        << picked;
    ASSERT_TRUE(add_through_browser("C:\\windows"));
    ASSERT_TRUE(wait_until([&] { return folders().size() == 2; }, 3000));
    // Cancelling the browser adds nothing.
    click(IDC_SETTINGS_ADD);
    HWND browser = find_other_dialog("选择要监控的文件夹");
    ASSERT_NE(browser, nullptr);
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(browser); }, 5000));
    EXPECT_EQ(folders().size(), 2u);

    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("保存设置成功!"));
    ASSERT_TRUE(closed());
    EXPECT_EQ(read_stored("Dirs").text, picked + "|" + picked + "|");
}

TEST_F(SettingsWindow, FolderListOverOneStoredValueIsRefusedAndKept) {
    // Seven folders of 290 bytes and their bars: 2037 of the 2047 bytes.
    std::string dirs;
    for (char c = 'a'; c < 'h'; ++c)
        dirs += "D:\\" + std::string(287, c) + "|";
    ASSERT_EQ(dirs.size(), 2037u);
    store_value("Dirs", dirs);
    open();
    ASSERT_EQ(folders().size(), 7u);
    // "C:\windows|" is 11 bytes more: one byte over.
    ASSERT_TRUE(add_through_browser("C:\\windows"));
    ASSERT_TRUE(wait_until([&] { return folders().size() == 8; }, 3000));
    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("要监控的文件夹列表太长(超过2047字节),无法保存,请删除部分文件夹后再点应用!"));
    EXPECT_TRUE(still_open());
    EXPECT_EQ(folders().size(), 8u);
    EXPECT_EQ(read_stored("Dirs").text, dirs);
    EXPECT_FALSE(read_stored("SaveSession").present) << "nothing at all was stored";

    select_folder(7);  // the last long one; the picked folder sorts first
    click(IDC_SETTINGS_DELETE);
    ASSERT_TRUE(wait_until([&] { return folders().size() == 7; }, 3000));
    click(IDC_SETTINGS_APPLY);
    ASSERT_TRUE(answer_box("保存设置成功!"));
    ASSERT_TRUE(closed());
    EXPECT_EQ(read_stored("Dirs").text.size(), 2037u - 291u + 11u);
}

int main(int argc, char** argv) { return run_window_tests(argc, argv, ICC_WIN95_CLASSES); }
