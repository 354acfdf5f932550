// Random server values through the day-file writer and back through the
// query: the query lists exactly the records written, and never more.
#include <gtest/gtest.h>

#include <random>

#include "common/exclusive_file.h"
#include "monitor/activity_log.h"
#include "monitor/log_text.h"
#include "query/log_query.h"
#include "query/text_to_time.h"

namespace {

// What a hostile name may hold: the format's own labels and marks, line
// breaks, control bytes, lone GBK lead bytes and plain text.
const char* const kPieces[] = {"a",
                               "Z",
                               ":",
                               "\\",
                               "\r",
                               "\n",
                               "\t",
                               "\x01",
                               "\x7F",
                               "〓",
                               "时间:",
                               "内容:",
                               "数目:",
                               "用户:",
                               "计算机:",
                               "文件:",
                               "访问者:",
                               "打开模式:",
                               "打开文件数目:",
                               "第3条会话记录:",
                               "第4条文件记录:",
                               "2011-3-5 1:2:3",
                               "%0D",
                               "|",
                               " ",
                               "中",
                               "\x81",
                               "\xFF",
                               "\x80",
                               "\xA1",
                               "\xFE"};

struct Sample {
    EntryContent content{true, true, {}, {}};
    std::vector<std::string> session_records, file_records;  // as the day file holds them
};

class Fuzz {
public:
    explicit Fuzz(unsigned seed) : random_(seed) {}

    std::string value() {
        std::string text;
        for (int n = pick(8); n > 0; --n)
            text += kPieces[pick(sizeof kPieces / sizeof kPieces[0])];
        return text;
    }

    Sample sample() {
        Sample s;
        for (int k = 1, rows = pick(4); k <= rows; ++k) {
            CellRow row{value() + token('S'), value(), value(), value(), value()};
            s.session_records.push_back("第" + std::to_string(k) + "条会话记录:用户:" + day_file_value(row[0]) +
                                        "计算机:" + day_file_value(row[1]) + "打开文件数目:" + day_file_value(row[2]) +
                                        "连接时间:" + day_file_value(row[3]) + "空闲时间:" + day_file_value(row[4]) +
                                        " ");
            s.content.session_rows.push_back(std::move(row));
        }
        for (int k = 1, rows = pick(4); k <= rows; ++k) {
            CellRow row{value() + token('P') + value(), value() + token('F'), value()};
            s.file_records.push_back("第" + std::to_string(k) + "条文件记录:文件:" + day_file_value(row[0]) +
                                     "访问者:" + day_file_value(row[1]) + "打开模式:" + day_file_value(row[2]) + " ");
            s.content.open_file_rows.push_back(std::move(row));
        }
        return s;
    }

    int pick(std::size_t below) { return static_cast<int>(random_() % below); }

private:
    // Unique in the run, and made of bytes no piece holds.
    std::string token(char kind) { return std::string("#") + kind + std::to_string(++tokens_) + "#"; }

    std::mt19937 random_;
    int tokens_ = 0;
};

std::string join(const std::vector<std::string>& records) {
    std::string all;
    for (const auto& r : records)
        all += r;
    return all;
}

QueryResult query(const std::string& path, QueryConditions conditions) {
    conditions.start = *text_to_time("2011-3-5 0:0:0");
    conditions.end = *text_to_time("2011-3-5 23:59:59");
    QueryProgress progress;
    return run_log_query(ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting), conditions, progress);
}

std::string stamp_of(int i) { return "2011-3-5 1:" + std::to_string(i / 60) + ":" + std::to_string(i % 60); }

}  // namespace

TEST(DayFileFuzz, TheQueryReadsBackExactlyTheRecordsWritten) {
    const std::string dir = ::testing::TempDir() + "day_file_fuzz_";
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Fuzz fuzz(seed);
        int i = 0;
        ActivityLog log([&i] { return LocalTime{2011, 3, 5, 1, i / 60, i % 60}; }, dir, 0);
        const std::string path = dir + "201135.dat";
        std::remove(path.c_str());

        std::vector<Sample> samples;
        std::string sessions, files;
        for (i = 0; i < 40; ++i) {
            samples.push_back(fuzz.sample());
            ASSERT_EQ(log.append(samples.back().content), AppendResult::Written);
            if (!samples.back().session_records.empty())
                sessions += stamp_of(i) + join(samples.back().session_records) + "\r\n";
            if (!samples.back().file_records.empty())
                files += stamp_of(i) + join(samples.back().file_records) + "\r\n";
        }

        QueryResult all = query(path, {});
        ASSERT_EQ(all.bad_line, 0) << "seed " << seed;
        EXPECT_EQ(all.counter, 40);
        EXPECT_EQ(all.session_log, sessions) << "seed " << seed;
        EXPECT_EQ(all.file_log, files) << "seed " << seed;

        // Each record alone, found by the token in its user or path: one
        // record, whole, and nothing a value pretended to be.
        for (int tries = 0; tries < 10; ++tries) {
            int e = fuzz.pick(samples.size());
            const Sample& s = samples[static_cast<std::size_t>(e)];
            if (!s.content.session_rows.empty()) {
                int k = fuzz.pick(s.content.session_rows.size());
                const std::string& user = s.content.session_rows[static_cast<std::size_t>(k)][0];
                QueryConditions by_user;
                by_user.user = user.substr(user.rfind("#S"));
                QueryResult r = query(path, by_user);
                EXPECT_EQ(r.session_log, stamp_of(e) + s.session_records[static_cast<std::size_t>(k)] + "\r\n")
                    << "seed " << seed;
                EXPECT_EQ(r.file_log, "") << "seed " << seed;
            }
            if (!s.content.open_file_rows.empty()) {
                int k = fuzz.pick(s.content.open_file_rows.size());
                const std::string& path_value = s.content.open_file_rows[static_cast<std::size_t>(k)][0];
                auto at = path_value.find("#P");
                QueryConditions by_file;
                by_file.file = path_value.substr(at, path_value.find('#', at + 1) + 1 - at);
                QueryResult r = query(path, by_file);
                EXPECT_EQ(r.file_log, stamp_of(e) + s.file_records[static_cast<std::size_t>(k)] + "\r\n")
                    << "seed " << seed;
            }
        }
    }
}
