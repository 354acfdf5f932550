// The start of a companion program (brenvik, Corvap): Windows Sockets, the
// common controls, the skin, then the program's one window; the program
// ends with it.
#pragma once

#include <windows.h>

#include <functional>

struct CompanionStart {
    DWORD control_classes;     // for InitCommonControlsEx
    const char* skin_name;     // the application name the skin is bound with
    int skin_resource;         // the skin's resource
    UINT sockets_failed_text;  // string resource shown when Windows Sockets cannot start
};

// WinMain's result: 1 when Windows Sockets cannot start, else 0 once
// `run_window` has returned.
int run_companion(HINSTANCE instance, const CompanionStart& start, const std::function<void()>& run_window);
