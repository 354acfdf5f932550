// The monitoring thread: a pass every second, or at once when the main
// window asks for one, until the window stops it. A pass writes the two lists into in-memory copies
// and hands the window their changes in one message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/scoped_handle_win.h"
#include "common/worker_thread_win.h"
#include "monitor/filvane_messages_win.h"
#include "monitor/monitor_pass.h"
#include "monitor/recorded_list.h"
#include "netmgmt/net_management.h"

// What a pass hands the main window, sent as filvane_message::kPassUpdate;
// valid while the message is handled, as the thread waits for it. The
// window applies the edits to its session and open-file lists.
struct PassUpdate {
    std::vector<ListEdit> sessions;
    std::vector<ListEdit> open_files;
    std::uint32_t sessions_status = 0;  // how each enumeration ended
    std::uint32_t open_files_status = 0;
    std::uint32_t day_file_status = 0;      // 0, or why the day file cannot be written now
    std::optional<long> unwritten_entries;  // once appends resume: the entries lost meanwhile
    // When the pass began (GetTickCount64), if it found the lists current.
    std::optional<std::uint64_t> lists_current_at;
};

class MonitorWorker {
public:
    static constexpr DWORD kPassPeriodMs = 1000;

    // `net` outlives the thread: it serves the process. `boxes` are the
    // texts of the boxes a pass may raise; a pass starts every `period_ms`.
    MonitorWorker(netmgmt::NetManagement& net, HWND window, PassBoxTexts boxes, DWORD period_ms = kPassPeriodMs);

    bool start();
    // The next pass starts now instead of at the end of the period; a pass
    // in progress is followed by another at once.
    void pass_now();
    // Ends the passes, waiting at most `wait_ms` while answering the pass in
    // progress; false when the thread still runs then.
    bool stop(DWORD wait_ms);

private:
    netmgmt::NetManagement& net_;
    HWND window_;
    PassBoxTexts boxes_;
    DWORD period_ms_;
    // An auto-reset event the thread's wait also ends on; shared, as the
    // thread may outlive this object.
    std::shared_ptr<KernelHandle> wake_;
    WorkerThread thread_;
};
