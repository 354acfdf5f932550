#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include "common/exclusive_file.h"
#include "monitor/activity_log.h"
#include "monitor/log_text.h"
#include "support/files.h"

namespace {

int count_lines(const std::string& text) {
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

struct DayFile : ::testing::Test {
    // One folder per test, so tests run side by side do not share files.
    std::string dir = ::testing::TempDir() + "activity_log_test_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    LocalTime time{2011, 3, 5, 9, 7, 3};
    ActivityLog log{[this] { return time; }, dir, 300};
    EntryContent sessions{true, false, {{"USER1", "PC1", "2", "35秒", "0秒"}, {"USER2", "PC2", "0", "8秒", "8秒"}}, {}};
    std::string path() const { return dir + activity_file_name(time); }
    void SetUp() override { std::system(("rm -rf " + dir + " && mkdir -p " + dir).c_str()); }
};

}  // namespace

TEST(ActivityFormat, FileNamesRunTheDigitsTogether) {
    EXPECT_EQ(activity_file_name({2011, 3, 5, 0, 0, 0}), "201135.dat");
    EXPECT_EQ(activity_file_name({2011, 12, 25, 0, 0, 0}), "20111225.dat");
    EXPECT_EQ(activity_file_name({2011, 1, 11, 0, 0, 0}), activity_file_name({2011, 11, 1, 0, 0, 0}));
    EXPECT_EQ(activity_file_name({2011, 1, 12, 0, 0, 0}), activity_file_name({2011, 11, 2, 0, 0, 0}));
}

TEST(ActivityFormat, EntryLineIsByteExact) {
    EntryContent content{true, false, {{"USER1", "PC1", "2", "35秒", "0秒"}, {"USER2", "PC2", "0", "8秒", "8秒"}}, {}};
    EXPECT_EQ(activity_entry({2011, 3, 5, 9, 7, 3}, content),
              "时间:2011-3-5 9:7:3内容:第1条会话记录:用户:USER1计算机:PC1打开文件数目:2连接时间:35秒空闲时间:0秒 "
              "第2条会话记录:用户:USER2计算机:PC2打开文件数目:0连接时间:8秒空闲时间:8秒 \r\n");
    // The labels as GBK bytes.
    std::string entry = activity_entry({2011, 3, 5, 9, 7, 3}, content);
    EXPECT_EQ(entry.substr(0, 5), "\xCA\xB1\xBC\xE4:");
    EXPECT_NE(entry.find("\xC4\xDA\xC8\xDD:"), std::string::npos);
    EXPECT_NE(entry.find("\xB5\xDA"
                         "1\xCC\xF5\xBB\xE1\xBB\xB0\xBC\xC7\xC2\xBC:"),
              std::string::npos);
    EXPECT_NE(entry.find("\xD3\xC3\xBB\xA7:USER1\xBC\xC6\xCB\xE3\xBB\xFA:PC1"), std::string::npos);
    EXPECT_NE(
        entry.find("\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE\xCA\xFD\xC4\xBF:2\xC1\xAC\xBD\xD3\xCA\xB1\xBC\xE4:35\xC3\xEB"),
        std::string::npos);
    EXPECT_NE(entry.find("\xBF\xD5\xCF\xD0\xCA\xB1\xBC\xE4:0\xC3\xEB "), std::string::npos);
    EXPECT_EQ(activity_counter_line(1), "\xCA\xFD\xC4\xBF:1     \r\n");
}

TEST(ActivityFormat, SessionRecordingOffAndEmptyRows) {
    EntryContent off{false, false, {{"USER1", "PC1", "2", "35秒", "0秒"}}, {}};
    EXPECT_EQ(activity_entry({2011, 3, 5, 23, 59, 59}, off), "时间:2011-3-5 23:59:59内容:\r\n");
    EntryContent gaps{true, false, {{"", "", "", "", ""}, {"B", "P", "1", "1秒", "1秒"}}, {}};
    EXPECT_EQ(activity_entry({2011, 3, 5, 1, 2, 3}, gaps),
              "时间:2011-3-5 1:2:3内容:第1条会话记录:用户:B计算机:P打开文件数目:1连接时间:1秒空闲时间:1秒 \r\n");
}

TEST(ActivityFormat, OpenFileRecordsFollowTheSeparator) {
    EntryContent both{true, true, {{"B", "P", "1", "1秒", "1秒"}}, {{"D:\\a.txt", "B", "读取"}, {"", "", ""}}};
    EXPECT_EQ(activity_entry({2011, 3, 5, 1, 2, 3}, both),
              "时间:2011-3-5 1:2:3内容:第1条会话记录:用户:B计算机:P打开文件数目:1连接时间:1秒空闲时间:1秒 "
              "〓第1条文件记录:文件:D:\\a.txt访问者:B打开模式:读取 \r\n");
}

TEST_F(DayFile, FirstEntryCreatesTheFileAndTheCounterCounts) {
    ASSERT_EQ(log.append(sessions), AppendResult::Written);
    std::string one = read_file(path());
    EXPECT_EQ(one.substr(0, 13), "数目:1     \r\n");
    EXPECT_EQ(count_lines(one), 2);
    for (int i = 2; i <= 10; ++i)
        ASSERT_EQ(log.append(sessions), AppendResult::Written);
    std::string ten = read_file(path());
    EXPECT_EQ(ten.substr(0, 13), "数目:10    \r\n");
    EXPECT_EQ(count_lines(ten), 11);
    EXPECT_EQ(ten.substr(13, one.size() - 13), one.substr(13)) << "earlier entries stay as they were";
}

TEST_F(DayFile, MidnightStartsTheNextDaysFile) {
    time = {2011, 3, 5, 23, 59, 59};
    log.append(sessions);
    std::string first = path();
    time = {2011, 3, 6, 0, 0, 0};
    log.append(sessions);
    EXPECT_NE(first, path());
    EXPECT_EQ(read_file(first).substr(0, 13), "数目:1     \r\n");
    EXPECT_EQ(read_file(path()).find("时间:2011-3-6 0:0:0内容:"), 13u);
}

TEST_F(DayFile, DatesWhoseNamesCollideShareOneFile) {
    time = {2011, 1, 12, 8, 0, 0};
    log.append(sessions);
    time = {2011, 11, 2, 9, 0, 0};
    log.append(sessions);
    std::string text = read_file(path());
    EXPECT_EQ(text.substr(0, 13), "数目:2     \r\n");
    EXPECT_LT(text.find("2011-1-12"), text.find("2011-11-2"));
}

TEST_F(DayFile, AnEmptyExistingFileCountsAsNoEntries) {
    write_file(path(), "");
    log.append(sessions);
    EXPECT_EQ(read_file(path()).substr(0, 13), "数目:1     \r\n");
}

TEST_F(DayFile, NeverDamagesTheSecondLine) {
    std::string full = activity_counter_line(999999) + "时间:2011-3-5 1:1:1内容:\r\n";
    write_file(path(), full);
    ASSERT_EQ(log.append(sessions), AppendResult::Written);
    std::string after = read_file(path());
    EXPECT_EQ(after.substr(0, full.size()), full) << "a seven-digit count would spill into line 2";

    std::string odd = "hello\r\n时间:2011-3-5 1:1:1内容:\r\n";
    write_file(path(), odd);
    ASSERT_EQ(log.append(sessions), AppendResult::Written);
    EXPECT_EQ(read_file(path()).substr(0, odd.size()), odd) << "a first line that is no counter line stays";
}

TEST_F(DayFile, WaitsForAReaderThatHoldsTheFile) {
    log.append(sessions);
    int fd = ::open(path().c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::thread reader([fd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ::close(fd);
    });
    EXPECT_EQ(log.append(sessions), AppendResult::Written) << "the entry is not lost to a short query";
    reader.join();
    EXPECT_EQ(read_file(path()).substr(0, 13), "数目:2     \r\n");
}

TEST_F(DayFile, GivesUpAfterTheRetryWhenHeldLonger) {
    log.append(sessions);
    int fd = ::open(path().c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(log.append(sessions), AppendResult::NoFile);
    ::close(fd);
}

TEST(ActivityLogFailure, AnUnwritableDirectory) {
    ActivityLog log([] { return LocalTime{2011, 1, 1, 0, 0, 0}; }, "/nonexistent-dir/", 0);
    EXPECT_EQ(log.append({}), AppendResult::NoFile);
}

namespace {

// Every line ends CR LF and nowhere else; the counter equals the entry lines,
// each of which starts with an entry head.
::testing::AssertionResult well_formed(const std::string& day) {
    if (day.size() < 2 || day.compare(day.size() - 2, 2, "\r\n") != 0)
        return ::testing::AssertionFailure() << "the last line is cut short";
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < day.size();) {
        auto lf = day.find('\n', at);
        if (lf == 0 || day[lf - 1] != '\r')
            return ::testing::AssertionFailure() << "a bare LF at " << lf;
        lines.push_back(day.substr(at, lf - 1 - at));
        at = lf + 1;
    }
    for (const auto& line : lines)
        if (line.find('\r') != std::string::npos)
            return ::testing::AssertionFailure() << "a bare CR in: " << line;
    const long counted = std::atol(lines[0].substr(5).c_str());
    if (counted != static_cast<long>(lines.size()) - 1)
        return ::testing::AssertionFailure() << "the counter says " << counted << " of " << lines.size() - 1;
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (entry_head_length(lines[i], 0) == 0)
            return ::testing::AssertionFailure() << "line " << i + 1 << " is no entry: " << lines[i];
    return ::testing::AssertionSuccess();
}

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(DayFileValue, OrdinaryValuesStayByteForByte) {
    for (const char* value :
         {"Z:\\srv\\share\\报告 2026.docx", "a|b%n\\c", "D:\\a:b", "PC-1", "12秒", "写入+读取", "€", ""})
        EXPECT_EQ(day_file_value(value), value);
}

TEST(DayFileValue, NothingInAValueCanEndALineOrReadAsALabel) {
    EXPECT_EQ(day_file_value("a\r\nb\tc\x7F"), "a%0D%0Ab%09c%7F");
    EXPECT_EQ(day_file_value("z〓z"), "z%A1%FEz");
    EXPECT_EQ(day_file_value("r第7条文件记录:文件:Z:\\evil.exe访问者:admin"),
              "r第7条文件记录：文件：Z:\\evil.exe访问者：admin");
    // A lead byte without its trail would swallow the next label's first byte.
    EXPECT_EQ(day_file_value("x\x81"), "x%81");
    EXPECT_EQ(day_file_value("\x81:"), "%81:");
    EXPECT_EQ(day_file_value("\xFF"), "%FF");
    EXPECT_EQ(escape_controls("a\r\nb"), "a%0D%0Ab");
}

TEST(ActivityFormat, AForgedEntryInAFileNameStaysInsideItsRecord) {
    const std::string forged =
        "x\r\n时间:2011-3-5 0:0:0内容:第1条会话记录:用户:FAKE计算机:6.6.6.6打开文件数目:1 〓第9条文件记录:文件:Z:\\e";
    EntryContent content{true, true, {{"alice", "PC1", "1", "1秒", "1秒"}}, {{forged, "alice", "读取"}}};
    std::string entry = activity_entry({2011, 3, 5, 1, 2, 3}, content);
    EXPECT_EQ(occurrences(entry, "\r"), 1);
    EXPECT_EQ(occurrences(entry, "\n"), 1);
    EXPECT_EQ(occurrences(entry, "〓"), 1);
    EXPECT_EQ(occurrences(entry, "时间:2011"), 1);
    EXPECT_EQ(occurrences(entry, "内容:"), 1);
    EXPECT_EQ(occurrences(entry, "条会话记录:"), 1);
    EXPECT_EQ(occurrences(entry, "条文件记录:"), 1);
    EXPECT_EQ(occurrences(entry, "用户:"), 1);
}

TEST_F(DayFile, ACutShortLastLineIsMendedBeforeTheNextEntry) {
    const std::string whole =
        activity_counter_line(2) + "时间:2011-3-5 1:0:0内容:\r\n" + activity_entry({2011, 3, 5, 1, 0, 1}, sessions);
    struct Cut {
        std::size_t drop;  // bytes cut off the end
        long entries;      // entry lines once appended to
    };
    const std::size_t last = activity_entry({2011, 3, 5, 1, 0, 1}, sessions).size();
    for (Cut cut : {Cut{1, 3},                 // CR kept, LF lost
                    Cut{2, 3},                 // mid-record
                    Cut{last / 2, 3},          // mid-record
                    Cut{last / 2 + 1, 3},      // one byte further: maybe half a character
                    Cut{last - 12, 2},         // inside the stamp: no time, no record
                    Cut{last - 1, 2},          // only "时" of its head left
                    Cut{whole.size() - 7, 1},  // inside the counter line
                    Cut{whole.size(), 1}}) {
        write_file(path(), whole.substr(0, whole.size() - cut.drop));
        ASSERT_EQ(log.append(sessions), AppendResult::Written) << cut.drop;
        std::string day = read_file(path());
        EXPECT_TRUE(well_formed(day)) << "cut " << cut.drop << ": " << day;
        EXPECT_EQ(count_lines(day) - 1, cut.entries) << "cut " << cut.drop;
        EXPECT_EQ(day.substr(day.size() - activity_entry(time, sessions).size()), activity_entry(time, sessions));
    }
}

TEST_F(DayFile, AWrongCounterIsSetRightWhenTheTailIsMended) {
    write_file(path(), activity_counter_line(165) + "时间:2011-3-5 1:0:0内容:\r\n时间:2011-3-5 1:0:1内容:第1条会");
    ASSERT_EQ(log.append(sessions), AppendResult::Written);
    EXPECT_TRUE(well_formed(read_file(path())));
}

TEST_F(DayFile, AFailedWriteLeavesTheFileAsItWas) {
    ASSERT_EQ(log.append(sessions), AppendResult::Written);
    const std::string before = read_file(path());
    // A file-size limit just past the file stands in for a full disk: the
    // entry starts to land, then fails.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = before.size() + 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    AppendResult result = log.append(sessions);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, AppendResult::WriteFailed);
    EXPECT_NE(log.failure(), 0u);
    EXPECT_EQ(read_file(path()), before) << "no counter raised, no part of an entry left";
    ASSERT_EQ(log.append(sessions), AppendResult::Written);
    EXPECT_TRUE(well_formed(read_file(path())));
    EXPECT_EQ(read_file(path()).substr(0, 13), "数目:2     \r\n");
}

TEST_F(DayFile, ALinkNamedLikeTheDayFileIsRefusedAndItsTargetUntouched) {
    const std::string target = dir + "elsewhere";
    write_file(target, "precious\n");
    ASSERT_EQ(::symlink(target.c_str(), path().c_str()), 0);
    EXPECT_EQ(log.append(sessions), AppendResult::NoFile);
    EXPECT_EQ(log.failure(), file_failure::kSymbolicLink);
    EXPECT_EQ(read_file(target), "precious\n");

    const std::string dangling = dir + "nothing-yet";
    std::remove(path().c_str());
    ASSERT_EQ(::symlink(dangling.c_str(), path().c_str()), 0);
    EXPECT_EQ(log.append(sessions), AppendResult::NoFile);
    EXPECT_FALSE(ExclusiveFile::open(dangling, ExclusiveFile::Disposition::OpenExisting)) << "nothing was created";
}
