#include "monitor/monitor_settings.h"

#include <cstdlib>

#include "common/gbk_text.h"

MonitorSettings settings_from_stored(const StoredSettings& stored) {
    MonitorSettings settings;
    settings.start_log = stored.start_log != "0";
    settings.save_session = stored.save_session != "0";
    settings.save_file = stored.save_file != "0";
    settings.share_time = std::strtol(stored.share_time.c_str(), nullptr, 10);
    settings.folders = split_dirs(stored.dirs);
    return settings;
}

const char* stored_switch(bool on) { return on ? "1" : "0"; }

SettingsStore& monitor_settings() {
    static SettingsStore store;
    return store;
}

std::vector<std::string> split_dirs(const std::string& dirs) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    for (std::size_t bar = gbk::find(dirs, "|"); bar != std::string::npos; bar = gbk::find(dirs, "|", start)) {
        folders.push_back(dirs.substr(start, bar - start));
        start = bar + 1;
    }
    return folders;
}

unsigned share_refresh_period_ms(long share_time) {
    if (share_time <= 0 || share_time > 400000)
        return 10000;
    return static_cast<unsigned>(share_time) * 10000u;
}
