#include "scanner/scan_worker_win.h"

#include <algorithm>

#include "scanner/node_status_probe_win.h"
#include "scanner/scan_schedule.h"

namespace {

constexpr scanner::Millis kHeldRetryMs = 50;
// How often the window gets what is new: often enough to look continuous.
constexpr scanner::Millis kShowIntervalMs = 25;

scanner::Millis clock_ms() { return GetTickCount64(); }

}  // namespace

ScanWorker::ScanWorker(NodeStatusProbe& probe)
    : probe_(probe),
      abort_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      stop_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ScanWorker::~ScanWorker() {
    abort_and_join();
    if (thread_)
        CloseHandle(thread_);
    if (stop_event_)
        CloseHandle(stop_event_);
    if (abort_event_)
        CloseHandle(abort_event_);
}

bool ScanWorker::wait_previous_thread() {
    if (!thread_)
        return true;
    // Start is enabled only after the last message of the previous thread.
    if (WaitForSingleObject(thread_, 5000) != WAIT_OBJECT_0)
        return false;
    CloseHandle(thread_);
    thread_ = nullptr;
    return true;
}

bool ScanWorker::start(HWND dialog, const scanner::Octets& start, const scanner::Octets& end) {
    if (!abort_event_ || !stop_event_ || !wait_previous_thread())
        return false;
    dialog_ = dialog;
    start_ = start;
    end_ = end;
    ResetEvent(stop_event_);
    thread_ = CreateThread(nullptr, 0, entry, this, 0, nullptr);
    return thread_ != nullptr;
}

void ScanWorker::request_stop() {
    if (stop_event_)
        SetEvent(stop_event_);
}

void ScanWorker::abort_and_join() {
    if (!thread_)
        return;
    SetEvent(abort_event_);
    for (;;) {
        DWORD w = MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE);
        if (w != WAIT_OBJECT_0 + 1)
            break;  // the thread ended (or the handle is unusable: nothing left to wait for)
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // serves sent messages
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    ResetEvent(abort_event_);
}

DWORD WINAPI ScanWorker::entry(LPVOID self) { return static_cast<ScanWorker*>(self)->run(); }

void ScanWorker::show(ScanProgress& progress) {
    if (progress.empty())
        return;
    SendMessageW(dialog_, scan_message::kProgress, 0, reinterpret_cast<LPARAM>(&progress));
    progress = ScanProgress();
}

DWORD ScanWorker::leave(bool finished, ScanProgress& progress) {
    // What was probed and taken before the end is still shown.
    show(progress);
    SendMessageW(dialog_, scan_message::kEnded, finished ? 1 : 0, 0);
    return finished ? 0 : 1;
}

void ScanWorker::take_answers(scanner::ScanSchedule& schedule, ScanProgress& progress) {
    NodeStatusProbe::Datagram d;
    for (;;) {
        NodeStatusProbe::Receive got = probe_.receive(d);
        if (got == NodeStatusProbe::Receive::none)
            return;
        if (got == NodeStatusProbe::Receive::dropped || d.bytes.size() > scanner::kReplyBufferSize ||
            !schedule.answer(d.source, clock_ms()))
            continue;
        progress.answers.push_back(
            {d.source, scanner::read_node_status(d.bytes.data(), d.bytes.size(), scanner::dotted(d.source))});
    }
}

DWORD ScanWorker::run() {
    const auto timeout = static_cast<scanner::Millis>(SendMessageW(dialog_, scan_message::kReadTimeout, 0, 0));
    probe_.discard_waiting();
    scanner::ScanSchedule schedule(start_, end_, timeout, clock_ms());
    scanner::Octets held{};
    ScanProgress progress;
    scanner::Millis shown_at = clock_ms();
    // Without a socket nothing is ever ready: the scan waits out every
    // deadline, as a scan whose answers all go missing would.
    HANDLE waits[3] = {abort_event_, stop_event_, probe_.ready()};
    const DWORD wait_count = waits[2] ? 3 : 2;
    for (;;) {
        scanner::Millis now = clock_ms();
        if (schedule.holding() && probe_.send(held))
            schedule.sent_late(now);
        while (auto due = schedule.next_due(now)) {
            progress.probed.push_back(scanner::dotted(due->address));
            if (due->probe && !probe_.send(due->address)) {
                held = due->address;
                schedule.hold_last();
            }
        }
        take_answers(schedule, progress);
        now = clock_ms();
        if (schedule.finished(now))
            return leave(true, progress);
        if (now - shown_at >= kShowIntervalMs) {
            show(progress);
            shown_at = now;
        }
        // A held query is tried again when the socket has room, and at
        // least this often should that notice not come.
        scanner::Millis next = schedule.next_event(now).value_or(now + kHeldRetryMs);
        if (schedule.holding())
            next = std::min(next, now + kHeldRetryMs);
        if (!progress.empty())
            next = std::min(next, shown_at + kShowIntervalMs);
        DWORD wait = next > now ? static_cast<DWORD>(next - now) : 0;
        DWORD woke = WaitForMultipleObjects(wait_count, waits, FALSE, wait);
        if (woke == WAIT_OBJECT_0)
            return 1;  // the window is closing: not touched again
        if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_FAILED)
            return leave(false, progress);
    }
}
