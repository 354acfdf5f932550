#include "monitor/list_view_rows_win.h"

#include <commctrl.h>

#include "common/controls_win.h"

int ListViewRows::row_count() { return list_row_count(list_); }

void ListViewRows::insert_row(int index, const std::string& text, int image) {
    list_insert_row(list_, index, text, image);
}

void ListViewRows::set_cell(int row, int column, const std::string& text, int image) {
    list_set_cell(list_, row, column, text, image);
}

std::string ListViewRows::cell_text(int row, int column) { return list_cell_text(list_, row, column); }

void ListViewRows::delete_row(int row) { SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0); }

void ListViewRows::delete_all_rows() { SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0); }
