// The single-instance guard on real named mutexes.
#include "support/gtest_winelib.h"

#include <memory>

#include "common/single_instance_win.h"

namespace {

const char kName[] = "FilvaneSingleInstanceTest";

TEST(SingleInstance, OnlyTheHolderKeepsTheNameAndItIsFreeOnceTheHolderIsGone) {
    auto first = std::make_unique<SingleInstance>();
    ASSERT_TRUE(first->claim(kName));
    SingleInstance refused;
    EXPECT_FALSE(refused.claim(kName));
    first.reset();
    SingleInstance next;
    EXPECT_TRUE(next.claim(kName)) << "a refused claim holds nothing, a gone holder nothing either";
}

}  // namespace
