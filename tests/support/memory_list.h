// An in-memory list view that counts what is sent to it.
#pragma once

#include <string>
#include <vector>

#include "monitor/list_rows.h"

class MemoryList : public ListRows {
public:
    std::vector<Row> rows;
    int cells_set = 0;
    int rows_inserted = 0;
    int rows_deleted = 0;
    int clears = 0;

    int row_count() override { return static_cast<int>(rows.size()); }
    void insert_row(int index, const std::string& text, int image) override {
        rows.insert(rows.begin() + index, Row(1, Cell{text, image}));
        ++rows_inserted;
    }
    void set_cell(int row, int column, const std::string& text, int image) override {
        Row& r = rows.at(static_cast<std::size_t>(row));
        if (r.size() <= static_cast<std::size_t>(column))
            r.resize(static_cast<std::size_t>(column) + 1);
        r[static_cast<std::size_t>(column)] = Cell{text, image};
        ++cells_set;
    }
    std::string cell_text(int row, int column) override {
        const Row& r = rows.at(static_cast<std::size_t>(row));
        return static_cast<std::size_t>(column) < r.size() ? r[static_cast<std::size_t>(column)].text : "";
    }
    void delete_row(int row) override {
        rows.erase(rows.begin() + row);
        ++rows_deleted;
    }
    void delete_all_rows() override {
        rows.clear();
        ++clears;
    }

    std::string text(int row, int column) { return cell_text(row, column); }
    int image(int row, int column) {
        return rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)).image;
    }
};
