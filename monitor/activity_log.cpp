#include "monitor/activity_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/exclusive_file.h"
#include "common/gbk_text.h"
#include "monitor/log_text.h"

namespace {

const std::string kTimeLabel = "时间:";
const std::string kContentLabel = "内容:";
constexpr std::size_t kStampMaxBytes = 24;
const std::string kLineEnd = "\r\n";
const std::string kCounterLabel = "数目:";
constexpr std::size_t kCounterField = 6;
constexpr std::size_t kCounterLineBytes = 5 + kCounterField + 2;

bool all_empty(const CellRow& row) {
    for (const auto& cell : row)
        if (!cell.empty())
            return false;
    return true;
}

std::string cell(const CellRow& row, std::size_t i) { return i < row.size() ? day_file_value(row[i]) : std::string(); }

bool is_stamp_byte(char c) { return (c >= '0' && c <= '9') || c == '-' || c == ' ' || c == ':'; }

// The length of `text` without a double-byte character cut in half at its end.
std::size_t whole_characters(const std::string& text, std::size_t from) {
    std::size_t at = from;
    while (at < text.size()) {
        std::size_t step = gbk::is_lead_byte(static_cast<unsigned char>(text[at])) ? 2 : 1;
        if (at + step > text.size())
            break;
        at += step;
    }
    return at;
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

std::string read_rest(ExclusiveFile& file) {
    std::string bytes;
    char chunk[1 << 16];
    for (long got; (got = file.read(chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(got));
    return bytes;
}

bool ends_with_line_end(ExclusiveFile& file, std::int64_t size) {
    char last[2];
    return size >= 2 && file.seek(size - 2) && file.read(last, 2) == 2 && last[0] == '\r' && last[1] == '\n';
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

std::size_t entry_head_length(const std::string& text, std::size_t at) {
    if (text.compare(at, kTimeLabel.size(), kTimeLabel) != 0)
        return 0;
    const std::size_t stamp = at + kTimeLabel.size();
    std::size_t end = stamp;
    while (end < text.size() && end - stamp < kStampMaxBytes && is_stamp_byte(text[end]))
        ++end;
    if (end == stamp || text.compare(end, kContentLabel.size(), kContentLabel) != 0)
        return 0;
    return end + kContentLabel.size() - at;
}

TailMend mend_tail(const std::string& day) {
    TailMend mend;
    const auto last_lf = day.rfind('\n');
    if (last_lf == std::string::npos) {
        // Not even the counter line is whole: the file starts afresh, unless
        // its first line is no counter line at all and so not ours to drop.
        const std::size_t head = std::min(day.size(), kCounterLabel.size());
        const bool counter_start = day.compare(0, head, kCounterLabel, 0, head) == 0;
        mend.keep = counter_start ? 0 : day.size();
        mend.end_line = !counter_start && !day.empty();
        return mend;
    }
    const std::size_t tail = last_lf + 1;
    mend.keep = tail;
    if (tail < day.size() && entry_head_length(day, tail) > 0) {
        std::size_t end = whole_characters(day, tail);
        if (end > tail && day[end - 1] == '\r')
            --end;
        mend.keep = end;
        mend.end_line = true;
    }
    long lines = 0;
    for (std::size_t i = 0; i < mend.keep; ++i)
        lines += day[i] == '\n';
    mend.entries = lines - 1 + (mend.end_line ? 1 : 0);
    return mend;
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

AppendResult ActivityLog::failed(AppendResult result) {
    failure_ = ExclusiveFile::last_failure();
    if (failure_ == 0)
        failure_ = file_failure::kOpenFailed;
    return result;
}

AppendResult ActivityLog::append(const EntryContent& content) {
    const LocalTime now = clock_();
    const std::string entry = activity_entry(now, content);
    const std::string path = directory_ + activity_file_name(now);

    auto file = ExclusiveFile::open_waiting(path, ExclusiveFile::Disposition::OpenAlways, retry_ms_);
    if (!file)
        return failed(AppendResult::NoFile);
    std::int64_t size = file->size();
    if (size < 0)
        return failed(AppendResult::WriteFailed);

    std::string first = size > 0 ? read_first_line(*file) : std::string();
    long count = counter_of(first);
    if (size > 0 && !ends_with_line_end(*file, size)) {
        if (!file->seek(0))
            return failed(AppendResult::WriteFailed);
        TailMend mend = mend_tail(read_rest(*file));
        if (!file->truncate(static_cast<std::int64_t>(mend.keep)) ||
            (mend.end_line && !(file->seek_to_end() && file->write(kLineEnd))))
            return failed(AppendResult::WriteFailed);
        size = static_cast<std::int64_t>(mend.keep + (mend.end_line ? kLineEnd.size() : 0));
        if (count >= 0)
            count = mend.entries;
    }

    // Taking back a failed write can fail too; what it leaves is a cut-short
    // line, mended by the next append.
    if (size == 0) {
        if (file->seek(0) && file->write(activity_counter_line(1) + entry))
            return AppendResult::Written;
        AppendResult result = failed(AppendResult::WriteFailed);
        file->truncate(0);
        return result;
    }

    std::string counter = count >= 0 ? activity_counter_line(count + 1) : std::string();
    // A count that outgrew its six columns, or a first line that is no
    // counter line, is left as it is rather than overwrite the next line.
    bool rewrite = count >= 0 && counter.size() == kCounterLineBytes;
    // The entry first, then the counter; a failure takes back what was
    // written, so the counter always equals the entry lines.
    if (!(file->seek_to_end() && file->write(entry))) {
        AppendResult result = failed(AppendResult::WriteFailed);
        file->truncate(size);
        return result;
    }
    if (rewrite && !(file->seek(0) && file->write(counter))) {
        AppendResult result = failed(AppendResult::WriteFailed);
        if (file->seek(0))
            file->write(first);
        file->truncate(size);
        return result;
    }
    return AppendResult::Written;
}
