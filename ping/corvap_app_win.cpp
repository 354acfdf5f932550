// Corvap's start: Windows Sockets, skin, the ping window; the process ends
// with the window (after any run in progress, or the worker's bounded wait).
#include <windows.h>
#include <commctrl.h>

#include "common/companion_start_win.h"
#include "ping/corvap_resources.h"
#include "ping/ping_dialog_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return run_companion(
        instance, {ICC_WIN95_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES, "Corvap", IDR_SKIN, IDS_SOCKETS_FAILED},
        [] {
            PingDialog dialog;
            dialog.run_modal(nullptr);
        });
}
