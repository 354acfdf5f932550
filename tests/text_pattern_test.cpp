#include <gtest/gtest.h>

#include "common/text_pattern.h"

TEST(TextPattern, FillsTheFirstPlaceWithTheValueAsItIs) {
    const std::string update = "已推出最新的%s版本,请到软件主页下载使用最新版本!";
    EXPECT_EQ(with_value(update, "5.2"), "已推出最新的5.2版本,请到软件主页下载使用最新版本!");
    EXPECT_EQ(with_value(update, " 12"), "已推出最新的 12版本,请到软件主页下载使用最新版本!") << "blanks kept";
    EXPECT_EQ(with_value("a%sb%s", "%s%d"), "a%s%db%s") << "a value is not a pattern, and one place is filled";
    EXPECT_EQ(with_value("no place", "x"), "no place");
    EXPECT_EQ(with_value("", "x"), "");
}
