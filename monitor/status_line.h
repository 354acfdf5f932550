// The main window's status line: the current failure in one line (when it
// began, what failed, why), empty again once every list reads well. Lists
// look the same on an idle server and on one that cannot be read; this line
// tells them apart.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/local_time.h"

enum class StatusSource { Shares, Sessions, OpenFiles };

class StatusLine {
public:
    // How the latest read of `source` ended (0 or a result code), at `now`;
    // true when the line's text changed.
    bool report(StatusSource source, std::uint32_t status, const LocalTime& now);
    const std::string& text() const { return text_; }

private:
    struct Failure {
        std::uint32_t status = 0;
        LocalTime since;
        unsigned long long order = 0;  // when it began, among the failures
    };
    static constexpr int kSources = 3;
    std::optional<Failure> failures_[kSources];
    unsigned long long next_order_ = 0;
    std::string text_;
};
