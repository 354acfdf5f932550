// Session enumeration against servers that refuse some levels: 502 and 1 need
// an administrator of the server, and Samba answers levels 0 and 1 only. The
// richest level a server answers is tried first and remembered, so a pass
// costs one call per page once the level is known.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "netmgmt/net_management.h"

namespace netmgmt {

// Richest first: 502 (all), 10 (no open count), 1 (all but needs rights),
// 0 (computer names only).
constexpr std::uint32_t kSessionLevels[] = {502, 10, 1, 0};

// True when a server's answer refuses the level rather than the call.
bool refuses_level(std::uint32_t status);

class SessionLevels {
public:
    // One enumeration call at `level`, its records read into SessionInfo.
    using Call = std::function<Reply<SessionInfo>(std::uint32_t level, std::uint32_t preferred, std::uint32_t& resume)>;

    explicit SessionLevels(Call call) : call_(std::move(call)) {}

    // A first page (resume 0) refused at the remembered level goes on to the
    // next levels; later pages stay at the level that gave the first. When
    // every level is refused, the last refusal is the answer and the next
    // pass starts again at the remembered level.
    Reply<SessionInfo> enumerate(std::uint32_t preferred, std::uint32_t& resume);
    std::uint32_t level() const { return kSessionLevels[index_]; }

private:
    Call call_;
    std::size_t index_ = 0;
};

}  // namespace netmgmt
