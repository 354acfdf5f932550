#include <gtest/gtest.h>

#include <fstream>

#include "common/exclusive_file.h"
#include "controls/log_view_model.h"
#include "controls/wrapped_text.h"
#include "monitor/activity_log.h"
#include "query/drawn_progress.h"
#include "query/log_query.h"
#include "query/text_to_time.h"

namespace {

struct DayLog : ::testing::Test {
    std::string path = ::testing::TempDir() + "log_query_test_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dat";
    long lines_walked = 0;

    void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    QueryResult query(const std::string& from, const std::string& to, QueryConditions c = {}) {
        c.start = *text_to_time(from);
        c.end = *text_to_time(to);
        auto file = ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting);
        EXPECT_TRUE(file);
        QueryProgress progress;
        QueryResult r = run_log_query(std::move(file), c, progress);
        EXPECT_EQ(progress.counter, r.counter);
        lines_walked = progress.line;
        return r;
    }

    static std::string entry(const std::string& stamp, const std::string& content) {
        return "时间:" + stamp + "内容:" + content + "\r\n";
    }
};

const std::string kAlice = "第1条会话记录:用户:alice计算机:PC1打开文件数目:1连接时间:5秒空闲时间:0秒 ";
const std::string kBob = "第2条会话记录:用户:bob计算机:LAB-PC2打开文件数目:0连接时间:9秒空闲时间:9秒 ";

}  // namespace

TEST(TextToTime, AcceptsTheLogsFormOnly) {
    auto t = text_to_time("2011-3-5 9:7:3");
    ASSERT_TRUE(t);
    EXPECT_EQ(*text_to_time("2011-03-05 09:07:03"), *t);
    EXPECT_EQ(*text_to_time("2011-3-5 9:7:4") - *t, 1);
    EXPECT_EQ(*text_to_time("2012-2-29 0:0:0") - *text_to_time("2012-2-28 0:0:0"), 86400);
    for (const char* bad :
         {"", "2011-3-5", "2011-2-30 1:1:1", "2011-2-29 1:1:1", "2011-13-1 1:1:1", "2011-3-5 24:0:0", "2011-3-5 9:60:0",
          "2011-3-5 9:7:3x", "2011/3/5 9:7:3", "x2011-3-5 9:7:3", "2011-3-5  9:7:3", "2011-0-5 9:7:3"})
        EXPECT_FALSE(text_to_time(bad)) << bad;
}

TEST_F(DayLog, ListsTheWindowWithBothEndsIncluded) {
    write(activity_counter_line(4) + entry("2011-3-5 9:0:0", kAlice) + entry("2011-3-5 9:0:1", kBob) +
          entry("2011-3-5 10:0:0", kAlice) + entry("2011-3-5 10:0:1", kBob));
    QueryResult r = query("2011-3-5 9:0:1", "2011-3-5 10:0:0");
    EXPECT_EQ(r.counter, 4);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:1" + kBob + "\r\n" + "2011-3-5 10:0:0" + kAlice + "\r\n");
    EXPECT_EQ(lines_walked, 4);

    r = query("2011-3-5 9:0:1", "2011-3-5 9:0:1");
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:1" + kBob + "\r\n") << "start equal to end";
}

TEST_F(DayLog, CollidingDatesAndEmptyEntriesAddNothing) {
    write(activity_counter_line(3) + entry("2011-11-1 9:0:0", kAlice) + entry("2011-1-11 9:0:0", "") +
          entry("2011-1-11 9:0:1", kBob));
    QueryResult r = query("2011-1-11 0:0:0", "2011-1-11 23:59:59");
    EXPECT_EQ(r.session_log, "2011-1-11 9:0:1" + kBob + "\r\n");
    EXPECT_EQ(lines_walked, 3) << "every line advances the progress";
}

TEST_F(DayLog, CutsAtTheFirstMarkAndListsTheFilePart) {
    write(activity_counter_line(1) +
          entry("2011-3-5 9:0:0", kAlice + "〓第1条文件记录:文件:D:\\报告.doc访问者:alice打开模式:读取 "
                                           "第2条文件记录:文件:D:\\x.txt访问者:bob打开模式:写入 〓junk"));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + "\r\n");
    EXPECT_NE(r.file_log.find("D:\\报告.doc"), std::string::npos);

    QueryConditions only_report;
    only_report.file = "报告";
    r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", only_report);
    EXPECT_EQ(r.file_log, "2011-3-5 9:0:0第1条文件记录:文件:D:\\报告.doc访问者:alice打开模式:读取 \r\n");
}

