// Replies cut from a snapshot the way netapi32 fills its buffers: a reply
// carries the records whose fixed part and UTF-16 strings fit the caller's
// preferred length (at least one), and answers kMoreData while any remain.
// The resume handle is the index of the next record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "netmgmt/net_management.h"

namespace netmgmt {
namespace samba {

// Bytes of a UTF-8 text as a terminated UTF-16 string.
std::size_t utf16_bytes(const std::string& utf8);

// Buffer bytes of one record as netapi32 lays out its level 2 / 502 / 3
// structures on a 64-bit system.
std::size_t buffer_bytes(const ShareInfo& r);
std::size_t buffer_bytes(const SessionInfo& r);
std::size_t buffer_bytes(const OpenFileInfo& r);

// The record with its texts converted to GBK list cells.
ShareInfo to_cells(const ShareInfo& r);
SessionInfo to_cells(const SessionInfo& r);
OpenFileInfo to_cells(const OpenFileInfo& r);

template <class Record>
Reply<Record> page(const std::vector<Record>& snapshot, std::uint32_t preferred_length, std::uint32_t& resume) {
    Reply<Record> reply;
    std::size_t next = resume;
    std::size_t used = 0;
    while (next < snapshot.size()) {
        const std::size_t size = buffer_bytes(snapshot[next]);
        if (!reply.records.empty() && used + size > preferred_length)
            break;
        used += size;
        reply.records.push_back(to_cells(snapshot[next]));
        ++next;
    }
    resume = static_cast<std::uint32_t>(next);
    reply.status = next < snapshot.size() ? kMoreData : kSuccess;
    return reply;
}

}  // namespace samba
}  // namespace netmgmt
