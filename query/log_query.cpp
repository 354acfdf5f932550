#include "query/log_query.h"

#include <cstdlib>

#include "common/exclusive_file.h"
#include "common/gbk_text.h"
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

}  // namespace

long parse_counter_line(const std::string& line) {
    if (line.size() <= kLabelBytes)
        return 0;
    return std::atol(line.substr(kLabelBytes, 6).c_str());
}

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
        EntryRecords kept = narrow_entry(
            content.substr(0, mark),
            mark == std::string::npos ? std::string() : content.substr(mark + kFileMark.size()), conditions);
        if (!kept.sessions.empty())
            result.session_log += stamp + kept.sessions + "\r\n";
        if (!kept.files.empty())
            result.file_log += stamp + kept.files + "\r\n";
    }
    return result;
}

std::string saved_log_bytes(const std::string& session_log, const std::string& file_log) {
    std::string bytes = "会话日志\r\n" + session_log + "\r\n";
    if (!file_log.empty())
        bytes += "打开文件日志\r\n" + file_log + "\r\n";
    return bytes;
}
