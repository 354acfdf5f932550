// The live state of a Samba server as its status tool reports it: sessions
// (`smbstatus -p --json`), tree connects (`smbstatus -S --json`) and the
// owners of the opens (plain `smbstatus -L`), reduced to what the monitor's
// records need. The tool's JSON list of opens is left alone: its cost grows
// with the square of the opens.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace netmgmt {
namespace samba {

struct StatusFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One smbd process; `unique_id` tells a reused pid from the old process.
struct ServerProcess {
    std::uint32_t pid = 0;
    std::uint64_t unique_id = 0;
    bool operator==(const ServerProcess& o) const { return pid == o.pid && unique_id == o.unique_id; }
};

struct Session {
    std::string session_id;
    ServerProcess process;
    std::uint32_t uid = 0;
    std::string user;
    std::string remote_machine;
};

struct TreeConnect {
    std::string service;
    std::string session_id;
    std::int64_t connected_at = 0;  // seconds since 1970
};

// Who holds one open: its smbd process and the uid it runs for.
struct LockOwner {
    std::uint32_t pid = 0;
    std::uint32_t uid = 0;
};

// One open as the plain lock listing shows it.
struct ListedOpen {
    LockOwner owner;
    std::string deny_mode;
    std::uint32_t access_mask = 0;
    std::string share_path;  // the share's folder: "/srv/docs"
    std::string name;        // within it ("dir/a.txt"); "." is the folder itself
    std::string opened;      // when, as the listing writes it
};

struct Status {
    std::int64_t taken_at = 0;  // seconds since 1970, the report's own clock
    std::string version;        // Samba's version text
    std::vector<Session> sessions;
    std::vector<TreeConnect> tree_connects;
};

// Reads a JSON report of smbstatus (sections that are absent stay empty);
// the sessions and the tree connects of two reports go into one Status.
// Throws StatusFormatError when the text is not such a report (blank text
// included: a report carries the clock connect times are counted from).
Status parse_status_report(const std::string& json_text);

// Every open of a plain `smbstatus -L` listing (uids as numbers). The tool
// puts three blanks between share path, name and time, which either path
// may hold too: a share path from `share_paths` (the configured ones) is
// taken where it fits, else the first three blanks end it; a row whose line
// does not end in a time goes on in the next line (a newline in the name).
// Blank text lists nothing. Throws StatusFormatError when the text is not
// such a listing.
std::vector<ListedOpen> parse_lock_listing(const std::string& listing,
                                           const std::vector<std::string>& share_paths = {});
// The owners alone, in the listing's order.
std::vector<LockOwner> parse_lock_owners(const std::string& listing);

// Seconds since 1970 of an ISO 8601 time as Samba writes it:
// "2026-12-07T19:49:58.860702+00:00" or "...+0000"; fractions are dropped.
std::optional<std::int64_t> parse_timestamp(const std::string& text);

}  // namespace samba
}  // namespace netmgmt
