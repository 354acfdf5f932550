// One way to run a worker thread beside a window: start it with a body,
// ask it to stop, stop it with a bounded wait, or join it once its work is
// done. The waits keep answering the messages other threads send to this
// thread's windows, so a worker blocked in SendMessage to the window that is
// stopping it finishes that call and reaches its stop check.
//
//   class Scan {
//       WorkerThread worker_;
//   public:
//       bool begin(HWND window, int timeout_ms) {
//           // The body gets what it needs by value: it may outlive Scan.
//           return worker_.start([window, timeout_ms](HANDLE stop) -> DWORD {
//               while (WaitForSingleObject(stop, 100) == WAIT_TIMEOUT) {
//                   Progress progress = ...;
//                   send_payload(window, scan_message::kProgress, progress);
//               }
//               return 0;  // the thread's exit code
//           });
//       }
//       void close() { worker_.stop(5000); }  // false: still running
//   };
//
// A body that outlives its bounded wait keeps running on state of its own
// (the body and its stop event live until it returns); it must not touch
// the object that started it. Messages back to the window: see
// common/thread_messages_win.h.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

// Waits up to `wait_ms` for `object`, answering sent messages meanwhile.
// True when it was signalled; false on the time-out or a failed wait.
bool wait_answering_sent_messages(HANDLE object, DWORD wait_ms);

class WorkerThread {
public:
    // `stop` is a manual-reset event, set once a stop is asked for; the
    // result is the thread's exit code.
    using Body = std::function<DWORD(HANDLE stop)>;
    // How long the destructor waits for a thread still running.
    static constexpr DWORD kDestructorWaitMs = 5000;

    WorkerThread() = default;
    // Asks the thread to stop and waits at most kDestructorWaitMs, or not
    // at all when a bounded stop or join has already given up on it.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False while a thread started before is still running, or when the
    // thread cannot be made (GetLastError tells why).
    bool start(Body body);
    // Sets the stop event and returns at once.
    void request_stop();
    // request_stop, then join.
    bool stop(DWORD wait_ms);
    // Waits up to `wait_ms` for the thread to end on its own; true when it
    // has (or none was started), and the worker can be started again.
    bool join(DWORD wait_ms);
    bool running() const;
    // The exit code of the thread last started (STILL_ACTIVE while it
    // runs); 0 when none was.
    DWORD exit_code() const;

private:
    struct Run;
    static DWORD WINAPI entry(LPVOID run);

    std::shared_ptr<Run> run_;
    HANDLE thread_ = nullptr;
    bool gave_up_ = false;
};
