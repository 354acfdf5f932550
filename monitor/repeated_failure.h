// Error-log lines for something that may fail pass after pass (a list, the
// day file): the first line of a failure; while the same failure goes on,
// one line a minute with how often it came since the line before; one line
// when it ends. A server down for a day so costs some 1,400 lines, not
// 170,000.
#pragma once

#include <cstdint>
#include <string>

// Whole seconds of a clock that never goes back.
std::int64_t steady_seconds();

class RepeatedFailure {
public:
    // The line to log for a pass that failed with `message` at `now` (steady
    // seconds); empty when none is due.
    std::string failed(const std::string& message, std::int64_t now);
    // The line to log for a pass that went well; empty when nothing failed.
    std::string cleared();

private:
    std::string message_;  // empty while nothing fails
    std::int64_t last_line_ = 0;
    long since_line_ = 0;
    long total_ = 0;
};
