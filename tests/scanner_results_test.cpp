// The result rows: address order within a scan, later scans after earlier
// ones, and the answer's own bytes kept for the report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scanner/scan_report.h"
#include "scanner/scan_results.h"

namespace {

NodeStatusRow row(const std::string& address, const std::string& host = "H") { return {address, "WG", host, ""}; }

std::vector<std::string> addresses(const ScanResults& r) {
    std::vector<std::string> list;
    for (const auto& each : r.rows())
        list.push_back(each.address);
    return list;
}

}  // namespace

TEST(ScanResults, RowsOfAScanGoInAddressOrderWhateverTheArrival) {
    ScanResults r;
    r.begin_scan();
    EXPECT_EQ(r.add({10, 1, 1, 20}, row("10.1.1.20")), 0u);
    EXPECT_EQ(r.add({10, 1, 1, 3}, row("10.1.1.3")), 0u);
    EXPECT_EQ(r.add({10, 1, 2, 1}, row("10.1.2.1")), 2u);
    EXPECT_EQ(r.add({10, 1, 1, 100}, row("10.1.1.100")), 2u) << "numeric order, not text order";
    EXPECT_EQ(addresses(r), (std::vector<std::string>{"10.1.1.3", "10.1.1.20", "10.1.1.100", "10.1.2.1"}));
}

TEST(ScanResults, ALaterScanAppendsItsOwnOrderedBlock) {
    ScanResults r;
    r.begin_scan();
    r.add({10, 1, 1, 9}, row("10.1.1.9"));
    r.add({10, 1, 1, 2}, row("10.1.1.2"));
    r.begin_scan();
    EXPECT_EQ(r.add({10, 1, 1, 5}, row("10.1.1.5")), 2u);
    EXPECT_EQ(r.add({10, 1, 1, 1}, row("10.1.1.1")), 2u) << "after the earlier scan's rows, never among them";
    EXPECT_EQ(addresses(r), (std::vector<std::string>{"10.1.1.2", "10.1.1.9", "10.1.1.1", "10.1.1.5"}));
}

TEST(ScanResults, ReportCarriesTheAnswersOwnBytes) {
    ScanResults r;
    r.begin_scan();
    // A 15-byte workgroup with its flag byte 0x84, which no code page maps
    // on its own, and a GBK host name.
    r.add({10, 1, 1, 2}, {"10.1.1.2", "WORKGROUPNAME15\x84", "\xd6\xf7\xbb\xfa", "00.00.00.00.00.00"});
    std::string report = format_report(r.rows());
    EXPECT_EQ(report.substr(report_header().size()),
              "10.1.1.2         WORKGROUPNAME15\x84 \xd6\xf7\xbb\xfa          00.00.00.00.00.00 \r\n\r\n");
}
