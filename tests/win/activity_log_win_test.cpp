// The day file under the Win32 file calls: a reader holding it without
// sharing (as the log query does) delays the monitor's append, and loses it
// only when it holds on past the retry.
#include "support/gtest_winelib.h"

#include <string>

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
