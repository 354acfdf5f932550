#include "query/query_run_win.h"

#include "common/exclusive_file.h"
#include "common/thread_messages_win.h"

struct QueryRun::Walk {
    std::unique_ptr<ExclusiveFile> day_file;
    QueryConditions conditions;
    HWND window = nullptr;
    UINT done_message = 0;
    QueryProgress progress;

    void run() {
        auto result = std::make_unique<QueryResult>(run_log_query(std::move(day_file), conditions, progress));
        // A dialog that is gone cannot take it: the result is freed here then.
        post_owned(window, done_message, 0, std::move(result));
    }
};

QueryRun::QueryRun(std::unique_ptr<ExclusiveFile> day_file, QueryConditions conditions, HWND window, UINT done_message)
    : walk_(std::make_shared<Walk>()) {
    walk_->day_file = std::move(day_file);
    walk_->conditions = std::move(conditions);
    walk_->window = window;
    walk_->done_message = done_message;
    if (!thread_.start([walk = walk_](HANDLE) {
            walk->run();
            return DWORD{0};
        }))
        walk_->run();  // no thread to be had: the walk runs here, as before
}

QueryRun::~QueryRun() { walk_->progress.stop = true; }

const QueryProgress& QueryRun::progress() const { return walk_->progress; }
