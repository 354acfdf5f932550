// A handle given back at scope end, so every path releases what it took.
// `Release` is a function object that frees one handle of the kind.
#pragma once

#include <windows.h>

template <class Handle, class Release>
class ScopedHandle {
public:
    explicit ScopedHandle(Handle handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives back the handle held, if any, and holds `handle` instead.
    void reset(Handle handle = nullptr) {
        if (handle_)
            Release()(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Events, mutexes, threads.
using KernelHandle = ScopedHandle<HANDLE, CloseKernelHandle>;
