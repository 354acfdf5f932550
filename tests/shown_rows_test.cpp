#include <gtest/gtest.h>

#include "monitor/shown_rows.h"

namespace {

ListEdit insert(int row, const std::string& text) { return {ListEdit::InsertRow, row, 0, {text, kNoImage}}; }
ListEdit set(int row, int column, const std::string& text) {
    return {ListEdit::SetCell, row, column, {text, kNoImage}};
}
ListEdit remove(int row) { return {ListEdit::DeleteRow, row, 0, {}}; }

// An open of `user` with id `id`: column 0 the id, column 1 the user.
std::vector<ListEdit> add_open(int row, const std::string& id, const std::string& user) {
    return {insert(row, id), set(row, 1, user)};
}

std::vector<std::string> shown_column(const ShownRows& rows, std::size_t column) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < rows.count(); ++i)
        texts.push_back(rows.at(i)[column].text);
    return texts;
}

void append(std::vector<ListEdit>& edits, const std::vector<ListEdit>& more) {
    edits.insert(edits.end(), more.begin(), more.end());
}

TEST(ShownRows, StaysSortedAndNarrowedAsPassesAddChangeAndRemoveRows) {
    ShownRows rows({0});
    std::vector<ListEdit> pass;
    append(pass, add_open(0, "30", "carl"));
    append(pass, add_open(1, "4", "ann"));
    append(pass, add_open(2, "100", "bob"));
    rows.apply(pass);
    EXPECT_EQ(shown_column(rows, 0), (std::vector<std::string>{"30", "4", "100"})) << "the server's order";

    rows.sort_by(0);
    EXPECT_EQ(shown_column(rows, 0), (std::vector<std::string>{"4", "30", "100"})) << "ids as numbers";
    rows.find("B");
    EXPECT_EQ(shown_column(rows, 0), (std::vector<std::string>{"100"}));
    EXPECT_EQ(rows.total(), 3u);

    // A pass: the first row goes, a new open of Bob's comes last, Ann's becomes Bobby's.
    pass = {remove(0)};
    append(pass, add_open(2, "7", "bob"));
    pass.push_back(set(0, 1, "bobby"));
    rows.apply(pass);
    EXPECT_EQ(shown_column(rows, 0), (std::vector<std::string>{"4", "7", "100"})) << "narrowed and sorted again";

    rows.sort_by(0);
    EXPECT_EQ(shown_column(rows, 0), (std::vector<std::string>{"100", "7", "4"})) << "a second click reverses";
    rows.find("");
    EXPECT_EQ(rows.count(), 3u);
    rows.apply({set(2, 1, "dan")});
    EXPECT_EQ(shown_column(rows, 1), (std::vector<std::string>{"bob", "dan", "bobby"}))
        << "still sorted without a find text";
}

TEST(ShownRows, FindsWhereEachKeyIsShownNowAndNoneForARowGoneOrHidden) {
    ShownRows rows({});
    std::vector<ListEdit> pass;
    append(pass, add_open(0, "1", "ann"));
    append(pass, add_open(1, "2", "bob"));
    append(pass, add_open(2, "3", "ann"));
    rows.apply(pass);
    rows.sort_by(1);
    rows.sort_by(1);  // users descending: 2, 1, 3
    EXPECT_EQ(rows.indexes_of({"3", "2", "3", "9"}, {0}), (std::vector<int>{2, 0, 2, -1}))
        << "a key asked twice is found twice";
    rows.find("ann");
    EXPECT_EQ(rows.indexes_of({"2", "1"}, {0}), (std::vector<int>{-1, 0})) << "hidden by the find text";
    EXPECT_EQ(rows.indexes_of({"ann\n3"}, {1, 0}), (std::vector<int>{1})) << "a key of several columns";
}

TEST(ShownRows, TypingFindsTheNextRowStartingWithTheTextInTheShownOrder) {
    ShownRows rows({});
    std::vector<ListEdit> pass;
    append(pass, add_open(0, "Bob", "1"));
    append(pass, add_open(1, "ann", "2"));
    append(pass, add_open(2, "bea", "3"));
    rows.apply(pass);
    rows.sort_by(0);  // ann, bea, Bob
    EXPECT_EQ(rows.first_starting_with("b", 0), 1);
    EXPECT_EQ(rows.first_starting_with("BO", 0), 2) << "ASCII in either case";
    EXPECT_EQ(rows.first_starting_with("a", 2), 0) << "from the top again after the last row";
    EXPECT_EQ(rows.first_starting_with("c", 0), -1);
    rows.find("ann");
    EXPECT_EQ(rows.first_starting_with("b", 0), -1) << "only the shown rows";
}

}  // namespace
