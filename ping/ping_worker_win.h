// The echo engine on its worker thread: the window hands over a request, the
// engine posts its lines back.
#pragma once

#include <windows.h>

#include <string>

// One ping run on a raw socket, reporting to a window by posted messages only.
class IcmpEcho {
public:
    void run(unsigned count, const std::string& host, HWND window);

private:
    HWND window_ = nullptr;
};

// The worker's wait: runs `request` on every request event until the stop
// event is set (the stop event wins when both are). Returns the thread's exit
// code: 0 after a stop, 1 when the wait itself failed, so a broken handle
// ends the thread instead of spinning or running a request.
DWORD run_worker_loop(HANDLE stop, HANDLE request, void (*on_request)(void*), void* context);

class PingWorker {
public:
    PingWorker();
    virtual ~PingWorker();
    PingWorker(const PingWorker&) = delete;
    PingWorker& operator=(const PingWorker&) = delete;

    // Must not be called again before this run's WM_PING_DONE. When the worker
    // thread is not running, the window gets an error line and WM_PING_DONE
    // with 0 at once, so it never waits for a run that cannot come.
    void Request(unsigned count, const std::string& host, HWND window);

private:
    static DWORD WINAPI thread_main(LPVOID self);
    static void run_request(void* self);
    bool worker_alive() const;

    DWORD thread_id_ = 0;
    HANDLE thread_ = nullptr;
    HANDLE stop_ = nullptr;
    HANDLE request_ = nullptr;
    IcmpEcho echo_;
    std::string host_;
    HWND window_ = nullptr;
    unsigned count_ = 0;
    DWORD start_error_ = 0;
};
