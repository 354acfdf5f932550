// The log query dialog: a day, a time window and optional conditions; the
// matching entries of that day's activity log, and Save As.
#pragma once

#include <windows.h>

#include <string>

#include "common/dialog_win.h"

class LogQueryDialog : public Dialog {
public:
    LogQueryDialog();

    // The query and the save behind the two buttons; `path` is the file the
    // Save As dialog chose.
    void query();
    void save_to(const std::string& path);

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;

private:
    void save_as();
};

// Runs the dialog once, owned by the main window.
void run_log_query_command(HWND main_window);
