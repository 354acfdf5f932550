// The timing of a concurrent scan: each address of the range is listed (and
// probed) in turn at a bounded rate, and then has a deadline of its own.
// Answers are matched to their address; the scan is over once every address
// has answered or passed its deadline.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "scanner/scan_range.h"

namespace scanner {

using Millis = std::uint64_t;  // a monotonic clock

// About one probe per millisecond on average. A late caller (coarse timers,
// a busy window) may catch up by at most the burst, so the rate stays
// bounded.
constexpr Millis kProbeIntervalMs = 1;
constexpr Millis kProbeBurst = 16;

class ScanSchedule {
public:
    // `start` and `end` as check_range accepted them; the first address is
    // due at `now`.
    ScanSchedule(const Octets& start, const Octets& end, Millis timeout_ms, Millis now);

    struct Due {
        Octets address;
        bool probe;  // false: listed and waited for, but no query sent
    };
    // The next address whose turn has come, which the caller lists (and
    // probes) now; nothing when none is due yet.
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
    // When something happens next: the next address's turn (unless a query
    // is held back) or the earliest open deadline. Nothing when neither is
    // ahead, which leaves only a held query to wait for.
    std::optional<Millis> next_event(Millis now);

    std::size_t size() const { return addresses_.size(); }
    std::size_t listed() const { return listed_; }

private:
    // Moves past the listed addresses at the front that are settled.
    void settle(Millis now);
    std::optional<std::size_t> index_of(const Octets& address) const;

    std::vector<Octets> addresses_;  // in walk order, which is address order
    std::vector<bool> probed_;
    std::vector<Millis> deadlines_;  // of the listed addresses, never falling
    std::vector<bool> answered_;
    Millis timeout_;
    Millis next_turn_;
    std::size_t listed_ = 0;
    std::size_t oldest_open_ = 0;
    bool holding_ = false;
};

}  // namespace scanner
