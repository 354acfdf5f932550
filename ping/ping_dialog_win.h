// Corvap's window: host box, echo count, result list and the activity line.
// It turns buttons into requests for the worker and posted lines into rows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "common/dialog_win.h"
#include "common/single_instance_win.h"
#include "ping/activity_marker.h"
#include "ping/host_combo_win.h"
#include "ping/host_history.h"
#include "ping/ping_worker_win.h"

class PingDialog : public Dialog {
public:
    PingDialog();
    ~PingDialog() override;

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void load_history();
    void set_up_list();
    void fit_column();
    void measure_activity_line();
    void start_run();
    void add_line(int kind, std::unique_ptr<char[]> text);
    void end_run(bool resolved);
    void move_marker();
    void paint();
    void close();
    void enable_inputs(bool enabled);

    // Declared first so it goes last: a process whose window closed during a
    // run keeps the guard until the worker has stopped.
    SingleInstance single_instance_;
    PingWorker worker_;
    HostHistory history_;
    HostCombo host_combo_{history_};
    HWND count_spin_ = nullptr;
    HWND results_ = nullptr;
    std::string count_text_;
    HICON icon_ = nullptr;
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    RECT band_{};
    bool running_ = false;
    ActivityMarker marker_;
};

// The single-instance guard's name.
extern const char kPingMutexName[];
