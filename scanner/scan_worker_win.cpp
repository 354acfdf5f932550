#include "scanner/scan_worker_win.h"

#include "scanner/node_status_probe_win.h"

ScanWorker::ScanWorker(NodeStatusProbe& probe, HANDLE reply_event)
    : probe_(probe), reply_event_(reply_event), abort_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ScanWorker::~ScanWorker() {
    abort_and_join();
    if (thread_)
        CloseHandle(thread_);
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
    if (!abort_event_ || !wait_previous_thread())
        return false;
    dialog_ = dialog;
    start_ = start;
    end_ = end;
    thread_ = CreateThread(nullptr, 0, entry, this, 0, nullptr);
    return thread_ != nullptr;
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

DWORD ScanWorker::leave(bool finished) {
    stop_requested_ = false;
    SendMessageW(dialog_, scan_message::kEnded, finished ? 1 : 0, 0);
    return finished ? 0 : 1;
}

DWORD ScanWorker::run() {
    if (stop_requested_)
        return leave(false);
    scanner::ScanWalk walk(start_, end_);
    const HANDLE waits[2] = {abort_event_, reply_event_};
    for (;;) {
        std::string address = scanner::dotted(walk.current());
        SendMessageW(dialog_, scan_message::kListAddress, 0, reinterpret_cast<LPARAM>(address.c_str()));
        if (walk.probe_current())
            probe_.send(address);
        DWORD timeout = static_cast<DWORD>(SendMessageW(dialog_, scan_message::kReadTimeout, 0, 0));
        DWORD woke = WaitForMultipleObjects(2, waits, FALSE, timeout);
        ResetEvent(reply_event_);
        if (woke == WAIT_OBJECT_0) {
            stop_requested_ = false;
            return 1;  // the window is closing: not touched again
        }
        if (woke == WAIT_FAILED)
            return leave(false);
        if (!walk.advance())
            return leave(true);
        if (stop_requested_)
            return leave(false);
    }
}
