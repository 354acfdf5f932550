// Reading one day's activity log back: the entries of a time window, their
// session part for the session-log box and their open-file part for the
// open-file box, narrowed by the condition fields.
#pragma once

#include <ctime>
#include <functional>
#include <string>

class ExclusiveFile;

struct QueryConditions {
    std::time_t start = 0;
    std::time_t end = 0;
    std::string user;  // empty: no condition
    std::string computer;
    std::string file;
};

struct QueryResult {
    long counter = 0;         // what the counter line claims
    std::string session_log;  // stamp + records + CR LF per listed entry
    std::string file_log;
    int bad_line = 0;  // line number (1 = counter line) that ended the walk; 0 when none did
};

// Reads the counter line, hands its count to `counted`, then walks every
// further line; `progress(k)` gets the number of the entry line being read
// (1 for the first).
QueryResult run_log_query(ExclusiveFile& day_file, const QueryConditions& conditions,
                          const std::function<void(long)>& counted, const std::function<void(long)>& progress);

// The counter line's count: the six bytes after the label, leading digits.
long parse_counter_line(const std::string& line);

// The bytes Save As writes.
std::string saved_log_bytes(const std::string& session_log, const std::string& file_log);
