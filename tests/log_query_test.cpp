#include <gtest/gtest.h>

#include <fstream>

#include "common/exclusive_file.h"
#include "monitor/activity_log.h"
#include "query/log_query.h"
#include "query/text_to_time.h"

namespace {

struct DayLog : ::testing::Test {
    std::string path = ::testing::TempDir() + "log_query_test.dat";
    std::vector<long> progress;

    void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    QueryResult query(const std::string& from, const std::string& to, QueryConditions c = {}) {
        c.start = *text_to_time(from);
        c.end = *text_to_time(to);
        auto file = ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting);
        EXPECT_TRUE(file);
        progress.clear();
        long counted = -1;
        QueryResult r = run_log_query(
            *file, c, [&](long n) { counted = n; }, [this](long k) { progress.push_back(k); });
        EXPECT_EQ(counted, r.counter) << "the count is handed over before the walk";
        return r;
    }

    static std::string entry(const std::string& stamp, const std::string& content) {
        return "时间:" + stamp + "内容:" + content + "\r\n";
    }
};

const std::string kAlice = "第1条会话记录:用户:alice计算机:PC1打开文件数目:1连接时间:5秒空闲时间:0秒 ";
const std::string kBob = "第2条会话记录:用户:bob计算机:LAB-PC2打开文件数目:0连接时间:9秒空闲时间:9秒 ";

}  // namespace

TEST(TextToTime, AcceptsTheLogsFormOnly) {
    auto t = text_to_time("2011-3-5 9:7:3");
    ASSERT_TRUE(t);
    EXPECT_EQ(*text_to_time("2011-03-05 09:07:03"), *t);
    EXPECT_EQ(*text_to_time("2011-3-5 9:7:4") - *t, 1);
    EXPECT_EQ(*text_to_time("2012-2-29 0:0:0") - *text_to_time("2012-2-28 0:0:0"), 86400);
    for (const char* bad :
         {"", "2011-3-5", "2011-2-30 1:1:1", "2011-2-29 1:1:1", "2011-13-1 1:1:1", "2011-3-5 24:0:0", "2011-3-5 9:60:0",
          "2011-3-5 9:7:3x", "2011/3/5 9:7:3", "x2011-3-5 9:7:3", "2011-3-5  9:7:3", "2011-0-5 9:7:3"})
        EXPECT_FALSE(text_to_time(bad)) << bad;
}

TEST_F(DayLog, ListsTheWindowWithBothEndsIncluded) {
    write(activity_counter_line(4) + entry("2011-3-5 9:0:0", kAlice) + entry("2011-3-5 9:0:1", kBob) +
          entry("2011-3-5 10:0:0", kAlice) + entry("2011-3-5 10:0:1", kBob));
    QueryResult r = query("2011-3-5 9:0:1", "2011-3-5 10:0:0");
    EXPECT_EQ(r.counter, 4);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:1" + kBob + "\r\n" + "2011-3-5 10:0:0" + kAlice + "\r\n");
    EXPECT_EQ(progress, (std::vector<long>{1, 2, 3, 4}));

    r = query("2011-3-5 9:0:1", "2011-3-5 9:0:1");
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:1" + kBob + "\r\n") << "start equal to end";
}

TEST_F(DayLog, CollidingDatesAndEmptyEntriesAddNothing) {
    write(activity_counter_line(3) + entry("2011-11-1 9:0:0", kAlice) + entry("2011-1-11 9:0:0", "") +
          entry("2011-1-11 9:0:1", kBob));
    QueryResult r = query("2011-1-11 0:0:0", "2011-1-11 23:59:59");
    EXPECT_EQ(r.session_log, "2011-1-11 9:0:1" + kBob + "\r\n");
    EXPECT_EQ(progress.size(), 3u) << "every line advances the progress";
}

TEST_F(DayLog, CutsAtTheFirstMarkAndListsTheFilePart) {
    write(activity_counter_line(1) +
          entry("2011-3-5 9:0:0", kAlice + "〓第1条文件记录:文件:D:\\报告.doc访问者:alice打开模式:读取 "
                                           "第2条文件记录:文件:D:\\x.txt访问者:bob打开模式:写入 〓junk"));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + "\r\n");
    EXPECT_NE(r.file_log.find("D:\\报告.doc"), std::string::npos);

    QueryConditions only_report;
    only_report.file = "报告";
    r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", only_report);
    EXPECT_EQ(r.file_log, "2011-3-5 9:0:0第1条文件记录:文件:D:\\报告.doc访问者:alice打开模式:读取 \r\n");
}

TEST_F(DayLog, UserAndComputerConditionsKeepMatchingRecords) {
    write(activity_counter_line(2) + entry("2011-3-5 9:0:0", kAlice + kBob) + entry("2011-3-5 9:0:1", kAlice));
    QueryConditions c;
    c.user = "bob";
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", c);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kBob + "\r\n") << "an entry left without records adds nothing";
    c.user.clear();
    c.computer = "PC";
    r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", c);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + kBob + "\r\n" + "2011-3-5 9:0:1" + kAlice + "\r\n");
    c.user = "alice";
    c.computer = "LAB";
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0", c).session_log, "");
}

TEST_F(DayLog, CounterEdges) {
    write(activity_counter_line(70000) + entry("2011-3-5 9:0:0", kAlice));
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0").counter, 70000);
    write("garbage\r\n" + entry("2011-3-5 9:0:0", kAlice));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.counter, 0);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + "\r\n") << "the walk covers the file anyway";
    write("");
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0").counter, 0);
}

TEST_F(DayLog, ABadLineEndsTheWalkKeepingWhatCameBefore) {
    write(activity_counter_line(3) + entry("2011-3-5 9:0:0", kAlice) + "broken line\r\n" +
          entry("2011-3-5 9:0:2", kBob));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.bad_line, 3);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + "\r\n");
}

TEST_F(DayLog, ReadsWhatTheMonitorWrites) {
    std::string dir = ::testing::TempDir();
    LocalTime now{2011, 3, 5, 9, 7, 3};
    ActivityLog log([&] { return now; }, dir, 0);
    EntryContent content{true, true, {{"alice", "PC1", "1", "5秒", "0秒"}}, {{"D:\\a.txt", "alice", "读取"}}};
    std::remove((dir + activity_file_name(now)).c_str());
    log.append(content);
    now.second = 4;
    log.append(content);
    path = dir + activity_file_name(now);
    QueryResult r = query("2011-3-5 9:7:4", "2011-3-5 9:7:4");
    EXPECT_EQ(r.counter, 2);
    EXPECT_EQ(r.session_log, "2011-3-5 9:7:4" + kAlice.substr(0, kAlice.size()) + "\r\n");
    EXPECT_EQ(r.file_log, "2011-3-5 9:7:4第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n");
}

TEST(SavedLog, Bytes) {
    EXPECT_EQ(saved_log_bytes("", ""), "会话日志\r\n\r\n");
    EXPECT_EQ(saved_log_bytes("a\r\n", ""), "会话日志\r\na\r\n\r\n");
    EXPECT_EQ(saved_log_bytes("a\r\n", "f\r\n"), "会话日志\r\na\r\n\r\n打开文件日志\r\nf\r\n\r\n");
}
