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

// The owner of every open in a plain `smbstatus -L` listing. Only the first
// two columns are read: the share path and the name may hold blanks. Blank
// text lists nothing. Throws StatusFormatError when the text is not such a
// listing.
std::vector<LockOwner> parse_lock_owners(const std::string& listing);

// Seconds since 1970 of an ISO 8601 time as Samba writes it:
// "2026-12-07T19:49:58.860702+00:00" or "...+0000"; fractions are dropped.
std::optional<std::int64_t> parse_timestamp(const std::string& text);

}  // namespace samba
}  // namespace netmgmt
