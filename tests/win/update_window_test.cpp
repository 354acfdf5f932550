// The update check against a local version server (tests/e2e/update_check.sh
// starts it and names it in FILVANE_TEST_HTTP), with a main window of the
// test's own that counts the WM_CLOSE it receives.
#include "support/gtest_winelib.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "shell/update_check_win.h"
#include "support/window_driver.h"

namespace {

std::atomic<int> g_closes{0};

LRESULT CALLBACK counting_main_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        ++g_closes;
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A main window with its own message loop, which ends when it is closed.
class TestMain {
public:
    TestMain()
        : ui_([this] {
              WNDCLASSW cls{};
              cls.lpfnWndProc = counting_main_proc;
              cls.hInstance = GetModuleHandleW(nullptr);
              cls.lpszClassName = L"FilvaneUpdateTestMain";
              RegisterClassW(&cls);  // a second registration fails harmlessly
              hwnd_ = CreateWindowExW(0, L"FilvaneUpdateTestMain", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
              MSG msg;
              while (hwnd_ && GetMessageW(&msg, nullptr, 0, 0) > 0)
                  DispatchMessageW(&msg);
          }) {
        wait_until([&] { return hwnd_.load() != nullptr; }, 5000);
    }
    ~TestMain() {
        if (IsWindow(hwnd_))
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        ui_.join(5000);
    }
    HWND hwnd() const { return hwnd_; }

private:
    std::atomic<HWND> hwnd_{nullptr};
    UiThread ui_;
};

struct OwnedBox {
    HWND owner;
    HWND found;
};

BOOL CALLBACK match_owned_box(HWND hwnd, LPARAM lp) {
    auto search = reinterpret_cast<OwnedBox*>(lp);
    WCHAR cls[16] = {0};
    GetClassNameW(hwnd, cls, 16);
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == search->owner && lstrcmpW(cls, L"#32770") == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND box_owned_by(HWND owner) {
    OwnedBox search{owner, nullptr};
    EnumWindows(match_owned_box, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string announcement(const std::string& version) {
    return "已推出最新的" + version + "版本,请到软件主页下载使用最新版本!";
}

struct UpdateCheck : ::testing::Test {
    std::string server;
    std::string dead;
    int closes = 0;  // WM_CLOSE the main window got from the last check

    void SetUp() override {
        const char* http = std::getenv("FILVANE_TEST_HTTP");
        const char* nobody = std::getenv("FILVANE_TEST_DEAD");
        if (!http || !nobody)
            GTEST_SKIP() << "needs the version server of tests/e2e/update_check.sh";
        server = http;
        dead = nobody;
        g_closes = 0;
    }

    std::string url(const std::string& name) { return server + "/" + name + "/version/filvane.txt"; }

    // Runs one check for `version_url` and answers the box it shows, if any;
    // `shown` gets the box's text ("" for none).
    UpdateCheckResult check(const std::string& version_url, std::string& shown) {
        g_closes = 0;
        TestMain main;
        EXPECT_NE(main.hwnd(), nullptr);
        UpdateCheckResult result;
        std::atomic<bool> finished{false};
        UiThread checker([&] {
            result = run_update_check(main.hwnd(), version_url);
            finished = true;
        });
        HWND box = nullptr;
        wait_until([&] { return finished || (box = box_owned_by(main.hwnd())) != nullptr; }, 15000);
        shown = box ? message_box_text(box) : "";
        if (box) {
            EXPECT_EQ(g_closes, 0) << "WM_CLOSE only after the box is closed";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        EXPECT_TRUE(checker.join(15000));
        closes = g_closes;  // before the test's own close of the window
        return result;
    }
};

}  // namespace

TEST_F(UpdateCheck, FetchTakesTheBodyWhateverTheStatus) {
    EXPECT_EQ(fetch_url_text(url("v52")), "5.2");
    EXPECT_EQ(fetch_url_text(url("crlf")), "5.2\r\n");
    EXPECT_EQ(fetch_url_text(url("empty")), "");
    EXPECT_EQ(fetch_url_text(url("nul")), "6") << "a read is taken up to a NUL in it";
    EXPECT_EQ(fetch_url_text(url("limit")), std::string(256, '5')) << "an answer may fill the limit";
    EXPECT_EQ(fetch_url_text(url("big")), "Error") << "a longer body is no answer";
    EXPECT_EQ(fetch_url_text(url("endless")), "Error") << "reading stops at the limit, the body has no end";
    EXPECT_EQ(fetch_url_text(url("missing")), "<html><body>404 Not Found</body></html>");
    EXPECT_EQ(fetch_url_text(dead + "/version/filvane.txt"), "Error");
}

TEST_F(UpdateCheck, NewerVersionsAreAnnouncedThenTheMainWindowCloses) {
    const std::pair<const char*, std::string> cases[] = {{"v52", "5.2"}, {"v51", "5.1"}, {"v12", "12"}};
    for (const auto& [name, version] : cases) {
        std::string shown;
        UpdateCheckResult result = check(url(name), shown);
        EXPECT_TRUE(result.announced) << version;
        EXPECT_EQ(result.fetched, version);
        EXPECT_EQ(shown, announcement(version));
        EXPECT_EQ(closes, 1) << version;
    }
}

TEST_F(UpdateCheck, EverythingElseShowsNothing) {
    struct Case {
        const char* name;
        const char* fetched;
    };
    const Case cases[] = {
        {"v50", "5.0"},      {"v49", "4.9"},      {"empty", ""},
        {"crlf", "5.2\r\n"}, {"dotted", "5.2.1"}, {"missing", "<html><body>404 Not Found</body></html>"},
        {"odd", "6abc"},     {"exponent", "9e9"}, {"big", "Error"}};
    for (const Case& c : cases) {
        std::string shown;
        UpdateCheckResult result = check(url(c.name), shown);
        EXPECT_TRUE(result.connected) << c.name;
        EXPECT_EQ(result.fetched, c.fetched) << c.name;
        EXPECT_FALSE(result.announced) << c.name;
        EXPECT_EQ(shown, "") << c.name;
        EXPECT_EQ(closes, 0) << c.name;
    }
    std::string shown;
    UpdateCheckResult result = check(dead + "/version/filvane.txt", shown);
    EXPECT_FALSE(result.connected) << "no server at all";
    EXPECT_EQ(shown, "");
    EXPECT_EQ(closes, 0);
}

TEST_F(UpdateCheck, StartedThreadUsesTheServerAddressAndClosesTheMainWindow) {
    setenv("FILVANE_SERVER", (server + "/v12").c_str(), 1);
    TestMain main;
    ASSERT_NE(main.hwnd(), nullptr);
    ASSERT_TRUE(start_update_check(main.hwnd()));
    HWND box = nullptr;
    ASSERT_TRUE(wait_until([&] { return (box = box_owned_by(main.hwnd())) != nullptr; }, 15000));
    EXPECT_EQ(message_box_text(box), announcement("12"));
    EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetWindowThreadProcessId(main.hwnd(), nullptr))
        << "the box belongs to the check's own thread";
    EXPECT_EQ(g_closes, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until([&] { return g_closes == 1; }, 10000));
    unsetenv("FILVANE_SERVER");
}
