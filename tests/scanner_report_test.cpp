// The saved report's fixed columns, counted in GBK bytes.
#include <gtest/gtest.h>

#include "scanner/scan_report.h"

TEST(PadField, PadsToWidthOrAddsExactlyOneSpace) {
    EXPECT_EQ(pad_field("", 3), "   ");
    EXPECT_EQ(pad_field("192.168.1.100", 17), "192.168.1.100    ");
    EXPECT_EQ(pad_field("192.168.100.100", 17), "192.168.100.100  ") << "15 characters get two spaces";
    EXPECT_EQ(pad_field("00.0c.29.ab.cd.ef", 17), "00.0c.29.ab.cd.ef ") << "exactly the width gets one";
    EXPECT_EQ(pad_field("LONGER-THAN-WIDTH", 14), "LONGER-THAN-WIDTH ");
    EXPECT_EQ(pad_field("主机", 14).size(), 14u) << "a Chinese character counts two bytes";
}

TEST(ScanReport, HeaderPlacesTheHeadingsAtTheirColumns) {
    std::string h = report_header();
    ASSERT_EQ(h.size(), 56u);
    EXPECT_EQ(h.compare(0, 6, "IP地址"), 0);
    EXPECT_EQ(h.compare(17, 6, "工作组"), 0);
    EXPECT_EQ(h.compare(31, 4, "主机"), 0);
    EXPECT_EQ(h.compare(45, 7, "MAC地址"), 0);
    EXPECT_EQ(h.substr(52), "\r\n\r\n");
}

TEST(ScanReport, EmptyListIsTheHeaderOnly) { EXPECT_EQ(format_report({}), report_header()); }

TEST(ScanReport, RowsAreFixedColumnsWithEmptyLineAfter) {
    std::string report =
        format_report({{"192.168.1.5", "WORKGROUP", "PC1", "00.0c.29.ab.cd.ef"}, {"192.168.1.6", "", "", ""}});
    std::string expected = report_header() +
                           "192.168.1.5      WORKGROUP     PC1           00.0c.29.ab.cd.ef \r\n\r\n"
                           "192.168.1.6" +
                           std::string(6 + 14 + 14 + 17, ' ') + "\r\n\r\n";
    EXPECT_EQ(report, expected);
}
