#include "shell/tray_icon_win.h"

#include <shellapi.h>

#include "common/win_text.h"

BOOL tray_icon(HWND window, TrayAction action, HICON icon, const std::string& tip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = icon;
    std::u16string wide = widen(tip);
    lstrcpynW(data.szTip, wide_ptr(wide), sizeof data.szTip / sizeof data.szTip[0]);
    DWORD message = action == TrayAction::Add ? NIM_ADD : action == TrayAction::Modify ? NIM_MODIFY : NIM_DELETE;
    return Shell_NotifyIconW(message, &data);
}
