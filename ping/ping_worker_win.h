// The echo engine on its worker thread: the window hands over a request, the
// engine posts its lines back.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "common/worker_thread_win.h"

// One ping run on a raw socket, reporting to a window by posted messages only.
class IcmpEcho {
public:
    void run(unsigned count, const std::string& host, HWND window);

private:
    HWND window_ = nullptr;
};

// The worker's wait: runs `on_request` on every request event until the stop
// event is set (the stop event wins when both are). Returns the thread's exit
// code: 0 after a stop, 1 when the wait itself failed, so a broken handle
// ends the thread instead of spinning or running a request.
DWORD run_worker_loop(HANDLE stop, HANDLE request, const std::function<void()>& on_request);

class PingWorker {
public:
    PingWorker();
    // Stops the thread, waiting for a run in progress at most as long as a
    // WorkerThread waits; its lines then go nowhere.
    virtual ~PingWorker();
    PingWorker(const PingWorker&) = delete;
    PingWorker& operator=(const PingWorker&) = delete;

    // Must not be called again before this run's ping_message::kDone. When
    // the worker thread is not running, the window gets an error line and
    // kDone with 0 at once, so it never waits for a run that cannot come.
    void Request(unsigned count, const std::string& host, HWND window);

private:
    // The request event and what it asks for, shared with the thread.
    struct Pending;

    std::shared_ptr<Pending> pending_;
    WorkerThread thread_;
    DWORD start_error_ = 0;
};
