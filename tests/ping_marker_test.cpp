// The activity marker's steps and turning points.
#include <gtest/gtest.h>

#include <vector>

#include "ping/activity_marker.h"

namespace {

std::vector<int> positions(ActivityMarker& m, int ticks) {
    std::vector<int> xs;
    for (int i = 0; i < ticks; ++i) {
        m.tick();
        xs.push_back(m.x());
    }
    return xs;
}

TEST(ActivityMarker, RunsTwentyPixelsAndTurnsFiveInsideEachEnd) {
    ActivityMarker m;
    m.set_line(40, 100);
    m.start();
    EXPECT_EQ(m.x(), 40);
    EXPECT_EQ(m.step(), 20);
    EXPECT_EQ(positions(m, 8), (std::vector<int>{60, 80, 100, 95, 75, 55, 45, 65}));
}

TEST(ActivityMarker, ReachingAnEndExactlyDoesNotTurnYet) {
    ActivityMarker m;
    m.set_line(0, 40);
    m.start();
    EXPECT_EQ(positions(m, 3), (std::vector<int>{20, 40, 35}));
    EXPECT_EQ(m.step(), -20);
}

TEST(ActivityMarker, LineShorterThanAStepStaysInside) {
    ActivityMarker m;
    m.set_line(10, 18);
    m.start();
    for (int x : positions(m, 6)) {
        EXPECT_GE(x, 10);
        EXPECT_LE(x, 18);
    }
}

TEST(ActivityMarker, RestartBeginsAtTheLeftEndGoingRight) {
    ActivityMarker m;
    m.set_line(40, 100);
    m.start();
    positions(m, 4);
    m.start();
    EXPECT_EQ(m.x(), 40);
    EXPECT_EQ(positions(m, 1), std::vector<int>{60});
}

}  // namespace
