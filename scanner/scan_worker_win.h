// The scan thread: probes the addresses of the range at a bounded rate and
// matches the answers to their addresses, until every address has answered
// or timed out. It reaches the dialog only through the synchronous messages
// below, so all control work runs on the dialog's thread; what it has to
// show goes over in batches a few times a second, since a window redrawn
// for every address would set the pace of the scan.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scanner/node_status.h"
#include "scanner/scan_range.h"

class NodeStatusProbe;
namespace scanner {
class ScanSchedule;
}

namespace scan_message {
constexpr UINT kProgress = WM_APP + 1;     // lParam: const ScanProgress*
constexpr UINT kReadTimeout = WM_APP + 2;  // result: milliseconds
constexpr UINT kEnded = WM_APP + 3;        // wParam: 1 finished, 0 stopped
}  // namespace scan_message

struct ScanAnswer {
    scanner::Octets address;
    scanner::NodeStatusRow row;
};

// What happened since the last batch: the addresses probed, in order (as
// GBK text), and the answers taken.
struct ScanProgress {
    std::vector<std::string> probed;
    std::vector<ScanAnswer> answers;
    bool empty() const { return probed.empty() && answers.empty(); }
};

class ScanWorker {
public:
    explicit ScanWorker(NodeStatusProbe& probe);
    ~ScanWorker();
    ScanWorker(const ScanWorker&) = delete;
    ScanWorker& operator=(const ScanWorker&) = delete;

    // False when the thread cannot be started (the dialog stays idle).
    bool start(HWND dialog, const scanner::Octets& start, const scanner::Octets& end);
    // Ends the scan at once, without the completion line.
    void request_stop();
    // For closing the window: ends the scan at once and waits for the
    // thread, serving its messages meanwhile; the thread then touches no
    // window.
    void abort_and_join();

private:
    static DWORD WINAPI entry(LPVOID self);
    DWORD run();
    DWORD leave(bool finished, ScanProgress& progress);
    void show(ScanProgress& progress);
    void take_answers(scanner::ScanSchedule& schedule, ScanProgress& progress);
    bool wait_previous_thread();

    NodeStatusProbe& probe_;
    HANDLE abort_event_;
    HANDLE stop_event_;
    HANDLE thread_ = nullptr;
    HWND dialog_ = nullptr;
    scanner::Octets start_{}, end_{};
};
