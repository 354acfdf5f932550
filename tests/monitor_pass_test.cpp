#include <gtest/gtest.h>

#include <random>

#include "monitor/monitor_pass.h"
#include "support/fake_net.h"
#include "support/memory_list.h"
#include "support/monitor_texts.h"

namespace {

netmgmt::SessionInfo session(const std::string& user, const std::string& computer, std::uint32_t opens,
                             std::uint32_t connected = 10, std::uint32_t idle = 1) {
    return {user, computer, opens, connected, idle};
}

netmgmt::OpenFileInfo open_file(std::uint32_t id, const std::string& path, const std::string& user,
                                std::uint32_t permissions = 1) {
    return {id, permissions, path, user};
}

struct PassFixture : ::testing::Test {
    FakeNet net;
    MemoryList sessions, open_files;
    std::vector<std::string> logged, shown;
    bool log_works = true;
    MonitorPass pass{net,
                     sessions,
                     open_files,
                     {[this](const std::string& line) {
                          logged.push_back(line);
                          return log_works;
                      },
                      [this](const std::string& text) { shown.push_back(text); }, steady_seconds, test_box_texts()}};
};

}  // namespace

TEST_F(PassFixture, WritesEveryCellWithItsImage) {
    net.sessions = {session("alice", "PC1", 2, 35, 0)};
    net.open_files = {open_file(0x80000001u, "D:\\共享\\a.txt", "alice", 0x23)};
    pass.run({});
    ASSERT_EQ(sessions.row_count(), 1);
    EXPECT_EQ(sessions.text(0, kSessionUser), "alice");
    EXPECT_EQ(sessions.image(0, kSessionUser), 6);
    EXPECT_EQ(sessions.text(0, kSessionComputer), "PC1");
    EXPECT_EQ(sessions.image(0, kSessionComputer), 4);
    EXPECT_EQ(sessions.text(0, kSessionOpens), "2");
    EXPECT_EQ(sessions.image(0, kSessionOpens), 2);
    EXPECT_EQ(sessions.text(0, kSessionConnected), "35秒");
    EXPECT_EQ(sessions.text(0, kSessionIdle), "0秒");
    EXPECT_EQ(sessions.image(0, kSessionIdle), 5);
    ASSERT_EQ(open_files.row_count(), 1);
    EXPECT_EQ(open_files.text(0, kOpenPath), "D:\\共享\\a.txt");
    EXPECT_EQ(open_files.image(0, kOpenPath), 1);
    EXPECT_EQ(open_files.image(0, kOpenUser), 6);
    EXPECT_EQ(open_files.text(0, kOpenMode), "写入+读取");
    EXPECT_EQ(open_files.image(0, kOpenMode), 0);
    EXPECT_EQ(open_files.text(0, kOpenId), "-2147483647");
    EXPECT_EQ(open_files.image(0, kOpenId), kNoImage);
}

TEST_F(PassFixture, ChangeDetection) {
    net.sessions = {session("alice", "PC1", 1)};
    EXPECT_TRUE(pass.run({}).sessions_changed) << "the first rows always count as a change";

    net.sessions = {session("alice", "PC1", 1, 99, 42)};
    EXPECT_FALSE(pass.run({}).changed()) << "connect and idle times never flag";

    net.sessions = {session("alice", "PC1", 2)};
    EXPECT_TRUE(pass.run({}).sessions_changed) << "a changed open count flags";

    net.sessions = {};
    EXPECT_TRUE(pass.run({}).sessions_changed) << "the last session ending is history too";
    EXPECT_EQ(sessions.row_count(), 0);
    EXPECT_FALSE(pass.run({}).sessions_changed) << "and it is told once";

    net.sessions = {session("alice", "PC1", 2)};
    EXPECT_TRUE(pass.run({}).sessions_changed) << "the same sessions reconnecting after that";

    net.sessions.push_back(session("bob", "PC2", 0));
    EXPECT_TRUE(pass.run({}).sessions_changed) << "a new session flags";
}

TEST_F(PassFixture, OpenFileChangesFlagAndModeCounts) {
    net.open_files = {open_file(1, "D:\\a", "alice", 0x1)};
    EXPECT_TRUE(pass.run({}).open_files_changed);
    net.open_files = {open_file(2, "D:\\a", "alice", 0x1)};
    EXPECT_FALSE(pass.run({}).open_files_changed) << "the identifier is not part of the snapshot";
    net.open_files = {open_file(2, "D:\\a", "alice", 0x23)};
    EXPECT_TRUE(pass.run({}).open_files_changed) << "a changed mode flags";
}

