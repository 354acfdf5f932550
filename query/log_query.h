// Reading one day's activity log back: the entries of a time window, their
// session part for the session-log box and their open-file part for the
// open-file box, narrowed by the condition fields.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "query/query_conditions.h"

class ExclusiveFile;

struct QueryResult {
    long counter = 0;         // what the counter line claims
    std::string session_log;  // stamp + records + CR LF per listed entry
    std::string file_log;
    int bad_line = 0;  // line number (1 = counter line) that ended the walk; 0 when none did
};

// How far a walk has come, read by the window that draws it while the walk
// runs on another thread; `stop` ends the walk before its next line.
struct QueryProgress {
    std::atomic<long> counter{-1};  // -1 until the counter line is read
    std::atomic<long> line{0};      // the entry line being read, 1 for the first
    std::atomic<bool> stop{false};
};

// Reads the day file whole and closes it, so the monitor's appends wait only
// for the read, then walks every line after the counter line.
QueryResult run_log_query(std::unique_ptr<ExclusiveFile> day_file, const QueryConditions& conditions,
                          QueryProgress& progress);

// The counter line's count: the six bytes after the label, leading digits.
long parse_counter_line(const std::string& line);

// The bytes Save As writes.
std::string saved_log_bytes(const std::string& session_log, const std::string& file_log);
