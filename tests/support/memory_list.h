// The in-memory list the monitoring thread writes, counting what is sent to it.
#pragma once

#include <string>
#include <vector>

#include "monitor/recorded_list.h"

class MemoryList : public RecordedList {
public:
    int cells_set = 0;
    int rows_inserted = 0;
    int rows_deleted = 0;
    int clears = 0;

    void insert_row(int index, const std::string& text, int image) override {
        RecordedList::insert_row(index, text, image);
        ++rows_inserted;
    }
    void set_cell(int row, int column, const std::string& text, int image) override {
        RecordedList::set_cell(row, column, text, image);
        ++cells_set;
    }
    void delete_row(int row) override {
        RecordedList::delete_row(row);
        ++rows_deleted;
    }
    void delete_all_rows() override {
        RecordedList::delete_all_rows();
        ++clears;
    }

    std::string text(int row, int column) { return cell_text(row, column); }
    int image(int row, int column) {
        return rows().at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)).image;
    }
};
