#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/monitor_settings.h"
#include "shell/server_address.h"

TEST(ShareRefreshPeriod, TensOfSecondsAndNeverZero) {
    EXPECT_EQ(share_refresh_period_ms("1"), 10000u);
    EXPECT_EQ(share_refresh_period_ms("6"), 60000u);
    EXPECT_EQ(share_refresh_period_ms("3"), 30000u);
    EXPECT_EQ(share_refresh_period_ms("0"), 10000u);
    EXPECT_EQ(share_refresh_period_ms("-4"), 10000u);
    EXPECT_EQ(share_refresh_period_ms("x"), 10000u);
    EXPECT_EQ(share_refresh_period_ms(""), 10000u);
}

TEST(MonitorSettingsDefaults, AreThoseOfAFreshInstall) {
    MonitorSettings s;
    EXPECT_EQ(s.start_log, "0");
    EXPECT_EQ(s.save_session, "0");
    EXPECT_EQ(s.share_time, "1");
    EXPECT_EQ(s.dirs, "");
}

TEST(ServerAddress, DefaultAndOverride) {
    unsetenv("FILVANE_SERVER");
    EXPECT_EQ(home_page_address(), "http://www.quindarsoft.com/");
    EXPECT_EQ(version_file_address(), "http://www.quindarsoft.com/version/filvane.txt");
    setenv("FILVANE_SERVER", "http://127.0.0.1:8123/", 1);
    EXPECT_EQ(version_file_address(), "http://127.0.0.1:8123/version/filvane.txt");
    EXPECT_EQ(home_page_address(), "http://127.0.0.1:8123/");
    unsetenv("FILVANE_SERVER");
}
