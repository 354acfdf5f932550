#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "monitor/monitor_settings.h"
#include "shell/server_address.h"
#include "shell/settings_rules.h"

namespace {

MonitorSettings read_share_time(const char* text) {
    StoredSettings stored;
    stored.share_time = text;
    return settings_from_stored(stored);
}

unsigned period_of(const char* stored_share_time) {
    return share_refresh_period_ms(read_share_time(stored_share_time).share_time);
}

}  // namespace

TEST(ShareRefreshPeriod, TensOfSecondsAndNeverZero) {
    EXPECT_EQ(period_of("1"), 10000u);
    EXPECT_EQ(period_of("6"), 60000u);
    EXPECT_EQ(period_of("3"), 30000u);
    EXPECT_EQ(period_of("0"), 10000u);
    EXPECT_EQ(period_of("-4"), 10000u);
    EXPECT_EQ(period_of("x"), 10000u);
    EXPECT_EQ(period_of(""), 10000u);
}

TEST(StoredSettings, MissingValuesGiveTheDefaultsOfAFreshInstall) {
    MonitorSettings s = settings_from_stored(StoredSettings{});
    EXPECT_FALSE(s.start_log);
    EXPECT_FALSE(s.save_session);
    EXPECT_FALSE(s.save_file);
    EXPECT_EQ(s.share_time, 1);
    EXPECT_TRUE(s.folders.empty());
}

// The switches are read one way everywhere: the dialog once showed a stored
// "2" as off while the monitoring thread logged.
TEST(StoredSettings, ASwitchIsOnForAnyTextButZero) {
    for (const char* text : {"1", "2", "", "yes"}) {
        StoredSettings stored;
        stored.start_log = stored.save_session = stored.save_file = text;
        MonitorSettings s = settings_from_stored(stored);
        EXPECT_TRUE(s.start_log && s.save_session && s.save_file) << '"' << text << '"';
    }
    EXPECT_STREQ(stored_switch(true), "1");
    EXPECT_STREQ(stored_switch(false), "0");
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

using Folders = std::vector<std::string>;

TEST(DirsText, SplitsAtEachBarAndDropsAnUnclosedTail) {
    EXPECT_EQ(split_dirs(""), Folders{});
    EXPECT_EQ(split_dirs("D:\\a"), Folders{}) << "no bar: no entry";
    EXPECT_EQ(split_dirs("D:\\a|D:\\b|"), (Folders{"D:\\a", "D:\\b"}));
    EXPECT_EQ(split_dirs("D:\\a|D:\\b"), Folders{"D:\\a"}) << "the last path lacks its bar";
    EXPECT_EQ(split_dirs("|x||"), (Folders{"", "x", ""}));
    EXPECT_EQ(split_dirs("D:\\a|D:\\a|"), (Folders{"D:\\a", "D:\\a"})) << "duplicates stay";
}

TEST(DirsText, BarAsTrailByteOfAChineseCharacterIsNoSeparator) {
    // GBK 0x81 0x7C is one character whose second byte is "|".
    const std::string folder = std::string("D:\\") + "\x81\x7C" + "x";
    EXPECT_EQ(split_dirs(folder + "|"), Folders{folder});
    EXPECT_EQ(split_dirs(folder), Folders{});
}

TEST(DirsText, JoinClosesEveryFolderAndRoundTrips) {
    EXPECT_EQ(join_dirs({}), std::optional<std::string>(""));
    Folders folders{"C:\\共享", "D:\\b", "D:\\b"};
    auto joined = join_dirs(folders);
    ASSERT_TRUE(joined);
    EXPECT_EQ(*joined, "C:\\共享|D:\\b|D:\\b|");
    EXPECT_EQ(split_dirs(*joined), folders);
}

TEST(DirsText, JoinRefusesMoreThanOneStoredValueHolds) {
    // 2047 bytes in all fit: one 2046-byte folder and its bar.
    Folders fits{std::string(2046, 'a')};
    ASSERT_TRUE(join_dirs(fits));
    EXPECT_EQ(join_dirs(fits)->size(), kStoredTextLimit);
    EXPECT_FALSE(join_dirs({std::string(2047, 'a')}));
    // Many short folders cross the limit only together.
    Folders many(204, std::string(9, 'f'));  // 204 * 10 = 2040 bytes
    ASSERT_TRUE(join_dirs(many));
    many.push_back("123456");  // 2047
    ASSERT_TRUE(join_dirs(many));
    many.push_back("");  // one more bar: 2048
    EXPECT_FALSE(join_dirs(many));
}

TEST(IntervalList, ShareTimeToIndexAndBack) {
    EXPECT_EQ(interval_index(read_share_time("1").share_time), 0);
    EXPECT_EQ(interval_index(read_share_time("3").share_time), 2);
    EXPECT_EQ(interval_index(read_share_time("6").share_time), 5);
    for (const char* outside : {"0", "7", "-1", "", "x", "10"})
        EXPECT_EQ(interval_index(read_share_time(outside).share_time), -1) << outside;
    EXPECT_EQ(share_time_from_item("10"), 1);
    EXPECT_EQ(share_time_from_item("60"), 6);
    EXPECT_EQ(share_time_from_item(""), 1) << "no selection stores the default";
    const char* items[] = {"10", "20", "30", "40", "50", "60"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(interval_index(share_time_from_item(items[i])), i);
}

TEST(TimerRule, ReArmsOnlyWhenShareTimeChanged) {
    EXPECT_EQ(rearm_period_ms(1, 1), 0u);
    EXPECT_EQ(rearm_period_ms(1, 3), 30000u);
    EXPECT_EQ(rearm_period_ms(6, 1), 10000u);
    EXPECT_EQ(rearm_period_ms(9, 1), 10000u) << "from an odd stored value to the default";
}