TEST_F(DayLog, ConditionsNarrowBothBoxes) {
    const std::string report = "第1条文件记录:文件:D:\\报告.DOC访问者:Alice打开模式:读取 ";
    const std::string x = "第2条文件记录:文件:D:\\x.txt访问者:bob打开模式:写入 ";
    write(activity_counter_line(2) + entry("2011-3-5 9:0:0", kAlice + kBob + "〓" + report + x) +
          entry("2011-3-5 9:0:1", kAlice));
    auto both = [&](QueryConditions c) {
        QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", c);
        return std::make_pair(r.session_log, r.file_log);
    };
    const std::string at9 = "2011-3-5 9:0:0";
    const std::string at9_1 = "2011-3-5 9:0:1";
    QueryConditions c;
    c.user = "bob";
    EXPECT_EQ(both(c), std::make_pair(at9 + kBob + "\r\n", at9 + x + "\r\n")) << "the user narrows the open files too";
    c.user = "ALICE";
    EXPECT_EQ(both(c), std::make_pair(at9 + kAlice + "\r\n" + at9_1 + kAlice + "\r\n", at9 + report + "\r\n"))
        << "letters match in either case";

    c = {};
    c.computer = "lab";
    EXPECT_EQ(both(c), std::make_pair(at9 + kBob + "\r\n", at9 + x + "\r\n"))
        << "an open file is kept when its user has a session from that computer";
    c = {};
    c.file = "报告.doc";
    EXPECT_EQ(both(c), std::make_pair(at9 + kAlice + "\r\n", at9 + report + "\r\n"))
        << "a session is kept when its user holds that file; the entry without open files keeps nothing";

    c = {};
    c.user = "alice";
    c.computer = "LAB";
    EXPECT_EQ(both(c), std::make_pair(std::string(), std::string())) << "every condition must hold";
}

TEST(FieldMatch, ContainsIgnoringTheCaseOfLettersOnly) {
    EXPECT_TRUE(field_matches("LAB-PC2", "pc"));
    EXPECT_TRUE(field_matches("anything", ""));
    EXPECT_FALSE(field_matches("PC1", "pc2"));
    // 丄 is 81 41 and 乤 is 81 61: a trail byte is no letter.
    EXPECT_FALSE(field_matches("丄", "乤"));
    EXPECT_FALSE(field_matches("乤", "丄"));
}

TEST_F(DayLog, AStopRequestEndsTheWalk) {
    write(activity_counter_line(2) + entry("2011-3-5 9:0:0", kAlice) + entry("2011-3-5 9:0:1", kBob));
    QueryConditions c;
    c.start = *text_to_time("2011-3-5 0:0:0");
    c.end = *text_to_time("2011-3-5 23:0:0");
    QueryProgress progress;
    progress.stop = true;
    QueryResult r = run_log_query(ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting), c, progress);
    EXPECT_EQ(progress.line, 0);
    EXPECT_EQ(r.session_log, "");
}

TEST_F(DayLog, CounterEdges) {
    write(activity_counter_line(70000) + entry("2011-3-5 9:0:0", kAlice));
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0").counter, 70000);
    write("garbage\r\n" + entry("2011-3-5 9:0:0", kAlice));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.counter, 0);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + "\r\n") << "the walk covers the file anyway";
    write("");
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0").counter, 0);
}

TEST_F(DayLog, ABadLineEndsTheWalkKeepingWhatCameBefore) {
    write(activity_counter_line(3) + entry("2011-3-5 9:0:0", kAlice) + "broken line\r\n" +
          entry("2011-3-5 9:0:2", kBob));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.bad_line, 3);
    EXPECT_EQ(r.session_log, "2011-3-5 9:0:0" + kAlice + "\r\n");
}

TEST_F(DayLog, ReadsWhatTheMonitorWrites) {
    std::string dir = ::testing::TempDir();
    LocalTime now{2011, 3, 5, 9, 7, 3};
    ActivityLog log([&] { return now; }, dir, 0);
    EntryContent content{true, true, {{"alice", "PC1", "1", "5秒", "0秒"}}, {{"D:\\a.txt", "alice", "读取"}}};
    std::remove((dir + activity_file_name(now)).c_str());
    log.append(content);
    now.second = 4;
    log.append(content);
    path = dir + activity_file_name(now);
    QueryResult r = query("2011-3-5 9:7:4", "2011-3-5 9:7:4");
    EXPECT_EQ(r.counter, 2);
    EXPECT_EQ(r.session_log, "2011-3-5 9:7:4" + kAlice.substr(0, kAlice.size()) + "\r\n");
    EXPECT_EQ(r.file_log, "2011-3-5 9:7:4第1条文件记录:文件:D:\\a.txt访问者:alice打开模式:读取 \r\n");
}

