#include "monitor/activity_log.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/exclusive_file.h"

namespace {

const std::string kCounterLabel = "数目:";
constexpr std::size_t kCounterField = 6;
constexpr std::size_t kCounterLineBytes = 5 + kCounterField + 2;

bool all_empty(const CellRow& row) {
    for (const auto& cell : row)
        if (!cell.empty())
            return false;
    return true;
}

const std::string& cell(const CellRow& row, std::size_t i) {
    static const std::string empty;
    return i < row.size() ? row[i] : empty;
}

// The count a counter line holds, or -1 when the first line is no counter
// line of the fixed length, which must then be left alone.
long counter_of(const std::string& first_line) {
    if (first_line.size() != kCounterLineBytes || first_line.compare(0, kCounterLabel.size(), kCounterLabel) != 0 ||
        first_line.compare(kCounterLineBytes - 2, 2, "\r\n") != 0)
        return -1;
    return std::atol(first_line.substr(kCounterLabel.size(), kCounterField).c_str());
}

std::string read_first_line(ExclusiveFile& file) {
    char buffer[64];
    long got = file.read(buffer, sizeof buffer);
    if (got <= 0)
        return {};
    std::string head(buffer, static_cast<std::size_t>(got));
    auto lf = head.find('\n');
    return lf == std::string::npos ? head : head.substr(0, lf + 1);
}

}  // namespace

std::string activity_file_name(const LocalTime& t) {
    char name[48];
    std::snprintf(name, sizeof name, "%d%d%d.dat", t.year, t.month, t.day);
    return name;
}

std::string activity_stamp(const LocalTime& t) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%d-%d-%d %d:%d:%d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return stamp;
}

std::string activity_counter_line(long count) {
    std::string field = std::to_string(count);
    if (field.size() < kCounterField)
        field.append(kCounterField - field.size(), ' ');
    return kCounterLabel + field + "\r\n";
}

std::string activity_entry(const LocalTime& time, const EntryContent& content) {
    std::string entry = "时间:" + activity_stamp(time) + "内容:";
    if (content.sessions) {
        int k = 0;
        for (const auto& row : content.session_rows) {
            if (all_empty(row))
                continue;
            entry += "第" + std::to_string(++k) + "条会话记录:用户:" + cell(row, 0) + "计算机:" + cell(row, 1) +
                     "打开文件数目:" + cell(row, 2) + "连接时间:" + cell(row, 3) + "空闲时间:" + cell(row, 4) + " ";
        }
    }
    if (content.open_files) {
        entry += "〓";
        int k = 0;
        for (const auto& row : content.open_file_rows) {
            if (all_empty(row))
                continue;
            entry += "第" + std::to_string(++k) + "条文件记录:文件:" + cell(row, 0) + "访问者:" + cell(row, 1) +
                     "打开模式:" + cell(row, 2) + " ";
        }
    }
    return entry + "\r\n";
}

ActivityLog::ActivityLog(Clock clock, std::string directory, int retry_ms)
    : clock_(std::move(clock)), directory_(std::move(directory)), retry_ms_(retry_ms) {}

AppendResult ActivityLog::append(const EntryContent& content) const {
    const LocalTime now = clock_();
    const std::string entry = activity_entry(now, content);
    const std::string path = directory_ + activity_file_name(now);

    auto file = ExclusiveFile::open_waiting(path, ExclusiveFile::Disposition::OpenAlways, retry_ms_);
    if (!file)
        return AppendResult::NoFile;

    if (file->size() == 0)
        return file->write(activity_counter_line(1) + entry) ? AppendResult::Written : AppendResult::WriteFailed;

    long count = counter_of(read_first_line(*file));
    std::string counter = count >= 0 ? activity_counter_line(count + 1) : std::string();
    // A count that outgrew its six columns, or a first line that is no
    // counter line, is left as it is rather than overwrite the next line.
    bool rewrite = count >= 0 && counter.size() == kCounterLineBytes;
    if (rewrite && !(file->seek(0) && file->write(counter)))
        return AppendResult::WriteFailed;
    return file->seek_to_end() && file->write(entry) ? AppendResult::Written : AppendResult::WriteFailed;
}
