#include "scanner/scan_worker_win.h"

#include <algorithm>

#include "common/thread_messages_win.h"
#include "scanner/node_status_probe_win.h"
#include "scanner/scan_schedule.h"

namespace {

constexpr Millis kHeldRetryMs = 50;
// How often the window gets what is new: often enough to look continuous.
constexpr Millis kShowIntervalMs = 25;
// Start is enabled by the previous thread's last message, which it may
// still be returning from.
constexpr DWORD kPreviousThreadWaitMs = 5000;
constexpr DWORD kCloseWaitMs = 5000;

Millis clock_ms() { return GetTickCount64(); }

// One scan, run on the worker thread with its own copies of what it needs.
class Scan {
public:
    Scan(HWND dialog, std::shared_ptr<NodeStatusProbe> probe, const Octets& start, const Octets& end, Millis timeout_ms)
        : dialog_(dialog), probe_(std::move(probe)), start_(start), end_(end), timeout_(timeout_ms) {}

    DWORD operator()(HANDLE stop);

private:
    DWORD leave(bool finished);
    void show();
    void take_answers(ScanSchedule& schedule);

    HWND dialog_;
    std::shared_ptr<NodeStatusProbe> probe_;
    Octets start_, end_;
    Millis timeout_;
    ScanProgress progress_;
};

void Scan::show() {
    if (progress_.empty())
        return;
    send_payload(dialog_, scan_message::kProgress, progress_);
    progress_ = ScanProgress();
}

DWORD Scan::leave(bool finished) {
    // What was probed and taken before the end goes with it, in one round
    // trip to the window.
    send_payload(dialog_, scan_message::kEnded, progress_, finished ? 1 : 0);
    return finished ? 0 : 1;
}

void Scan::take_answers(ScanSchedule& schedule) {
    NodeStatusProbe::Datagram d;
    for (;;) {
        NodeStatusProbe::Receive got = probe_->receive(d);
        if (got == NodeStatusProbe::Receive::Nothing)
            return;
        if (got == NodeStatusProbe::Receive::Dropped || d.bytes.size() > kReplyBufferSize ||
            !schedule.answer(d.source, clock_ms()))
            continue;
        progress_.answers.push_back({d.source, read_node_status(d.bytes.data(), d.bytes.size(), dotted(d.source))});
    }
}

DWORD Scan::operator()(HANDLE stop) {
    probe_->discard_waiting();
    ScanSchedule schedule(start_, end_, timeout_);
    Octets held{};
    Millis shown_at = clock_ms();
    // Without a socket nothing is ever ready: the scan waits out every
    // deadline, as a scan whose answers all go missing would.
    HANDLE waits[2] = {stop, probe_->ready()};
    const DWORD wait_count = waits[1] ? 2 : 1;
    for (;;) {
        if (schedule.holding() && probe_->send(held))
            schedule.sent_late(clock_ms());
        // Each wait starts when its own query has left.
        while (auto due = schedule.next_due(clock_ms())) {
            progress_.probed.push_back(dotted(due->address));
            if (due->probe && !probe_->send(due->address)) {
                held = due->address;
                schedule.hold_last();
            }
        }
        take_answers(schedule);
        Millis now = clock_ms();
        if (schedule.finished(now))
            return leave(true);
        if (now - shown_at >= kShowIntervalMs) {
            show();
            shown_at = now = clock_ms();
        }
        // A held query is tried again when the socket has room, and at
        // least this often should that notice not come.
        Millis next = schedule.next_event(now).value_or(now + kHeldRetryMs);
        if (schedule.holding())
            next = std::min(next, now + kHeldRetryMs);
        if (!progress_.empty())
            next = std::min(next, shown_at + kShowIntervalMs);
        DWORD wait = next > now ? static_cast<DWORD>(next - now) : 0;
        DWORD woke = WaitForMultipleObjects(wait_count, waits, FALSE, wait);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
            return leave(false);
    }
}

}  // namespace

ScanWorker::ScanWorker(std::shared_ptr<NodeStatusProbe> probe) : probe_(std::move(probe)) {}

bool ScanWorker::start(HWND dialog, const Octets& start, const Octets& end, int timeout_ms) {
    if (!thread_.join(kPreviousThreadWaitMs))
        return false;
    return thread_.start(Scan(dialog, probe_, start, end, static_cast<Millis>(timeout_ms)));
}

void ScanWorker::request_stop() { thread_.request_stop(); }

void ScanWorker::stop_and_join() {
    // A thread that outlives the wait holds only its own copies and the
    // shared probe; its messages to a window that is gone fail.
    thread_.stop(kCloseWaitMs);
}
