// The monitor's settings in the form the program uses them. The registry
// holds them as short texts; those are turned into this form once, where the
// registry is read, and back into texts only where Apply writes them. The
// user interface thread changes them; the monitoring thread takes a copy per
// pass.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct MonitorSettings {
    bool start_log = false;            // activity logging on
    bool save_session = false;         // sessions go into the log
    bool save_file = false;            // open files go into the log too
    long share_time = 1;               // share refresh interval, tens of seconds
    std::vector<std::string> folders;  // monitored folders; none lets every path through
};

// The values as the registry stores them. A value missing from the registry
// keeps its default.
struct StoredSettings {
    std::string start_log = "0";
    std::string save_session = "0";
    std::string share_time = "1";
    std::string dirs;
    std::string save_file = "0";
};

// A switch is on for any stored text but "0", as the monitoring thread has
// always read it; ShareTime is read as a decimal number; Dirs as its folders.
MonitorSettings settings_from_stored(const StoredSettings& stored);

// The text Apply stores for a switch.
const char* stored_switch(bool on);

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

// The folders of a Dirs text: each entry is the text before a "|"; text after
// the last "|" is dropped. "|" is searched on character boundaries only.
std::vector<std::string> split_dirs(const std::string& dirs);

// Timer 1's period for a ShareTime in tens of seconds; a value that is not a
// positive number of a sane size gives 10 seconds, so the timer never runs
// with a zero period.
unsigned share_refresh_period_ms(long share_time);
