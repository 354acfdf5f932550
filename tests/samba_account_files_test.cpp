// The account files on a real file system: the first existing file is the
// one read, a refused one is never passed over, and a remembered account is
// written mode 600 in a folder closed to others and read back.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_account_files_linux.h"
#include "support/files.h"

using namespace netmgmt::samba;

namespace {

struct AccountFiles : ::testing::Test {
    std::string root;

    void SetUp() override {
        char name[] = "/tmp/filvane-accounts-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root = name;
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + root + "'").c_str()), 0); }

    std::string file(const std::string& name, const std::string& text, mode_t mode) {
        const std::string path = root + "/" + name;
        write_file(path, text);
        chmod(path.c_str(), mode);
        return path;
    }
    static mode_t mode_of(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
};

}  // namespace

TEST_F(AccountFiles, TheFirstExistingFileIsReadAndARefusedOneIsNotPassedOver) {
    const std::string missing = root + "/missing.conf";
    const std::string in_no_folder = root + "/missing/server.conf";
    const std::string good = file("good.conf", "username=admin\npassword=pw\n", 0600);
    Credentials c;
    EXPECT_EQ(read_first_account({missing, in_no_folder, good}, c), netmgmt::kSuccess);
    EXPECT_EQ(c.user, "admin");
    EXPECT_EQ(read_first_account({missing, in_no_folder}, c), netmgmt::kNotAuthenticated);

    const std::string open = file("open.conf", "username=other\npassword=pw\n", 0644);
    EXPECT_EQ(read_first_account({missing, open, good}, c), netmgmt::kExposedFile)
        << "an exposed file is reported, not skipped for the next";
    const std::string link = root + "/link.conf";
    ASSERT_EQ(symlink(good.c_str(), link.c_str()), 0);
    EXPECT_EQ(read_first_account({link, good}, c), netmgmt::kSymbolicLink);
    const std::string half = file("half.conf", "username=admin\n", 0600);
    EXPECT_EQ(read_first_account({half, good}, c), netmgmt::kBadFormat);
    const std::string large = file("large.conf", std::string(kMaxAccountFileSize + 1, '#'), 0600);
    EXPECT_EQ(read_first_account({large}, c), netmgmt::kFileTooLarge);
    EXPECT_EQ(read_first_account({root}, c), netmgmt::kNotRegularFile);
}

TEST_F(AccountFiles, ARememberedAccountIsWrittenPrivatelyAndReadBack) {
    const std::string folder = root + "/config/filvane/servers";
    ASSERT_EQ(write_account_file(folder, "filesrv.conf", {"管理员", "s3cr=t "}), netmgmt::kSuccess);
    EXPECT_EQ(mode_of(folder + "/filesrv.conf"), 0600u);
    for (const std::string& made : {root + "/config", root + "/config/filvane", folder})
        EXPECT_EQ(mode_of(made), 0700u) << made;
    Credentials c;
    ASSERT_EQ(read_account_file(folder + "/filesrv.conf", c), netmgmt::kSuccess);
    EXPECT_EQ(c.user, "管理员");
    EXPECT_EQ(c.password, "s3cr=t ");

    // Replaced whole, with no temporary file left beside it.
    ASSERT_EQ(write_account_file(folder, "filesrv.conf", {"other", "pw2"}), netmgmt::kSuccess);
    ASSERT_EQ(read_account_file(folder + "/filesrv.conf", c), netmgmt::kSuccess);
    EXPECT_EQ(c.user, "other");
    EXPECT_EQ(read_file(folder + "/filesrv.conf"), "username=other\npassword=pw2\n");
    ASSERT_EQ(std::system(("test \"$(ls -A '" + folder + "')\" = filesrv.conf").c_str()), 0);

    // An existing folder open to others is closed first.
    chmod(folder.c_str(), 0755);
    ASSERT_EQ(write_account_file(folder, "b.conf", {"b", "pw"}), netmgmt::kSuccess);
    EXPECT_EQ(mode_of(folder), 0700u);
}

TEST_F(AccountFiles, WhatCannotBeStoredSafelyIsRefused) {
    EXPECT_EQ(write_account_file(root + "/a", "x.conf", {"ad:min", "pw"}), netmgmt::kInvalidParameter);
    EXPECT_EQ(write_account_file(root + "/a", "x.conf", {"admin", "pw\nmore"}), netmgmt::kInvalidParameter);
    EXPECT_EQ(write_account_file(root + "/a", "../x.conf", {"admin", "pw"}), netmgmt::kPathNotFound);
    EXPECT_EQ(write_account_file("relative", "x.conf", {"admin", "pw"}), netmgmt::kPathNotFound);
    // A folder that is a link may lead anywhere.
    ASSERT_EQ(mkdir((root + "/real").c_str(), 0700), 0);
    ASSERT_EQ(symlink((root + "/real").c_str(), (root + "/linked").c_str()), 0);
    EXPECT_EQ(write_account_file(root + "/linked", "x.conf", {"admin", "pw"}), netmgmt::kSymbolicLink);
    EXPECT_EQ(access((root + "/real/x.conf").c_str(), F_OK), -1);
    // A file where the folder should be.
    file("plain", "", 0600);
    EXPECT_NE(write_account_file(root + "/plain", "x.conf", {"admin", "pw"}), netmgmt::kSuccess);
    EXPECT_NE(write_account_file(root + "/plain/sub", "x.conf", {"admin", "pw"}), netmgmt::kSuccess);
}
