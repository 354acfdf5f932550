// A session or open-file list view (LVS_OWNERDATA) over the rows the window
// keeps (ShownRows): the control holds no rows, it asks its parent for the
// cells of the rows it draws, which the parent hands to fill_cell(). The
// selected rows follow their rows by key.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "monitor/shown_rows.h"

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
    // Answers the control's LVN_GETDISPINFOW; false for another control's.
    bool fill_cell(NMLVDISPINFOW& info) const;
    // Answers the control's LVN_ODFINDITEMW (a row looked for by typing its
    // first letters): the row's index or -1. False for another control's.
    bool find_typed(const NMLVFINDITEMW& find, INT_PTR& result) const;

    std::size_t shown_count() const { return rows_.count(); }
    std::size_t total() const { return rows_.total(); }
    // The rows the control shows, in its order (a copy, for an export).
    std::vector<Row> shown() const;
    // The shown rows the user selected, in the shown order.
    std::vector<Row> selected() const;

private:
    struct Selection {
        std::vector<std::string> keys;
        std::string focused;  // empty: no focused row
        bool has_focus = false;
    };
    std::vector<int> selected_indexes() const;
    Selection selection() const;
    void show_count();
    void reselect(const Selection& before, bool scroll);
    void mark_header() const;

    HWND list_ = nullptr;
    std::vector<int> key_columns_;
    ShownRows rows_;
};
