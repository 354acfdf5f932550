#include "common/companion_start_win.h"

#include <commctrl.h>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/windows_sockets_win.h"
#include "skin/skin_layer_win.h"

int run_companion(HINSTANCE instance, const CompanionStart& start, const std::function<void()>& run_window) {
    if (!start_windows_sockets()) {
        show_message(nullptr, load_string(instance, start.sockets_failed_text));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, start.control_classes};
    InitCommonControlsEx(&controls);

    skin::bind(instance, start.skin_name, start.skin_resource);

    run_window();
    stop_windows_sockets();
    return 0;
}
