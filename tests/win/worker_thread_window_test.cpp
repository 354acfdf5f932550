// The worker helper and the thread-to-window hand-over, with a real window
// on the test's thread.
#include "support/gtest_winelib.h"

#include <atomic>
#include <memory>

#include "common/thread_messages_win.h"
#include "common/worker_thread_win.h"
#include "support/window_test_main.h"

namespace {

constexpr UINT kCounted = WM_APP + 7;
std::atomic<int> g_handled{0};

LRESULT CALLBACK counting_procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kCounted) {
        ++g_handled;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A window of the test's thread, which the waits must keep answering.
struct CountingWindow {
    HWND hwnd = nullptr;
    CountingWindow() {
        static const ATOM registered = [] {
            WNDCLASSW c{};
            c.lpfnWndProc = counting_procedure;
            c.hInstance = GetModuleHandleW(nullptr);
            c.lpszClassName = L"WorkerTestWindow";
            return RegisterClassW(&c);
        }();
        if (registered)
            hwnd = CreateWindowW(
                L"WorkerTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
        g_handled = 0;
    }
    ~CountingWindow() {
        if (hwnd)
            DestroyWindow(hwnd);
    }
};

struct Event {
    HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Event() { CloseHandle(handle); }
};

TEST(WorkerThread, StopKeepsAnsweringWhatTheWorkerSendsUntilItEnds) {
    CountingWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    WorkerThread worker;
    HWND target = window.hwnd;
    // A worker that only ever sends: it reaches its stop check only when
    // this thread answers while it waits.
    ASSERT_TRUE(worker.start([target](HANDLE stop) -> DWORD {
        while (WaitForSingleObject(stop, 0) == WAIT_TIMEOUT)
            SendMessageW(target, kCounted, 0, 0);
        return 7;
    }));
    Sleep(50);
    EXPECT_TRUE(worker.stop(5000));
    EXPECT_GT(g_handled.load(), 0);
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(worker.exit_code(), 7u);
}

TEST(WorkerThread, BoundedStopGivesUpOnAThreadThatIgnoresItAndJoinTakesItLater) {
    Event release;
    HANDLE released = release.handle;
    WorkerThread worker;
    ASSERT_TRUE(worker.start([released](HANDLE) -> DWORD {
        WaitForSingleObject(released, INFINITE);
        return 3;
    }));
    EXPECT_FALSE(worker.stop(100));
    EXPECT_TRUE(worker.running());
    EXPECT_EQ(worker.exit_code(), static_cast<DWORD>(STILL_ACTIVE));
    SetEvent(released);
    EXPECT_TRUE(worker.join(5000));
    EXPECT_EQ(worker.exit_code(), 3u);
}

TEST(WorkerThread, SecondStartIsRefusedWhileRunningAndARestartGetsAFreshStopEvent) {
    WorkerThread worker;
    EXPECT_TRUE(worker.join(0)) << "nothing started: nothing to wait for";
    ASSERT_TRUE(worker.start([](HANDLE stop) -> DWORD { return WaitForSingleObject(stop, 10000); }));
    EXPECT_FALSE(worker.start([](HANDLE) -> DWORD { return 0; }));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
    ASSERT_TRUE(worker.stop(5000));
    EXPECT_EQ(worker.exit_code(), static_cast<DWORD>(WAIT_OBJECT_0));

    // The earlier stop must not end the new run before it is asked to.
    ASSERT_TRUE(worker.start([](HANDLE stop) -> DWORD { return WaitForSingleObject(stop, 200); }));
    ASSERT_TRUE(worker.join(5000));
    EXPECT_EQ(worker.exit_code(), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(WorkerThread, DestructorGivesUpInTimeAndTheBodyKeepsItsOwnState) {
    Event release;
    HANDLE released = release.handle;
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto worker = std::make_unique<WorkerThread>();
    auto state = std::make_shared<int>(41);
    ASSERT_TRUE(worker->start([released, state, finished](HANDLE stop) -> DWORD {
        WaitForSingleObject(released, INFINITE);
        *state += 1;
        // Its stop event is still its own after its WorkerThread went.
        *finished = WaitForSingleObject(stop, 0) == WAIT_OBJECT_0 && *state == 42;
        return 0;
    }));
    state.reset();
    worker.reset();  // returns after its bounded wait, the body still blocked
    EXPECT_FALSE(finished->load());
    SetEvent(released);
    for (int i = 0; i < 250 && !finished->load(); ++i)
        Sleep(20);
    EXPECT_TRUE(finished->load());
}

struct Counted {
    static int alive;
    Counted() { ++alive; }
    ~Counted() { --alive; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};
int Counted::alive = 0;

TEST(ThreadMessages, PostedPayloadsAreTakenBackOrFreedWhateverBecomesOfThem) {
    HWND gone = CountingWindow().hwnd;
    ASSERT_NE(gone, nullptr);
    EXPECT_FALSE(post_owned(gone, kCounted, 0, std::make_unique<Counted>()));
    EXPECT_EQ(Counted::alive, 0) << "a post that fails frees its payload";

    CountingWindow window;
    ASSERT_NE(window.hwnd, nullptr);

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(post_owned(window.hwnd, kCounted, 0, std::make_unique<Counted>()));
    EXPECT_EQ(Counted::alive, 3);
    MSG first;
    ASSERT_TRUE(PeekMessageW(&first, window.hwnd, kCounted, kCounted, PM_REMOVE));
    {
        std::unique_ptr<Counted> taken = take_posted<Counted>(first.lParam);
        EXPECT_EQ(Counted::alive, 3);
    }
    EXPECT_EQ(Counted::alive, 2);
    drop_posted<Counted>(window.hwnd, kCounted);
    EXPECT_EQ(Counted::alive, 0);
}

}  // namespace

int main(int argc, char** argv) { return run_window_tests(argc, argv, ICC_WIN95_CLASSES); }
