#include "monitor/recorded_list.h"

#include <utility>

void RecordedList::insert_row(int index, const std::string& text, int image) {
    rows_.insert(rows_.begin() + index, Row(1, Cell{text, image}));
    edits_.push_back({ListEdit::InsertRow, index, 0, {text, image}});
}

void RecordedList::set_cell(int row, int column, const std::string& text, int image) {
    Row& r = rows_.at(static_cast<std::size_t>(row));
    if (r.size() <= static_cast<std::size_t>(column))
        r.resize(static_cast<std::size_t>(column) + 1);
    r[static_cast<std::size_t>(column)] = Cell{text, image};
    edits_.push_back({ListEdit::SetCell, row, column, {text, image}});
}

std::string RecordedList::cell_text(int row, int column) {
    const Row& r = rows_.at(static_cast<std::size_t>(row));
    return static_cast<std::size_t>(column) < r.size() ? r[static_cast<std::size_t>(column)].text : "";
}

void RecordedList::delete_row(int row) {
    rows_.erase(rows_.begin() + row);
    edits_.push_back({ListEdit::DeleteRow, row, 0, {}});
}

void RecordedList::delete_all_rows() {
    rows_.clear();
    edits_.push_back({ListEdit::DeleteAllRows, 0, 0, {}});
}

std::vector<ListEdit> RecordedList::take_edits() { return std::exchange(edits_, {}); }

void apply_edits(ListRows& list, const std::vector<ListEdit>& edits) {
    for (const ListEdit& e : edits) {
        switch (e.kind) {
        case ListEdit::InsertRow:
            list.insert_row(e.row, e.cell.text, e.cell.image);
            break;
        case ListEdit::SetCell:
            list.set_cell(e.row, e.column, e.cell.text, e.cell.image);
            break;
        case ListEdit::DeleteRow:
            list.delete_row(e.row);
            break;
        case ListEdit::DeleteAllRows:
            list.delete_all_rows();
            break;
        }
    }
}
