// A pass whose change token did not move keeps its lists without asking the
// server, and still lists in full whenever something may have changed.
#include <gtest/gtest.h>

#include "monitor/monitor_pass.h"
#include "support/fake_net.h"
#include "support/memory_list.h"

namespace {

struct QuietPass : ::testing::Test {
    FakeNet net;
    MemoryList sessions, open_files;
    std::vector<std::string> logged;
    std::int64_t clock = 1000;
    MonitorPass pass{net, sessions, open_files, reporting()};

    PassReporting reporting() {
        PassReporting r;
        r.write_error_log = [this](const std::string& line) {
            logged.push_back(line);
            return true;
        };
        r.show_message = [](const std::string&) {};
        r.seconds = [this] { return clock; };
        return r;
    }

    QuietPass() {
        net.sessions = {{"alice", "PC1", 2, 35, 4}, {"", "ANON", 0, 3, 3}};
        net.open_files = {{1, 1, "D:\\a.txt", "alice"}, {2, 0x23, "D:\\b.txt", "alice"}};
        net.token = 7;
    }
    int calls() const { return net.session_calls + net.open_file_calls; }
    PassOutcome after(std::int64_t seconds, const std::vector<std::string>& folders = {}) {
        clock += seconds;
        return pass.run(folders);
    }
};

}  // namespace

TEST_F(QuietPass, SteadyTokenKeepsTheListsAndMovesOnlyTheConnectTimes) {
    ASSERT_TRUE(pass.run({}).changed());
    sessions.take_edits();
    open_files.take_edits();
    const int listed = calls();
    const PassOutcome quiet = after(3);
    EXPECT_EQ(calls(), listed);
    EXPECT_FALSE(quiet.changed());
    EXPECT_EQ(quiet.sessions_status, 0u);
    EXPECT_EQ(quiet.open_files_status, 0u);
    ASSERT_EQ(sessions.row_count(), 1);
    EXPECT_EQ(sessions.text(0, kSessionConnected), "38秒");
    EXPECT_EQ(sessions.text(0, kSessionIdle), "4秒");
    EXPECT_EQ(sessions.text(0, kSessionOpens), "2");
    EXPECT_EQ(open_files.row_count(), 2);
    const auto edits = sessions.take_edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].column, kSessionConnected);
    EXPECT_TRUE(open_files.take_edits().empty());
}

TEST_F(QuietPass, MovedTokenListsTheOneOpenThatChanged) {
    pass.run({});
    sessions.take_edits();
    open_files.take_edits();
    net.open_files[1].permissions = 1;  // reopened for reading
    net.token = 8;
    EXPECT_TRUE(after(1).open_files_changed);
    EXPECT_EQ(open_files.text(1, kOpenMode), "读取");
    const auto edits = open_files.take_edits();
    ASSERT_EQ(edits.size(), 1u);  // the other open's row is left alone
    EXPECT_EQ(edits[0].row, 1);
    EXPECT_EQ(sessions.text(0, kSessionConnected), "35秒");  // as the server says
}

TEST_F(QuietPass, ListsAgainWhatTheTokenCannotVouchFor) {
    pass.run({});
    int listed = calls();
    after(kFullPassSeconds - 1);
    EXPECT_EQ(calls(), listed) << "still within the bound";
    after(1);
    EXPECT_GT(calls(), listed) << "the bound passed";

    listed = calls();
    after(1, {"D:\\a"});
    EXPECT_GT(calls(), listed) << "other folders";
    EXPECT_EQ(open_files.row_count(), 1);

    net.open_file_failure = netmgmt::kAccessDenied;
    net.token = 8;
    EXPECT_EQ(after(1, {"D:\\a"}).open_files_status, netmgmt::kAccessDenied);
    net.open_file_failure = 0;
    listed = calls();
    after(1, {"D:\\a"});
    EXPECT_GT(calls(), listed) << "the last listing failed";
    EXPECT_EQ(open_files.row_count(), 1);

    net.token.reset();
    listed = calls();
    after(1, {"D:\\a"});
    EXPECT_GT(calls(), listed) << "no token";
}

TEST_F(QuietPass, TellsWhetherTheListsMatchTheServerAsThePassBegan) {
    EXPECT_TRUE(pass.run({}).lists_current) << "listed well";
    EXPECT_TRUE(after(1).lists_current) << "nothing moved since";

    net.token = 8;
    net.open_file_failure = netmgmt::kAccessDenied;
    EXPECT_FALSE(after(1).lists_current) << "the open files failed";
    EXPECT_FALSE(after(1).lists_current) << "nor does a steady token vouch for a failed listing";
    net.open_file_failure = 0;
    net.session_failure = netmgmt::kAccessDenied;
    EXPECT_FALSE(after(1).lists_current) << "the sessions failed";
    net.session_failure = 0;
    EXPECT_TRUE(after(1).lists_current);

    net.token.reset();
    EXPECT_TRUE(after(1).lists_current) << "without a token, a full listing still counts";
}
