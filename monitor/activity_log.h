// The daily activity log "%d%d%d.dat": a counter line, then one entry per
// line, each with the time and the session list (and, when recorded, the
// open-file list after the separator "〓").
#pragma once

#include <string>
#include <vector>

#include "common/local_time.h"

using CellRow = std::vector<std::string>;

std::string activity_file_name(const LocalTime& time);
std::string activity_stamp(const LocalTime& time);
// "数目:" and the count left-aligned in six columns, then CR LF.
std::string activity_counter_line(long count);

struct EntryContent {
    bool sessions = false;                // SaveSession on
    bool open_files = false;              // SaveFile on
    std::vector<CellRow> session_rows;    // user, computer, opens, connected, idle
    std::vector<CellRow> open_file_rows;  // path, user, mode
};

// One whole entry line, CR LF included. Rows whose cells are all empty are
// skipped and do not advance the record number.
std::string activity_entry(const LocalTime& time, const EntryContent& content);

enum class AppendResult { Written, NoFile, WriteFailed };

class ActivityLog {
public:
    // `directory` is empty for the current directory. The retry covers a log
    // query that holds the day's file for a moment.
    explicit ActivityLog(Clock clock = current_local_time, std::string directory = "", int retry_ms = 2000);
    AppendResult append(const EntryContent& content) const;

private:
    Clock clock_;
    std::string directory_;
    int retry_ms_;
};
