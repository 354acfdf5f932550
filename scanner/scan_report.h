// The saved report: a header line, then one fixed-column line per result
// row, each followed by an empty line. Widths count GBK bytes.
#pragma once

#include <string>
#include <vector>

#include "scanner/node_status.h"

// `text` then spaces up to `width` bytes; at least one space.
std::string pad_field(const std::string& text, std::size_t width);

std::string report_header();
std::string report_line(const NodeStatusRow& row);
std::string format_report(const std::vector<NodeStatusRow>& rows);
