// GBK text in and out of controls through the wide-character calls, and the
// list-view calls the programs share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

std::string window_text(HWND hwnd);
void set_window_text(HWND hwnd, const std::string& gbk);

void list_insert_column(HWND list, int index, const std::string& heading, int width);
// Appends or inserts a row at `index` with the first cell's text and image
// (image < 0: text only); returns the new row's index.
int list_insert_row(HWND list, int index, const std::string& text, int image);
void list_set_cell(HWND list, int row, int column, const std::string& text, int image);
std::string list_cell_text(HWND list, int row, int column);
int list_row_count(HWND list);
