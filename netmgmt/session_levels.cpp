#include "netmgmt/session_levels.h"

#include <iterator>

namespace netmgmt {

bool refuses_level(std::uint32_t status) {
    return status == kInvalidLevel || status == kNotSupported || status == kAccessDenied;
}

Reply<SessionInfo> SessionLevels::enumerate(std::uint32_t preferred, std::uint32_t& resume) {
    if (resume != 0)
        return call_(level(), preferred, resume);
    Reply<SessionInfo> reply;
    for (std::size_t i = index_; i < std::size(kSessionLevels); ++i) {
        std::uint32_t first = 0;
        reply = call_(kSessionLevels[i], preferred, first);
        if (!refuses_level(reply.status)) {
            index_ = i;
            resume = first;
            return reply;
        }
    }
    return reply;
}

}  // namespace netmgmt
