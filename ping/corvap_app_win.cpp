// Corvap's start: Windows Sockets, skin, the ping window; the process ends
// with the window (after any run in progress).
#include <windows.h>
#include <commctrl.h>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/windows_sockets_win.h"
#include "ping/corvap_resources.h"
#include "ping/ping_dialog_win.h"
#include "ping/winsock_echo_port_win.h"
#include "skin/skin_layer_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!start_windows_sockets()) {
        show_message(nullptr, load_string(instance, IDS_SOCKETS_FAILED));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    skin::bind(instance, "Corvap", IDR_SKIN);

    {
        PingDialog dialog;
        dialog.run_modal(nullptr);
    }
    stop_windows_sockets();
    return 0;
}
