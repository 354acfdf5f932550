// Messages the echo engine posts to the ping window.
#pragma once

#include <windows.h>

// wParam: line kind; lParam: char* heap copy (new[]) the window deletes.
#define WM_PING_LINE (WM_USER + 0x100)
// lParam: 1 when the host resolved and the echo loop ran, else 0.
#define WM_PING_DONE (WM_USER + 0x101)