TEST_F(PassFixture, AnonymousSessionsAreNotListedOrCounted) {
    net.sessions = {session("", "PC0", 1), session("bob", "PC2", 0)};
    pass.run({});
    ASSERT_EQ(sessions.row_count(), 1);
    EXPECT_EQ(sessions.text(0, kSessionUser), "bob");
}

TEST_F(PassFixture, PagesOverSeveralRepliesAndTrimsTheRest) {
    for (int i = 0; i < 10; ++i)
        net.open_files.push_back(open_file(static_cast<std::uint32_t>(i), "D:\\f" + std::to_string(i), "u"));
    net.per_reply = 3;
    pass.run({});
    EXPECT_EQ(net.open_file_calls, 4);
    ASSERT_EQ(open_files.row_count(), 10);
    EXPECT_EQ(open_files.text(9, kOpenPath), "D:\\f9");

    net.open_files.resize(3);
    EXPECT_TRUE(pass.run({}).open_files_changed);
    ASSERT_EQ(open_files.row_count(), 3);
    EXPECT_EQ(open_files.text(2, kOpenPath), "D:\\f2");
}

TEST_F(PassFixture, FolderFilterKeepsOnlyMonitoredOpens) {
    net.open_files = {open_file(1, "D:\\a\\x", "u"), open_file(2, "E:\\b\\y", "u"), open_file(3, "C:\\D:\\a\\z", "u")};
    pass.run({"D:\\a"});
    ASSERT_EQ(open_files.row_count(), 2);
    EXPECT_EQ(open_files.text(0, kOpenId), "1");
    EXPECT_EQ(open_files.text(1, kOpenId), "3");
}

TEST_F(PassFixture, FailureLogsTrimsAndStillListsTheOtherList) {
    for (int i = 0; i < 6; ++i)
        net.sessions.push_back(session("u" + std::to_string(i), "PC", 0));
    pass.run({});
    ASSERT_EQ(sessions.row_count(), 6);

    net.per_reply = 2;
    net.session_failure = 5;
    net.fail_at_call = 1;  // the second reply fails
    net.open_files = {open_file(1, "D:\\a", "u")};
    pass.run({});
    EXPECT_EQ(sessions.row_count(), 2) << "rows listed before the failure stay, later ones go";
    EXPECT_EQ(open_files.row_count(), 1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], "监控会话1出错!错误信息:ERROR_ACCESS_DENIED");
    EXPECT_TRUE(shown.empty());
}

TEST_F(PassFixture, NothingBeforeTheFirstSessionIsNoChange) {
    EXPECT_FALSE(pass.run({}).changed()) << "an idle server at start-up writes no entry";
    net.session_failure = 2114;
    EXPECT_FALSE(pass.run({}).changed()) << "nor does a server that was never read";
}

TEST_F(PassFixture, AnOutageEmptiesTheHistoryOnceAndCollapsesItsLines) {
    std::int64_t now = 1000;
    MonitorPass timed{
        net,
        sessions,
        open_files,
        {[this](const std::string& line) {
             logged.push_back(line);
             return true;
         },
         [this](const std::string& text) { shown.push_back(text); }, [&now] { return now; }, test_box_texts()}};
    net.sessions = {session("alice", "PC1", 1)};
    net.open_files = {open_file(1, "D:\\a", "alice")};
    timed.run({});

    net.session_failure = 2114;
    net.open_file_failure = 2114;
    PassOutcome down = timed.run({});
    EXPECT_TRUE(down.sessions_changed && down.open_files_changed) << "what the server held is gone from view";
    for (int pass = 0; pass < 120; ++pass, ++now)
        EXPECT_FALSE(timed.run({}).changed());
    EXPECT_EQ(logged.size(), 2u + 2u) << "a first line per list, then one a minute, not two a second";
    EXPECT_NE(logged.back().find("1分钟内又出现"), std::string::npos) << logged.back();

    net.session_failure = 0;
    net.open_file_failure = 0;
    EXPECT_TRUE(timed.run({}).changed()) << "the same sessions back after the outage";
    ASSERT_EQ(logged.size(), 6u);
    EXPECT_EQ(logged[4].rfind("已恢复正常:监控会话1出错!", 0), 0u) << logged[4];
    EXPECT_TRUE(shown.empty());
}

