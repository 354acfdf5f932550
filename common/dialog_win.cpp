#include "common/dialog_win.h"

#include <algorithm>
#include <map>
#include <vector>

#include "common/controls_win.h"
#include "common/message_box_win.h"
#include "skin/skin_layer_win.h"

namespace {

// Dialogs run on the user-interface thread only, so no lock guards this.
std::map<int, HWND> g_running;
// The modal loops running on that thread, outermost first.
std::vector<Dialog*> g_modal_loops;

// As the framework the programs follow centres its dialogs: on the owner
// when it is on screen, else on the work area, and never off the work area.
void centre(HWND dialog, HWND owner) {
    RECT box, around, work;
    GetWindowRect(dialog, &box);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &around);
    else
        around = work;
    const int width = box.right - box.left, height = box.bottom - box.top;
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Dialog::Dialog(int template_id, bool swallow_enter_escape)
    : template_id_(template_id), swallow_enter_escape_(swallow_enter_escape) {}

Dialog::~Dialog() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

INT_PTR Dialog::run_modal(HWND owner) {
    auto running = g_running.find(template_id_);
    if (running != g_running.end()) {
        if (IsIconic(running->second))
            ShowWindow(running->second, SW_RESTORE);
        SetForegroundWindow(running->second);
        return -1;
    }
    skin::attach_current_thread();
    bool owner_was_enabled = owner && IsWindowEnabled(owner);
    ended_ = false;
    hwnd_ = CreateDialogParamW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), owner, procedure, reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        return -1;
    g_running[template_id_] = hwnd_;
    centre(hwnd_, owner);
    if (owner_was_enabled)
        EnableWindow(owner, FALSE);
    if (!ended_)
        ShowWindow(hwnd_, SW_SHOW);
    MSG msg;
    g_modal_loops.push_back(this);
    while (!ended_) {
        // The window around this one ended (the program quits from the tray
        // while this dialog asks): this one ends as cancelled, or the
        // process would wait on it with no window left to answer.
        if (outer_loop_ended()) {
            result_ = IDCANCEL;
            break;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outer loop
            break;
        }
        if (got < 0 || swallowed(msg))
            continue;
        if (accelerators_ && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) &&
            TranslateAcceleratorW(hwnd_, accelerators_, &msg))
            continue;
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    g_modal_loops.erase(std::find(g_modal_loops.begin(), g_modal_loops.end(), this));
    if (owner_was_enabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    g_running.erase(template_id_);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return result_;
}

bool Dialog::outer_loop_ended() const {
    for (const Dialog* loop : g_modal_loops) {
        if (loop == this)
            return false;
        if (loop->ended_)
            return true;
    }
    return false;
}

bool Dialog::swallowed(const MSG& msg) const {
    return swallow_enter_escape_ && msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN) &&
           (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd));
}

void Dialog::end(INT_PTR result) {
    result_ = result;
    ended_ = true;
    PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the modal loop
}

std::string Dialog::item_text(int id) const { return window_text(item(id)); }

void Dialog::set_item_text(int id, const std::string& gbk) const { set_window_text(item(id), gbk); }

int Dialog::message_box(const std::string& gbk, UINT type) const { return show_message(hwnd_, gbk, type); }

bool Dialog::on_command(int id, int) {
    if (id == IDOK || id == IDCANCEL) {
        end(id);
        return true;
    }
    return false;
}

bool Dialog::on_message(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK Dialog::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        self->hwnd_ = hwnd;
        return self->on_init();
    }
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    if (msg == WM_COMMAND)
        return self->on_command(LOWORD(wp), HIWORD(wp)) ? TRUE : FALSE;
    INT_PTR result = 0;
    if (!self->on_message(msg, wp, lp, result))
        return FALSE;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
