// The administrator's credentials file: its lines, and which modes expose it.
#include <gtest/gtest.h>

#include "netmgmt/samba_credentials.h"

using namespace netmgmt::samba;

TEST(SambaCredentials, ReadsUserAndPasswordLines) {
    auto c = parse_credentials("# admin for closing opens\nusername=root\npassword=s3cr=t \n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->user, "root");
    EXPECT_EQ(c->password, "s3cr=t ") << "a password may hold '=' and end in a blank";

    c = parse_credentials("\r\n  username = admin\r\n\tpassword =\tpw\r\ndomain = WG\r\n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->user, "admin");
    EXPECT_EQ(c->password, "pw");

    c = parse_credentials("username=a\npassword=\n");
    ASSERT_TRUE(c) << "an empty password is a password";
    EXPECT_EQ(c->password, "");
}

TEST(SambaCredentials, RefusesIncompleteFiles) {
    EXPECT_FALSE(parse_credentials(""));
    EXPECT_FALSE(parse_credentials("username=root\n"));
    EXPECT_FALSE(parse_credentials("password=pw\n"));
    EXPECT_FALSE(parse_credentials("username=\npassword=pw\n"));
    EXPECT_FALSE(parse_credentials("#username=root\npassword=pw\n"));
    EXPECT_FALSE(parse_credentials("user=root\npassword=pw\n"));
}

TEST(SambaCredentials, OnlyOwnerOnlyModesAreSafe) {
    EXPECT_FALSE(exposed(0100600));
    EXPECT_FALSE(exposed(0100400));
    EXPECT_TRUE(exposed(0100640));
    EXPECT_TRUE(exposed(0100604));
    EXPECT_TRUE(exposed(0100620));
    EXPECT_TRUE(exposed(0100601));
}
