// A list's rows as other programs take them in: a CSV file a spreadsheet
// opens, and tab-separated text for the clipboard.
#pragma once

#include <string>
#include <vector>

#include "monitor/list_rows.h"

// `headings` and `rows` (GBK) as CSV: UTF-8 behind a byte-order mark, so a
// spreadsheet reads the Chinese right; a header line; a field holding a
// comma, a quote or a line break quoted, its quotes doubled; a field a
// spreadsheet would run as a formula (first character = + - @, tab or CR)
// behind a single quote; CR LF line ends.
std::string csv_text(const std::vector<std::string>& headings, const std::vector<Row>& rows);

// `rows` (GBK) as lines of tab-separated cells ending in CR LF; a tab or a
// line break inside a cell becomes a space, so every row stays one line.
std::string tab_separated_text(const std::vector<Row>& rows);
