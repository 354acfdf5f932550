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

TEST(SambaCredentials, AnAccountTheFileCannotHoldIsRefused) {
    EXPECT_EQ(account_refusal({"admin", "pw"}), netmgmt::kSuccess);
    EXPECT_EQ(account_refusal({"DOMAIN\\admin", ""}), netmgmt::kSuccess) << "an empty password is a password";
    EXPECT_EQ(account_refusal({"管理员", "密码 1"}), netmgmt::kSuccess);
    for (const Credentials& bad : {Credentials{"", "pw"}, Credentials{"ad:min", "pw"}, Credentials{"ad\nmin", "pw"},
                                   Credentials{"admin", "pw\npassword=other"}, Credentials{"admin", "pw\r"},
                                   Credentials{"admin", std::string("p\0w", 3)}, Credentials{"ad\tmin", "pw"}}) {
        SCOPED_TRACE(bad.user + "/" + bad.password);
        EXPECT_EQ(account_refusal(bad), netmgmt::kInvalidParameter);
        EXPECT_FALSE(account_file_text(bad));
    }
}

TEST(SambaCredentials, AStoredAccountReadsBackAsItWasGiven) {
    for (const Credentials& given : {Credentials{"admin", "s3cr=t "}, Credentials{"管理员", "#not a comment"},
                                     Credentials{"a", ""}, Credentials{"user=x", "password=y"}}) {
        SCOPED_TRACE(given.user + "/" + given.password);
        const auto text = account_file_text(given);
        ASSERT_TRUE(text);
        Credentials back;
        ASSERT_EQ(read_account(*text, back), netmgmt::kSuccess);
        EXPECT_EQ(back.user, given.user);
        EXPECT_EQ(back.password, given.password);
    }
    // The reader drops a value's leading blanks: such a password would come
    // back as another one.
    EXPECT_FALSE(account_file_text({"admin", " pw"}));
    EXPECT_FALSE(account_file_text({" admin", "pw"}));
}

TEST(SambaCredentials, AServerNameBecomesAFileNameInsideTheFolder) {
    EXPECT_EQ(server_account_file("FileSrv"), "filesrv.conf") << "host names ignore case";
    EXPECT_EQ(server_account_file("192.168.1.10"), "192.168.1.10.conf");
    EXPECT_EQ(server_account_file("srv-2.corp.example"), "srv-2.corp.example.conf");
    EXPECT_EQ(server_account_file("FILE_SRV"), "file_srv.conf");
    EXPECT_EQ(server_account_file(""), "localhost.conf") << "the computer itself";
    for (const char* bad : {"..", "../etc/passwd", "a/b", "a..b", ".hidden", "a\\b", "a b", "a\nb", "服务器", "a:b"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(server_account_file(bad));
    }
    EXPECT_FALSE(server_account_file(std::string(254, 'a')));
}

TEST(SambaCredentials, AccountsAreLookedForInOneOrder) {
    const std::vector<std::string> both = {"/home/li/.config/filvane/servers/filesrv.conf",
                                           "/etc/filvane/servers/filesrv.conf", "/etc/filvane/samba-admin.conf"};
    EXPECT_EQ(account_files("FILESRV", {"", "", "/home/li"}), both);
    EXPECT_EQ(account_files("FILESRV", {"", "/cfg", "/home/li"}),
              (std::vector<std::string>{"/cfg/filvane/servers/filesrv.conf", both[1], both[2]}));
    EXPECT_EQ(account_files("FILESRV", {"", "relative", "/home/li"}), both) << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_EQ(account_files("FILESRV", {"/run/account.conf", "/cfg", "/home/li"}),
              std::vector<std::string>{"/run/account.conf"})
        << "the variable names the one file";
    EXPECT_EQ(
        account_files("", {"", "", ""}), (std::vector<std::string>{"/etc/filvane/servers/localhost.conf", both[2]}))
        << "no home: nothing remembered";
    EXPECT_EQ(account_files("../x", {"", "", "/home/li"}), std::vector<std::string>{both[2]});
    EXPECT_EQ(remembered_accounts_folder({"", "", "/home/li"}), "/home/li/.config/filvane/servers");
    EXPECT_EQ(remembered_accounts_folder({"", "", ""}), "");
}
