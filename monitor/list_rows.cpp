#include "monitor/list_rows.h"

#include <unordered_map>

std::string row_key(const Row& row, const std::vector<int>& key_columns) {
    std::string key;
    for (std::size_t i = 0; i < key_columns.size(); ++i) {
        if (i > 0)
            key += '\n';  // no listed text holds a line break
        const auto column = static_cast<std::size_t>(key_columns[i]);
        if (column < row.size())
            key += row[column].text;
    }
    return key;
}

void RowWriter::place(int index, const Row& row) {
    while (list_.row_count() <= index) {
        list_.insert_row(list_.row_count(), "", kNoImage);
        if (!held_)
            written_.emplace_back();
    }
    if (!held_ && static_cast<int>(written_.size()) <= index)
        written_.resize(static_cast<std::size_t>(index) + 1);
    set_changed_cells(index, row);
}

void RowWriter::set_changed_cells(int index, const Row& row) {
    const Row& known = written()[static_cast<std::size_t>(index)];
    for (std::size_t column = 0; column < row.size(); ++column) {
        const Cell& cell = row[column];
        if (column < known.size() && cell == known[column])
            continue;
        if (column >= known.size() && cell == Cell{})
            continue;  // a cell never written reads empty
        list_.set_cell(index, static_cast<int>(column), cell.text, cell.image);
    }
    if (!held_)
        written_[static_cast<std::size_t>(index)] = row;
}

void RowWriter::insert(int index, const Row& row) {
    list_.insert_row(index, row.empty() ? std::string() : row[0].text, row.empty() ? kNoImage : row[0].image);
    for (std::size_t column = 1; column < row.size(); ++column)
        list_.set_cell(index, static_cast<int>(column), row[column].text, row[column].image);
    if (!held_)
        written_.insert(written_.begin() + index, row);
}

void RowWriter::assign_keyed(const std::vector<Row>& rows, int key_column) {
    assign_keyed(rows, std::vector<int>{key_column});
}

void RowWriter::assign_keyed(const std::vector<Row>& rows, const std::vector<int>& key_columns) {
    const auto key = [&key_columns](const Row& row) { return row_key(row, key_columns); };
    // How often each key is still to come: an old row whose key will not
    // come again is gone.
    std::unordered_map<std::string, int> to_come;
    for (const Row& row : rows)
        ++to_come[key(row)];
    int at = 0;
    for (const Row& row : rows) {
        while (at < static_cast<int>(written().size()) && to_come[key(written()[static_cast<std::size_t>(at)])] == 0) {
            list_.delete_row(at);
            if (!held_)
                written_.erase(written_.begin() + at);
        }
        --to_come[key(row)];
        if (at < static_cast<int>(written().size()) && key(written()[static_cast<std::size_t>(at)]) == key(row))
            set_changed_cells(at, row);
        else
            insert(at, row);
        ++at;
    }
    trim(at);
}

void RowWriter::trim(int count) {
    for (int row = list_.row_count() - 1; row >= count; --row)
        list_.delete_row(row);
    if (!held_ && count >= 0 && static_cast<std::size_t>(count) < written_.size())
        written_.resize(static_cast<std::size_t>(count));
}

void insert_full_row(ListRows& list, int index, const Row& row) {
    if (row.empty())
        return;
    list.insert_row(index, row[0].text, row[0].image);
    for (std::size_t column = 1; column < row.size(); ++column)
        list.set_cell(index, static_cast<int>(column), row[column].text, row[column].image);
}
