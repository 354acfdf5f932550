#include "query/log_query.h"

#include <cstdlib>
#include <vector>

#include "common/exclusive_file.h"
#include "common/gbk_text.h"
#include "monitor/activity_log.h"
#include "query/text_to_time.h"

namespace {

const std::string kContentLabel = "内容:";
const std::string kFileMark = "〓";
constexpr std::size_t kLabelBytes = 5;

std::string read_whole(ExclusiveFile& file, const std::atomic<bool>& stop) {
    std::string bytes;
    char chunk[1 << 16];
    for (long got; !stop && (got = file.read(chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(got));
    return bytes;
}

// The line starting at `at` without its end (LF or CR LF); false at the end.
bool next_line(const std::string& text, std::size_t& at, std::string& line) {
    if (at >= text.size())
        return false;
    auto lf = text.find('\n', at);
    std::size_t end = lf == std::string::npos ? text.size() : lf;
    line.assign(text, at, end - at);
    at = lf == std::string::npos ? text.size() : lf + 1;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool is_stamp_byte(char c) { return (c >= '0' && c <= '9') || c == '-' || c == ' ' || c == ':'; }

// Where each entry of a line starts after its first: an entry cut short
// (a crash, a full disk) may have had the next one glued to it, and that
// one's head still marks its start. Found through "内容:", once per entry.
// A plain byte search: the head check below pins a hit to character edges,
// since no byte of a stamp can be the second byte of a character.
std::vector<std::size_t> glued_entry_starts(const std::string& line) {
    std::vector<std::size_t> starts;
    std::size_t from = line.find(kContentLabel);
    while (from != std::string::npos) {
        from = line.find(kContentLabel, from + kContentLabel.size());
        if (from == std::string::npos)
            break;
        // Back over the stamp to the colon that ends "时间:".
        std::size_t colon = from;
        while (colon > 0 && is_stamp_byte(line[colon - 1]))
            --colon;
        if (colon + 1 >= kLabelBytes) {
            const std::size_t head = colon + 1 - kLabelBytes;
            if (entry_head_length(line, head) == from + kContentLabel.size() - head)
                starts.push_back(head);
        }
    }
    return starts;
}

}  // namespace

long parse_counter_line(const std::string& line) {
    if (line.size() <= kLabelBytes)
        return 0;
    return std::atol(line.substr(kLabelBytes, 6).c_str());
}

namespace {

// One entry's share of the result; false when `line` is no entry at all.
bool take_entry(const std::string& line, const QueryConditions& conditions, QueryResult& result) {
    std::string rest = line.size() > kLabelBytes ? line.substr(kLabelBytes) : std::string();
    auto label = gbk::find(rest, kContentLabel);
    std::string stamp = label == std::string::npos ? std::string() : rest.substr(0, label);
    auto when = text_to_time(stamp);
    if (!when)
        return false;
    if (*when < conditions.start || *when > conditions.end)
        return true;
    std::string content = rest.substr(label + kContentLabel.size());
    auto mark = gbk::find(content, kFileMark);
    EntryRecords kept =
        narrow_entry(content.substr(0, mark),
                     mark == std::string::npos ? std::string() : content.substr(mark + kFileMark.size()), conditions);
    if (!kept.sessions.empty())
        result.session_log += stamp + kept.sessions + "\r\n";
    if (!kept.files.empty())
        result.file_log += stamp + kept.files + "\r\n";
    return true;
}

}  // namespace

QueryResult run_log_query(std::unique_ptr<ExclusiveFile> day_file, const QueryConditions& conditions,
                          QueryProgress& progress) {
    const std::string day = read_whole(*day_file, progress.stop);
    day_file.reset();
    QueryResult result;
    std::size_t at = 0;
    std::string line;
    next_line(day, at, line);
    result.counter = parse_counter_line(line);
    progress.counter = result.counter;
    long number = 0;
    while (!progress.stop && next_line(day, at, line)) {
        progress.line = ++number;
        // A cut-short entry is listed as a line of its own, never merged
        // into the entry glued to it.
        std::size_t begin = 0;
        bool good = true;
        for (std::size_t start : glued_entry_starts(line)) {
            good = take_entry(line.substr(begin, start - begin), conditions, result);
            if (!good)
                break;
            begin = start;
        }
        if (good)
            good =
                begin == 0 ? take_entry(line, conditions, result) : take_entry(line.substr(begin), conditions, result);
        if (!good) {
            result.bad_line = static_cast<int>(number + 1);
            break;
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
