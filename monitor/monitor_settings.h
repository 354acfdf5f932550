// The monitor's settings, held as the short texts they are stored as. The user
// interface thread changes them; the monitoring thread takes a copy per pass.
#pragma once

#include <functional>
#include <mutex>
#include <string>

struct MonitorSettings {
    std::string start_log = "0";     // "1": activity logging on
    std::string save_session = "0";  // "1": sessions go into the log
    std::string share_time = "1";    // share refresh interval, tens of seconds
    std::string dirs;                // monitored folders, each closed by "|"
    std::string save_file = "0";     // "1": open files go into the log too
};

class SettingsStore {
public:
    MonitorSettings snapshot() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return values_;
    }
    void update(const std::function<void(MonitorSettings&)>& change) {
        std::lock_guard<std::mutex> lock(mutex_);
        change(values_);
    }

private:
    mutable std::mutex mutex_;
    MonitorSettings values_;
};

// The one store of the process.
SettingsStore& monitor_settings();

// Timer 1's period for a ShareTime text: tens of seconds read as a decimal
// number; a value that is not a positive number gives 10 seconds, so the
// timer never runs with a zero period.
unsigned share_refresh_period_ms(const std::string& share_time);
