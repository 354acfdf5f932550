// One query's walk on a thread of its own, so the dialog keeps answering,
// and so does the main window on the same thread, whose monitoring thread
// sends its list changes and waits for them.
#pragma once

#include <windows.h>

#include <memory>

#include "common/worker_thread_win.h"
#include "query/log_query.h"

class QueryRun {
public:
    // Posts `done_message` to `window` when the walk has ended, with the
    // QueryResult the window takes over (take_posted<QueryResult>).
    QueryRun(std::unique_ptr<ExclusiveFile> day_file, QueryConditions conditions, HWND window, UINT done_message);
    // Stops the walk; a walk that does not end within the worker's bounded
    // wait finishes on its own state and its result goes nowhere.
    ~QueryRun();
    QueryRun(const QueryRun&) = delete;
    QueryRun& operator=(const QueryRun&) = delete;

    const QueryProgress& progress() const;

private:
    // What the walk reads and writes, shared with its thread.
    struct Walk;

    std::shared_ptr<Walk> walk_;
    WorkerThread thread_;
};
