// The timing of a concurrent scan: the addresses of the range are listed (and
// probed) in turn as fast as the caller sends, up to a bounded number waiting
// at once, and each then has a deadline of its own. Answers are matched to
// their address; the scan is over once every address has answered or passed
// its deadline.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "scanner/scan_range.h"

using Millis = std::uint64_t;  // a monotonic clock

// At most this many listed addresses are unsettled at once: a whole /24 goes
// out in one burst, as nbtscan sends it, while a larger range keeps no more
// queries and answers in flight than one network's worth.
constexpr std::size_t kMaxWaiting = 256;

class ScanSchedule {
public:
    // `start` and `end` as check_range accepted them.
    ScanSchedule(const Octets& start, const Octets& end, Millis timeout_ms);

    struct Due {
        Octets address;
        bool probe;  // false: listed and waited for, but no query sent
    };
    // The next address to list (and probe) now, its wait starting at `now`;
    // nothing when every address is listed, a query is held back, or
    // kMaxWaiting addresses are still unsettled.
    std::optional<Due> next_due(Millis now);
    // The query to the last address listed found no room in the stack: it
    // is held back, and nothing more is listed until it leaves.
    void hold_last() { holding_ = listed_ > 0; }
    bool holding() const { return holding_; }
    // The held query left now: its wait starts now.
    void sent_late(Millis now);

    // True when `source` answers an address probed in this scan that is still
    // waiting; then it counts as answered. Anything else (an address not in
    // the range, not probed yet, answered already, or past its deadline) is
    // not an answer.
    bool answer(const Octets& source, Millis now);

    // Every address listed and its query sent, and each answered or past
    // its deadline.
    bool finished(Millis now);
    // When something happens next: now, if an address could be listed;
    // else, while addresses are left to list, the earliest open deadline
    // (which frees room); else the last open deadline, when the scan ends
    // unless answers end it sooner. Nothing when no address is open, which
    // leaves only a held query to wait for.
    std::optional<Millis> next_event(Millis now);

    std::size_t size() const { return addresses_.size(); }
    std::size_t listed() const { return listed_; }

private:
    // Moves past the listed addresses at the front that are settled.
    void settle(Millis now);
    bool may_list_more(Millis now);
    std::optional<std::size_t> index_of(const Octets& address) const;

    std::vector<Octets> addresses_;  // in walk order, which is address order
    std::vector<bool> probed_;
    std::vector<Millis> deadlines_;  // of the listed addresses, never falling
    std::vector<bool> answered_;
    Millis timeout_;
    std::size_t listed_ = 0;
    std::size_t oldest_open_ = 0;
    bool holding_ = false;
};
