#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "common/exclusive_file.h"
#include "monitor/activity_recorder.h"
#include "monitor/status_line.h"
#include "support/files.h"
#include "support/monitor_texts.h"

TEST(RepeatedFailure, FirstLineThenOneAMinuteWithTheCountThenOneWhenItClears) {
    RepeatedFailure repeats;
    EXPECT_EQ(repeats.cleared(), "") << "nothing failed, nothing to clear";
    EXPECT_EQ(repeats.failed("down", 100), "down");
    for (std::int64_t t = 101; t < 160; ++t)
        EXPECT_EQ(repeats.failed("down", t), "") << t;
    EXPECT_EQ(repeats.failed("down", 160), "down(此错误仍在持续,1分钟内又出现60次)");
    EXPECT_EQ(repeats.failed("down", 161), "");
    EXPECT_EQ(repeats.failed("other cause", 162), "other cause") << "a new failure gets its first line at once";
    EXPECT_EQ(repeats.failed("other cause", 163), "");
    EXPECT_EQ(repeats.cleared(), "已恢复正常:other cause(共出现2次)");
    EXPECT_EQ(repeats.cleared(), "");
    EXPECT_EQ(repeats.failed("down", 164), "down") << "the same failure after a clear starts afresh";
}

namespace {

struct Recorder : ::testing::Test {
    std::string dir =
        ::testing::TempDir() + "recorder_test_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    LocalTime time{2011, 3, 5, 9, 7, 3};
    std::int64_t now = 0;
    ActivityLog log{[this] { return time; }, dir, 0};
    std::vector<std::string> logged, shown;
    ActivityRecorder recorder{
        log,
        {[this](const std::string& line) {
             logged.push_back(line);
             return true;
         },
         [this](const std::string& text) { shown.push_back(text); }, [this] { return now; }, test_box_texts()}};
    int made = 0;
    std::function<EntryContent()> content = [this] {
        ++made;
        return EntryContent{true, false, {{"u" + std::to_string(made), "PC", "0", "1秒", "1秒"}}, {}};
    };
    void SetUp() override { std::system(("rm -rf " + dir).c_str()); }
    std::string day() const { return read_file(dir + activity_file_name(time)); }
};

}  // namespace

TEST_F(Recorder, MonitoringGoesOnThroughAFailureAndTheLatestStateLandsWhenItEnds) {
    recorder.record(true, content);
    EXPECT_EQ(shown, std::vector<std::string>{"创建日志文件失败"});
    EXPECT_NE(recorder.failure(), 0u);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].rfind("创建日志文件失败原因:", 0), 0u) << logged[0];

    for (int pass = 0; pass < 5; ++pass, ++now)
        recorder.record(pass % 2 == 0, content);
    EXPECT_EQ(shown.size(), 1u) << "one box per failure, not one per pass";
    EXPECT_EQ(logged.size(), 1u);
    EXPECT_FALSE(recorder.take_unwritten());

    ::mkdir(dir.c_str(), 0755);
    recorder.record(false, content);
    EXPECT_EQ(recorder.failure(), 0u);
    EXPECT_EQ(recorder.take_unwritten(), 3) << "three changes went by unwritten; the latest state is written now";
    EXPECT_FALSE(recorder.take_unwritten()) << "told once";
    EXPECT_NE(day().find("用户:u7"), std::string::npos) << "the state of the pass that wrote";
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[1].rfind("已恢复正常:创建日志文件失败", 0), 0u) << logged[1];

    const int before = made;
    recorder.record(false, content);
    EXPECT_EQ(made, before) << "nothing pending, nothing changed: no entry";
}

TEST(StatusLine, NamesADayFileFailureAndSinceWhenThenTheEntriesLost) {
    StatusLine line{test_status_texts()};
    EXPECT_TRUE(line.report(StatusSource::DayFile, file_failure::kDiskFull, {2026, 12, 8, 12, 35, 19}));
    EXPECT_EQ(line.text(), "12:35:19 写入日志文件失败:磁盘空间不足(112)");
    EXPECT_FALSE(line.report(StatusSource::DayFile, file_failure::kDiskFull, {2026, 12, 8, 12, 35, 20}));
    EXPECT_TRUE(line.report(StatusSource::DayFile, 0, {2026, 12, 8, 12, 36, 0}));
    EXPECT_TRUE(line.report_unwritten(41, {2026, 12, 8, 12, 36, 0}));
    EXPECT_EQ(line.text(), "12:36:00 日志文件已恢复写入,期间有41条记录未能写入");
    EXPECT_TRUE(line.report(StatusSource::Sessions, 2114, {2026, 12, 8, 12, 37, 0}));
    EXPECT_EQ(line.text().find("读取会话列表失败"), 9u) << "a failure goes before the note";
    EXPECT_TRUE(line.report(StatusSource::Sessions, 0, {2026, 12, 8, 12, 37, 1}));
    EXPECT_EQ(line.text(), "12:36:00 日志文件已恢复写入,期间有41条记录未能写入");
}
