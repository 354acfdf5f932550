#include "ping/ping_worker_win.h"

#include <cstdio>

#include "common/scoped_handle_win.h"
#include "ping/echo_run.h"
#include "ping/window_line_sink_win.h"
#include "ping/winsock_echo_port_win.h"

struct PingWorker::Pending {
    KernelHandle request{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    // Written before the event is set, read after it woke the thread.
    std::string host;
    HWND window = nullptr;
    unsigned count = 0;
    IcmpEcho echo;
};

void IcmpEcho::run(unsigned count, const std::string& host, HWND window) {
    window_ = window;
    auto port = make_winsock_echo_port();
    WindowLineSink sink(window_);
    run_echo(*port, sink, process_request_counter(), count, host);
}

DWORD run_worker_loop(HANDLE stop, HANDLE request, const std::function<void()>& on_request) {
    const HANDLE events[2] = {stop, request};
    for (;;) {
        DWORD woke = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0)
            return 0;
        if (woke != WAIT_OBJECT_0 + 1)
            return 1;
        on_request();
    }
}

PingWorker::PingWorker() : pending_(std::make_shared<Pending>()) {
    bool started = pending_->request && thread_.start([pending = pending_](HANDLE stop) {
        return run_worker_loop(
            stop, pending->request.get(), [&] { pending->echo.run(pending->count, pending->host, pending->window); });
    });
    if (!started)
        start_error_ = GetLastError();
}

PingWorker::~PingWorker() = default;

void PingWorker::Request(unsigned count, const std::string& host, HWND window) {
    pending_->count = count;
    pending_->host = host;
    pending_->window = window;
    if (thread_.running() && SetEvent(pending_->request.get()))
        return;
    // Why the thread is not there: it never started, or it ended.
    DWORD code = start_error_ != 0 ? start_error_ : thread_.exit_code();
    char text[64];
    std::snprintf(text, sizeof text, "PingWorker - Error: %lu", static_cast<unsigned long>(code));
    WindowLineSink sink(window);
    sink.line(kErrorLine, text);
    sink.done(false);
}
