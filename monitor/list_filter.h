// A find text narrowing a list to the rows that contain it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "monitor/list_rows.h"

// The indexes of the rows of `rows` with `text` inside one of their cells (not
// across two), ASCII letters in either case as in the log query, in their
// order; every index when `text` is empty.
std::vector<std::size_t> rows_containing(const std::vector<Row>& rows, const std::string& text);
