// The day file kept going whatever the disk does. Monitoring never waits on
// it: an entry that cannot be written is tried again at the next pass, with
// that pass's state; the failure goes to the error log (a lasting one
// collapsed), its box is shown once per failure without anyone waiting on
// it, and once appends resume, how many entries never made it is told.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "monitor/activity_log.h"
#include "monitor/monitor_pass.h"
#include "monitor/repeated_failure.h"

class ActivityRecorder {
public:
    ActivityRecorder(ActivityLog& log, PassReporting reporting);

    // After a pass that `changed` the lists (or any pass while an entry is
    // still unwritten): appends the entry `content` builds.
    void record(bool changed, const std::function<EntryContent()>& content);
    // 0, or why the day file cannot be written now (a file_failure code).
    std::uint32_t failure() const { return failure_; }
    // Once after appends resume: how many entries were never written.
    std::optional<long> take_unwritten();

private:
    void failed(AppendResult result);

    ActivityLog& log_;
    PassReporting reporting_;
    RepeatedFailure repeats_;
    std::uint32_t failure_ = 0;
    bool pending_ = false;  // the latest state is not in the day file
    long superseded_ = 0;   // states that went by while one was pending
    std::optional<long> unwritten_;
};
