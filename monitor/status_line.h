// The main window's status line: the current failure in one line (when it
// began, what failed, why), empty again once every list reads well. Lists
// look the same on an idle server and on one that cannot be read; this line
// tells them apart. The day file counts too: monitoring goes on while it
// cannot be written, and only this line says so. So does a slow server: when
// no pass has found the lists current for longer than passes explain, the
// line says how old they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/local_time.h"

enum class StatusSource { Shares, Sessions, OpenFiles, DayFile };

// The line's own words, from the program's string table (the window code
// loads them once); the causes are the error log's, so both say the same.
struct StatusTexts {
    std::string shares_failed;  // what failed, one per source
    std::string sessions_failed;
    std::string open_files_failed;
    std::string day_file_failed;
    std::string unwritten;  // with "%s" for the number of entries lost
    std::string stale;      // with "%s" for the lists' age in seconds
};

// Lists this much older than a pass's start say so: a pass begins every
// `period_ms` and may itself take up to a second before it is shown.
constexpr std::int64_t stale_after_ms(std::int64_t period_ms) { return period_ms + 1000; }

class StatusLine {
public:
    explicit StatusLine(StatusTexts texts) : texts_(std::move(texts)) {}

    // How the latest read of `source` ended (0 or a result code), at `now`;
    // true when the line's text changed.
    bool report(StatusSource source, std::uint32_t status, const LocalTime& now);
    // The day file is written again after `unwritten` entries were lost;
    // shown while nothing fails. True when the line's text changed.
    bool report_unwritten(long unwritten, const LocalTime& now);
    // The lists were found current at `at_ms` (a steady clock in ms): a pass
    // that began then listed them well, or found nothing moved since.
    void lists_current_at(std::int64_t at_ms);
    // At `now_ms`, lists not found current for more than `stale_ms` say how
    // old they are; true when the line's text changed.
    bool report_age(std::int64_t now_ms, std::int64_t stale_ms);
    const std::string& text() const { return text_; }

private:
    struct Failure {
        std::uint32_t status = 0;
        LocalTime since;
        unsigned long long order = 0;  // when it began, among the failures
    };
    bool refresh();
    const std::string& what_failed(int source) const;

    static constexpr int kSources = 4;
    StatusTexts texts_;
    std::optional<Failure> failures_[kSources];
    unsigned long long next_order_ = 0;
    std::string note_;
    std::string age_;  // how old the lists are, while that is news
    std::int64_t current_at_ms_ = 0;
    std::string text_;
};
