#include "monitor/error_log.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "common/exclusive_file.h"
#include "monitor/log_text.h"

std::string error_log_line(const LocalTime& t, const std::string& message) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "【%d年%d月%d日 %d:%d:%d】", t.year, t.month, t.day, t.hour, t.minute, t.second);
    // Messages carry server values: a line break in one must not start a line.
    return stamp + escape_controls(message) + "\r\n";
}

ErrorLog::ErrorLog(std::string path, Clock clock, int retry_ms)
    : path_(std::move(path)), clock_(std::move(clock)), retry_ms_(retry_ms) {}

bool ErrorLog::write(const std::string& message) const {
    static std::mutex writers;
    std::lock_guard<std::mutex> turn(writers);
    std::string line = error_log_line(clock_(), message);
    auto file = ExclusiveFile::open_waiting(path_,
                                            ExclusiveFile::exists(path_) ? ExclusiveFile::Disposition::OpenExisting
                                                                         : ExclusiveFile::Disposition::CreateAlways,
                                            retry_ms_);
    if (!file || !file->seek_to_end())
        return false;
    // A write cut short (disk full) is a failure the caller must hear of.
    return file->write(line);
}
