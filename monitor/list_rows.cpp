#include "monitor/list_rows.h"

void RowWriter::place(int index, const Row& row) {
    while (list_.row_count() <= index) {
        list_.insert_row(list_.row_count(), "", kNoImage);
        written_.emplace_back();
    }
    if (static_cast<int>(written_.size()) <= index)
        written_.resize(static_cast<std::size_t>(index) + 1);
    Row& known = written_[static_cast<std::size_t>(index)];
    known.resize(row.size());
    for (std::size_t column = 0; column < row.size(); ++column) {
        const Cell& cell = row[column];
        Cell& was = known[column];
        if (cell.text == was.text && cell.image == was.image)
            continue;
        list_.set_cell(index, static_cast<int>(column), cell.text, cell.image);
        was = cell;
    }
}

void RowWriter::trim(int count) {
    for (int row = list_.row_count() - 1; row >= count; --row)
        list_.delete_row(row);
    if (count >= 0 && static_cast<std::size_t>(count) < written_.size())
        written_.resize(static_cast<std::size_t>(count));
}

void insert_full_row(ListRows& list, int index, const Row& row) {
    if (row.empty())
        return;
    list.insert_row(index, row[0].text, row[0].image);
    for (std::size_t column = 1; column < row.size(); ++column)
        list.set_cell(index, static_cast<int>(column), row[column].text, row[column].image);
}
