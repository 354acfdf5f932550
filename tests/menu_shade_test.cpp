// The side bar's colour ramp: rows, ends, rounding and the step cap.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/shade.h"

namespace {

constexpr std::uint32_t kDarkBlue = 0xC00000;  // colour reference of RGB(0, 0, 192)
constexpr std::uint32_t kBlack = 0;

std::uint32_t row_colour(const std::vector<std::uint32_t>& pixels, int width, int row) {
    return pixels[static_cast<std::size_t>(row) * width];
}

int blue(std::uint32_t pixel) { return pixel & 0xFF; }

}  // namespace

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesZeroDivisors) {
    EXPECT_EQ(menu::mul_div(256, 1, 2), 128);
    EXPECT_EQ(menu::mul_div(5, 1, 2), 3);
    EXPECT_EQ(menu::mul_div(-5, 1, 2), -3);
    EXPECT_EQ(menu::mul_div(-192, 254, 255), -191);
    EXPECT_EQ(menu::mul_div(7, 3, 0), -1);
    EXPECT_EQ(menu::mul_div(0x40000000, 8, 1), -1) << "overflow";
    EXPECT_EQ(menu::mul_div(0x40000000, 8, 16), 0x20000000) << "64-bit intermediate";
}

TEST(ShadeTable, RunsFromColourOneToColourTwoInDibOrder) {
    // Red 0x10, green 0x20, blue 0x30 as a colour reference.
    std::vector<std::uint32_t> table = menu::shade_table(0x302010, 0x000000, 3);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], 0x102030u) << "red and blue swap places";
    EXPECT_EQ(table[1], 0x081018u);
    EXPECT_EQ(table[2], 0u);
    EXPECT_EQ(menu::shade_table(kDarkBlue, kBlack, 256).front(), 0x0000C0u);
    EXPECT_EQ(menu::shade_table(kDarkBlue, kBlack, 256).back(), 0u);
}

TEST(ShadeTable, CapsStepsAndHandlesDegenerateCounts) {
    EXPECT_EQ(menu::shade_table(kDarkBlue, kBlack, 1000).size(), 256u);
    std::vector<std::uint32_t> one = menu::shade_table(kDarkBlue, kBlack, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], 0x0000C0u) << "one step is colour 1, not a division by zero";
    EXPECT_TRUE(menu::shade_table(kDarkBlue, kBlack, 0).empty());
}

TEST(ShadePixels, BottomRowIsColourOneAndTopRowWithinOneStepOfColourTwo) {
    for (int height : {1, 2, 7, 255, 256, 300, 511, 1000, 4000}) {
        SCOPED_TRACE(height);
        const int width = 27;
        std::vector<std::uint32_t> pixels = menu::shade_pixels(kDarkBlue, kBlack, width, height, 256);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * height);
        EXPECT_EQ(row_colour(pixels, width, 0), 0x0000C0u);
        // Row i takes entry 256 * i / height, so the top row reaches the last
        // step once the bar is at least as tall as the table is long.
        std::vector<std::uint32_t> table = menu::shade_table(kDarkBlue, kBlack, 256);
        int top_entry = std::min(menu::mul_div(256, height - 1, height), 255);
        EXPECT_EQ(row_colour(pixels, width, height - 1), table[static_cast<std::size_t>(top_entry)]);
        if (height >= 256) {
            EXPECT_LE(blue(row_colour(pixels, width, height - 1)), 1) << "192 over 255 steps: under one unit a step";
        }
        // Rows only darken going up, and every pixel of a row is the same.
        for (int row = 1; row < height; ++row)
            ASSERT_LE(blue(row_colour(pixels, width, row)), blue(row_colour(pixels, width, row - 1)));
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(pixels[static_cast<std::size_t>(height - 1) * width + x], row_colour(pixels, width, height - 1));
    }
}

TEST(ShadePixels, TallBarsStayInsideTheTable) {
    // 256 * 999 / 1000 rounds to 256, one past the table's end: it must
    // clamp to the last entry, which is colour 2 itself.
    std::vector<std::uint32_t> pixels = menu::shade_pixels(0x0000FF, 0xFF0000, 1, 1000, 256);
    EXPECT_EQ(pixels.back(), 0x0000FFu);
    EXPECT_EQ(pixels.front(), 0xFF0000u);
}

TEST(ShadePixels, FewStepsMakeBands) {
    std::vector<std::uint32_t> pixels = menu::shade_pixels(0x0000FF, 0x000000, 1, 4, 2);
    ASSERT_EQ(pixels.size(), 4u);
    // Row i takes entry round(2 * i / 4): 0, 1 (0.5 rounds up), 1, 2 -> clamped to 1.
    EXPECT_EQ(pixels[0], 0xFF0000u);
    EXPECT_EQ(pixels[1], 0u);
    EXPECT_EQ(pixels[3], 0u);
}

TEST(ShadePixels, EmptyForNonPositiveSizesOrSteps) {
    EXPECT_TRUE(menu::shade_pixels(kDarkBlue, kBlack, 0, 10, 256).empty());
    EXPECT_TRUE(menu::shade_pixels(kDarkBlue, kBlack, 10, -3, 256).empty());
    EXPECT_TRUE(menu::shade_pixels(kDarkBlue, kBlack, 10, 10, 0).empty());
}
