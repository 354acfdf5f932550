#include "scanner/scan_report.h"

namespace {
const char kLineEnd[] = "\r\n\r\n";
}  // namespace

std::string pad_field(const std::string& text, std::size_t width) {
    std::string padded = text;
    padded.append(text.size() < width ? width - text.size() : 1, ' ');
    return padded;
}

std::string report_header() { return "IP地址           工作组        主机          MAC地址\r\n\r\n"; }

std::string report_line(const NodeStatusRow& row) {
    return pad_field(row.address, 17) + pad_field(row.workgroup, 14) + pad_field(row.host, 14) +
           pad_field(row.mac, 17) + kLineEnd;
}

std::string format_report(const std::vector<NodeStatusRow>& rows) {
    std::string report = report_header();
    for (const auto& row : rows)
        report += report_line(row);
    return report;
}
