#include "scanner/scan_schedule.h"

#include <algorithm>

namespace {

// Within one scan the first two octets agree, so the last two order it.
int position(const Octets& a) { return a[2] * 256 + a[3]; }

}  // namespace

ScanSchedule::ScanSchedule(const Octets& start, const Octets& end, Millis timeout_ms) : timeout_(timeout_ms) {
    ScanWalk walk(start, end);
    do {
        addresses_.push_back(walk.current());
        probed_.push_back(walk.probe_current());
    } while (walk.advance());
    answered_.assign(addresses_.size(), false);
    deadlines_.reserve(addresses_.size());
}

bool ScanSchedule::may_list_more(Millis now) {
    if (holding_ || listed_ == addresses_.size())
        return false;
    settle(now);
    return listed_ - oldest_open_ < kMaxWaiting;
}

std::optional<ScanSchedule::Due> ScanSchedule::next_due(Millis now) {
    if (!may_list_more(now))
        return std::nullopt;
    deadlines_.push_back(now + timeout_);
    std::size_t i = listed_++;
    return Due{addresses_[i], probed_[i]};
}

void ScanSchedule::sent_late(Millis now) {
    if (!holding_)
        return;
    holding_ = false;
    // The last listed address has the latest deadline, so deadlines still
    // never fall; it may have been counted as passed meanwhile.
    deadlines_.back() = now + timeout_;
    oldest_open_ = std::min(oldest_open_, listed_ - 1);
}

std::optional<std::size_t> ScanSchedule::index_of(const Octets& address) const {
    if (addresses_.empty() || address[0] != addresses_[0][0] || address[1] != addresses_[0][1])
        return std::nullopt;
    auto at = std::lower_bound(addresses_.begin(), addresses_.end(), address,
                               [](const Octets& a, const Octets& b) { return position(a) < position(b); });
    if (at == addresses_.end() || *at != address)
        return std::nullopt;
    return static_cast<std::size_t>(at - addresses_.begin());
}

bool ScanSchedule::answer(const Octets& source, Millis now) {
    auto i = index_of(source);
    if (!i || *i >= listed_ || !probed_[*i] || answered_[*i] || now > deadlines_[*i])
        return false;
    answered_[*i] = true;
    return true;
}

void ScanSchedule::settle(Millis now) {
    while (oldest_open_ < listed_ && (answered_[oldest_open_] || now >= deadlines_[oldest_open_]))
        ++oldest_open_;
}

bool ScanSchedule::finished(Millis now) {
    settle(now);
    return !holding_ && listed_ == addresses_.size() && oldest_open_ == listed_;
}

std::optional<Millis> ScanSchedule::next_event(Millis now) {
    if (may_list_more(now))
        return now;
    settle(now);
    if (oldest_open_ == listed_)
        return std::nullopt;
    // While addresses wait to be listed, the front's deadline makes room.
    if (listed_ < addresses_.size())
        return deadlines_[oldest_open_];
    // Once all are listed, only the end is an event; an answer comes as one
    // of its own.
    std::size_t last = listed_ - 1;
    while (answered_[last])
        --last;
    return deadlines_[last];
}
