#pragma once

#include <windows.h>

#include <string>

// A message box captioned with the program file's name without extension.
int show_message(HWND owner, const std::string& gbk, UINT type = MB_OK | MB_ICONEXCLAMATION);
std::string program_name();

// A report from a timer or a worker thread: shown in a box unless another
// such report's box is up, whatever thread asked, in which case it is
// counted and dropped (0 is returned). A box's own message loop keeps timers
// running, so one box per tick would nest without end.
int show_report(HWND owner, const std::string& gbk, UINT type = MB_OK | MB_ICONEXCLAMATION);
// Reports dropped so far because a box was up.
unsigned long dropped_reports();
