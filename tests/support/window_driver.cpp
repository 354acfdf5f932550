#include "support/window_driver.h"

#include <initializer_list>
#include <vector>

#include "common/controls_win.h"
#include "common/wide_text_win.h"

bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout_ms)
            return false;
        Sleep(20);
    }
    return true;
}

namespace {

struct Search {
    std::string title;
    bool any_process;
    HWND found;
};

// Win32 callbacks need the Win32 calling convention, which lambdas lack.
BOOL CALLBACK match_title(HWND hwnd, LPARAM lp) {
    auto search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if ((search->any_process || pid == GetCurrentProcessId()) && IsWindowVisible(hwnd) &&
        window_text(hwnd) == search->title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK match_dialog(HWND hwnd, LPARAM lp) {
    WCHAR cls[16] = {0};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND find_window(const std::string& title, bool any_process) {
    Search search{title, any_process, nullptr};
    EnumWindows(match_title, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_dialog_of_thread(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, match_dialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND wait_for_window(const std::string& title, DWORD timeout_ms, bool any_process) {
    HWND found = nullptr;
    wait_until([&] { return (found = find_window(title, any_process)) != nullptr; }, timeout_ms);
    return found;
}

bool answer_message_box(HWND window, const std::string& text, int button, DWORD timeout_ms) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND box = nullptr;
    bool found = wait_until(
        [&] {
            box = find_dialog_of_thread(thread);
            return box && box != window && message_box_text(box) == text;
        },
        timeout_ms);
    if (found)
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return found;
}

bool answer_save_dialog(HWND window, const std::string& path, std::string& proposed, DWORD timeout_ms) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND box = nullptr;
    if (!wait_until(
            [&] {
                box = find_dialog_of_thread(thread);
                return box && box != window;
            },
            timeout_ms))
        return false;
    const int name_box = 0x47c;  // cmb13 of the common file dialog
    proposed = window_text(GetDlgItem(box, name_box));
    set_window_text(GetDlgItem(box, name_box), path);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return wait_until([&] { return !IsWindow(box); }, 5000);
}

std::string win32_file_bytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileW(wide_ptr(widen(path)), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<cannot open>";
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

namespace {

// `order` goes down, then comes up again in reverse.
void press_in_order(std::initializer_list<WORD> order) {
    std::vector<INPUT> keys;
    for (WORD key : order) {
        keys.emplace_back();
        keys.back().type = INPUT_KEYBOARD;
        keys.back().ki.wVk = key;
    }
    for (auto key = order.end(); key != order.begin();) {
        keys.emplace_back();
        keys.back().type = INPUT_KEYBOARD;
        keys.back().ki.wVk = *--key;
        keys.back().ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

}  // namespace

void press_key(WORD key) { press_in_order({key}); }

void press_with_control(WORD key) { press_in_order({VK_CONTROL, key}); }

bool clipboard_text(std::string& text) {
    if (!OpenClipboard(nullptr))
        return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    auto wide = data ? static_cast<const WCHAR*>(GlobalLock(data)) : nullptr;
    if (wide) {
        text = narrow(wide, static_cast<std::size_t>(lstrlenW(wide)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return wide != nullptr;
}

std::string message_box_text(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR cls[32] = {0};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0)
            text += window_text(child);
    }
    return text;
}

UiThread::UiThread(std::function<void()> body)
    : body_(std::move(body)), thread_(CreateThread(nullptr, 0, entry, this, 0, nullptr)) {}

UiThread::~UiThread() {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

bool UiThread::join(DWORD timeout_ms) { return WaitForSingleObject(thread_, timeout_ms) == WAIT_OBJECT_0; }

DWORD WINAPI UiThread::entry(LPVOID self) {
    static_cast<UiThread*>(self)->body_();
    return 0;
}
