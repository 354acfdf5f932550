// Filvane's window messages, together. Sent messages carry a payload valid
// during the call; posted ones carry none or one the window takes over (see
// common/thread_messages_win.h).
#pragma once

#include <windows.h>

namespace filvane_message {

// Monitoring thread to the main window, sent once a pass: lParam a
// PassUpdate (monitor/monitor_worker_win.h).
constexpr UINT kPassUpdate = WM_APP + 0x40;
// Main window to itself, posted once it is up: the first share refresh.
constexpr UINT kFirstShareRefresh = WM_APP + 0x41;
// Log query walk to the query dialog, posted when the walk has ended:
// lParam a QueryResult the dialog takes over (query/log_query.h).
constexpr UINT kQueryDone = WM_APP + 0x42;
// The tray icon to the main window, posted by the shell: wParam the icon's
// id, lParam the mouse message.
constexpr UINT kTrayNotify = WM_APP + 0x44;
// Main window to itself, posted once it is up: back to its remembered size
// and place (the dialog base centres it after initialisation).
constexpr UINT kRestorePlacement = WM_APP + 0x43;
// Main window to itself, posted after a pass the server refused: wParam the
// refusal's code, asked about in a dialog outside the pass's sent message.
constexpr UINT kAskForAccount = WM_APP + 0x45;

}  // namespace filvane_message
