// The toolbar's commands in the main window's system menu, so that the
// keyboard reaches every one of them (Alt+Space), the mouse-only toolbar
// notwithstanding.
#pragma once

#include <windows.h>

// Appends them, but the about command, which the menu has already.
void add_toolbar_commands_to_system_menu(HWND window);
// The toolbar command that system-menu item `item` (a WM_SYSCOMMAND's
// wParam) stands for; 0 when it is none of them.
int toolbar_command_of(WPARAM item);
