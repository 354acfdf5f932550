// brenvik's start: Windows Sockets, the skin, then the scanner window; the
// program ends with the window.
#include <windows.h>
#include <commctrl.h>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/windows_sockets_win.h"
#include "scanner/brenvik_resources.h"
#include "scanner/scanner_dialog_win.h"
#include "skin/skin_layer_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!start_windows_sockets()) {
        show_message(nullptr, load_string(instance, IDS_SOCKETS_FAILED));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);

    skin::bind(instance, "VELDRIN", IDR_SKIN);

    {
        ScannerDialog dialog;
        dialog.run_modal(nullptr);
    }
    stop_windows_sockets();
    return 0;
}