TEST(SavedLog, Bytes) {
    EXPECT_EQ(saved_log_bytes("", ""), "会话日志\r\n\r\n");
    EXPECT_EQ(saved_log_bytes("a\r\n", ""), "会话日志\r\na\r\n\r\n");
    EXPECT_EQ(saved_log_bytes("a\r\n", "f\r\n"), "会话日志\r\na\r\n\r\n打开文件日志\r\nf\r\n\r\n");
}

TEST(DrawnProgress, SendsAPositionOnlyWhenTheBarGrowsByAPixel) {
    auto sends = [](long counter, int width, long lines) {
        DrawnProgress bar(counter, width);
        long sent = 0;
        for (long line = 1; line <= lines; ++line)
            sent += bar.moves(line);
        return sent;
    };
    EXPECT_EQ(sends(30000, 480, 30000), 480) << "one per pixel, however many lines";
    EXPECT_EQ(sends(4, 480, 4), 3) << "a short day moves at every line after the first";
    EXPECT_EQ(sends(10, 480, 25), 9) << "lines beyond the count hold the bar full";
    EXPECT_EQ(sends(0, 480, 5), 0);
    EXPECT_EQ(DrawnProgress(70000, 480).range_max(), 70000 - 65536) << "the range keeps the low 16 bits";
}

namespace {

// As in SimSun: a byte is 6 pixels wide, a double-byte character 12.
CharWidths simsun_like() {
    return CharWidths([](unsigned code) { return code < 0x100 ? 6 : 12; });
}

std::vector<std::string> rows_of(const WrappedText& w) {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < w.rows(); ++i)
        rows.emplace_back(w.row(i));
    return rows;
}

}  // namespace

TEST(WrappedText, BreaksAfterSpacesOrInsideLongWordsNeverInsideACharacter) {
    CharWidths widths = simsun_like();
    WrappedText w("aaaa bbbb\r\n中文中文\r\n\r\nabcdefgh", 30, widths);
    EXPECT_EQ(rows_of(w), (std::vector<std::string>{"aaaa ", "bbbb", "中文", "中文", "", "abcde", "fgh"}));
    EXPECT_EQ(w.begin(1), w.end(0)) << "a soft break adds no line end";
    EXPECT_EQ(w.begin(2), w.end(1) + 2) << "a line end lies between rows";
    EXPECT_EQ(rows_of(WrappedText("a中", 7, widths)), (std::vector<std::string>{"a", "中"}))
        << "a character wider than the row takes a row of its own";
    EXPECT_EQ(WrappedText("", 30, widths).rows(), 0u);
}

TEST(WrappedText, EveryRowFitsAndTheRowsCoverTheText) {
    CharWidths widths = simsun_like();
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "第" + std::to_string(i) + "条会话记录:用户:user" + std::string(i % 7, 'x') + (i % 5 ? " " : "\r\n");
    for (int width : {7, 40, 97, 500}) {
        WrappedText w(text, width, widths);
        std::string joined;
        for (std::size_t i = 0; i < w.rows(); ++i) {
            std::string row(w.row(i));
            std::size_t drawn = row.find_last_not_of(' ');
            int pixels = 0;
            for (std::size_t at = 0; drawn != std::string::npos && at <= drawn;
                 at += static_cast<unsigned char>(row[at]) >= 0x81 ? 2 : 1)
                pixels += static_cast<unsigned char>(row[at]) >= 0x81 ? 12 : 6;
            EXPECT_TRUE(pixels <= width || row.size() <= 2) << width << ": " << row;
            joined += text.substr(w.begin(i), (i + 1 < w.rows() ? w.begin(i + 1) : text.size()) - w.begin(i));
        }
        EXPECT_EQ(joined, text) << width;
    }
}

TEST(LogViewModel, HitsCharacterEdgesAndSelectsAcrossRows) {
    CharWidths widths = simsun_like();
    LogViewModel view;
    const std::string text = "ab中文 cd\r\nxyz\r\n";
    view.show(text, 40, widths);  // rows "ab中文 " and "cd", then "xyz"
    ASSERT_EQ(view.rows(), 3u);
    EXPECT_EQ(view.offset_at(0, 0, widths), 0u);
    EXPECT_EQ(view.offset_at(0, 8, widths), 1u) << "the nearer edge of 'a'";
    EXPECT_EQ(view.offset_at(0, 19, widths), 4u) << "past the middle of 中";
    EXPECT_EQ(view.offset_at(0, 17, widths), 2u) << "before the middle of 中, never inside it";
    EXPECT_EQ(view.offset_at(0, 999, widths), view.row_begin(1)) << "right of a row: its end";
    EXPECT_EQ(view.offset_at(7, 0, widths), text.size()) << "below the last row: the text's end";
    EXPECT_EQ(view.x_of(0, 4, widths), 24);

    view.select(view.offset_at(2, 12, widths), 1);
    EXPECT_EQ(view.selected(), "b中文 cd\r\nxy") << "from either end, line ends included";
    EXPECT_EQ(view.selected_in_row(1), std::make_pair(view.row_begin(1), view.row_begin(1) + 2));
    view.extend_to(0);
    EXPECT_EQ(view.selected(), "ab中文 cd\r\nxy") << "extending keeps the anchor";
    view.select_all();
    EXPECT_EQ(view.selected(), text);

    view.show("x", 40, widths);
    EXPECT_EQ(view.selected(), "") << "a new text drops the selection";
}

