#pragma once

#include <windows.h>

// The settings command of the main window: runs the settings dialog modally,
// owned by `main_window`, then re-arms timer 1 of `main_window` when
// ShareTime changed. Returns the new period in ms, or 0 when the timer was
// not re-armed (ShareTime unchanged, or SetTimer failed).
unsigned run_settings_command(HWND main_window);
