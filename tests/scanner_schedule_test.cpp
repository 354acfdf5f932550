// The concurrent scan's timing and answer matching, on a clock the test
// moves by hand.
#include <gtest/gtest.h>

#include <vector>

#include "scanner/scan_schedule.h"

namespace {

// Lists every address that is due at `now`.
std::vector<Octets> list_due(ScanSchedule& s, Millis now) {
    std::vector<Octets> listed;
    while (auto due = s.next_due(now))
        listed.push_back(due->address);
    return listed;
}

}  // namespace

TEST(ScanSchedule, ListsAWholeNetworkAtOnceAndALargerRangeAsItsFrontSettles) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 255}, 1000);
    ASSERT_EQ(s.size(), 254u);
    EXPECT_EQ(s.next_event(5000), Millis{5000}) << "the first address is due at once";
    EXPECT_EQ(list_due(s, 5000).size(), 254u);
    EXPECT_EQ(s.next_event(5000), Millis{6000}) << "then only the deadlines are ahead";

    // 10.1.1.1 to 10.1.2.255: more addresses than may wait at once.
    ScanSchedule wide({10, 1, 1, 1}, {10, 1, 3, 0}, 1000);
    ASSERT_EQ(wide.size(), 511u);
    EXPECT_EQ(list_due(wide, 0).size(), kMaxWaiting);
    EXPECT_EQ(wide.next_event(0), Millis{1000});
    EXPECT_TRUE(wide.answer({10, 1, 1, 2}, 5));
    EXPECT_TRUE(list_due(wide, 5).empty()) << "an answer behind the open front frees no room";
    EXPECT_TRUE(wide.answer({10, 1, 1, 1}, 6));
    EXPECT_EQ(list_due(wide, 6).size(), 2u) << "the two settled at the front make room for two";
    EXPECT_FALSE(wide.finished(1000));
    EXPECT_EQ(list_due(wide, 1000).size(), 511u - kMaxWaiting - 2);
    EXPECT_EQ(wide.next_event(1000), Millis{2000});
    EXPECT_FALSE(wide.finished(1999));
    EXPECT_TRUE(wide.finished(2000));
}

TEST(ScanSchedule, EachAddressWaitsItsOwnTimeoutFromItsTurn) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 4}, 300);
    for (Millis now : {0, 1, 2})
        ASSERT_TRUE(s.next_due(now));
    ASSERT_EQ(s.listed(), 3u);
    EXPECT_EQ(s.next_event(2), Millis{302}) << "all listed: only the end is ahead, at the last deadline";
    EXPECT_TRUE(s.answer({10, 1, 1, 3}, 100));
    EXPECT_EQ(s.next_event(100), Millis{301}) << "the last address answered: the end comes with the one before";
    EXPECT_FALSE(s.finished(300));
    EXPECT_FALSE(s.answer({10, 1, 1, 1}, 301)) << "past its own deadline, though the scan goes on";
    EXPECT_TRUE(s.finished(301));
}

TEST(ScanSchedule, EndsAsSoonAsEveryProbedAddressHasAnswered) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 4}, 1000);
    ASSERT_TRUE(s.next_due(0));
    list_due(s, 5);
    ASSERT_EQ(s.listed(), 3u);
    EXPECT_TRUE(s.answer({10, 1, 1, 3}, 10));
    EXPECT_TRUE(s.answer({10, 1, 1, 1}, 10));
    EXPECT_FALSE(s.finished(10));
    EXPECT_EQ(s.next_event(10), Millis{1005}) << "the deadline of 10.1.1.2, still open";
    EXPECT_TRUE(s.answer({10, 1, 1, 2}, 20));
    EXPECT_TRUE(s.finished(20));
}

TEST(ScanSchedule, OnlyAWaitingProbedAddressOfThisScanIsAnswered) {
    ScanSchedule s({10, 1, 1, 254}, {10, 1, 2, 3}, 100);
    ASSERT_TRUE(s.next_due(0));
    EXPECT_FALSE(s.answer({10, 1, 2, 1}, 0)) << "not probed yet";
    // The rest at 10: .1.255, .2.0, .2.1, .2.2.
    list_due(s, 10);
    ASSERT_EQ(s.listed(), 5u);
    EXPECT_FALSE(s.answer({10, 1, 2, 0}, 10)) << "listed, never probed";
    EXPECT_FALSE(s.answer({10, 2, 1, 254}, 10)) << "another network";
    EXPECT_FALSE(s.answer({10, 1, 2, 9}, 10)) << "outside the range";
    EXPECT_TRUE(s.answer({10, 1, 1, 254}, 10));
    EXPECT_FALSE(s.answer({10, 1, 1, 254}, 11)) << "a second answer from the same host";
    EXPECT_TRUE(s.answer({10, 1, 1, 255}, 110)) << "on its deadline";
    EXPECT_FALSE(s.answer({10, 1, 2, 1}, 111)) << "after its deadline";
}

TEST(ScanSchedule, AQueryHeldBackWaitsFromWhenItLeaves) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 4}, 100);
    ASSERT_TRUE(s.next_due(0));
    // The second query finds no room in the stack: while it is held back
    // nothing else is listed, and the first address's deadline still counts.
    ASSERT_TRUE(s.next_due(1));
    s.hold_last();
    EXPECT_FALSE(s.next_due(50));
    EXPECT_EQ(s.next_event(1), Millis{100});
    EXPECT_FALSE(s.finished(150)) << "the held query has not been waited for";
    EXPECT_EQ(s.next_event(150), std::nullopt) << "only the held query is left";
    s.sent_late(300);
    EXPECT_FALSE(s.holding());
    EXPECT_EQ(list_due(s, 300), (std::vector<Octets>{Octets{10, 1, 1, 3}})) << "listing goes on";
    EXPECT_TRUE(s.answer({10, 1, 1, 2}, 350)) << "answered within its own wait";
    EXPECT_FALSE(s.finished(399));
    EXPECT_TRUE(s.finished(400));
}

TEST(ScanSchedule, UnprobedAddressesAreStillWaitedFor) {
    ScanSchedule s({10, 1, 0, 1}, {10, 1, 0, 3}, 150);
    auto first = s.next_due(0);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->probe);
    list_due(s, 1);
    EXPECT_FALSE(s.finished(150));
    EXPECT_TRUE(s.finished(151));
}

TEST(ScanSchedule, EqualStartAndEndIsOneAddress) {
    ScanSchedule s({10, 1, 1, 7}, {10, 1, 1, 7}, 100);
    auto due = s.next_due(0);
    ASSERT_TRUE(due);
    EXPECT_EQ(due->address, (Octets{10, 1, 1, 7}));
    EXPECT_TRUE(due->probe);
    EXPECT_FALSE(s.next_due(50));
    EXPECT_TRUE(s.finished(100));
}
