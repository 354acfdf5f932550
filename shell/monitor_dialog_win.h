// Filvane's main window: the share, session and open-file lists, the share
// refresh timer and the monitoring thread behind the other two lists.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "common/dialog_win.h"
#include "controls/drawn_menu_win.h"
#include "monitor/monitor_pass.h"
#include "monitor/monitor_worker_win.h"
#include "monitor/sorted_list_view_win.h"
#include "monitor/status_line.h"
#include "netmgmt/net_management.h"
#include "shell/growing_window_win.h"
#include "shell/logon_asking.h"
#include "shell/monitor_texts_win.h"
#include "shell/toolbar_win.h"

extern const char kMainTitle[];

class MonitorDialog : public Dialog {
public:
    // `title` names the window and its tray icon; the monitoring thread
    // passes every `pass_period_ms`; `remote`: `net` is another computer's.
    MonitorDialog(netmgmt::NetManagement& net, std::string title, DWORD pass_period_ms = MonitorWorker::kPassPeriodMs,
                  bool remote = false);
    ~MonitorDialog() override;

    void refresh_shares();

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void add_about_to_system_menu();
    void set_up_lists();
    void close_window();
    void show_status(StatusSource source, std::uint32_t status);
    void show_status_line();
    // Says how old the lists are once no pass has found them current for
    // longer than the passes explain.
    void show_lists_age();
    void on_find_changed();
    bool on_list_command(int id, int notification);
    void on_list_key(const NMLVKEYDOWN& key);
    void apply_pass(const PassUpdate& update);
    void on_column_click(const NMLISTVIEW& click);
    void reread_failed_shares(const PassUpdate& update);
    void ask_for_account(std::uint32_t refusal);
    void close_open_file();
    void disconnect_session();
    void connect_to_server();
    void show_session_menu();
    void open_log_query();
    void open_settings();
    void show_about();
    void start_host_scanner();
    void start_ping();
    void open_help();
    void hide();
    void restore();
    void quit();

    struct CommandAction {
        int toolbar_id;  // 0: none
        int tray_id;     // 0: none
        void (MonitorDialog::*run)();
    };
    static const CommandAction* action_of(int id);
    void on_tray_notification(UINT mouse_message);

    netmgmt::NetManagement& net_;
    const std::string title_;
    const DWORD pass_period_ms_;
    HICON icon_;
    HIMAGELIST images_ = nullptr;
    std::unique_ptr<MonitorWorker> worker_;
    Toolbar toolbar_;
    GrowingWindow growing_;
    SortedListView sessions_{{kSessionUser, kSessionComputer}, {kSessionOpens, kSessionConnected, kSessionIdle}};
    SortedListView open_files_{{kOpenId}, {kOpenId}};
    std::unique_ptr<DrawnMenu> tray_menu_;  // while the tray menu is tracked
    StatusLine status_line_{status_texts()};
    std::string find_text_;
    std::string status_shown_;  // the status line as last written
    bool refreshing_shares_ = false;
    bool closing_ = false;
    // How the last share refresh ended, and whether the last pass read both
    // lists: a share list that failed is read again once the server answers.
    std::uint32_t shares_status_ = 0;
    bool pass_read_well_ = true;
    LogonAsking logon_asking_;
};
