// The rule that one copy of a program runs at a time: the first copy
// creates a named mutex (not owned: the guard is its existence, never a wait
// on it); a later copy finds it and leaves.
#pragma once

#include <windows.h>

#include <string>

#include "common/scoped_handle_win.h"

class SingleInstance {
public:
    // False when another copy holds `name`; otherwise this object holds it
    // until destroyed. A mutex that cannot be made leaves the program
    // running without the guard.
    bool claim(const char* name);
    // claim, or show `refusal` and end the process with exit code 0.
    void claim_or_leave(const char* name, const std::string& refusal);

private:
    KernelHandle mutex_;
};
