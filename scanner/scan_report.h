// The saved report: a header line, then one fixed-column line per result
// row, each followed by an empty line. Widths count GBK bytes.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace scanner {

// `text` then spaces up to `width` bytes; at least one space.
std::string pad_field(const std::string& text, std::size_t width);

using ReportRow = std::array<std::string, 4>;  // address, workgroup, host, MAC

std::string report_header();
std::string report_line(const ReportRow& row);
std::string format_report(const std::vector<ReportRow>& rows);

}  // namespace scanner
