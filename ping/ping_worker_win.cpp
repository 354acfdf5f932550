#include "ping/ping_worker_win.h"

#include <cstdio>

#include "ping/echo_run.h"
#include "ping/window_line_sink_win.h"
#include "ping/winsock_echo_port_win.h"

void IcmpEcho::run(unsigned count, const std::string& host, HWND window) {
    window_ = window;
    auto port = make_winsock_echo_port();
    WindowLineSink sink(window_);
    ping::run_echo(*port, sink, ping::process_request_counter(), count, host);
}

DWORD run_worker_loop(HANDLE stop, HANDLE request, void (*on_request)(void*), void* context) {
    const HANDLE events[2] = {stop, request};
    for (;;) {
        DWORD woke = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0)
            return 0;
        if (woke != WAIT_OBJECT_0 + 1)
            return 1;
        on_request(context);
    }
}

PingWorker::PingWorker()
    : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), request_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (stop_ && request_)
        thread_ = CreateThread(nullptr, 0, thread_main, this, 0, &thread_id_);
    if (!thread_)
        start_error_ = GetLastError();
}

PingWorker::~PingWorker() {
    if (thread_) {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (request_)
        CloseHandle(request_);
    if (stop_)
        CloseHandle(stop_);
}

DWORD WINAPI PingWorker::thread_main(LPVOID self) {
    auto* worker = static_cast<PingWorker*>(self);
    return run_worker_loop(worker->stop_, worker->request_, run_request, worker);
}

void PingWorker::run_request(void* self) {
    auto* worker = static_cast<PingWorker*>(self);
    worker->echo_.run(worker->count_, worker->host_, worker->window_);
}

bool PingWorker::worker_alive() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

void PingWorker::Request(unsigned count, const std::string& host, HWND window) {
    count_ = count;
    host_ = host;
    window_ = window;
    if (worker_alive() && SetEvent(request_))
        return;
    DWORD code = start_error_;
    if (thread_)
        GetExitCodeThread(thread_, &code);
    char text[64];
    std::snprintf(text, sizeof text, "PingWorker - Error: %lu", static_cast<unsigned long>(code));
    WindowLineSink sink(window);
    sink.line(ping::kErrorLine, text);
    sink.done(false);
}
