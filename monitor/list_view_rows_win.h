// A list-view control that holds its rows (the share list) seen as ListRows.
// Every call is a message to the control, so all of this runs on the
// control's own (user-interface) thread.
#pragma once

#include <windows.h>

#include "monitor/list_rows.h"

class ListViewRows : public ListRows {
public:
    explicit ListViewRows(HWND list) : list_(list) {}
    int row_count() override;
    void insert_row(int index, const std::string& text, int image) override;
    void set_cell(int row, int column, const std::string& text, int image) override;
    std::string cell_text(int row, int column) override;
    void delete_row(int row) override;
    void delete_all_rows() override;

private:
    HWND list_;
};