TEST(LogViewModel, ScrollingKeepsAPageFull) {
    CharWidths widths = simsun_like();
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "row\r\n";
    LogViewModel view;
    view.show(text, 100, widths);
    view.scroll_to(8, 4);
    EXPECT_EQ(view.top(), 6u);
    view.scroll_to(-3, 4);
    EXPECT_EQ(view.top(), 0u);
    view.scroll_to(5, 40);
    EXPECT_EQ(view.top(), 0u) << "a text shorter than a page stays at the top";
}

TEST_F(DayLog, ACutShortEntryGluedToTheNextIsListedAsALineOfItsOwn) {
    const std::string cut = "时间:2011-3-5 9:0:0内容:第1条会话记录:用户:alice计算机:PC1打开模";
    write(activity_counter_line(3) + cut + entry("2011-3-5 9:0:1", kBob) + entry("2011-3-5 9:0:2", kAlice));
    QueryResult r = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(r.bad_line, 0);
    EXPECT_EQ(r.session_log,
              "2011-3-5 9:0:0第1条会话记录:用户:alice计算机:PC1打开模\r\n"
              "2011-3-5 9:0:1" +
                  kBob + "\r\n" + "2011-3-5 9:0:2" + kAlice + "\r\n");
    EXPECT_EQ(lines_walked, 2);

    QueryConditions bob;
    bob.user = "bob";
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0", bob).session_log, "2011-3-5 9:0:1" + kBob + "\r\n")
        << "the glued entry's records are its own, not the cut one's";

    write(activity_counter_line(2) + "时间:2011-3-5 9:0" + entry("2011-3-5 9:0:1", kBob));
    EXPECT_EQ(query("2011-3-5 0:0:0", "2011-3-5 23:0:0").bad_line, 2) << "a piece without its time is no entry";
}

TEST_F(DayLog, ForgedLabelsInAValueStayPartOfThatValue) {
    std::string dir = ::testing::TempDir() + "forged_labels_";
    LocalTime now{2011, 3, 5, 9, 7, 3};
    ActivityLog log([&] { return now; }, dir, 0);
    const std::string name = "Z:\\s\\r第7条文件记录:文件:Z:\\evil.exe访问者:admin打开模式:写入 .txt";
    EntryContent content{true,
                         true,
                         {{"z〓z", "PC1", "1", "5秒", "0秒"}, {"bob", "PC2\r\n时间:2011-3-5 0:0:0内容:", "1", "", ""}},
                         {{name, "bob", "读取"}}};
    path = dir + activity_file_name(now);
    std::remove(path.c_str());
    ASSERT_EQ(log.append(content), AppendResult::Written);

    QueryResult all = query("2011-3-5 0:0:0", "2011-3-5 23:0:0");
    EXPECT_EQ(all.bad_line, 0);
    EXPECT_NE(all.session_log.find("用户:z%A1%FEz计算机:PC1"), std::string::npos) << all.session_log;
    EXPECT_EQ(all.file_log,
              "2011-3-5 9:7:3第1条文件记录:文件:Z:\\s\\r第7条文件记录：文件：Z:\\evil.exe访问者：admin打开模式：写入 "
              ".txt访问者:bob打开模式:读取 \r\n");

    QueryConditions admin;
    admin.user = "admin";
    QueryResult by_admin = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", admin);
    EXPECT_EQ(by_admin.file_log, "") << "nobody named admin opened anything";
    QueryConditions evil;
    evil.file = "evil";
    QueryResult by_file = query("2011-3-5 0:0:0", "2011-3-5 23:0:0", evil);
    EXPECT_NE(by_file.file_log.find("访问者:bob打开模式:读取"), std::string::npos) << "bob opened the odd name";
    EXPECT_EQ(by_file.session_log.find("z%A1%FEz"), std::string::npos);
    EXPECT_NE(by_file.session_log.find("用户:bob"), std::string::npos);
}
