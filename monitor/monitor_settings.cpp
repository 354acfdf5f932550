#include "monitor/monitor_settings.h"

#include <cstdlib>

SettingsStore& monitor_settings() {
    static SettingsStore store;
    return store;
}

unsigned share_refresh_period_ms(const std::string& share_time) {
    long tens = std::strtol(share_time.c_str(), nullptr, 10);
    if (tens <= 0 || tens > 400000)
        return 10000;
    return static_cast<unsigned>(tens) * 10000u;
}
