// The concurrent scan's timing and answer matching, on a clock the test
// moves by hand.
#include <gtest/gtest.h>

#include <vector>

#include "scanner/scan_schedule.h"

using scanner::Millis;
using scanner::Octets;
using scanner::ScanSchedule;

namespace {

// Lists every address that is due at `now`.
std::vector<Octets> list_due(ScanSchedule& s, Millis now) {
    std::vector<Octets> listed;
    while (auto due = s.next_due(now))
        listed.push_back(due->address);
    return listed;
}

}  // namespace

TEST(ScanSchedule, ListsAboutOneAddressPerMillisecondAndCatchesUpOnlyABurst) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 255}, 1000, 5000);
    ASSERT_EQ(s.size(), 254u);
    EXPECT_EQ(list_due(s, 5000), (std::vector<Octets>{Octets{10, 1, 1, 1}}));
    EXPECT_TRUE(list_due(s, 5000).empty()) << "the next turn is a millisecond later";
    EXPECT_EQ(list_due(s, 5001).size(), 1u);
    EXPECT_EQ(list_due(s, 5003).size(), 2u);
    // A caller 100 ms late gets a bounded burst, not the 100 turns it missed.
    std::size_t burst = list_due(s, 5103).size();
    EXPECT_GE(burst, 2u);
    EXPECT_LE(burst, scanner::kProbeBurst + 1);
    EXPECT_EQ(s.next_event(5103), Millis{5104});
}

TEST(ScanSchedule, EachAddressWaitsItsOwnTimeoutFromItsTurn) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 4}, 300, 0);
    for (Millis now : {0, 1, 2})
        list_due(s, now);
    ASSERT_EQ(s.listed(), 3u);
    EXPECT_EQ(s.next_event(2), Millis{300}) << "the first address's deadline comes first";
    EXPECT_FALSE(s.finished(300));
    EXPECT_EQ(s.next_event(300), Millis{301});
    EXPECT_FALSE(s.finished(301));
    EXPECT_TRUE(s.finished(302));
}

TEST(ScanSchedule, EndsAsSoonAsEveryProbedAddressHasAnswered) {
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 4}, 1000, 0);
    list_due(s, 0);
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
    ScanSchedule s({10, 1, 1, 254}, {10, 1, 2, 3}, 100, 0);
    list_due(s, 0);
    ASSERT_EQ(s.listed(), 1u);
    EXPECT_FALSE(s.answer({10, 1, 2, 1}, 0)) << "not probed yet";
    // The four turns since are caught up at 10: .1.255, .2.0, .2.1, .2.2.
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
    ScanSchedule s({10, 1, 1, 1}, {10, 1, 1, 3}, 100, 0);
    list_due(s, 0);
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
    EXPECT_FALSE(s.finished(399));
    EXPECT_TRUE(s.answer({10, 1, 1, 2}, 350)) << "answered within its own wait";
    EXPECT_TRUE(s.finished(350));
}

TEST(ScanSchedule, UnprobedAddressesAreStillWaitedFor) {
    ScanSchedule s({10, 1, 0, 1}, {10, 1, 0, 3}, 150, 0);
    auto first = s.next_due(0);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->probe);
    list_due(s, 1);
    EXPECT_FALSE(s.finished(150));
    EXPECT_TRUE(s.finished(151));
}

TEST(ScanSchedule, EqualStartAndEndIsOneAddress) {
    ScanSchedule s({10, 1, 1, 7}, {10, 1, 1, 7}, 100, 0);
    auto due = s.next_due(0);
    ASSERT_TRUE(due);
    EXPECT_EQ(due->address, (Octets{10, 1, 1, 7}));
    EXPECT_TRUE(due->probe);
    EXPECT_FALSE(s.next_due(50));
    EXPECT_TRUE(s.finished(100));
}
