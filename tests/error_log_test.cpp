#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/exclusive_file.h"
#include "monitor/error_log.h"
#include "support/files.h"

namespace {

struct ErrorLogFile : ::testing::Test {
    std::string path = ::testing::TempDir() + "vlerror_test_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    LocalTime time{2011, 3, 5, 9, 7, 3};
    ErrorLog log{path, [this] { return time; }, 300};
    void SetUp() override { std::remove(path.c_str()); }
    void TearDown() override { std::remove(path.c_str()); }
};

}  // namespace

TEST(ErrorLogLine, HasTheGbkStampAndCrLf) {
    std::string line = error_log_line({2011, 3, 5, 9, 7, 3}, "监控打开文件2出错!错误信息:ERROR_ACCESS_DENIED");
    EXPECT_EQ(line,
              "\xA1\xBE"
              "2011\xC4\xEA"
              "3\xD4\xC2"
              "5\xC8\xD5"
              " 9:7:3\xA1\xBF"
              "\xBC\xE0\xBF\xD8\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE"
              "2\xB3\xF6\xB4\xED!\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2:ERROR_ACCESS_DENIED\r\n");
    EXPECT_EQ(error_log_line({2026, 12, 31, 23, 59, 59}, ""), "【2026年12月31日 23:59:59】\r\n");
}

TEST_F(ErrorLogFile, CreatesThenAppendsWithoutTouchingEarlierLines) {
    ASSERT_TRUE(log.write("first"));
    std::string after_one = read_file(path);
    EXPECT_EQ(after_one, "【2011年3月5日 9:7:3】first\r\n");
    time.second = 4;
    ASSERT_TRUE(log.write(""));
    std::string after_two = read_file(path);
    EXPECT_EQ(after_two.substr(0, after_one.size()), after_one);
    EXPECT_EQ(after_two.substr(after_one.size()), "【2011年3月5日 9:7:4】\r\n");
}

TEST_F(ErrorLogFile, WaitsForAnotherHolderThenFailsWhenItKeepsTheFile) {
    ASSERT_TRUE(log.write("x"));
    int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::thread release([fd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ::close(fd);
    });
    EXPECT_TRUE(log.write("kept")) << "a holder that lets go within the wait costs no line";
    release.join();

    fd = ::open(path.c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_FALSE(log.write("lost"));
    ::close(fd);
    EXPECT_NE(read_file(path).find("kept"), std::string::npos);
    EXPECT_EQ(read_file(path).find("lost"), std::string::npos);
}

TEST_F(ErrorLogFile, TwoThreadsWritingAtOnceLoseNoLine) {
    ErrorLog other{path, [this] { return time; }, 0};  // no waiting: only taking turns saves its lines
    auto write = [&](const ErrorLog& l, const char* tag) {
        for (int i = 0; i < 200; ++i)
            EXPECT_TRUE(l.write(tag + std::to_string(i)));
    };
    std::thread a(write, std::cref(log), "a");
    write(other, "b");
    a.join();
    const std::string text = read_file(path);
    for (int i = 0; i < 200; ++i) {
        EXPECT_NE(text.find("】a" + std::to_string(i) + "\r"), std::string::npos) << i;
        EXPECT_NE(text.find("】b" + std::to_string(i) + "\r"), std::string::npos) << i;
    }
}

TEST(ErrorLogFailure, AnUnwritableDirectoryGivesFalse) {
    ErrorLog log("/nonexistent-dir/vlerror.log", [] { return LocalTime{2011, 1, 1, 0, 0, 0}; });
    EXPECT_FALSE(log.write("x"));
}

TEST_F(ErrorLogFile, AServerValueCannotStartALine) {
    ASSERT_TRUE(log.write("监控打开文件出错!文件标识1的路径为空:a\r\n【2011年1月1日 0:0:0】forged\n"));
    std::string text = read_file(path);
    EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
    EXPECT_NE(text.find("a%0D%0A【2011年1月1日 0:0:0】forged%0A\r\n"), std::string::npos) << text;
}

TEST_F(ErrorLogFile, ALinkNamedLikeTheLogIsRefused) {
    const std::string target = path + ".target";
    write_file(target, "x\n");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    EXPECT_FALSE(log.write("through the link"));
    EXPECT_EQ(ExclusiveFile::last_failure(), file_failure::kSymbolicLink);
    EXPECT_EQ(read_file(target), "x\n");
    std::remove(target.c_str());

    ASSERT_FALSE(ExclusiveFile::exists(target));
    EXPECT_FALSE(log.write("through a dangling link"));
    EXPECT_FALSE(ExclusiveFile::exists(target)) << "nothing created where it points";
}
