// The error log "vlerror.log": one time-stamped line per monitoring failure,
// only ever appended to.
#pragma once

#include <string>

#include "common/local_time.h"

std::string error_log_line(const LocalTime& time, const std::string& message);

// The user-interface thread (shares) and the monitoring thread (sessions,
// opens) both write: this process's writers take turns, and another holder
// of the file is waited for up to `retry_ms`, so no line is lost to a
// collision.
class ErrorLog {
public:
    explicit ErrorLog(std::string path = "vlerror.log", Clock clock = current_local_time, int retry_ms = 2000);
    // True when the whole line was appended and the file closed.
    bool write(const std::string& message) const;

private:
    std::string path_;
    Clock clock_;
    int retry_ms_;
};
