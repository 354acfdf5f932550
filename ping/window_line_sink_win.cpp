#include "ping/window_line_sink_win.h"

#include <cstring>

#include "ping/ping_messages_win.h"

// The copy is freed by the window the message reaches (free_line_text), which
// the analyser cannot follow.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
void WindowLineSink::line(ping::LineKind kind, const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    // Ownership passes with the message; a window that is gone cannot take it.
    if (!PostMessageW(window_, WM_PING_LINE, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(copy)))
        delete[] copy;
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)

void WindowLineSink::done(bool resolved) { PostMessageW(window_, WM_PING_DONE, 0, resolved ? 1 : 0); }

void free_line_text(LPARAM text) { delete[] reinterpret_cast<char*>(text); }
