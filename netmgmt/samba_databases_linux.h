// The state of a local Samba server's sessions, tree connects and opens as
// one number, read from its databases in the lock directory without asking
// the server anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "netmgmt/share_mode_database.h"

namespace netmgmt {
namespace samba {

// Moves whenever a session, a tree connect or an open comes or goes, or an
// open's file is renamed (the share-mode database holds its name). Nothing
// when a database cannot be read or does not read as one.
std::optional<std::uint64_t> databases_fingerprint(const std::string& lock_directory);

// The opens of the share-mode database whose smbd is still running (srvsvc
// leaves out those of a process that ended without cleaning up); nothing
// when it cannot be read or does not read as one.
std::optional<std::vector<DatabaseOpen>> share_mode_opens(const std::string& lock_directory);

}  // namespace samba
}  // namespace netmgmt
