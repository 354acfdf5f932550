// The main of every window test program.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Registers the common `control_classes` on the main thread, then runs the
// tests. Wine deadlocks when the first window-class registration of a
// process races between two threads, so it happens here, before any test
// starts a UI thread.
int run_window_tests(int argc, char** argv, DWORD control_classes);
