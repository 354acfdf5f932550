// Filvane's start: skin, single instance, the main window; the process ends
// with the main window.
#include <windows.h>
#include <commctrl.h>

#include "common/single_instance_win.h"
#include "common/string_resource_win.h"
#include "netmgmt/net_management.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "skin/skin_layer_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES |
                                                       ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    skin::bind(instance, "Filvane", IDR_SKIN);

    SingleInstance single_instance;
    single_instance.claim_or_leave("Filvane", resource_text(IDS_ALREADY_RUNNING));

    auto net = netmgmt::make_system_net_management();
    {
        MonitorDialog dialog(*net);
        dialog.run_modal(nullptr);
    }
    return 0;
}
