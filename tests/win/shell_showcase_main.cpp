// Shows the main window with its toolbar, then the open tray menu, then
// maximised over 10,000 opens with its open-file list sorted and both lists
// narrowed by the find box, for screenshots: each stage writes "<stage>.ready" into the current folder and
// waits (at most 20 s) for "<stage>.done" from the script taking the picture.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "common/controls_win.h"
#include "filvane_version.h"
#include "monitor/filvane_messages_win.h"
#include "shell/filvane_resources.h"
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

const char* const kUsers[] = {"张伟", "李娜", "王芳", "刘洋", "陈静", "zhao.lei", "sun.li", "Zhou.Min"};
const char* const kFolders[] = {"财务部\\2026年报表", "人事部\\合同", "工程部\\图纸", "市场部\\方案"};

// 10,000 opens of the users above from eight computers.
void fill_busy_server(FakeNet& net) {
    std::lock_guard<std::mutex> lock(net.mutex);
    for (unsigned i = 0; i < 8; ++i)
        net.sessions.push_back({kUsers[i], "PC-" + std::to_string(101 + i), 1250, 3600 + i * 97, i * 13});
    for (unsigned i = 0; i < 10000; ++i)
        net.open_files.push_back({i + 1, i % 3 == 0 ? 0x23u : 1u,
                                  std::string("D:\\共享\\") + kFolders[i % 4] + "\\文件" + std::to_string(i) + ".xlsx",
                                  kUsers[i % 8]});
}

void click_header(HWND main, int list, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = GetDlgItem(main, list);
    click.hdr.idFrom = static_cast<UINT_PTR>(list);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(main, WM_NOTIFY, static_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&click));
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

    fill_busy_server(net);
    wait_until([&] { return list_row_count(GetDlgItem(main, IDC_OPEN_FILES)) == 10000; }, 20000);
    // Without a window manager the X window keeps the size it had when
    // maximised: it is given the whole screen first.
    SetWindowPos(main, HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0);
    SendMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    click_header(main, IDC_OPEN_FILES, 0);
    click_header(main, IDC_SESSIONS, 2);
    set_window_text(GetDlgItem(main, IDC_FIND), "李娜");
    RedrawWindow(main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(1500);
    if (!stage(L"lists.ready", L"lists.done"))
        status = 5;
    PostMessageW(main, WM_CLOSE, 0, 0);
    ui.join(10000);
    return status;
}
