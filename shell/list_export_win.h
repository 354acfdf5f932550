// 导出列表... and Ctrl+C on the session and open-file lists: what a list
// shows, in its order, to a CSV file the user names; its selected rows to
// the clipboard as tab-separated text.
#pragma once

#include <windows.h>

#include <string>

#include "monitor/sorted_list_view_win.h"

// `proposed_name` is the file name the Save As dialog offers. A file that
// cannot be written is said in a box.
void export_shown_rows(HWND owner, const SortedListView& list, const std::string& proposed_name);
// The CSV into `path`; false when it cannot be written.
bool write_shown_rows(const SortedListView& list, const std::string& path);

void copy_selected_rows(HWND owner, const SortedListView& list);
