// The words the window code hands the monitoring core come from Filvane's
// string table, each under its own id, byte for byte as the core's unit
// tests expect them (a wrong or missing id would give an empty box).
#include "support/gtest_winelib.h"

#include "shell/monitor_texts_win.h"
#include "support/monitor_texts.h"

TEST(MonitorTexts, AreTheStringTablesWordsByteForByte) {
    const StatusTexts status = status_texts(), expected_status = test_status_texts();
    EXPECT_EQ(status.shares_failed, expected_status.shares_failed);
    EXPECT_EQ(status.sessions_failed, expected_status.sessions_failed);
    EXPECT_EQ(status.open_files_failed, expected_status.open_files_failed);
    EXPECT_EQ(status.day_file_failed, expected_status.day_file_failed);
    EXPECT_EQ(status.unwritten, expected_status.unwritten);
    const PassBoxTexts boxes = pass_box_texts(), expected_boxes = test_box_texts();
    EXPECT_EQ(boxes.error_log_failed, expected_boxes.error_log_failed);
    EXPECT_EQ(boxes.day_file_not_created, expected_boxes.day_file_not_created);
    EXPECT_EQ(boxes.day_file_failed, expected_boxes.day_file_failed);
}
