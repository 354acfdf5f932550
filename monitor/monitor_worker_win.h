// The monitoring thread: a pass after every second of waiting on the stop
// event, until the main window asks it to stop. A pass writes the two lists
// into in-memory copies and hands the window their changes in one message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "monitor/recorded_list.h"
#include "netmgmt/net_management.h"

// The stop request and its acknowledgement, made before any window exists.
HANDLE stop_event();
HANDLE stopped_event();

// What a pass hands the main window, sent to it as kPassUpdateMessage with a
// pointer in lParam; valid while the message is handled, as the thread waits
// for it. The window applies the edits to its session and open-file lists.
struct PassUpdate {
    std::vector<ListEdit> sessions;
    std::vector<ListEdit> open_files;
    const std::vector<Row>* open_file_rows = nullptr;  // the open-file list as the edits leave it
    std::uint32_t sessions_status = 0;                 // how each enumeration ended
    std::uint32_t open_files_status = 0;
    std::uint32_t day_file_status = 0;      // 0, or why the day file cannot be written now
    std::optional<long> unwritten_entries;  // once appends resume: the entries lost meanwhile
};
constexpr UINT kPassUpdateMessage = WM_APP + 0x40;

class MonitorWorker {
public:
    MonitorWorker(netmgmt::NetManagement& net, HWND window);
    ~MonitorWorker();
    MonitorWorker(const MonitorWorker&) = delete;
    MonitorWorker& operator=(const MonitorWorker&) = delete;

    bool start();

private:
    static DWORD WINAPI thread_main(LPVOID self);
    void loop();

    netmgmt::NetManagement& net_;
    HWND window_;
    HANDLE thread_ = nullptr;
};
