#pragma once

#include <windows.h>

// The settings command of the main window: runs the settings dialog modally,
// owned by `main_window`. Returns timer 1's new period in ms when ShareTime
// changed, whatever the dialog's result (a failed Apply may have changed it
// too), or 0 when the running timer is to be left alone.
unsigned run_settings_command(HWND main_window);
