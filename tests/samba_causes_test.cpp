// What the status line and the error log say for each way the Samba side
// can fail: every cause its own text and code, tools and files told apart.
#include <gtest/gtest.h>

#include <set>

#include "monitor/failure_messages.h"
#include "netmgmt/net_management.h"

namespace {

const std::uint32_t kAccountFileCauses[] = {
    netmgmt::kNotAuthenticated, netmgmt::kInvalidOwner, netmgmt::kExposedFile, netmgmt::kSymbolicLink,
    netmgmt::kNotRegularFile,   netmgmt::kFileTooLarge, netmgmt::kHandleEof,   netmgmt::kBadFormat,
};

}  // namespace

TEST(SambaCauses, AMissingConfigurationIsNotAMissingTool) {
    EXPECT_EQ(failure_cause(netmgmt::kPathNotFound), "找不到Samba的配置文件smb.conf(3)");
    EXPECT_EQ(failure_cause(netmgmt::kFileNotFound), "找不到Samba的工具程序(2)");
    EXPECT_EQ(session_failure_message(netmgmt::kPathNotFound),
              "监控会话1出错!错误信息:ERROR_PATH_NOT_FOUND(找不到Samba的配置文件smb.conf)");
}

TEST(SambaCauses, EveryRefusalOfTheAccountFileIsNamed) {
    EXPECT_EQ(failure_cause(netmgmt::kExposedFile), "Samba管理员账户文件的权限不是600(1338)");
    EXPECT_EQ(failure_cause(netmgmt::kInvalidOwner), "Samba管理员账户文件的所有者不是root(1307)");
    EXPECT_EQ(open_file_failure_message(netmgmt::kSymbolicLink),
              "监控打开文件2出错!错误信息:ERROR_CANT_RESOLVE_FILENAME(Samba管理员账户文件是符号链接)");
    std::set<std::string> texts, names;
    for (std::uint32_t code : kAccountFileCauses) {
        const std::string cause = failure_cause(code);
        EXPECT_NE(cause.find("(" + std::to_string(code) + ")"), std::string::npos) << cause;
        EXPECT_TRUE(texts.insert(cause.substr(0, cause.find('('))).second) << "same text twice: " << cause;
        const std::string line = open_file_failure_message(code);
        EXPECT_EQ(line.find("未知"), std::string::npos) << "the error log names it: " << line;
        EXPECT_TRUE(names.insert(line).second) << line;
    }
}
