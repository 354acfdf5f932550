#include "shell/settings_rules.h"

#include <cstdlib>

#include "monitor/monitor_settings.h"

std::optional<std::string> join_dirs(const std::vector<std::string>& folders) {
    std::string joined;
    for (const std::string& folder : folders) {
        joined += folder;
        joined += '|';
        if (joined.size() > kStoredTextLimit)
            return std::nullopt;
    }
    return joined;
}

int interval_index(long share_time) {
    return share_time >= 1 && share_time <= 6 ? static_cast<int>(share_time - 1) : -1;
}

long share_time_from_item(const std::string& item) {
    return item.empty() ? 1 : std::strtol(item.substr(0, 1).c_str(), nullptr, 10);
}

unsigned rearm_period_ms(long before, long after) { return before == after ? 0 : share_refresh_period_ms(after); }
