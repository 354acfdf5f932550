#include "query/log_query.h"

#include <cstdlib>
#include <vector>

#include "common/exclusive_file.h"
#include "common/gbk_text.h"
#include "query/text_to_time.h"

namespace {

const std::string kContentLabel = "内容:";
const std::string kFileMark = "〓";
constexpr std::size_t kLabelBytes = 5;

// Lines of a file read in large chunks; the line end (LF, CR LF) is dropped.
class LineReader {
public:
    explicit LineReader(ExclusiveFile& file) : file_(file) {}
    bool next(std::string& line) {
        for (;;) {
            auto lf = buffer_.find('\n', scanned_);
            if (lf != std::string::npos) {
                line.assign(buffer_, 0, lf);
                buffer_.erase(0, lf + 1);
                scanned_ = 0;
                break;
            }
            scanned_ = buffer_.size();
            char chunk[1 << 16];
            long got = file_.read(chunk, sizeof chunk);
            if (got <= 0) {
                if (buffer_.empty())
                    return false;
                line.swap(buffer_);
                buffer_.clear();
                scanned_ = 0;
                break;
            }
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

private:
    ExclusiveFile& file_;
    std::string buffer_;
    std::size_t scanned_ = 0;
};

// The records of a content part: each begins with "第N条<kind>记录:".
std::vector<std::string> split_records(const std::string& part, const std::string& kind_label) {
    std::vector<std::string> records;
    std::vector<std::size_t> starts;
    for (std::size_t at = gbk::find(part, kind_label); at != std::string::npos;
         at = gbk::find(part, kind_label, at + 1)) {
        std::size_t start = at;
        while (start > 0 && part[start - 1] >= '0' && part[start - 1] <= '9')
            --start;
        if (start >= 2 && part.compare(start - 2, 2, "第") == 0)
            starts.push_back(start - 2);
    }
    for (std::size_t i = 0; i < starts.size(); ++i)
        records.push_back(part.substr(starts[i], (i + 1 < starts.size() ? starts[i + 1] : part.size()) - starts[i]));
    return records;
}

// The value after `label` up to `next_label` (or the record's end).
std::string field(const std::string& record, const std::string& label, const std::string& next_label) {
    auto at = gbk::find(record, label);
    if (at == std::string::npos)
        return {};
    at += label.size();
    auto end = next_label.empty() ? std::string::npos : gbk::find(record, next_label, at);
    return record.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

bool matches(const std::string& value, const std::string& wanted) {
    return wanted.empty() || gbk::contains(value, wanted);
}

std::string kept_sessions(const std::string& part, const QueryConditions& c) {
    if (c.user.empty() && c.computer.empty())
        return part;
    std::string kept;
    for (const auto& record : split_records(part, "条会话记录:"))
        if (matches(field(record, "用户:", "计算机:"), c.user) &&
            matches(field(record, "计算机:", "打开文件数目:"), c.computer))
            kept += record;
    return kept;
}

std::string kept_files(const std::string& part, const QueryConditions& c) {
    if (c.file.empty())
        return part;
    std::string kept;
    for (const auto& record : split_records(part, "条文件记录:"))
        if (matches(field(record, "文件:", "访问者:"), c.file))
            kept += record;
    return kept;
}

}  // namespace

long parse_counter_line(const std::string& line) {
    if (line.size() <= kLabelBytes)
        return 0;
    return std::atol(line.substr(kLabelBytes, 6).c_str());
}

QueryResult run_log_query(ExclusiveFile& day_file, const QueryConditions& conditions,
                          const std::function<void(long)>& counted, const std::function<void(long)>& progress) {
    QueryResult result;
    LineReader lines(day_file);
    std::string line;
    lines.next(line);
    result.counter = parse_counter_line(line);
    counted(result.counter);
    long number = 0;
    while (lines.next(line)) {
        progress(++number);
        std::string rest = line.size() > kLabelBytes ? line.substr(kLabelBytes) : std::string();
        auto label = gbk::find(rest, kContentLabel);
        std::string stamp = label == std::string::npos ? std::string() : rest.substr(0, label);
        auto when = text_to_time(stamp);
        if (!when) {
            result.bad_line = static_cast<int>(number + 1);
            break;
        }
        if (*when < conditions.start || *when > conditions.end)
            continue;
        std::string content = rest.substr(label + kContentLabel.size());
        auto mark = gbk::find(content, kFileMark);
        std::string sessions = kept_sessions(content.substr(0, mark), conditions);
        if (!sessions.empty())
            result.session_log += stamp + sessions + "\r\n";
        if (mark != std::string::npos) {
            std::string files = kept_files(content.substr(mark + kFileMark.size()), conditions);
            if (!files.empty())
                result.file_log += stamp + files + "\r\n";
        }
    }
    return result;
}

std::string saved_log_bytes(const std::string& session_log, const std::string& file_log) {
    std::string bytes = "会话日志\r\n" + session_log + "\r\n";
    if (!file_log.empty())
        bytes += "打开文件日志\r\n" + file_log + "\r\n";
    return bytes;
}
