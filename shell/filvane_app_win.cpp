// Filvane's start: skin, the server it watches (with its single instance and
// folder), the main window; the process ends with the main window.
#include <windows.h>
#include <commctrl.h>

#include "netmgmt/net_management.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "shell/server_start_win.h"
#include "skin/skin_layer_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES |
                                                       ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    skin::bind(instance, "Filvane", IDR_SKIN);

    ServerStart start;
    if (!start.settle())
        return 1;

    auto net = netmgmt::make_system_net_management(start.server());
    {
        MonitorDialog dialog(*net, start.title(), MonitorWorker::kPassPeriodMs, !start.server().empty());
        dialog.run_modal(nullptr);
    }
    return 0;
}
