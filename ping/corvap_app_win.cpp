// Corvap's start: Windows Sockets, skin, the ping window; the process ends
// with the window (after any run in progress).
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "common/message_box_win.h"
#include "common/win_text.h"
#include "ping/corvap_resources.h"
#include "ping/ping_dialog_win.h"
#include "ping/winsock_echo_port_win.h"
#include "shell/skin_layer_win.h"

namespace {

std::string resource_string(HINSTANCE instance, UINT id) {
    const WCHAR* text = nullptr;
    // Length 0 asks for a pointer into the resource itself.
    int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? narrow(text, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!start_windows_sockets()) {
        show_message(nullptr, resource_string(instance, IDS_SOCKETS_FAILED));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    skin::initialize(instance, "Corvap");
    if (skin::load_from_resource(instance, IDR_SKIN, "SKINDATA"))
        skin::apply_to_dialogs("Dialog");

    {
        PingDialog dialog;
        dialog.run_modal(nullptr);
    }
    stop_windows_sockets();
    return 0;
}
