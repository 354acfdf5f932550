// The scan thread: lists each address of the range, sends it the query and
// waits for an answer or the timeout. It reaches the dialog only through
// the synchronous messages below, so all control work runs on the
// dialog's thread.
#pragma once

#include <windows.h>

#include <atomic>

#include "scanner/scan_range.h"

class NodeStatusProbe;

namespace scan_message {
constexpr UINT kListAddress = WM_APP + 1;  // lParam: the GBK address text
constexpr UINT kReadTimeout = WM_APP + 2;  // result: milliseconds
constexpr UINT kEnded = WM_APP + 3;        // wParam: 1 finished, 0 stopped
}  // namespace scan_message

class ScanWorker {
public:
    ScanWorker(NodeStatusProbe& probe, HANDLE reply_event);
    ~ScanWorker();
    ScanWorker(const ScanWorker&) = delete;
    ScanWorker& operator=(const ScanWorker&) = delete;

    bool start(HWND dialog, const scanner::Octets& start, const scanner::Octets& end);
    // Taken after the current wait; dropped if that was the last address.
    void request_stop() { stop_requested_ = true; }
    // For closing the window: ends the current wait at once and waits for
    // the thread, serving its messages meanwhile; the thread then touches no
    // window.
    void abort_and_join();

private:
    static DWORD WINAPI entry(LPVOID self);
    DWORD run();
    DWORD leave(bool finished);
    bool wait_previous_thread();

    NodeStatusProbe& probe_;
    HANDLE reply_event_;
    HANDLE abort_event_;
    HANDLE thread_ = nullptr;
    HWND dialog_ = nullptr;
    scanner::Octets start_{}, end_{};
    std::atomic<bool> stop_requested_{false};
};
