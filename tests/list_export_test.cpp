#include <gtest/gtest.h>

#include "monitor/list_export.h"

namespace {

Row row_of(const std::vector<std::string>& texts) {
    Row row;
    for (const std::string& text : texts)
        row.push_back({text, 0});
    return row;
}

TEST(ListExport, CsvQuotesOnlyWhatNeedsItAndIsUtf8BehindAMark) {
    const std::string csv = csv_text({"打开文件", "访问者"}, {row_of({"D:\\a,b \"c\".doc", "张三"}),
                                                              row_of({"line\nbreak", ""}), row_of({"plain", "x"})});
    // 打开文件 访问者 张三 in UTF-8.
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "\xE6\x89\x93\xE5\xBC\x80\xE6\x96\x87\xE4\xBB\xB6,\xE8\xAE\xBF\xE9\x97\xAE\xE8\x80\x85\r\n"
              "\"D:\\a,b \"\"c\"\".doc\",\xE5\xBC\xA0\xE4\xB8\x89\r\n"
              "\"line\nbreak\",\r\n"
              "plain,x\r\n");
}

// A name any client chose that a spreadsheet would run as a formula goes
// behind a quote, inside the CSV quoting when it needs that; a formula
// character anywhere but first, and every other cell, stay byte for byte.
TEST(ListExport, CsvPutsAQuoteBeforeOnlyTheCellsASpreadsheetRunsAsFormulas) {
    const std::string csv = csv_text(
        {"a", "b", "c", "d"}, {row_of({"=HYPERLINK(\"x\")", "+1", "-2", "@SUM(A1)"}),
                               row_of({"\tx", "\ry", "=a,b", "'=kept"}), row_of({"a=b", " =c", "", "D:\\-x.doc"})});
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "a,b,c,d\r\n"
              "\"'=HYPERLINK(\"\"x\"\")\",'+1,'-2,'@SUM(A1)\r\n"
              "'\tx,\"'\ry\",\"'=a,b\",'=kept\r\n"
              "a=b, =c,,D:\\-x.doc\r\n");
}

TEST(ListExport, TabSeparatedRowsStayOneLineEach) {
    EXPECT_EQ(tab_separated_text({row_of({"a\tb", "c\r\nd"}), row_of({"张三", ""})}), "a b\tc  d\r\n张三\t\r\n");
}

}  // namespace
