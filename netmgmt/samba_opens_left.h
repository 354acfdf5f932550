// The opens of the last srvsvc listing still there, told by the lock
// listing: it reads the server's databases and costs the server nothing,
// where a NetFileEnum of 50,000 opens costs it seconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "netmgmt/samba_records.h"
#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {

// An open the server listed: its id, and a hash of what the lock listing
// knows it by (process, user, mode, file). Kept in the order of the keys.
struct KeptOpen {
    std::uint64_t key = 0;
    std::uint32_t id = 0;
};

std::vector<KeptOpen> kept_opens(const std::vector<SrvsvcOpen>& srvsvc_listed);

// Gives the lock listing's opens (`listed`, as listed_open_record gives
// them with ids of ours, held by `owners` in the same order) the ids the
// server gave them, where they are among `kept`; `kept` becomes those. An
// open the server has not listed keeps an id of ours (unlike any other in
// the list), as does each of a set of twins of which some went (which ids
// went is not known): their rows, returned, wait for the server's ids.
std::vector<std::size_t> name_listed_opens(std::vector<KeptOpen>& kept, std::vector<SrvsvcOpen>& listed,
                                           const std::vector<LockOwner>& owners);

}  // namespace samba
}  // namespace netmgmt
