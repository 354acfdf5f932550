#include <gtest/gtest.h>

#include "monitor/list_filter.h"
#include "monitor/list_order.h"

namespace {

std::vector<Row> rows_of(const std::vector<std::pair<std::string, std::string>>& texts) {
    std::vector<Row> rows;
    for (const auto& [first, second] : texts)
        rows.push_back({{first, 0}, {second, 1}});
    return rows;
}

std::vector<std::size_t> all_of(const std::vector<Row>& rows) {
    std::vector<std::size_t> indexes(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        indexes[i] = i;
    return indexes;
}

// Column `index` of the rows `shown` names, in that order.
std::vector<std::string> column(const std::vector<Row>& rows, const std::vector<std::size_t>& shown, int index) {
    std::vector<std::string> texts;
    for (std::size_t row : shown)
        texts.push_back(rows[row][static_cast<std::size_t>(index)].text);
    return texts;
}

std::vector<std::string> column(const std::vector<Row>& rows, int index) { return column(rows, all_of(rows), index); }

std::vector<std::string> sorted_column(const std::vector<Row>& rows, ListOrder order, bool numeric, int index) {
    return column(rows, ordered_rows(rows, all_of(rows), order, numeric), index);
}

TEST(ListOrder, ASecondClickReversesAndAnotherColumnStartsAscending) {
    ListOrder order;
    order = clicked(order, 2);
    EXPECT_EQ(order.column, 2);
    EXPECT_FALSE(order.descending);
    order = clicked(order, 2);
    EXPECT_TRUE(order.descending);
    order = clicked(order, 0);
    EXPECT_EQ(order.column, 0);
    EXPECT_FALSE(order.descending);
}

TEST(ListOrder, NumbersSortAsNumbersAndTextCaseBlindForAscii) {
    const auto rows = rows_of({{"b", "100秒"}, {"C", "9秒"}, {"a", "-5秒"}, {"B", "10秒"}, {"", "无"}});
    EXPECT_EQ(
        sorted_column(rows, {1, false}, true, 1), (std::vector<std::string>{"-5秒", "9秒", "10秒", "100秒", "无"}));
    EXPECT_EQ(
        sorted_column(rows, {1, true}, true, 1), (std::vector<std::string>{"无", "100秒", "10秒", "9秒", "-5秒"}));
    EXPECT_EQ(sorted_column(rows, {0, false}, false, 0), (std::vector<std::string>{"", "a", "b", "B", "C"}))
        << "b and B compare equal and keep the server's order";
    EXPECT_EQ(sorted_column(rows, {-1, false}, false, 0), column(rows, 0)) << "unsorted: the server's order";
}

TEST(ListOrder, ChineseTextsSortInPinyinOrderAsGbkBytes) {
    // 安 (an), 北 (bei), 张 (zhang), in GBK.
    const auto rows = rows_of({{"\xD5\xC5", ""}, {"\xB0\xB2", ""}, {"\xB1\xB1", ""}, {"zz", ""}});
    EXPECT_EQ(sorted_column(rows, {0, false}, false, 0),
              (std::vector<std::string>{"zz", "\xB0\xB2", "\xB1\xB1", "\xD5\xC5"}));
}

TEST(ListOrder, RowKeyJoinsItsColumnsSoThatNoTwoSessionsShareOne) {
    const Row ab{{"a", 0}, {"bc", 0}}, abc{{"ab", 0}, {"c", 0}};
    EXPECT_NE(row_key(ab, {0, 1}), row_key(abc, {0, 1}));
    EXPECT_EQ(row_key(ab, {1}), "bc");
    EXPECT_EQ(row_key(ab, {5}), "") << "a column the row lacks is empty";
}

TEST(ListFilter, KeepsRowsWithTheTextInOneCellInTheirOrder) {
    const auto rows = rows_of({{"D:\\Alice\\a.doc", "ann"}, {"D:\\b.doc", "ALICE"}, {"x.doc", "bob"}, {"ab", "cd"}});
    EXPECT_EQ(column(rows, rows_containing(rows, "alice"), 1), (std::vector<std::string>{"ann", "ALICE"}))
        << "any column, ASCII in either case";
    EXPECT_TRUE(rows_containing(rows, "bc").empty()) << "never across two cells";
    EXPECT_EQ(rows_containing(rows, "").size(), rows.size());
}

}  // namespace
