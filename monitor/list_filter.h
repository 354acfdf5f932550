// A find text narrowing a list to the rows that contain it.
#pragma once

#include <string>
#include <vector>

#include "monitor/list_rows.h"

// The rows of `rows` with `text` inside one of their cells (not across two),
// ASCII letters in either case as in the log query; every row when `text` is
// empty.
std::vector<Row> rows_containing(const std::vector<Row>& rows, const std::string& text);
