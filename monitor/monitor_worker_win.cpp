#include "monitor/monitor_worker_win.h"

#include <memory>
#include <utility>

#include "common/message_box_win.h"
#include "common/thread_messages_win.h"
#include "monitor/activity_log.h"
#include "monitor/activity_recorder.h"
#include "monitor/error_log.h"
#include "monitor/monitor_pass.h"
#include "monitor/monitor_settings.h"

namespace {

constexpr DWORD kLeastWaitMs = 100;

std::vector<CellRow> texts_of(const RecordedList& list, int columns) {
    std::vector<CellRow> rows;
    rows.reserve(list.rows().size());
    for (const Row& row : list.rows()) {
        CellRow cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(static_cast<std::size_t>(column) < row.size() ? row[column].text : std::string());
        rows.push_back(std::move(cells));
    }
    return rows;
}

DWORD WINAPI show_box(LPVOID text) {
    std::unique_ptr<std::string> owned(static_cast<std::string*>(text));
    show_report(nullptr, *owned, MB_OK);
    return 0;
}

// A box of this thread is shown on a thread of its own, so the passes go on
// while it is up; it goes through the one-box-at-a-time gate like any other.
void report(const std::string& text) {
    auto owned = std::make_unique<std::string>(text);
    HANDLE thread = CreateThread(nullptr, 0, show_box, owned.get(), 0, nullptr);
    if (!thread) {
        show_report(nullptr, text, MB_OK);
        return;
    }
    static_cast<void>(owned.release());  // the box thread owns it now
    CloseHandle(thread);
}

// Waits up to `wait_ms` for the next pass: true at the time-out or when
// `wake` is set; false once `stop` is (it wins when both are) or the wait
// failed.
bool wait_for_pass(HANDLE stop, HANDLE wake, DWORD wait_ms) {
    const HANDLE events[] = {stop, wake};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, wait_ms);
    return woke == WAIT_TIMEOUT || woke == WAIT_OBJECT_0 + 1;
}

// The thread's body: passes until `stop` is set. It may outlive its
// MonitorWorker by a bounded stop, so it holds nothing of it.
DWORD run_passes(netmgmt::NetManagement& net, HWND window, const PassBoxTexts& boxes, DWORD period_ms, HANDLE stop,
                 HANDLE wake) {
    ErrorLog error_log;
    ActivityLog activity_log;
    RecordedList sessions;
    RecordedList open_files;
    PassReporting reporting{
        [&](const std::string& line) { return error_log.write(line); }, report, steady_seconds, boxes};
    MonitorPass pass(net, sessions, open_files, reporting);
    ActivityRecorder recorder(activity_log, reporting);
    // A pass starts every period: the wait is what the last pass left of it
    // (on a busy server a pass takes a good part of a second), but never less
    // than a breath for the rest of the system.
    DWORD wait = period_ms;
    while (wait_for_pass(stop, wake, wait)) {
        const std::uint64_t started = GetTickCount64();
        MonitorSettings settings = monitor_settings().snapshot();
        PassOutcome outcome = pass.run(settings.folders);
        PassUpdate update{sessions.take_edits(),
                          open_files.take_edits(),
                          outcome.sessions_status,
                          outcome.open_files_status,
                          recorder.failure(),
                          recorder.take_unwritten(),
                          outcome.lists_current ? std::optional<std::uint64_t>(started) : std::nullopt};
        send_payload(window, filvane_message::kPassUpdate, update);
        const DWORD took = static_cast<DWORD>(GetTickCount64() - started);
        wait = took + kLeastWaitMs >= period_ms ? kLeastWaitMs : period_ms - took;
        if (!settings.start_log)
            continue;
        recorder.record(outcome.changed(), [&] {
            EntryContent content;
            content.sessions = settings.save_session;
            content.open_files = settings.save_file;
            if (content.sessions)
                content.session_rows = texts_of(sessions, kSessionColumns);
            if (content.open_files)
                content.open_file_rows = texts_of(open_files, kOpenId);
            return content;
        });
    }
    return 0;
}

}  // namespace

MonitorWorker::MonitorWorker(netmgmt::NetManagement& net, HWND window, PassBoxTexts boxes, DWORD period_ms)
    : net_(net), window_(window), boxes_(std::move(boxes)), period_ms_(period_ms) {}

bool MonitorWorker::start() {
    auto wake = std::make_shared<KernelHandle>(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!*wake)
        return false;
    if (!thread_.start([&net = net_, window = window_, boxes = boxes_, period_ms = period_ms_, wake](HANDLE stop) {
            return run_passes(net, window, boxes, period_ms, stop, wake->get());
        }))
        return false;
    wake_ = std::move(wake);
    return true;
}

void MonitorWorker::pass_now() {
    if (wake_)
        SetEvent(wake_->get());
}

bool MonitorWorker::stop(DWORD wait_ms) { return thread_.stop(wait_ms); }
