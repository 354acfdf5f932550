#include "monitor/monitor_pass.h"

#include <utility>

#include "monitor/failure_messages.h"
#include "monitor/folder_filter.h"
#include "monitor/open_id.h"
#include "monitor/open_mode.h"
#include "netmgmt/enumerate.h"

namespace {

constexpr std::uint32_t kPreferredLength = 2048;

std::string seconds_text(std::uint32_t seconds) { return std::to_string(static_cast<int>(seconds)) + "秒"; }

}  // namespace

bool take_snapshot(std::string& previous, const std::string& current) {
    if (current == previous)
        return false;
    previous = current;
    return true;
}

MonitorPass::MonitorPass(netmgmt::NetManagement& net, ListRows& sessions, ListRows& open_files, PassReporting reporting)
    : net_(net), sessions_(sessions), open_files_(open_files), reporting_(std::move(reporting)) {}

void MonitorPass::report(const std::string& message) {
    if (!reporting_.write_error_log(message))
        reporting_.show_message(reporting_.boxes.error_log_failed);
}

void MonitorPass::report_status(RepeatedFailure& repeats, std::uint32_t status, const std::string& message) {
    std::string line = status != netmgmt::kSuccess ? repeats.failed(message, reporting_.seconds()) : repeats.cleared();
    if (!line.empty())
        report(line);
}

PassOutcome MonitorPass::run(const std::vector<std::string>& folders) {
    // Read before the lists: a change while they are read moves the token
    // past the one kept, and the next pass lists again.
    const std::optional<std::uint64_t> token = net_.change_token();
    const std::int64_t now = reporting_.seconds();
    if (token && token == listed_token_ && folders == listed_folders_ && now - listed_at_ < kFullPassSeconds) {
        place_sessions(static_cast<std::uint32_t>(now - listed_at_));
        PassOutcome quiet;
        quiet.lists_current = true;
        return quiet;
    }
    PassOutcome outcome;
    listed_at_ = now;
    outcome.sessions_changed = list_sessions(outcome.sessions_status);
    outcome.open_files_changed = list_open_files(folders, outcome.open_files_status);
    const bool complete =
        outcome.sessions_status == netmgmt::kSuccess && outcome.open_files_status == netmgmt::kSuccess;
    listed_token_ = complete ? token : std::nullopt;
    outcome.lists_current = complete;
    listed_folders_ = folders;
    return outcome;
}

void MonitorPass::place_sessions(std::uint32_t later_by) {
    int row = 0;
    for (const auto& session : listed_sessions_)
        sessions_.place(row++, {{session.user, kImageUser},
                                {session.computer, kImageComputer},
                                {std::to_string(static_cast<int>(session.opens)), kImageSessionOpens},
                                {seconds_text(session.seconds_connected + later_by), kImageTime},
                                {seconds_text(session.seconds_idle), kImageTime}});
    sessions_.trim(row);
}

bool MonitorPass::list_sessions(std::uint32_t& status) {
    std::string snapshot;
    listed_sessions_.clear();
    auto show = [&](const std::vector<netmgmt::SessionInfo>& records, bool) {
        for (const auto& session : records) {
            if (session.user.empty())
                continue;  // anonymous connections are not listed
            snapshot += session.user + session.computer + std::to_string(static_cast<int>(session.opens)) + "||";
            listed_sessions_.push_back(session);
        }
    };
    status = netmgmt::enumerate_all(
        [&](std::uint32_t& resume) { return net_.enum_sessions(kPreferredLength, resume); }, show);
    report_status(session_failures_, status, status != netmgmt::kSuccess ? session_failure_message(status) : "");
    bool changed = take_snapshot(previous_sessions_, snapshot);
    place_sessions(0);
    return changed;
}

bool MonitorPass::list_open_files(const std::vector<std::string>& folders, std::uint32_t& status) {
    std::string snapshot;
    std::vector<Row> rows;
    auto show = [&](const std::vector<netmgmt::OpenFileInfo>& records, bool) {
        for (const auto& open : records) {
            if (!passes_folder_filter(open.path, folders))
                continue;
            if (open.path.empty() || open.user.empty()) {
                report(incomplete_open_message(open.id, open.path.empty(), open.user.empty()));
                continue;
            }
            std::string mode = open_mode_text(open.permissions);
            snapshot += open.path + open.user + mode + "||";
            rows.push_back({{open.path, kImageOpenPath},
                            {open.user, kImageUser},
                            {mode, kImageOpenMode},
                            {open_id_text(open.id), kNoImage}});
        }
    };
    status = netmgmt::enumerate_all(
        [&](std::uint32_t& resume) { return net_.enum_open_files(kPreferredLength, resume); }, show);
    report_status(open_file_failures_, status, status != netmgmt::kSuccess ? open_file_failure_message(status) : "");
    bool changed = take_snapshot(previous_open_files_, snapshot);
    // Opens come and go anywhere in the list: known by their identifier, the
    // rows that stay keep their place instead of all shifting up a row.
    open_files_.assign_keyed(rows, kOpenId);
    return changed;
}
