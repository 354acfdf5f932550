#include <gtest/gtest.h>

#include <set>

#include "monitor/failure_messages.h"
#include "monitor/folder_filter.h"
#include "monitor/monitor_settings.h"
#include "monitor/open_id.h"
#include "monitor/open_mode.h"
#include "monitor/status_line.h"
#include "support/monitor_texts.h"

namespace {

// The filter as a pass applies it to the stored Dirs text.
bool passes(const std::string& path, const std::string& dirs) { return passes_folder_filter(path, split_dirs(dirs)); }

}  // namespace

TEST(OpenMode, MatchesTheWholeHexTextOnly) {
    EXPECT_EQ(open_mode_text(0x1), "读取");
    EXPECT_EQ(open_mode_text(0x21), "读取");
    EXPECT_EQ(open_mode_text(0x32), "写入");
    EXPECT_EQ(open_mode_text(0x23), "写入+读取");
    EXPECT_EQ(open_mode_text(0x9), "打开");
    EXPECT_EQ(open_mode_text(0x8), "拒绝访问");
    EXPECT_EQ(open_mode_text(0x10), "删除");
    EXPECT_EQ(open_mode_text(0x20), "删除");
    EXPECT_EQ(open_mode_text(0x3), "3 未知打开模式");
    EXPECT_EQ(open_mode_text(0x2), "2 未知打开模式");
    EXPECT_EQ(open_mode_text(0xAB), "AB 未知打开模式");  // upper case, no leading zeros
    EXPECT_EQ(open_mode_text(0), "0 未知打开模式");
}

TEST(FolderFilter, ContainsNotBeginsWith) {
    EXPECT_TRUE(passes("D:\\a\\x.txt", "D:\\a|"));
    EXPECT_TRUE(passes("D:\\ab\\y.txt", "D:\\a|"));
    EXPECT_TRUE(passes("C:\\copy of D:\\a\\z.txt", "D:\\a|"));
    EXPECT_FALSE(passes("E:\\a\\x.txt", "D:\\a|"));
    EXPECT_FALSE(passes("d:\\a\\x.txt", "D:\\a|"));  // case-sensitive
}

TEST(FolderFilter, OnlyFoldersClosedByABarCount) {
    EXPECT_TRUE(passes("anything", ""));
    EXPECT_TRUE(passes("anything", "D:\\a"));  // no bar: all pass
    // Text after the last bar is no folder: it neither passes nor opens the filter.
    EXPECT_FALSE(passes("E:\\x", "D:\\a|E:\\x"));
    EXPECT_TRUE(passes("E:\\资料\\b", "D:\\共享|E:\\资料|"));
    EXPECT_TRUE(passes("Z:\\q", "D:\\a||"));  // an empty entry lets all through
}

TEST(FolderFilter, ABarInsideADoubleByteCharacterIsNoSeparator) {
    std::string folder = "D:\\\x81\x7C";  // a character whose trail byte is '|'
    EXPECT_TRUE(passes(folder + "\\f", folder + "|"));
    EXPECT_FALSE(passes("D:\\\x81x", folder + "|"));
}

TEST(FailureMessages, NameTheResultCode) {
    EXPECT_EQ(session_failure_message(5), "监控会话1出错!错误信息:ERROR_ACCESS_DENIED");
    EXPECT_EQ(session_failure_message(124), "监控会话1出错!错误信息:ERROR_INVALID_LEVEL");
    EXPECT_EQ(session_failure_message(87), "监控会话1出错!错误信息:ERROR_INVALID_PARAMETER");
    EXPECT_EQ(session_failure_message(8), "监控会话1出错!错误信息:ERROR_NOT_ENOUGH_MEMORY");
    EXPECT_EQ(session_failure_message(2312), "监控会话1出错!错误信息:NERR_ClientNameNotFound");
    EXPECT_EQ(session_failure_message(2351), "监控会话1出错!错误信息:NERR_InvalidComputer");
    EXPECT_EQ(session_failure_message(2221), "监控会话1出错!错误信息:NERR_UserNotFound");
    EXPECT_EQ(session_failure_message(1234), "监控会话1出错!错误信息:未知");
    EXPECT_EQ(open_file_failure_message(5), "监控打开文件2出错!错误信息:ERROR_ACCESS_DENIED");
    EXPECT_EQ(open_file_failure_message(124), "监控打开文件2出错!错误信息:ERROR_INVALID_LEVEL");
    EXPECT_EQ(open_file_failure_message(8), "监控打开文件2出错!错误信息:ERROR_NOT_ENOUGH_MEMORY");
    EXPECT_EQ(open_file_failure_message(2123), "监控打开文件2出错!错误信息:NERR_BufTooSmall");
    EXPECT_EQ(open_file_failure_message(87), "监控打开文件2出错!错误信息:未知");
    EXPECT_EQ(share_call_failure_message(5), "监控共享文件夹1出错!错误代码:5");
    EXPECT_EQ(share_refresh_failure_message(4294967295u), "监控共享文件夹2出错!错误代码:4294967295");
}

