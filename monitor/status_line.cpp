#include "monitor/status_line.h"

#include <cstdio>

#include "common/text_pattern.h"
#include "monitor/failure_messages.h"

namespace {

std::string clock_text(const LocalTime& t) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", t.hour, t.minute, t.second);
    return stamp;
}

}  // namespace

const std::string& StatusLine::what_failed(int source) const {
    switch (static_cast<StatusSource>(source)) {
    case StatusSource::Shares:
        return texts_.shares_failed;
    case StatusSource::Sessions:
        return texts_.sessions_failed;
    case StatusSource::DayFile:
        return texts_.day_file_failed;
    case StatusSource::OpenFiles:
        break;
    }
    return texts_.open_files_failed;
}

bool StatusLine::report(StatusSource source, std::uint32_t status, const LocalTime& now) {
    auto& failure = failures_[static_cast<int>(source)];
    if (status == 0)
        failure.reset();
    else if (!failure || failure->status != status)
        failure = Failure{status, now, next_order_++};
    return refresh();
}

bool StatusLine::report_unwritten(long unwritten, const LocalTime& now) {
    note_ = clock_text(now) + with_value(texts_.unwritten, std::to_string(unwritten));
    return refresh();
}

void StatusLine::lists_current_at(std::int64_t at_ms) {
    // A long listing is stamped with its start, which may come before a
    // quick pass's already taken.
    if (at_ms > current_at_ms_)
        current_at_ms_ = at_ms;
}

bool StatusLine::report_age(std::int64_t now_ms, std::int64_t stale_ms) {
    const std::int64_t age_ms = now_ms - current_at_ms_;
    age_ = age_ms > stale_ms ? with_value(texts_.stale, std::to_string(age_ms / 1000)) : std::string();
    return refresh();
}

bool StatusLine::refresh() {
    // The failure that began first stays in view until it ends, so the line
    // does not flicker between lists that fail for one cause.
    int shown = -1;
    for (int i = 0; i < kSources; ++i)
        if (failures_[i] && (shown < 0 || failures_[i]->order < failures_[shown]->order))
            shown = i;
    std::string text = note_;
    if (shown >= 0) {
        const Failure& f = *failures_[shown];
        text = clock_text(f.since) + what_failed(shown) + ":" + failure_cause(f.status);
    }
    // A list that failed is emptied and its failure's time tells since
    // when: no age for it.
    const bool list_failed =
        failures_[static_cast<int>(StatusSource::Sessions)] || failures_[static_cast<int>(StatusSource::OpenFiles)];
    if (!age_.empty() && !list_failed)
        text += (text.empty() ? "" : "  ") + age_;
    if (text == text_)
        return false;
    text_ = std::move(text);
    return true;
}
