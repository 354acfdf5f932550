#include "monitor/sorted_list_view_win.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "common/controls_win.h"
#include "monitor/list_filter.h"

namespace {

void set_row_state(HWND list, int row, UINT state) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

SortedListView::SortedListView(std::vector<int> key_columns, std::vector<int> numeric_columns)
    : key_columns_(std::move(key_columns)), numeric_columns_(std::move(numeric_columns)) {}

std::vector<int> SortedListView::selected_indexes() const {
    std::vector<int> indexes;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0)
        indexes.push_back(row);
    return indexes;
}

std::vector<std::string> SortedListView::keys_at(const std::vector<int>& indexes) const {
    const std::vector<Row>& rows = shown();
    std::vector<std::string> keys;
    keys.reserve(indexes.size());
    for (int index : indexes)
        if (static_cast<std::size_t>(index) < rows.size())
            keys.push_back(row_key(rows[static_cast<std::size_t>(index)], key_columns_));
    return keys;
}

std::vector<Row> SortedListView::selected() const {
    const std::vector<Row>& rows = shown();
    std::vector<Row> chosen;
    for (int index : selected_indexes())
        if (static_cast<std::size_t>(index) < rows.size())
            chosen.push_back(rows[static_cast<std::size_t>(index)]);
    return chosen;
}

// The rows the keys name now, and no others: a row gone or hidden by the
// find text takes its selection with it.
void SortedListView::reselect(const std::vector<std::string>& keys) {
    if (keys.empty())
        return;
    const std::vector<int> now = selected_indexes();
    std::vector<std::string> now_keys = keys_at(now), wanted = keys;
    std::sort(now_keys.begin(), now_keys.end());
    std::sort(wanted.begin(), wanted.end());
    if (now_keys == wanted && now_keys.size() == now.size())
        return;  // the control moved the selection with its rows
    std::unordered_map<std::string, int> index_of;
    const std::vector<Row>& rows = shown();
    for (std::size_t row = 0; row < rows.size(); ++row)
        index_of.emplace(row_key(rows[row], key_columns_), static_cast<int>(row));
    set_row_state(list_, -1, 0);
    bool first = true;
    for (const std::string& key : keys) {
        auto found = index_of.find(key);
        if (found == index_of.end())
            continue;
        set_row_state(list_, found->second, first ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED);
        if (first)
            SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(found->second), FALSE);
        first = false;
    }
}

void SortedListView::apply(const std::vector<ListEdit>& edits) {
    if (edits.empty())
        return;
    const std::vector<std::string> keys = keys_at(selected_indexes());
    apply_edits(copy_, edits);
    copy_.take_edits();  // the copy's own record is not needed
    if (writer_)
        show_ordered();
    else
        apply_list_edits(list_, edits);
    reselect(keys);
}

void SortedListView::sort_by(int column) {
    const std::vector<std::string> keys = keys_at(selected_indexes());
    order_ = clicked(order_, column);
    write_through_writer();
    show_ordered();
    mark_header();
    reselect(keys);
}

void SortedListView::find(const std::string& text) {
    if (text == find_text_)
        return;
    const std::vector<std::string> keys = keys_at(selected_indexes());
    find_text_ = text;
    write_through_writer();
    show_ordered();
    reselect(keys);
}

void SortedListView::write_through_writer() {
    if (writer_)
        return;
    // From now on the writer alone places rows: it starts from an empty control.
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_ = std::make_unique<ListViewRows>(list_);
    writer_ = std::make_unique<RowWriter>(*rows_);
}

void SortedListView::show_ordered() {
    const bool numeric =
        std::find(numeric_columns_.begin(), numeric_columns_.end(), order_.column) != numeric_columns_.end();
    sorted_ = ordered_rows(rows_containing(copy_.rows(), find_text_), order_, numeric);
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