TEST_F(PassFixture, AnUnwritableErrorLogIsShownToTheUser) {
    log_works = false;
    net.open_file_failure = 124;
    pass.run({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "写入出错日志文件失败!");
}

TEST_F(PassFixture, OpensWithoutPathOrUserAreSkippedAndLogged) {
    net.open_files = {open_file(9, "", "u"), open_file(10, "D:\\a", ""), open_file(11, "D:\\b", "u")};
    pass.run({});
    ASSERT_EQ(open_files.row_count(), 1);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_NE(logged[0].find("9"), std::string::npos);
    EXPECT_NE(logged[0].find("路径"), std::string::npos);
    EXPECT_NE(logged[1].find("访问者"), std::string::npos);
}

TEST_F(PassFixture, UnchangedCellsAreNotSentAgain) {
    net.sessions = {session("alice", "PC1", 1, 10, 0), session("bob", "PC2", 0, 5, 5)};
    pass.run({});
    int after_first = sessions.cells_set;
    net.sessions = {session("alice", "PC1", 1, 11, 0), session("bob", "PC2", 0, 6, 6)};
    pass.run({});
    EXPECT_EQ(sessions.cells_set - after_first, 3) << "only the changed times go out";
    EXPECT_EQ(sessions.text(1, kSessionIdle), "6秒");
    pass.run({});
    EXPECT_EQ(sessions.cells_set - after_first, 3);
}

TEST(KeyedRows, OpensLeavingFromTheMiddleCostOnlyTheirDeletes) {
    MemoryList list;
    RowWriter writer(list);
    auto row = [](int key) { return Row{{"path" + std::to_string(key), 1}, {std::to_string(key), kNoImage}}; };
    std::vector<Row> rows;
    for (int k = 0; k < 1000; ++k)
        rows.push_back(row(k));
    writer.assign_keyed(rows, 1);
    const int cells = list.cells_set, inserted = list.rows_inserted;
    rows.erase(rows.begin() + 400, rows.begin() + 500);  // one client's hundred files
    writer.assign_keyed(rows, 1);
    EXPECT_EQ(list.rows_deleted, 100);
    EXPECT_EQ(list.cells_set, cells) << "the rows below did not move cell by cell";
    EXPECT_EQ(list.rows_inserted, inserted);
    EXPECT_EQ(list.rows(), rows);
}

// A list that does not hold its rows, as a list-view control: the writer
// keeps its own memory of what it wrote.
struct ControlLike : ListRows {
    MemoryList shown;
    int row_count() override { return shown.row_count(); }
    void insert_row(int index, const std::string& text, int image) override { shown.insert_row(index, text, image); }
    void set_cell(int row, int column, const std::string& text, int image) override {
        shown.set_cell(row, column, text, image);
    }
    std::string cell_text(int row, int column) override { return shown.cell_text(row, column); }
    void delete_row(int row) override { shown.delete_row(row); }
    void delete_all_rows() override { shown.delete_all_rows(); }
};

TEST(KeyedRows, AnyChangeOfRowsEndsWithExactlyTheNewRows) {
    // Keys repeat (colliding identifiers) and rows reorder, come and go. A
    // list that holds its rows and one that does not are sent the same.
    std::mt19937 random(7);
    auto draw = [&] {
        std::vector<Row> rows(random() % 12);
        for (auto& r : rows) {
            const auto key = std::to_string(random() % 6);
            r = {{"p" + key + std::to_string(random() % 2), 1}, {key, kNoImage}};
        }
        return rows;
    };
    MemoryList list;
    RowWriter writer(list);
    ControlLike control;
    RowWriter control_writer(control);
    for (int round = 0; round < 2000; ++round) {
        const auto rows = draw();
        writer.assign_keyed(rows, 1);
        control_writer.assign_keyed(rows, 1);
        ASSERT_EQ(list.rows(), rows) << "round " << round;
        ASSERT_EQ(control.shown.rows(), rows) << "round " << round;
        ASSERT_EQ(list.take_edits().size(), control.shown.take_edits().size()) << "round " << round;
    }
}
