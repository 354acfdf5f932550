// Identifiers of Samba opens, 32 bits as the monitor and NetFileClose take them.
//
// An open is known to Samba by its smbd process and that process's
// share_file_id counter (64 bits). Samba's own srvsvc shows and closes it as
// (pid << 16) | share_file_id, cut to 32 bits; that value is what other tools
// show for the open too, so it is the preferred identifier. It is not unique,
// though: large pids or counters overlap. The registry therefore hands out
// identifiers itself: a new open gets its preferred value unless a live open
// holds it, else the next free value above it. An identifier stays with its
// open while the open lives and is freed when a refresh no longer sees it.
// The process's unique id keeps a reused pid apart from its predecessor.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {

struct OpenKey {
    ServerProcess process;
    std::uint64_t share_file_id = 0;
    bool operator<(const OpenKey& o) const;
    bool operator==(const OpenKey& o) const { return process == o.process && share_file_id == o.share_file_id; }
};

OpenKey key_of(const Open& open);

// Samba's srvsvc identifier of an open: the value NetFileClose must name.
std::uint32_t srvsvc_file_id(const OpenKey& key);

class OpenIdRegistry {
public:
    // Replaces the known opens by the live ones of a status report; returns
    // their identifiers in the same order.
    std::vector<std::uint32_t> refresh(const std::vector<Open>& live);

    // The open an identifier stands for, if a refresh has seen it.
    std::optional<OpenKey> find(std::uint32_t id) const;

private:
    mutable std::mutex mutex_;
    std::map<OpenKey, std::uint32_t> ids_;
    std::unordered_map<std::uint32_t, OpenKey> owners_;
};

}  // namespace samba
}  // namespace netmgmt
