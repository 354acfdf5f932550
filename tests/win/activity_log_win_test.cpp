// The day file under the Win32 file calls: a reader holding it without
// sharing (as the log query does) delays the monitor's append, and loses it
// only when it holds on past the retry.
#include "support/gtest_winelib.h"

#include <string>

#if defined(__WINE__)
#include <unistd.h>
#endif

#include "common/exclusive_file.h"
#include "monitor/activity_log.h"
#include "support/window_driver.h"

namespace {

const LocalTime kNow{2011, 3, 5, 9, 7, 3};

// Holds `path` open without sharing for `ms` milliseconds on its own thread.
class Holder {
public:
    Holder(const std::string& path, DWORD ms)
        : thread_([this, path, ms] {
              file_ = ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting);
              SetEvent(opened_);
              Sleep(ms);
              file_.reset();
          }) {
        WaitForSingleObject(opened_, 5000);
    }
    ~Holder() { CloseHandle(opened_); }
    bool held() const { return file_ != nullptr; }

private:
    HANDLE opened_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::unique_ptr<ExclusiveFile> file_;
    UiThread thread_;
};

std::string counter_of(const std::string& path) {
    auto file = ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting);
    char head[13] = {0};
    return file && file->read(head, sizeof head) == 13 ? std::string(head, 13) : std::string();
}

}  // namespace

TEST(ActivityLogOnWin32, AnEntryWaitsForAShortQuery) {
    ActivityLog log([] { return kNow; }, "", 2000);
    std::string path = activity_file_name(kNow);
    DeleteFileA(path.c_str());
    ASSERT_EQ(log.append({}), AppendResult::Written);
    {
        Holder query(path, 600);
        ASSERT_TRUE(query.held());
        EXPECT_EQ(log.append({}), AppendResult::Written);
    }
    EXPECT_EQ(counter_of(path), activity_counter_line(2));
    DeleteFileA(path.c_str());
}

TEST(ActivityLogOnWin32, AHolderPastTheRetryCostsTheEntry) {
    ActivityLog log([] { return kNow; }, "", 200);
    std::string path = activity_file_name(kNow);
    DeleteFileA(path.c_str());
    ASSERT_EQ(log.append({}), AppendResult::Written);
    {
        Holder query(path, 1500);
        ASSERT_TRUE(query.held());
        EXPECT_EQ(log.append({}), AppendResult::NoFile);
    }
    EXPECT_EQ(counter_of(path), activity_counter_line(1));
    DeleteFileA(path.c_str());
}

#if defined(__WINE__)
// Wine follows a Unix link to a file without marking it: the guard must ask
// the Unix side, before the open and after it.
TEST(ActivityLogOnWin32, ALinkNamedLikeTheDayFileIsRefused) {
    ActivityLog log([] { return kNow; }, "", 0);
    std::string path = activity_file_name(kNow);
    DeleteFileA(path.c_str());
    DeleteFileA("link-target.txt");
    ASSERT_EQ(::symlink("link-target.txt", path.c_str()), 0);
    EXPECT_EQ(log.append({}), AppendResult::NoFile) << "a dangling link";
    EXPECT_EQ(log.failure(), file_failure::kSymbolicLink);
    EXPECT_EQ(GetFileAttributesA("link-target.txt"), INVALID_FILE_ATTRIBUTES) << "nothing created where it points";

    HANDLE target = CreateFileA("link-target.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(target, INVALID_HANDLE_VALUE);
    CloseHandle(target);
    EXPECT_EQ(log.append({}), AppendResult::NoFile) << "a link to a file";
    EXPECT_EQ(counter_of("link-target.txt"), "") << "the file it points at stays empty";
    ::unlink(path.c_str());
    DeleteFileA("link-target.txt");

    ASSERT_EQ(log.append({}), AppendResult::Written) << "a plain file is still written";
    EXPECT_EQ(counter_of(path), activity_counter_line(1));
    DeleteFileA(path.c_str());
}
#endif
