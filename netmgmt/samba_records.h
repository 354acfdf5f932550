// The monitor's records from what a Samba server answers: its srvsvc lists
// of shares and opens, and its status tool's sessions and tree connects.
// Texts here are still UTF-8, as Samba gives them; paging converts them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_config.h"
#include "netmgmt/samba_status.h"
#include "netmgmt/srvsvc_rpc.h"

namespace netmgmt {
namespace samba {

// One open as srvsvc lists it. Its id is (smbd pid << 16 | the process's
// own open counter), cut to 32 bits: what NetFileClose takes.
struct SrvsvcOpen {
    std::uint32_t id = 0;
    std::uint32_t permissions = 0;  // 1 read data, 2 write data
    std::string path;               // "C:\dir\file"
    std::string user;
};

struct SrvsvcShare {
    std::string name;
    std::string path;  // "C:\dir"
    std::string remark;
    std::uint32_t type = 0;
    std::uint32_t current_uses = 0;
};

// A srvsvc path as Win32 programs on Wine see it: srvsvc calls the server's
// root "C:", Wine calls it "Z:", so the paths match what the folder browser
// gives for the monitored folders.
std::string windows_path(const std::string& srvsvc_path);

// The permissions a Windows server reports for the same access, which the
// open-mode texts know: read 0x1, read and write 0x23, write 0x32.
std::uint32_t windows_open_mode(std::uint32_t srvsvc_permissions);

// The interprocess share (IPC$) reaches no folder: its path is left empty,
// as Windows shows it.
bool is_interprocess(const SrvsvcShare& share);
ShareInfo share_record(const SrvsvcShare& share);
OpenFileInfo open_file_record(const SrvsvcOpen& open);

// The open as srvsvc lists it, from the lock listing: the same path ("C:",
// the share's folder, the name, backslashes), the read and write bits of its
// access, and `user`, the name of its uid. The listing has no srvsvc id.
SrvsvcOpen listed_open_record(const ListedOpen& open, std::uint32_t id, const std::string& user);
// An id for each listed open that stays while the open does: a hash of its
// process, uid, file, access and time of opening, where opens alike in all
// of these (or whose hashes meet) are told apart by the order listed. Never
// 0, and never the same twice in one listing.
std::vector<std::uint32_t> listed_open_ids(const std::vector<ListedOpen>& opens);

// The shares as srvsvc lists them, from the configuration and the users'
// own shares (`net usershare info --long`): in the server's order, the
// listed shares, IPC$ as Samba adds it, the users' shares, then those it
// leaves out of its list; each with its folder and its comment (%S the
// share's name, %v `version`), and as its current uses its tree connects in
// `connects` (names compared as Samba does, without case).
std::vector<SrvsvcShare> shares_from_config(const std::vector<ConfigSection>& config,
                                            const std::vector<ConfigSection>& usershares,
                                            const std::vector<TreeConnect>& connects, const std::string& version);

// Number of opens by session id.
using OpenCounts = std::unordered_map<std::string, std::uint32_t>;

// Counts from the srvsvc ids alone: an open belongs to the session of its
// smbd process (the pid's low 16 bits) and user. Nothing when that is not
// certain: two sessions look alike, or an open matches none (a process with
// 65,536 opens or more spills into the pid's bits).
std::optional<OpenCounts> open_counts_from_ids(const Status& status, const std::vector<SrvsvcOpen>& opens);
// Exact counts from the owners of the lock listing: process and uid.
OpenCounts open_counts_from_owners(const Status& status, const std::vector<LockOwner>& owners);

// Sessions the server counts but a Windows server would not show: anonymous
// connections (the guest account) and the monitor's own connection for the
// srvsvc calls (its administrator account), as long as they reach no share
// but the interprocess one.
struct HiddenSessions {
    std::string guest_account;
    std::string monitor_account;
};

// Connect time runs from a session's first tree connect. Samba keeps no idle
// time for sessions (its own srvsvc answers 0), so idle time is 0.
std::vector<SessionInfo> session_records(const Status& status, const OpenCounts& opens, const HiddenSessions& hidden);

// Another server's sessions as its srvsvc lists them. Without tree connects
// to tell, the monitor's own connections are its account's sessions with
// nothing open. Samba counts a session of this very second as connected for
// -1 seconds: that is 0.
std::vector<SessionInfo> srvsvc_session_records(const std::vector<srvsvc::Session>& sessions,
                                                const std::string& monitor_account);

}  // namespace samba
}  // namespace netmgmt
