// What a session or open-file list shows: the window's one copy of the list's
// rows, kept by each pass's edits, in the server's order until a header click
// sorts them or a find text narrows them, and from then on in that order and
// only the rows containing the text. The list-view control holds no rows of
// its own: it asks for the cells of the rows it draws.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "monitor/list_order.h"
#include "monitor/list_rows.h"
#include "monitor/recorded_list.h"

class ShownRows {
public:
    // `numeric_columns` sort as numbers.
    explicit ShownRows(std::vector<int> numeric_columns) : numeric_columns_(std::move(numeric_columns)) {}

    void apply(const std::vector<ListEdit>& edits);
    // A click on `column`'s header: sorted by it, or the other way round.
    void sort_by(int column);
    // Only the rows containing `text`; all of them when it is empty.
    void find(const std::string& text);

    const ListOrder& order() const { return order_; }
    const std::string& find_text() const { return find_text_; }
    std::size_t count() const { return arranged() ? shown_.size() : copy_.rows().size(); }
    std::size_t total() const { return copy_.rows().size(); }
    // The row shown at `index` (below count()).
    const Row& at(std::size_t index) const { return copy_.rows()[arranged() ? shown_[index] : index]; }
    // For each key (see row_key()), the index it is shown at, or -1 when no
    // shown row has it.
    std::vector<int> indexes_of(const std::vector<std::string>& keys, const std::vector<int>& key_columns) const;

    // The first shown row from `from` on, then from the top, whose first
    // cell begins with `text` (ASCII in either case), as typing into the
    // list looks for one; -1 when none does.
    int first_starting_with(const std::string& text, std::size_t from) const;

private:
    bool arranged() const { return order_.column >= 0 || !find_text_.empty(); }
    void arrange();

    std::vector<int> numeric_columns_;
    RecordedList copy_;
    ListOrder order_;
    std::string find_text_;
    std::vector<std::size_t> shown_;  // indexes into the copy, while arranged
};
