#include "support/command_owner_window.h"

#include "controls/drawn_menu_win.h"

namespace {

constexpr WCHAR kClass[] = L"FilvaneTestCommandOwner";

}  // namespace

CommandOwnerWindow::CommandOwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly once registered
    hwnd_ = CreateWindowExW(
        0, kClass, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 640, 240, nullptr, nullptr, wc.hInstance, this);
}

CommandOwnerWindow::~CommandOwnerWindow() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT CALLBACK CommandOwnerWindow::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto self = reinterpret_cast<CommandOwnerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        switch (msg) {
        case WM_COMMAND:
            self->last_command = LOWORD(wp);
            ++self->commands;
            return 0;
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            if (self->menu_ && self->menu_->route(msg, lp)) {
                ++(msg == WM_MEASUREITEM ? self->measured : self->drawn);
                return TRUE;
            }
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
