// Hands the lines of a run to a window as posted messages; never waits for it.
#pragma once

#include <windows.h>

#include "ping/echo_run.h"

class WindowLineSink : public LineSink {
public:
    explicit WindowLineSink(HWND window) : window_(window) {}
    void line(LineKind kind, const std::string& text) override;
    void done(bool resolved) override;

private:
    HWND window_;
};
