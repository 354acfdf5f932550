// Measuring and laying out drawn menu entries, their texts and the column
// break of the building sequence.
#include <gtest/gtest.h>

#include "controls/column_break.h"
#include "controls/menu_geometry.h"
#include "controls/menu_text.h"

using menu::Box;
using menu::EntryKind;
using menu::Extent;

namespace {

constexpr menu::CheckMetrics kCheck{13, 13};

}  // namespace

TEST(MeasureEntry, ItemsAreNeverLowerThanTheIconSizePlusFour) {
    Extent small = menu::measure_entry(EntryKind::Item, 16, {40, 12}, kCheck);
    EXPECT_EQ(small.height, 20);
    Extent tall = menu::measure_entry(EntryKind::Item, 16, {40, 27}, kCheck);
    EXPECT_EQ(tall.height, 27) << "a taller menu font wins";
    EXPECT_EQ(menu::measure_entry(EntryKind::Item, 32, {40, 12}, kCheck).height, 36);
}

TEST(MeasureEntry, WidthsTakeOffTheCheckMarkTheSystemAddsBack) {
    // 2 * 16 + 12 + 40, then + 1 - 13.
    EXPECT_EQ(menu::measure_entry(EntryKind::Item, 16, {40, 12}, kCheck).width, 72);
    EXPECT_EQ(menu::measure_entry(EntryKind::Item, 16, {40, 12}, {15, 15}).width, 70);
    Extent bar = menu::measure_entry(EntryKind::TitleStrip, 24, {99, 99}, kCheck);
    EXPECT_EQ(bar.width, 12);
    EXPECT_EQ(bar.height, 1) << "the bar's height comes from the column, yet an empty entry is never drawn";
    Extent line = menu::measure_entry(EntryKind::Separator, 16, {99, 99}, kCheck);
    EXPECT_EQ(line.width, -12) << "negative: the system's addition brings it back to 1";
    EXPECT_EQ(static_cast<unsigned>(line.width) + 13u, 1u);
}

TEST(MeasureEntry, SeparatorsAreHalfTheCheckMarkHeightRoundedDown) {
    EXPECT_EQ(menu::measure_entry(EntryKind::Separator, 16, {}, {13, 13}).height, 6);
    EXPECT_EQ(menu::measure_entry(EntryKind::Separator, 16, {}, {16, 16}).height, 8);
    EXPECT_EQ(menu::measure_entry(EntryKind::Separator, 16, {}, {1, 1}).height, 0);
}

TEST(LayOutItem, LabelsLineUpWhateverTheIcon) {
    menu::ItemLayout layout = menu::lay_out_item({3, 40, 150, 60}, 16);
    EXPECT_EQ(layout.icon_square, (Box{3, 40, 23, 60}));
    EXPECT_EQ(layout.icon, (Box{5, 42, 21, 58}));
    EXPECT_EQ(layout.text, (Box{25, 40, 134, 60})) << "h + 2 from the left, size from the right";
    // A taller row pushes the label right by as much.
    EXPECT_EQ(menu::lay_out_item({3, 40, 150, 70}, 16).text.left, 35);
}

TEST(LayOutItem, BarSeparatorAndCheckMarkBoxes) {
    EXPECT_EQ(menu::title_strip_box({2, 30, 26, 30}, {0, 0, 200, 187}), (Box{2, 0, 26, 187}));
    EXPECT_EQ(menu::separator_line_box({26, 50, 140, 57}), (Box{26, 53, 140, 57}));
    EXPECT_EQ(menu::check_mark_origin({5, 42, 21, 58}).x, 9);
    EXPECT_EQ(menu::check_mark_origin({5, 42, 21, 58}).y, 46);
    // Squares smaller than the mark: halves round toward zero.
    EXPECT_EQ(menu::check_mark_origin({10, 10, 15, 15}).x, 10 + (5 - 8) / 2);
}

