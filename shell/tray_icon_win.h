#pragma once

#include <windows.h>

#include <string>

enum class TrayAction { Add = 0, Modify = 1, Delete = 2 };

constexpr UINT kTrayMessage = WM_USER + 100;
constexpr UINT kTrayIconId = 128;

// The one notification-area icon of the main window.
BOOL tray_icon(HWND window, TrayAction action, HICON icon, const std::string& tip);
