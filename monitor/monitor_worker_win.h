// The monitoring thread: a pass after every second of waiting on the stop
// event, until the main window asks it to stop.
#pragma once

#include <windows.h>

#include "netmgmt/net_management.h"

// The stop request and its acknowledgement, made before any window exists.
HANDLE stop_event();
HANDLE stopped_event();

class MonitorWorker {
public:
    MonitorWorker(netmgmt::NetManagement& net, HWND sessions, HWND open_files);
    ~MonitorWorker();
    MonitorWorker(const MonitorWorker&) = delete;
    MonitorWorker& operator=(const MonitorWorker&) = delete;

    bool start();

private:
    static DWORD WINAPI thread_main(LPVOID self);
    void loop();

    netmgmt::NetManagement& net_;
    HWND sessions_;
    HWND open_files_;
    HANDLE thread_ = nullptr;
};