TEST(AcceleratorText, ModifiersInOrderThenTheKey) {
    auto name = [](std::uint16_t key) { return key == 0x46 ? std::string("F") : std::string("?"); };
    using namespace menu;
    EXPECT_EQ(accelerator_text(kAccelVirtKey, 0x46, name), "F");
    EXPECT_EQ(accelerator_text(kAccelVirtKey | kAccelControl, 0x46, name), "Ctrl+F");
    EXPECT_EQ(accelerator_text(kAccelVirtKey | kAccelShift, 0x46, name), "Shift+F");
    EXPECT_EQ(accelerator_text(kAccelVirtKey | kAccelAlt, 0x46, name), "Alt+F");
    EXPECT_EQ(
        accelerator_text(kAccelVirtKey | kAccelAlt | kAccelShift | kAccelControl, 0x46, name), "Ctrl+Shift+Alt+F");
    EXPECT_EQ(accelerator_text(kAccelControl | kAccelShift, 'k', name), "Ctrl+Shift+k") << "a character key";
    EXPECT_EQ(accelerator_text(0, 'Q', name), "Q");
}

TEST(AcceleratorText, EscapeAsACharacterNamesNothing) {
    int asked = 0;
    auto name = [&](std::uint16_t) {
        ++asked;
        return std::string("Esc");
    };
    EXPECT_EQ(menu::accelerator_text(0, 27, name), "");
    EXPECT_EQ(menu::accelerator_text(menu::kAccelControl, 27, name), "Ctrl+");
    EXPECT_EQ(asked, 0) << "character keys are never looked up";
    EXPECT_EQ(menu::accelerator_text(menu::kAccelVirtKey, 27, name), "Esc") << "virtual key 27 has a name";
}

TEST(LabelText, TabSplitsLabelAndAccelerator) {
    EXPECT_EQ(menu::with_accelerator("打开", "Ctrl+O"), "打开\tCtrl+O");
    EXPECT_EQ(menu::with_accelerator("打开", ""), "打开") << "no tab for an empty accelerator";

    menu::LabelParts plain = menu::split_label("系统设置");
    EXPECT_EQ(plain.label, "系统设置");
    EXPECT_FALSE(plain.draw_accelerator);

    menu::LabelParts both = menu::split_label("打开\tCtrl+O\tx");
    EXPECT_EQ(both.label, "打开");
    EXPECT_EQ(both.accelerator, "Ctrl+O\tx") << "only the first tab splits";
    EXPECT_TRUE(both.draw_accelerator);

    menu::LabelParts leading = menu::split_label("\tCtrl+O");
    EXPECT_EQ(leading.label, "");
    EXPECT_FALSE(leading.draw_accelerator) << "a leading tab hides the accelerator";
}

TEST(ColumnBreak, TheItemAfterTheSideBarOpensANewColumn) {
    menu::ColumnBreak sequence;
    EXPECT_EQ(sequence.title_strip(), menu::kFlagOwnerDraw | menu::kFlagSeparator);
    EXPECT_EQ(sequence.item(0), menu::kFlagOwnerDraw | menu::kFlagMenuBreak);
    EXPECT_EQ(sequence.item(0), menu::kFlagOwnerDraw) << "only the first item breaks";
    EXPECT_EQ(sequence.separator(), menu::kFlagOwnerDraw | menu::kFlagSeparator);
    EXPECT_EQ(sequence.item(0x8), menu::kFlagOwnerDraw | 0x8u) << "caller's flags pass through";
}

TEST(ColumnBreak, ASeparatorRightAfterTheSideBarCancelsTheBreak) {
    menu::ColumnBreak sequence;
    sequence.title_strip();
    EXPECT_TRUE(sequence.pending());
    EXPECT_EQ(sequence.separator() & menu::kFlagMenuBreak, 0u);
    EXPECT_FALSE(sequence.pending());
    EXPECT_EQ(sequence.item(0) & menu::kFlagMenuBreak, 0u) << "side bar and items share one column";
    sequence.title_strip();
    sequence.title_strip();
    EXPECT_NE(sequence.item(0) & menu::kFlagMenuBreak, 0u) << "a second bar keeps one pending break";
}
