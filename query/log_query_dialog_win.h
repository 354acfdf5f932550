// The log query dialog: a day, a time window and optional conditions; the
// matching entries of that day's activity log, and Save As.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "common/dialog_win.h"
#include "common/growing_dialog_win.h"
#include "controls/log_view_win.h"
#include "query/drawn_progress.h"
#include "query/query_run_win.h"

class LogQueryDialog : public Dialog {
public:
    LogQueryDialog();
    ~LogQueryDialog() override;

    // The query and the save behind the two buttons; `path` is the file the
    // Save As dialog chose. The query returns once its walk has started.
    void query();
    void save_to(const std::string& path);

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void save_as();
    void show_progress();
    void finish_query(QueryResult& result);
    void set_running(bool running);

    LogView* session_box_ = nullptr;  // owned by their windows
    LogView* file_box_ = nullptr;
    std::unique_ptr<QueryRun> run_;
    std::optional<DrawnProgress> bar_;
    GrowingDialog growing_;
};

// Runs the dialog once, owned by the main window.
void run_log_query_command(HWND main_window);
