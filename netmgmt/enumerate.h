#pragma once

#include <cstdint>

#include "netmgmt/net_management.h"

namespace netmgmt {

// Runs an enumeration to its end: `call(resume)` is repeated while it answers
// kMoreData, each good reply's records go to `on_records(records, first)`.
// Returns 0, or the failure that ended it.
template <class Call, class OnRecords>
std::uint32_t enumerate_all(Call call, OnRecords on_records) {
    std::uint32_t resume = 0;
    for (bool first = true;; first = false) {
        auto reply = call(resume);
        if (reply.status != kSuccess && reply.status != kMoreData)
            return reply.status;
        on_records(reply.records, first);
        if (reply.status == kSuccess)
            return kSuccess;
    }
}

}  // namespace netmgmt
