// One query's walk on a thread of its own, so the dialog keeps answering,
// and so does the main window on the same thread, whose monitoring thread
// sends its list changes and waits for them.
#pragma once

#include <windows.h>

#include <memory>

#include "query/log_query.h"

class QueryRun {
public:
    // Posts `done_message` to `window` when the walk has ended.
    QueryRun(std::unique_ptr<ExclusiveFile> day_file, QueryConditions conditions, HWND window, UINT done_message);
    ~QueryRun();  // stops the walk and waits for its thread
    QueryRun(const QueryRun&) = delete;
    QueryRun& operator=(const QueryRun&) = delete;

    const QueryProgress& progress() const { return progress_; }
    // Waits for the walk (over once `done_message` came) and hands over its result.
    QueryResult finish();

private:
    static DWORD WINAPI walk(LPVOID self);

    std::unique_ptr<ExclusiveFile> day_file_;
    QueryConditions conditions_;
    HWND window_;
    UINT done_message_;
    QueryProgress progress_;
    QueryResult result_;
    HANDLE thread_ = nullptr;
};
