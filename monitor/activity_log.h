// The daily activity log "%d%d%d.dat": a counter line, then one entry per
// line, each with the time and the session list (and, when recorded, the
// open-file list after the separator "〓"). Values are written as
// day_file_value makes them, so none can forge a line, an entry or a record.
#pragma once

#include <cstdint>
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

// The length of the entry head ("时间:", a stamp's characters, "内容:")
// starting at `at`, or 0 when none starts there. Values cannot hold one, so
// it marks an entry's start even where a cut-short line was glued to the next.
std::size_t entry_head_length(const std::string& text, std::size_t at);

// What a day file whose last line was cut short (a crash, a full disk, an
// interrupted copy) needs before the next entry: keep the first `keep`
// bytes, then end the line when `end_line`. A cut entry that still has its
// head stays as a line of its own; a piece without one carries neither time
// nor record and goes. `entries` is the entry lines once mended.
struct TailMend {
    std::size_t keep = 0;
    bool end_line = false;
    long entries = 0;
};
TailMend mend_tail(const std::string& day);

enum class AppendResult { Written, NoFile, WriteFailed };

class ActivityLog {
public:
    // `directory` is empty for the current directory. The retry covers a log
    // query that holds the day's file for a moment.
    explicit ActivityLog(Clock clock = current_local_time, std::string directory = "", int retry_ms = 2000);
    // An entry and its counter land whole, or the file is left as it was;
    // a cut-short last line is mended first.
    AppendResult append(const EntryContent& content);
    // Why the latest append failed (a file_failure code).
    std::uint32_t failure() const { return failure_; }

private:
    AppendResult failed(AppendResult result);

    Clock clock_;
    std::string directory_;
    int retry_ms_;
    std::uint32_t failure_ = 0;
};
