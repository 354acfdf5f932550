// brenvik's start: Windows Sockets, the skin, then the scanner window; the
// program ends with the window.
#include <windows.h>
#include <commctrl.h>

#include "common/message_box_win.h"
#include "common/win_text.h"
#include "scanner/brenvik_resources.h"
#include "scanner/scanner_dialog_win.h"
#include "shell/skin_layer_win.h"

namespace {

std::string string_resource(HINSTANCE instance, UINT id) {
    const WCHAR* text = nullptr;
    int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? narrow(text, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!start_windows_sockets()) {
        show_message(nullptr, string_resource(instance, IDS_SOCKETS_FAILED));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);

    skin::initialize(instance, "VELDRIN");
    if (skin::load_from_resource(instance, IDR_SKIN, "SKINDATA"))
        skin::apply_to_dialogs("Dialog");

    {
        ScannerDialog dialog;
        dialog.run_modal(nullptr);
    }
    stop_windows_sockets();
    return 0;
}
