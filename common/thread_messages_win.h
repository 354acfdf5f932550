// How a worker thread hands work to a window's thread. Each program declares
// its window messages together, as constexpr values from WM_APP, and each
// message goes one of two ways:
//
// Sent: the worker waits while the window handles it, so the payload can
// live on the worker's stack; it is valid only during the call. For what the
// window must take in before the worker goes on.
//   worker:  send_payload(window, kProgress, progress);
//   window:  const Progress& progress = sent_payload<const Progress>(lp);
//
// Posted: the worker never waits. The payload is a heap object whose
// ownership travels with the message; the window takes it back into a
// unique_ptr, and frees those still queued when it is destroyed.
//   worker:  post_owned(window, kLine, kind, std::move(text));  // freed here if the post fails
//   window:  std::unique_ptr<Text> text = take_posted<Text>(lp);
//   WM_DESTROY: drop_posted<Text>(hwnd, kLine);
// A message without payload is posted plainly.
#pragma once

#include <windows.h>

#include <memory>

template <class T>
LRESULT send_payload(HWND window, UINT message, T& payload, WPARAM wp = 0) {
    return SendMessageW(window, message, wp, reinterpret_cast<LPARAM>(&payload));
}

template <class T>
T& sent_payload(LPARAM lp) {
    return *reinterpret_cast<T*>(lp);
}

// False when the window could not take the message; the payload is gone.
// The window frees what it takes over, which the analyser cannot follow.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
template <class T>
bool post_owned(HWND window, UINT message, WPARAM wp, std::unique_ptr<T> payload) {
    if (!PostMessageW(window, message, wp, reinterpret_cast<LPARAM>(payload.get())))
        return false;
    static_cast<void>(payload.release());  // the message owns it now
    return true;
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)

template <class T>
std::unique_ptr<T> take_posted(LPARAM lp) {
    return std::unique_ptr<T>(reinterpret_cast<typename std::unique_ptr<T>::pointer>(lp));
}

// Frees the payloads of `message` still queued for `window`.
template <class T>
void drop_posted(HWND window, UINT message) {
    MSG pending;
    while (PeekMessageW(&pending, window, message, message, PM_REMOVE))
        take_posted<T>(pending.lParam);
}
