// The monitor's records built from a Samba server's configuration and status.
// Texts here are still UTF-8, as Samba gives them; paging converts them.
#pragma once

#include <cstdint>
#include <vector>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_config.h"
#include "netmgmt/samba_open_ids.h"
#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {

// Permission bits of an open as Samba's srvsvc gives them: read data
// (PERM_FILE_READ) and write data (PERM_FILE_WRITE); an append-only open
// counts as writing too, where Samba would show nothing.
std::uint32_t permissions_of(std::uint32_t access_mask);

// Current connections are the tree connects naming the share (case-blind).
std::vector<ShareInfo> share_records(const std::vector<ShareEntry>& shares, const Status& status);

// Opens of a session are those of its smbd process under its uid, connect
// time runs from its first tree connect. Samba keeps no idle time for
// sessions (its own srvsvc answers 0), so idle time is 0.
std::vector<SessionInfo> session_records(const Status& status);

// The opens of the report with identifiers from `ids`.
std::vector<OpenFileInfo> open_file_records(const Status& status, OpenIdRegistry& ids);

}  // namespace samba
}  // namespace netmgmt
