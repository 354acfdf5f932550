// The tray icon's popup menu: the side bar and the command items, drawn by a
// DrawnMenu.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/drawn_menu_win.h"

// A fresh menu with the side bar and the items in order; nullptr when no
// menu handle could be made.
std::unique_ptr<DrawnMenu> build_tray_menu();

// Tracks `menu` at `at` (screen coordinates) on behalf of `owner`, which
// must route WM_MEASUREITEM and WM_DRAWITEM to the menu meanwhile. The
// chosen command arrives at `owner` as WM_COMMAND.
void track_tray_menu(const DrawnMenu& menu, HWND owner, POINT at);
