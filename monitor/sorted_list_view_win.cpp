#include "monitor/sorted_list_view_win.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "common/controls_win.h"

namespace {

int selected_row(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void set_row_state(HWND list, int row, UINT state) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

SortedListView::SortedListView(std::vector<int> key_columns, std::vector<int> numeric_columns)
    : key_columns_(std::move(key_columns)), numeric_columns_(std::move(numeric_columns)) {}

std::string SortedListView::selected_key() const {
    const int row = selected_row(list_);
    if (row < 0)
        return {};
    Row cells;
    for (int column : key_columns_) {
        if (static_cast<int>(cells.size()) <= column)
            cells.resize(static_cast<std::size_t>(column) + 1);
        cells[static_cast<std::size_t>(column)].text = list_cell_text(list_, row, column);
    }
    return row_key(cells, key_columns_);
}

// The row the key names now, or none when it is gone: no other row takes
// the selection.
void SortedListView::select_key(int was_at, const std::string& key) {
    const std::vector<Row>& rows = shown();
    if (was_at >= 0 && was_at < static_cast<int>(rows.size()) &&
        row_key(rows[static_cast<std::size_t>(was_at)], key_columns_) == key)
        return;
    set_row_state(list_, -1, 0);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (row_key(rows[row], key_columns_) == key) {
            set_row_state(list_, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED);
            SendMessageW(list_, LVM_ENSUREVISIBLE, row, FALSE);
            return;
        }
    }
}

void SortedListView::apply(const std::vector<ListEdit>& edits) {
    if (edits.empty())
        return;
    const int was_at = selected_row(list_);
    const std::string key = selected_key();
    apply_edits(copy_, edits);
    copy_.take_edits();  // the copy's own record is not needed
    if (writer_)
        show_sorted();
    else
        apply_list_edits(list_, edits);
    if (was_at >= 0)
        select_key(was_at, key);
}

void SortedListView::sort_by(int column) {
    const int was_at = selected_row(list_);
    const std::string key = selected_key();
    order_ = clicked(order_, column);
    if (!writer_) {
        // From now on the writer alone places rows: it starts from an empty control.
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        rows_ = std::make_unique<ListViewRows>(list_);
        writer_ = std::make_unique<RowWriter>(*rows_);
    }
    show_sorted();
    mark_header();
    if (was_at >= 0)
        select_key(-1, key);
}

void SortedListView::show_sorted() {
    const bool numeric =
        std::find(numeric_columns_.begin(), numeric_columns_.end(), order_.column) != numeric_columns_.end();
    sorted_ = ordered_rows(copy_.rows(), order_, numeric);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    writer_->assign_keyed(sorted_, key_columns_);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, FALSE);
}

void SortedListView::mark_header() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < count; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == order_.column)
            item.fmt |= order_.descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}
