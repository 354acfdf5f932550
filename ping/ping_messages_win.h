// Corvap's window messages, together: what the echo engine posts to the ping
// window (posted only, so the engine never waits for it).
#pragma once

#include <windows.h>

namespace ping_message {

// wParam: line kind; lParam: the line's text, a char[] the window takes
// over (take_posted<char[]>).
constexpr UINT kLine = WM_APP + 0x100;
// lParam: 1 when the host resolved and the echo loop ran, else 0.
constexpr UINT kDone = WM_APP + 0x101;

}  // namespace ping_message