TEST(FailureMessages, CausesBeyondTheCallsOwnCodesAreNamedAndExplained) {
    EXPECT_EQ(session_failure_message(2114), "监控会话1出错!错误信息:NERR_ServerNotStarted(文件共享服务没有运行)");
    EXPECT_EQ(open_file_failure_message(1244),
              "监控打开文件2出错!错误信息:ERROR_NOT_AUTHENTICATED(没有可用的Samba管理员账户,以root运行"
              "filvane-samba-account setup可建立)");
    EXPECT_EQ(open_file_failure_message(50), "监控打开文件2出错!错误信息:ERROR_NOT_SUPPORTED(系统不支持网络管理调用)");
    EXPECT_EQ(share_call_failure_message(1460), "监控共享文件夹1出错!错误代码:1460(读取超时)");
    // Every cause the user reads carries its code; the causes differ.
    std::set<std::string> seen;
    for (std::uint32_t code : {2u, 5u, 8u, 13u, 50u, 53u, 1244u, 1326u, 1460u, 2114u}) {
        const std::string cause = failure_cause(code);
        EXPECT_NE(cause.find("(" + std::to_string(code) + ")"), std::string::npos) << cause;
        EXPECT_TRUE(seen.insert(cause.substr(0, cause.find('('))).second) << cause;
    }
    EXPECT_EQ(failure_cause(4321), "错误代码4321");
}

TEST(OpenId, HighIdentifiersShowNegativeAndParseBack) {
    EXPECT_EQ(open_id_text(7), "7");
    EXPECT_EQ(open_id_text(0x80000000u), "-2147483648");
    EXPECT_EQ(open_id_text(0xFFFFFFFFu), "-1");
    for (std::uint32_t id : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu})
        EXPECT_EQ(parse_open_id(open_id_text(id)), id);
    EXPECT_EQ(parse_open_id(""), 0u);
    EXPECT_EQ(parse_open_id("12abc"), 12u);
    EXPECT_EQ(parse_open_id("+5"), 5u);
}

TEST(StatusLine, ShowsTheFirstFailureUntilEveryListReadsAgain) {
    StatusLine line{test_status_texts()};
    const LocalTime t1{2026, 12, 8, 9, 5, 7}, t2{2026, 12, 8, 9, 5, 8};
    EXPECT_FALSE(line.report(StatusSource::Shares, 0, t1)) << "all well: the line stays empty";
    EXPECT_TRUE(line.report(StatusSource::Sessions, 2114, t1));
    EXPECT_EQ(line.text(), "09:05:07 读取会话列表失败:文件共享服务没有运行(2114)");
    EXPECT_FALSE(line.report(StatusSource::Sessions, 2114, t2)) << "a lasting failure keeps its first time";
    EXPECT_FALSE(line.report(StatusSource::OpenFiles, 2114, t2)) << "the first failure stays in view";
    EXPECT_TRUE(line.report(StatusSource::Sessions, 0, t2));
    EXPECT_EQ(line.text(), "09:05:08 读取打开文件列表失败:文件共享服务没有运行(2114)");
    EXPECT_TRUE(line.report(StatusSource::OpenFiles, 1244, t2)) << "another cause is news";
    EXPECT_NE(line.text().find("1244"), std::string::npos);
    EXPECT_TRUE(line.report(StatusSource::OpenFiles, 0, t2));
    EXPECT_EQ(line.text(), "");
}

TEST(StatusLine, SaysHowOldTheListsAreOnceNoPassFoundThemCurrent) {
    StatusLine line{test_status_texts()};
    const LocalTime t{2026, 12, 8, 9, 5, 7};
    const std::int64_t stale = stale_after_ms(1000);
    line.lists_current_at(10'000);
    EXPECT_FALSE(line.report_age(12'000, stale)) << "two seconds is what a pass a second may take";
    EXPECT_TRUE(line.report_age(12'001, stale));
    EXPECT_EQ(line.text(), "服务器应答慢,列表已2秒未更新");
    EXPECT_FALSE(line.report_age(12'900, stale)) << "whole seconds only";
    EXPECT_TRUE(line.report_age(15'500, stale));
    EXPECT_EQ(line.text(), "服务器应答慢,列表已5秒未更新");

    line.lists_current_at(9'000);  // a slow listing's start, before the stamp kept
    EXPECT_FALSE(line.report_age(15'500, stale)) << "an older stamp does not go back";
    line.lists_current_at(15'000);  // a prompt pass
    EXPECT_TRUE(line.report_age(15'500, stale));
    EXPECT_EQ(line.text(), "");

    // A failed list is emptied: its failure is told, not an age.
    EXPECT_TRUE(line.report(StatusSource::OpenFiles, 2114, t));
    EXPECT_FALSE(line.report_age(30'000, stale)) << "the failure's line stands";
    EXPECT_EQ(line.text(), "09:05:07 读取打开文件列表失败:文件共享服务没有运行(2114)");
    EXPECT_TRUE(line.report(StatusSource::OpenFiles, 0, t)) << "read again, yet not found current";
    EXPECT_EQ(line.text(), "服务器应答慢,列表已15秒未更新");

    // Other news stays in view beside the age.
    EXPECT_TRUE(line.report(StatusSource::DayFile, 5, t));
    const std::string failed_day_file = "09:05:07 写入日志文件失败:";
    const std::string aged = "  服务器应答慢,列表已15秒未更新";
    EXPECT_EQ(line.text().compare(0, failed_day_file.size(), failed_day_file), 0) << line.text();
    EXPECT_GT(line.text().size(), aged.size());
    EXPECT_EQ(line.text().substr(line.text().size() - aged.size()), aged);
    EXPECT_TRUE(line.report(StatusSource::DayFile, 0, t));
    line.report_unwritten(3, t);
    line.lists_current_at(30'000);
    EXPECT_TRUE(line.report_age(30'100, stale));
    EXPECT_EQ(line.text(), "09:05:07 日志文件已恢复写入,期间有3条记录未能写入");
}
