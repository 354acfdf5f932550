#pragma once

#include <windows.h>

#include <string>

// A message box captioned with the program file's name without extension.
int show_message(HWND owner, const std::string& gbk, UINT type = MB_OK | MB_ICONEXCLAMATION);
std::string program_name();
