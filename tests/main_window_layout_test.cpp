#include <gtest/gtest.h>

#include "common/window_layout.h"
#include "shell/window_memory.h"

namespace {

// The main window's pieces at its smallest size, in pixels: a label, the
// three lists and the status line (which overlaps the last list's foot).
std::vector<Piece> main_window() {
    return {
        {{20, 50, 90, 12}, Grow::None},            // label above the shares
        {{18, 70, 600, 170}, Grow::WideAndTall},   // shares
        {{18, 250, 90, 12}, Grow::None},           // label above the sessions
        {{500, 248, 110, 16}, Grow::Right},        // a button at the end of its line
        {{16, 270, 600, 150}, Grow::WideAndTall},  // sessions
        {{16, 430, 90, 12}, Grow::None},           // label above the open files
        {{15, 450, 600, 160}, Grow::WideAndTall},  // open files
        {{18, 608, 590, 12}, Grow::Wide},          // status line
    };
}

TEST(MainWindowLayout, AtTheSmallestSizeNothingMoves) {
    const auto pieces = main_window();
    const auto boxes = lay_out(pieces, 0, 0);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(boxes[i], pieces[i].box) << i;
    // Smaller than the smallest is the smallest.
    EXPECT_EQ(lay_out(pieces, -40, -70), boxes);
}

TEST(MainWindowLayout, ListsShareTheExtraHeightByTheirHeightsAndWhatIsBelowFollows) {
    const auto boxes = lay_out(main_window(), 300, 481);
    // 481 over heights 170:150:160 (480): 170, 150, the rest 161.
    EXPECT_EQ(boxes[1], (Box{18, 70, 900, 340}));
    EXPECT_EQ(boxes[2], (Box{18, 420, 90, 12})) << "labels move, never grow";
    EXPECT_EQ(boxes[3], (Box{500 + 300, 418, 110, 16})) << "a button keeps to the right edge";
    EXPECT_EQ(boxes[4], (Box{16, 440, 900, 300}));
    EXPECT_EQ(boxes[6], (Box{15, 770, 900, 321}));
    EXPECT_EQ(boxes[7], (Box{18, 608 + 481, 890, 12})) << "the status line keeps its distance from the bottom";
    EXPECT_EQ(boxes[0], (Box{20, 50, 90, 12})) << "what is above every list stays";
}

TEST(MainWindowLayout, ColumnsShareTheExtraWidthAndComeBackExactly) {
    const std::vector<int> open_files{250, 150, 120, 0};
    const auto wider = spread_widths(open_files, 1041);
    EXPECT_EQ(wider[0] + wider[1] + wider[2], 520 + 1041) << "every pixel given";
    EXPECT_EQ(wider[0], 250 + 1041 * 250 / 520);
    EXPECT_EQ(wider[3], 0) << "the hidden id column stays hidden";
    EXPECT_EQ(spread_widths(open_files, 0), open_files);
    const auto narrower = spread_widths(open_files, -260);
    EXPECT_EQ(narrower, (std::vector<int>{125, 75, 60, 0}));
    const auto crushed = spread_widths(open_files, -100000);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_GE(crushed[i], 1) << "a shown column never vanishes";
    EXPECT_EQ(spread_widths({0, 0}, 50), (std::vector<int>{0, 0}));
}

TEST(WindowMemory, PlacementAndWidthsReadBackWhatWasWritten) {
    const StoredPlacement placement{-1200, 30, -100, 900, true};
    EXPECT_EQ(placement_text(placement), "-1200,30,-100,900,1");
    const auto back = parse_placement(placement_text(placement));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->left, -1200);
    EXPECT_EQ(back->bottom, 900);
    EXPECT_TRUE(back->maximised);
    EXPECT_EQ(parse_widths(widths_text({130, 150, 0}), 3), (std::vector<int>{130, 150, 0}));
}

TEST(WindowMemory, DamagedTextsAreRefused) {
    for (const char* text : {"", "1,2,3,4", "1,2,3,4,1,6", "10,10,5,20,0", "10,10,20,10,0", "1,2,3,4,2", "1,,3,4,0",
                             "1,2,3,4,0,", "a,2,3,4,0", "1,2,3,99999999999,0"})
        EXPECT_FALSE(parse_placement(text)) << text;
    EXPECT_FALSE(parse_widths("130,150", 3));
    EXPECT_FALSE(parse_widths("130,-5,100", 3));
    EXPECT_FALSE(parse_widths("130;150;100", 3));
}

}  // namespace
