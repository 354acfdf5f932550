// One pass of the monitoring thread: enumerate sessions and open files, write
// them into the two lists, and tell whether either changed since the last pass
// that showed rows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "monitor/list_rows.h"
#include "monitor/repeated_failure.h"
#include "netmgmt/net_management.h"

// The boxes the monitoring thread raises, from the program's string table
// (the window code loads them once and hands them to the thread).
struct PassBoxTexts {
    std::string error_log_failed;
    std::string day_file_not_created;
    std::string day_file_failed;
};

// What a pass reports through: the error log (true when the line was written)
// and a message box for the user when even that fails, which must not hold
// up the passes; the clock that spaces out the lines of a lasting failure.
struct PassReporting {
    std::function<bool(const std::string&)> write_error_log;
    std::function<void(const std::string&)> show_message;
    std::function<std::int64_t()> seconds = steady_seconds;
    PassBoxTexts boxes;
};

enum SessionColumn { kSessionUser, kSessionComputer, kSessionOpens, kSessionConnected, kSessionIdle, kSessionColumns };
enum OpenFileColumn { kOpenPath, kOpenUser, kOpenMode, kOpenId, kOpenFileColumns };

// Indices into the list views' shared image list.
enum ListImage {
    kImageOpenMode = 0,
    kImageOpenPath = 1,
    kImageSessionOpens = 2,
    kImageShareName = 3,
    kImageComputer = 4,
    kImageTime = 5,
    kImageUser = 6,
    kImageSharePath = 7,
    kImageShareUses = 8,
    kImageShareRemark = 9,
    kListImages
};

struct PassOutcome {
    bool sessions_changed = false;
    bool open_files_changed = false;
    // How each enumeration ended: 0, or the failure that ended it.
    std::uint32_t sessions_status = 0;
    std::uint32_t open_files_status = 0;
    // The lists match the server as it was when the pass began: both were
    // listed well, or nothing moved since such a listing.
    bool lists_current = false;
    bool changed() const { return sessions_changed || open_files_changed; }
};

// A pass enumerates at least this often even when the server's change token
// stayed. Every session, tree connect and open that comes, goes or changes
// mode moves the token; what it does not cover changes rarely and shows
// within this time: a user's name as a directory service resolves it, the
// monitor account's rights on the server, a configuration file the main one
// includes. At 50,000 opens one listing costs the server over a second of
// CPU, so every 30 s was most of what watching a still server cost it.
constexpr std::int64_t kFullPassSeconds = 300;

class MonitorPass {
public:
    MonitorPass(netmgmt::NetManagement& net, ListRows& sessions, ListRows& open_files, PassReporting reporting);

    // `folders` are the monitored folders read for this pass. When the
    // server's change token has not moved since the last pass that listed
    // both lists in full, with the same folders, the lists stay as they are
    // and only the sessions' times move on.
    PassOutcome run(const std::vector<std::string>& folders);

private:
    bool list_sessions(std::uint32_t& status);
    // Rows for the sessions last listed, `later_by` seconds after that: their
    // connect times move on; an idle time is the server's to tell.
    void place_sessions(std::uint32_t later_by);
    bool list_open_files(const std::vector<std::string>& folders, std::uint32_t& status);
    void report(const std::string& message);
    // A failed (nonzero `status`) or a good enumeration, for the error log.
    void report_status(RepeatedFailure& repeats, std::uint32_t status, const std::string& message);

    netmgmt::NetManagement& net_;
    RowWriter sessions_;
    RowWriter open_files_;
    PassReporting reporting_;
    std::vector<netmgmt::SessionInfo> listed_sessions_;
    std::int64_t listed_at_ = 0;
    // The token and folders of the last complete listing; none after a
    // listing that failed, so the next pass lists again.
    std::optional<std::uint64_t> listed_token_;
    std::vector<std::string> listed_folders_;
    std::string previous_sessions_;
    std::string previous_open_files_;
    RepeatedFailure session_failures_;
    RepeatedFailure open_file_failures_;
};

// Shared by the session and open-file steps: a new snapshot that differs
// from the previous one replaces it and counts as a change. An emptied list
// is a change too (the history must not go on showing sessions that ended),
// and so the same rows coming back after it.
bool take_snapshot(std::string& previous, const std::string& current);
