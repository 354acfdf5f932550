#include "query/query_run_win.h"

#include "common/exclusive_file.h"

QueryRun::QueryRun(std::unique_ptr<ExclusiveFile> day_file, QueryConditions conditions, HWND window, UINT done_message)
    : day_file_(std::move(day_file)), conditions_(std::move(conditions)), window_(window), done_message_(done_message) {
    thread_ = CreateThread(nullptr, 0, walk, this, 0, nullptr);
    if (!thread_)
        walk(this);  // no thread to be had: the walk runs here, as before
}

QueryRun::~QueryRun() {
    progress_.stop = true;
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

QueryResult QueryRun::finish() {
    if (thread_)
        WaitForSingleObject(thread_, INFINITE);
    return std::move(result_);
}

DWORD WINAPI QueryRun::walk(LPVOID self) {
    auto run = static_cast<QueryRun*>(self);
    run->result_ = run_log_query(std::move(run->day_file_), run->conditions_, run->progress_);
    PostMessageW(run->window_, run->done_message_, 0, 0);
    return 0;
}
