#include "monitor/activity_recorder.h"

#include <utility>

#include "monitor/failure_messages.h"

ActivityRecorder::ActivityRecorder(ActivityLog& log, PassReporting reporting)
    : log_(log), reporting_(std::move(reporting)) {}

void ActivityRecorder::record(bool changed, const std::function<EntryContent()>& content) {
    if (!changed && !pending_)
        return;
    if (changed && pending_)
        ++superseded_;
    AppendResult result = log_.append(content());
    if (result != AppendResult::Written) {
        failed(result);
        return;
    }
    if (pending_) {
        unwritten_ = superseded_;
        std::string line = repeats_.cleared();
        if (!line.empty() && !reporting_.write_error_log(line))
            reporting_.show_message(reporting_.boxes.error_log_failed);
    }
    pending_ = false;
    superseded_ = 0;
    failure_ = 0;
}

void ActivityRecorder::failed(AppendResult result) {
    const bool no_file = result == AppendResult::NoFile;
    if (!pending_)
        reporting_.show_message(no_file ? reporting_.boxes.day_file_not_created : reporting_.boxes.day_file_failed);
    pending_ = true;
    failure_ = log_.failure();
    // The error log's words are its format, read back by administrators'
    // tools: they stay here, whatever the box's words in the string table.
    std::string line = repeats_.failed(
        std::string(no_file ? "创建日志文件失败" : "写入日志文件失败!") + "原因:" + failure_cause(failure_),
        reporting_.seconds());
    // The error log most often lies on the same disk: when it fails too, the
    // box already shown and the status line say it all.
    if (!line.empty())
        reporting_.write_error_log(line);
}

std::optional<long> ActivityRecorder::take_unwritten() { return std::exchange(unwritten_, std::nullopt); }
