// A session or open-file list view over a copy of its rows that the window
// keeps: each pass's edits go into the copy; the control shows it in the
// server's order until a header click sorts it or a find text narrows it,
// and from then on in that order and only the rows containing the text, with
// only the cells that differ written. The selected rows follow their rows by
// key.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "monitor/list_order.h"
#include "monitor/list_view_rows_win.h"
#include "monitor/recorded_list.h"

class SortedListView {
public:
    // `key_columns` name a row; `numeric_columns` sort as numbers.
    SortedListView(std::vector<int> key_columns, std::vector<int> numeric_columns);
    void attach(HWND list) { list_ = list; }
    HWND control() const { return list_; }

    void apply(const std::vector<ListEdit>& edits);
    // A click on `column`'s header: sorted by it, or the other way round.
    void sort_by(int column);
    // Only the rows containing `text` are shown; all of them when it is empty.
    void find(const std::string& text);

    // The rows the control shows, in its order.
    const std::vector<Row>& shown() const { return writer_ ? sorted_ : copy_.rows(); }
    std::size_t total() const { return copy_.rows().size(); }
    // The shown rows the user selected, in the shown order.
    std::vector<Row> selected() const;

private:
    std::vector<int> selected_indexes() const;
    std::vector<std::string> keys_at(const std::vector<int>& indexes) const;
    void reselect(const std::vector<std::string>& keys);
    void write_through_writer();
    void show_ordered();
    void mark_header() const;

    HWND list_ = nullptr;
    std::vector<int> key_columns_;
    std::vector<int> numeric_columns_;
    RecordedList copy_;
    ListOrder order_;
    std::string find_text_;
    std::vector<Row> sorted_;
    std::unique_ptr<ListViewRows> rows_;
    std::unique_ptr<RowWriter> writer_;  // the only writer of the control once sorted or narrowed
};
