// Shows the main window with its toolbar, then the open tray menu, for
// screenshots: each stage writes "<stage>.ready" into the current folder and
// waits (at most 20 s) for "<stage>.done" from the script taking the picture.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "filvane_version.h"
#include "monitor/filvane_messages_win.h"
#include "shell/monitor_dialog_win.h"
#include "shell/tray_icon_win.h"
#include "support/fake_net.h"
#include "support/window_driver.h"

namespace {

bool exists(const WCHAR* name) { return GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES; }

bool stage(const WCHAR* ready, const WCHAR* done) {
    HANDLE marker = CreateFileW(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(marker);
    return wait_until([&] { return exists(done); }, 20000);
}

BOOL CALLBACK match_popup(HWND hwnd, LPARAM lp) {
    WCHAR cls[16] = {0};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    FakeNet net;
    net.shares = {{"docs", "C:\\docs", 2, "文档"}};
    MonitorDialog dialog(net, kMainTitle);
    UiThread ui([&] { dialog.run_modal(nullptr); });
    HWND about = wait_for_window(FILVANE_ABOUT_TITLE, 10000);
    if (about)
        PostMessageW(about, WM_CLOSE, 0, 0);
    HWND main = wait_for_window(kMainTitle, 10000);
    if (!main)
        return 1;
    SetWindowPos(main, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    Sleep(1000);
    int status = stage(L"toolbar.ready", L"toolbar.done") ? 0 : 2;

    SetCursorPos(820, 140);
    PostMessageW(main, filvane_message::kTrayNotify, kTrayIconId, WM_RBUTTONUP);
    HWND popup = nullptr;
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    wait_until(
        [&] {
            EnumThreadWindows(thread, match_popup, reinterpret_cast<LPARAM>(&popup));
            return popup != nullptr;
        },
        5000);
    if (popup) {
        for (int i = 0; i < 3; ++i)
            PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);  // highlight "主机检测"
        Sleep(800);
        if (!stage(L"menu.ready", L"menu.done"))
            status = 3;
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        status = 4;
    }
    Sleep(300);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ui.join(10000);
    return status;
}
