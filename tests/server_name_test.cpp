#include <gtest/gtest.h>

#include "shell/server_name.h"

namespace {

std::optional<std::string> named(const std::string& argument) { return watched_server_of({argument}); }

}  // namespace

TEST(WatchedServer, NoArgumentIsTheLocalComputerUnderTodaysGuard) {
    auto server = watched_server_of({});
    ASSERT_TRUE(server);
    EXPECT_EQ(*server, "");
    EXPECT_EQ(instance_name_of(*server), "Filvane");
}

TEST(WatchedServer, EverySpellingOfOneServerGivesOneNameAndOneGuard) {
    EXPECT_EQ(named("\\\\FileSrv"), "FILESRV");
    EXPECT_EQ(named("filesrv"), "FILESRV");
    EXPECT_EQ(named("fs-01.corp.example"), "FS-01.CORP.EXAMPLE");
    EXPECT_EQ(named("my_server"), "MY_SERVER");
    EXPECT_EQ(instance_name_of(*named("filesrv")), instance_name_of(*named("\\\\FILESRV")));
    EXPECT_NE(instance_name_of("FILESRV"), instance_name_of("")) << "another server runs beside the local one";
    EXPECT_EQ(unc_name_of("FILESRV"), "\\\\FILESRV");
}

TEST(WatchedServer, AddressesMustBeWholeDottedQuads) {
    EXPECT_EQ(named("192.168.1.10"), "192.168.1.10");
    EXPECT_EQ(named("\\\\10.0.0.255"), "10.0.0.255");
    EXPECT_EQ(named("0.0.0.0"), "0.0.0.0");
    EXPECT_FALSE(named("192.168.1"));
    EXPECT_FALSE(named("192.168.1.256"));
    EXPECT_FALSE(named("192.168.1.10.5"));
    EXPECT_FALSE(named("192.168..10"));
    EXPECT_FALSE(named("010.0.0.1")) << "a leading zero reads as octal to some resolvers";
    EXPECT_FALSE(named("1234")) << "bare digits would be taken as an address";
    EXPECT_FALSE(named("1.2.3.1000"));
}

TEST(WatchedServer, RefusesWhatIsNoServerNameOrNoFolderName) {
    for (const char* bad : {"",         "\\\\",           "\\FILESRV", "\\\\\\FILESRV", "\\\\FILESRV\\share",
                            "FILE SRV", "files/srv",      "..",        "a..b",          "srv.",
                            ".srv",     "-srv",           "srv-",      "a:b",           "srv*",
                            "\"srv\"",  "服务器",         "CON",       "nul",           "com1",
                            "LPT9",     "con.example.com"})
        EXPECT_FALSE(named(bad)) << bad;
    EXPECT_EQ(named("COM10"), "COM10") << "only COM1 to COM9 are devices";
    EXPECT_EQ(named("CONSOLE"), "CONSOLE");
    EXPECT_FALSE(watched_server_of({"A", "B"})) << "one server per window";
}

TEST(WatchedServer, LengthLimitsOfLabelsAndNames) {
    EXPECT_TRUE(named(std::string(63, 'a')));
    EXPECT_FALSE(named(std::string(64, 'a')));
    std::string longest =
        std::string(63, 'a') + "." + std::string(63, 'b') + "." + std::string(63, 'c') + "." + std::string(61, 'd');
    ASSERT_EQ(longest.size(), 253u);
    EXPECT_TRUE(named(longest));
    EXPECT_FALSE(named(longest + "d"));
}
