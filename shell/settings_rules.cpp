#include "shell/settings_rules.h"

#include <cstdlib>

#include "common/gbk_text.h"
#include "monitor/monitor_settings.h"

std::vector<std::string> split_dirs(const std::string& dirs) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    for (std::size_t bar = gbk::find(dirs, "|"); bar != std::string::npos; bar = gbk::find(dirs, "|", start)) {
        folders.push_back(dirs.substr(start, bar - start));
        start = bar + 1;
    }
    return folders;
}

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

int interval_index(const std::string& share_time) {
    long tens = std::strtol(share_time.c_str(), nullptr, 10);
    return tens >= 1 && tens <= 6 ? static_cast<int>(tens - 1) : -1;
}

std::string share_time_from_item(const std::string& item) { return item.empty() ? "1" : item.substr(0, 1); }

unsigned rearm_period_ms(const std::string& before, const std::string& after) {
    return before == after ? 0 : share_refresh_period_ms(after);
}
