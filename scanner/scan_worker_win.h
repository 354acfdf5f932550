// The scan thread: probes the addresses of the range as fast as the socket
// takes the queries and matches the answers to their addresses, until every
// address has answered or timed out. It reaches the dialog only through the
// sent messages below, so all control work runs on the dialog's thread; what
// it has to show goes over in batches a few times a second, since a window
// redrawn for every address would set the pace of the scan.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/worker_thread_win.h"
#include "scanner/node_status.h"
#include "scanner/scan_range.h"

class NodeStatusProbe;

// Sent by the scan thread to the dialog (common/thread_messages_win.h).
namespace scan_message {
constexpr UINT kProgress = WM_APP + 1;  // payload: ScanProgress
constexpr UINT kEnded = WM_APP + 2;     // payload: the last ScanProgress; wParam: 1 finished, 0 stopped
}  // namespace scan_message

struct ScanAnswer {
    Octets address;
    NodeStatusRow row;
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
    // The thread shares the probe, so it stays valid however long the
    // thread runs.
    explicit ScanWorker(std::shared_ptr<NodeStatusProbe> probe);

    // False when the thread cannot be started (the dialog stays idle).
    bool start(HWND dialog, const Octets& start, const Octets& end, int timeout_ms);
    // Ends the scan at once: its last batch and kEnded (stopped) follow.
    void request_stop();
    // For closing the window: ends the scan and waits for the thread at
    // most a few seconds, answering its messages meanwhile.
    void stop_and_join();

private:
    std::shared_ptr<NodeStatusProbe> probe_;
    WorkerThread thread_;
};
