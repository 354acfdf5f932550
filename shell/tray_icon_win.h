#pragma once

#include <windows.h>

#include <string>

enum class TrayAction { Add = 0, Modify = 1, Delete = 2 };

constexpr UINT kTrayIconId = 128;

// The one notification-area icon of the main window.
BOOL tray_icon(HWND window, TrayAction action, HICON icon, const std::string& tip);

// The main window hides into the tray instead of minimising: the icon is
// added bare, then given the window icon, and the window hidden.
void hide_into_tray(HWND window, HICON icon, const std::string& tip);
// Shows the window again and removes the tray icon.
void show_from_tray(HWND window, const std::string& tip);
