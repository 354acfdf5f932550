// A plain top-level window for tests of the toolbar and the drawn menu: it
// records the commands it receives and routes owner-draw requests to a menu.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

class DrawnMenu;

class CommandOwnerWindow {
public:
    CommandOwnerWindow();  // on the calling thread, which must pump its messages
    ~CommandOwnerWindow();
    CommandOwnerWindow(const CommandOwnerWindow&) = delete;
    CommandOwnerWindow& operator=(const CommandOwnerWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void route_to(const DrawnMenu* menu) { menu_ = menu; }

    std::atomic<int> last_command{0};
    std::atomic<int> commands{0};
    std::atomic<int> measured{0};
    std::atomic<int> drawn{0};

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    const DrawnMenu* menu_ = nullptr;
};

// Pumps the calling thread's messages until `done` or `timeout_ms`.
template <typename Done>
bool pump_until(Done done, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > timeout_ms)
            return false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    return true;
}
