// A session or open-file list view over a copy of its rows that the window
// keeps: each pass's edits go into the copy; the control shows it in the
// server's order until a header click sorts it, and from then on in that
// order, with only the cells that differ written. The selection follows its
// row by key.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "monitor/list_order.h"
#include "monitor/list_view_rows_win.h"
#include "monitor/recorded_list.h"

class SortedListView {
public:
    // `key_columns` name a row; `numeric_columns` sort as numbers.
    SortedListView(std::vector<int> key_columns, std::vector<int> numeric_columns);
    void attach(HWND list) { list_ = list; }

    void apply(const std::vector<ListEdit>& edits);
    // A click on `column`'s header: sorted by it, or the other way round.
    void sort_by(int column);

private:
    const std::vector<Row>& shown() const { return writer_ ? sorted_ : copy_.rows(); }
    std::string selected_key() const;
    void select_key(int was_at, const std::string& key);
    void show_sorted();
    void mark_header() const;

    HWND list_ = nullptr;
    std::vector<int> key_columns_;
    std::vector<int> numeric_columns_;
    RecordedList copy_;
    ListOrder order_;
    std::vector<Row> sorted_;
    std::unique_ptr<ListViewRows> rows_;
    std::unique_ptr<RowWriter> writer_;  // the only writer of the control once sorted
};
