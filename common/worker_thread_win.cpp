#include "common/worker_thread_win.h"

#include "common/scoped_handle_win.h"

// What the thread runs on: shared with it, so a thread that outlives its
// WorkerThread still has its body and its stop event.
struct WorkerThread::Run {
    Body body;
    KernelHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

bool wait_answering_sent_messages(HANDLE object, DWORD wait_ms) {
    const DWORD started = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - started;
        const DWORD left = elapsed >= wait_ms ? 0 : wait_ms - elapsed;
        const DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke != WAIT_OBJECT_0 + 1)
            return false;  // the time is up, or the handle is unusable
        // Peeking is what delivers the messages sent to this thread.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

WorkerThread::~WorkerThread() {
    if (!thread_)
        return;
    request_stop();
    if (!gave_up_)
        join(kDestructorWaitMs);
    CloseHandle(thread_);
}

DWORD WINAPI WorkerThread::entry(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<Run>> run(static_cast<std::shared_ptr<Run>*>(parameter));
    return (*run)->body((*run)->stop.get());
}

bool WorkerThread::start(Body body) {
    if (thread_) {
        if (running()) {
            SetLastError(ERROR_BUSY);
            return false;
        }
        CloseHandle(thread_);
        thread_ = nullptr;
        run_.reset();
        gave_up_ = false;
    }
    auto run = std::make_shared<Run>();
    if (!run->stop)
        return false;
    run->body = std::move(body);
    auto handover = std::make_unique<std::shared_ptr<Run>>(run);
    thread_ = CreateThread(nullptr, 0, entry, handover.get(), 0, nullptr);
    if (!thread_)
        return false;
    static_cast<void>(handover.release());  // the thread owns it now
    run_ = std::move(run);
    return true;
}

void WorkerThread::request_stop() {
    if (run_)
        SetEvent(run_->stop.get());
}

bool WorkerThread::stop(DWORD wait_ms) {
    request_stop();
    return join(wait_ms);
}

bool WorkerThread::join(DWORD wait_ms) {
    if (!thread_)
        return true;
    gave_up_ = !wait_answering_sent_messages(thread_, wait_ms);
    return !gave_up_;
}

bool WorkerThread::running() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

DWORD WorkerThread::exit_code() const {
    DWORD code = 0;
    if (thread_ && !GetExitCodeThread(thread_, &code))
        return 0;
    return code;
}
