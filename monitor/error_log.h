// The error log "vlerror.log": one time-stamped line per monitoring failure,
// only ever appended to.
#pragma once

#include <string>

#include "common/local_time.h"

std::string error_log_line(const LocalTime& time, const std::string& message);

class ErrorLog {
public:
    explicit ErrorLog(std::string path = "vlerror.log", Clock clock = current_local_time);
    // True when the whole line was appended and the file closed.
    bool write(const std::string& message) const;

private:
    std::string path_;
    Clock clock_;
};
