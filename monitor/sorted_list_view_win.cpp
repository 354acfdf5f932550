#include "monitor/sorted_list_view_win.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "common/wide_text_win.h"

namespace {

void set_row_state(HWND list, int row, UINT mask, UINT state) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int next_row(HWND list, int after, UINT flags) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), flags));
}

}  // namespace

SortedListView::SortedListView(std::vector<int> key_columns, std::vector<int> numeric_columns)
    : key_columns_(std::move(key_columns)), rows_(std::move(numeric_columns)) {}

std::vector<int> SortedListView::selected_indexes() const {
    std::vector<int> indexes;
    for (int row = -1; (row = next_row(list_, row, LVNI_SELECTED)) >= 0;)
        indexes.push_back(row);
    return indexes;
}

SortedListView::Selection SortedListView::selection() const {
    Selection chosen;
    for (int index : selected_indexes())
        if (static_cast<std::size_t>(index) < rows_.count())
            chosen.keys.push_back(row_key(rows_.at(static_cast<std::size_t>(index)), key_columns_));
    const int focused = next_row(list_, -1, LVNI_FOCUSED);
    if (focused >= 0 && static_cast<std::size_t>(focused) < rows_.count()) {
        chosen.focused = row_key(rows_.at(static_cast<std::size_t>(focused)), key_columns_);
        chosen.has_focus = true;
    }
    return chosen;
}

std::vector<Row> SortedListView::shown() const {
    std::vector<Row> rows;
    rows.reserve(rows_.count());
    for (std::size_t index = 0; index < rows_.count(); ++index)
        rows.push_back(rows_.at(index));
    return rows;
}

std::vector<Row> SortedListView::selected() const {
    std::vector<Row> chosen;
    for (int index : selected_indexes())
        if (static_cast<std::size_t>(index) < rows_.count())
            chosen.push_back(rows_.at(static_cast<std::size_t>(index)));
    return chosen;
}

bool SortedListView::fill_cell(NMLVDISPINFOW& info) const {
    if (info.hdr.hwndFrom != list_ || info.hdr.code != LVN_GETDISPINFOW)
        return false;
    LVITEMW& item = info.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows_.count())
        return true;
    const Row& row = rows_.at(static_cast<std::size_t>(item.iItem));
    const Cell* cell = item.iSubItem >= 0 && static_cast<std::size_t>(item.iSubItem) < row.size()
                           ? &row[static_cast<std::size_t>(item.iSubItem)]
                           : nullptr;
    // Copied into the control's buffer, which may lie in another process's
    // request (a driver reading cells): a pointer of ours would not reach it.
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::u16string text = cell ? widen(cell->text) : std::u16string();
        const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        std::copy_n(wide_ptr(text), length, item.pszText);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = cell && cell->image != kNoImage ? cell->image : I_IMAGENONE;
    return true;
}

bool SortedListView::find_typed(const NMLVFINDITEMW& find, INT_PTR& result) const {
    if (find.hdr.hwndFrom != list_ || find.hdr.code != LVN_ODFINDITEMW)
        return false;
    result = -1;
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find.lvfi.psz) {
        const std::size_t from = find.iStart >= 0 ? static_cast<std::size_t>(find.iStart) : 0;
        result =
            rows_.first_starting_with(narrow(find.lvfi.psz, static_cast<std::size_t>(lstrlenW(find.lvfi.psz))), from);
    }
    return true;
}

void SortedListView::show_count() {
    // Redraws the rows in view; the control asks for their cells again.
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.count(), LVSICF_NOSCROLL);
}

void SortedListView::apply(const std::vector<ListEdit>& edits) {
    if (edits.empty())
        return;
    const Selection before = selection();
    rows_.apply(edits);
    show_count();
    reselect(before, false);
}

void SortedListView::sort_by(int column) {
    const Selection before = selection();
    rows_.sort_by(column);
    show_count();
    mark_header();
    reselect(before, true);
}

void SortedListView::find(const std::string& text) {
    if (text == rows_.find_text())
        return;
    const Selection before = selection();
    rows_.find(text);
    show_count();
    reselect(before, true);
}

// The control keeps the selection by index: the rows the keys name are
// selected again where they are shown now, and no others (a row gone or
// hidden by the find text takes its selection with it). Only the indexes
// that differ are sent, so a selection that did not move costs nothing.
void SortedListView::reselect(const Selection& before, bool scroll) {
    if (before.keys.empty() && !before.has_focus)
        return;
    std::vector<std::string> keys = before.keys;
    keys.push_back(before.focused);
    std::vector<int> found = rows_.indexes_of(keys, key_columns_);
    const int focus = before.has_focus ? found.back() : -1;
    found.pop_back();
    std::vector<int> wanted;
    std::copy_if(found.begin(), found.end(), std::back_inserter(wanted), [](int index) { return index >= 0; });
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    const std::vector<int> now = selected_indexes();
    std::vector<int> off, on;
    std::set_difference(now.begin(), now.end(), wanted.begin(), wanted.end(), std::back_inserter(off));
    std::set_difference(wanted.begin(), wanted.end(), now.begin(), now.end(), std::back_inserter(on));
    for (int row : off)
        set_row_state(list_, row, LVIS_SELECTED, 0);
    for (int row : on)
        set_row_state(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    const int focused = next_row(list_, -1, LVNI_FOCUSED);
    if (focus != focused) {
        if (focus >= 0)
            set_row_state(list_, focus, LVIS_FOCUSED, LVIS_FOCUSED);
        else if (before.has_focus && focused >= 0)
            set_row_state(list_, focused, LVIS_FOCUSED, 0);  // its row is gone
    }
    const int first = focus >= 0 ? focus : wanted.empty() ? -1 : wanted.front();
    if (scroll && first >= 0)
        SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(first), FALSE);
}

void SortedListView::mark_header() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < count; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == rows_.order().column)
            item.fmt |= rows_.order().descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}
