// Helpers for tests that drive real windows from another thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Polls `condition` every 20 ms until it holds or `timeout_ms` passes.
bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms);
// The first visible top-level window whose title is `title` (GBK), of this
// process or, with `any_process`, of any; nullptr when there is none.
HWND find_window(const std::string& title, bool any_process = false);
// The first visible dialog window (message boxes too) of a thread.
HWND find_dialog_of_thread(DWORD thread);
HWND wait_for_window(const std::string& title, DWORD timeout_ms, bool any_process = false);
// Presses `button` on the message box showing `text` that a window's thread
// opened; false when none appeared within `timeout_ms`.
bool answer_message_box(HWND window, const std::string& text, int button, DWORD timeout_ms = 5000);
// Answers the common Save As dialog that a window's thread opened: gives the
// name it proposed, types `path` into the name box and presses OK. False when
// no dialog came or it did not close.
bool answer_save_dialog(HWND window, const std::string& path, std::string& proposed, DWORD timeout_ms = 10000);
// A file's bytes read through Win32: the path is a Windows one, which the C
// library of a Winelib program cannot open.
std::string win32_file_bytes(const std::string& path);
// A key pressed alone, or with Ctrl held, through the window system's input
// queue (to the window with the focus).
void press_key(WORD key);
void press_with_control(WORD key);
// The clipboard's Unicode text as GBK; false when it holds none.
bool clipboard_text(std::string& text);
// Text of the static controls of a message box (its message).
std::string message_box_text(HWND box);

// Runs `body` on a Win32 thread of its own (threads that touch windows must
// be Win32 threads under Winelib).
class UiThread {
public:
    explicit UiThread(std::function<void()> body);
    ~UiThread();  // waits for the thread
    bool join(DWORD timeout_ms);

private:
    static DWORD WINAPI entry(LPVOID self);
    std::function<void()> body_;
    HANDLE thread_;
};
