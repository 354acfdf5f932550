#include "shell/tray_icon_win.h"

#include <shellapi.h>

#include "common/wide_text_win.h"
#include "monitor/filvane_messages_win.h"

BOOL tray_icon(HWND window, TrayAction action, HICON icon, const std::string& tip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = filvane_message::kTrayNotify;
    data.hIcon = icon;
    std::u16string wide = widen(tip);
    lstrcpynW(data.szTip, wide_ptr(wide), sizeof data.szTip / sizeof data.szTip[0]);
    DWORD message = action == TrayAction::Add ? NIM_ADD : action == TrayAction::Modify ? NIM_MODIFY : NIM_DELETE;
    return Shell_NotifyIconW(message, &data);
}

void hide_into_tray(HWND window, HICON icon, const std::string& tip) {
    // The tray's results are not acted on: the window hides either way.
    tray_icon(window, TrayAction::Add, nullptr, tip);
    tray_icon(window, TrayAction::Modify, icon, tip);
    ShowWindow(window, SW_HIDE);
}

void show_from_tray(HWND window, const std::string& tip) {
    ShowWindow(window, SW_SHOW);
    tray_icon(window, TrayAction::Delete, nullptr, tip);
}
