// The administrator's credentials file: its lines, which modes expose it, and
// why a file is refused.
#include <gtest/gtest.h>

#include "netmgmt/net_management.h"
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

TEST(SambaCredentials, EachRefusalOfTheFileHasItsOwnCause) {
    const unsigned me = 1000;
    AccountFileFacts good;
    good.size = 40;
    EXPECT_EQ(account_file_refusal(good, me), netmgmt::kSuccess) << "root's, mode 600";
    good.owner = me;
    EXPECT_EQ(account_file_refusal(good, me), netmgmt::kSuccess) << "the running user's own file";

    AccountFileFacts f = good;
    f.owner = 65534;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kInvalidOwner) << "nobody's file, mode 600";
    f = good;
    f.mode = 0644;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kExposedFile);
    f = good;
    f.symbolic_link = true;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kSymbolicLink);
    f = good;
    f.regular = false;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kNotRegularFile);
    f = good;
    f.size = kMaxAccountFileSize;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kSuccess) << "the limit itself is allowed";
    f.size = kMaxAccountFileSize + 1;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kFileTooLarge);
    f = good;
    f.size = 0;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kHandleEof);

    // A link is named as such whatever it points to: its target's facts
    // are not the file's.
    f = good;
    f.symbolic_link = true;
    f.owner = 65534;
    f.mode = 0777;
    EXPECT_EQ(account_file_refusal(f, me), netmgmt::kSymbolicLink);
}

TEST(SambaCredentials, AFileWithoutItsLinesIsAFormatFault) {
    Credentials c;
    EXPECT_EQ(read_account("username=root\n", c), netmgmt::kBadFormat);
    EXPECT_EQ(read_account("# nothing but a comment\n", c), netmgmt::kBadFormat);
    EXPECT_EQ(read_account("username=root\npassword=pw\n", c), netmgmt::kSuccess);
    EXPECT_EQ(c.user, "root");
    EXPECT_EQ(c.password, "pw");
}
