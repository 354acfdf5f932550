#include "scanner/scan_report.h"

namespace scanner {

namespace {
constexpr std::size_t kWidths[4] = {17, 14, 14, 17};
const char kLineEnd[] = "\r\n\r\n";
}  // namespace

std::string pad_field(const std::string& text, std::size_t width) {
    std::string padded = text;
    padded.append(text.size() < width ? width - text.size() : 1, ' ');
    return padded;
}

std::string report_header() { return "IP地址           工作组        主机          MAC地址\r\n\r\n"; }

std::string report_line(const ReportRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i)
        line += pad_field(row[i], kWidths[i]);
    return line + kLineEnd;
}

std::string format_report(const std::vector<ReportRow>& rows) {
    std::string report = report_header();
    for (const auto& row : rows)
        report += report_line(row);
    return report;
}

}  // namespace scanner
