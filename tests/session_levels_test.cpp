#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "netmgmt/session_levels.h"

namespace {

using netmgmt::Reply;
using netmgmt::SessionInfo;

// Stands for NetSessionEnum on a server: the status each level answers (any
// level not listed answers with its records) and the calls made, as
// (level, resume) pairs. Two records a page.
struct FakeServer {
    std::map<std::uint32_t, std::uint32_t> refusals;
    std::vector<SessionInfo> sessions{{"alice", "PC1", 1, 5, 0}, {"bob", "PC2", 2, 6, 0}, {"carol", "PC3", 0, 7, 0}};
    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls;

    Reply<SessionInfo> call(std::uint32_t level, std::uint32_t, std::uint32_t& resume) {
        calls.emplace_back(level, resume);
        auto refused = refusals.find(level);
        if (refused != refusals.end())
            return {refused->second, {}};
        Reply<SessionInfo> reply;
        for (std::size_t i = resume; i < sessions.size() && reply.records.size() < 2; ++i)
            reply.records.push_back(sessions[i]);
        resume += static_cast<std::uint32_t>(reply.records.size());
        reply.status = resume < sessions.size() ? netmgmt::kMoreData : netmgmt::kSuccess;
        return reply;
    }
};

struct SessionLevelsTest : ::testing::Test {
    FakeServer server;
    netmgmt::SessionLevels levels{[this](std::uint32_t level, std::uint32_t preferred, std::uint32_t& resume) {
        return server.call(level, preferred, resume);
    }};

    // One whole enumeration, page by page, as a pass makes it.
    Reply<SessionInfo> enumerate_all() {
        Reply<SessionInfo> all;
        std::uint32_t resume = 0;
        do {
            auto page = levels.enumerate(4096, resume);
            all.status = page.status;
            all.records.insert(all.records.end(), page.records.begin(), page.records.end());
        } while (all.status == netmgmt::kMoreData);
        return all;
    }
};

using Calls = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

}  // namespace

TEST_F(SessionLevelsTest, ServerAnsweringEveryLevelIsAskedAt502Only) {
    auto all = enumerate_all();
    EXPECT_EQ(all.status, netmgmt::kSuccess);
    EXPECT_EQ(all.records.size(), 3u);
    EXPECT_EQ(server.calls, (Calls{{502, 0}, {502, 2}}));
}

TEST_F(SessionLevelsTest, SambaFallsToLevel1AndThePassAfterStartsThere) {
    server.refusals = {{502, netmgmt::kInvalidLevel}, {10, netmgmt::kInvalidLevel}};
    auto all = enumerate_all();
    EXPECT_EQ(all.status, netmgmt::kSuccess);
    EXPECT_EQ(all.records.size(), 3u);
    EXPECT_EQ(levels.level(), 1u);
    EXPECT_EQ(server.calls, (Calls{{502, 0}, {10, 0}, {1, 0}, {1, 2}})) << "later pages stay at the level found";
    server.calls.clear();
    enumerate_all();
    EXPECT_EQ(server.calls, (Calls{{1, 0}, {1, 2}})) << "the level that worked is remembered";
}

TEST_F(SessionLevelsTest, NoAdministratorFallsFrom502To10AndFrom1To0) {
    server.refusals = {{502, netmgmt::kAccessDenied}};
    EXPECT_EQ(enumerate_all().status, netmgmt::kSuccess);
    EXPECT_EQ(levels.level(), 10u);

    // A level that stops answering later goes on to the next ones, never back up.
    server.refusals = {{502, netmgmt::kAccessDenied}, {10, netmgmt::kNotSupported}, {1, netmgmt::kAccessDenied}};
    server.calls.clear();
    EXPECT_EQ(enumerate_all().status, netmgmt::kSuccess);
    EXPECT_EQ(levels.level(), 0u);
    EXPECT_EQ(server.calls.front(), std::make_pair(10u, 0u));
}

TEST_F(SessionLevelsTest, EveryLevelRefusedAnswersTheLastRefusalAndKeepsTheLevel) {
    server.refusals = {{502, netmgmt::kInvalidLevel}, {10, netmgmt::kInvalidLevel}};
    enumerate_all();
    ASSERT_EQ(levels.level(), 1u);
    server.refusals[1] = netmgmt::kAccessDenied;
    server.refusals[0] = netmgmt::kAccessDenied;
    std::uint32_t resume = 0;
    auto reply = levels.enumerate(4096, resume);
    EXPECT_EQ(reply.status, netmgmt::kAccessDenied);
    EXPECT_EQ(resume, 0u);
    EXPECT_EQ(levels.level(), 1u) << "the next pass tries level 1 again";
}

TEST_F(SessionLevelsTest, OtherFailuresAreTheServersAnswerNotARefusedLevel) {
    server.refusals = {{502, netmgmt::kBadNetPath}};
    std::uint32_t resume = 0;
    EXPECT_EQ(levels.enumerate(4096, resume).status, netmgmt::kBadNetPath);
    EXPECT_EQ(server.calls, (Calls{{502, 0}}));
    EXPECT_EQ(levels.level(), 502u);
}
