#include "ping/window_line_sink_win.h"

#include <cstring>
#include <memory>

#include "common/thread_messages_win.h"
#include "ping/ping_messages_win.h"

void WindowLineSink::line(LineKind kind, const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    // A window that is gone cannot take it: the copy is freed here then.
    post_owned(window_, ping_message::kLine, static_cast<WPARAM>(kind), std::move(copy));
}

void WindowLineSink::done(bool resolved) { PostMessageW(window_, ping_message::kDone, 0, resolved ? 1 : 0); }
