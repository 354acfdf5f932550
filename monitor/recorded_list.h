// A list held in memory that records every change made to it. The monitoring
// thread writes its pass into one, so the pass costs no round trip to the
// window; the window then applies the recorded changes to the real control
// in one go, and its rows stay exactly the copy's.
#pragma once

#include <string>
#include <vector>

#include "monitor/list_rows.h"

struct ListEdit {
    enum Kind { InsertRow, SetCell, DeleteRow, DeleteAllRows };
    Kind kind = SetCell;
    int row = 0;
    int column = 0;
    Cell cell;  // the first cell of an inserted row, or the cell set
};

class RecordedList : public ListRows {
public:
    int row_count() override { return static_cast<int>(rows_.size()); }
    void insert_row(int index, const std::string& text, int image) override;
    void set_cell(int row, int column, const std::string& text, int image) override;
    std::string cell_text(int row, int column) override;
    void delete_row(int row) override;
    void delete_all_rows() override;

    const std::vector<Row>& rows() const { return rows_; }
    const std::vector<Row>* held_rows() const override { return &rows_; }
    // The changes since the last call, in the order they were made.
    std::vector<ListEdit> take_edits();

private:
    std::vector<Row> rows_;
    std::vector<ListEdit> edits_;
};

// Makes `list` undergo `edits` in order.
void apply_edits(ListRows& list, const std::vector<ListEdit>& edits);
