#include <gtest/gtest.h>

#include "monitor/monitor_pass.h"
#include "monitor/share_list.h"
#include "support/fake_net.h"
#include "support/memory_list.h"

namespace {

struct ShareFixture : ::testing::Test {
    FakeNet net;
    MemoryList list;
    std::vector<std::string> reported;
    std::uint32_t refresh() {
        return refresh_share_rows(net, list, [this](const std::string& line) { reported.push_back(line); });
    }
};

}  // namespace

TEST_F(ShareFixture, ListsEveryShareInReverseOrderWithImages) {
    net.shares = {{"IPC$", "", 0, "IPC Service"}, {"docs", "C:\\docs", 2, ""}, {"共享", "D:\\共享", 1, "资料"}};
    EXPECT_EQ(refresh(), 0u);
    ASSERT_EQ(list.row_count(), 3);
    EXPECT_EQ(list.text(0, kShareName), "共享");
    EXPECT_EQ(list.text(2, kShareName), "IPC$");
    EXPECT_EQ(list.text(2, kSharePath), "");
    EXPECT_EQ(list.image(2, kSharePath), 7) << "an empty cell still shows its image";
    EXPECT_EQ(list.text(1, kShareUses), "2");
    EXPECT_EQ(list.text(1, kShareRemark), "");
    EXPECT_EQ(list.image(1, kShareRemark), 9);
    EXPECT_EQ(list.image(0, kShareName), 3);
    EXPECT_EQ(list.image(0, kShareUses), 8);
    EXPECT_TRUE(reported.empty());

    refresh();
    EXPECT_EQ(list.row_count(), 3) << "the same order after every refresh";
    EXPECT_EQ(list.text(0, kShareName), "共享");
}

TEST_F(ShareFixture, ManyRepliesEmptyTheListOnce) {
    for (int i = 0; i < 7; ++i)
        net.shares.push_back({"s" + std::to_string(i), "", 0, ""});
    net.per_reply = 2;
    refresh();
    EXPECT_EQ(list.clears, 1);
    ASSERT_EQ(list.row_count(), 7);
    EXPECT_EQ(list.text(0, kShareName), "s6");
    EXPECT_EQ(list.text(6, kShareName), "s0");
}

TEST_F(ShareFixture, AFailedFirstCallKeepsThePreviousRows) {
    net.shares = {{"a", "", 0, ""}, {"b", "", 0, ""}};
    refresh();
    net.share_failure = 5;
    EXPECT_EQ(refresh(), 5u);
    EXPECT_EQ(list.row_count(), 2);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "监控共享文件夹1出错!错误代码:5");
}

TEST_F(ShareFixture, AFailureAfterMoreDataKeepsTheRowsSoFar) {
    for (int i = 0; i < 5; ++i)
        net.shares.push_back({"s" + std::to_string(i), "", 0, ""});
    net.per_reply = 2;
    net.share_failure = 59;
    net.fail_at_call = 1;
    refresh();
    EXPECT_EQ(list.row_count(), 2);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "监控共享文件夹2出错!错误代码:59");
}
