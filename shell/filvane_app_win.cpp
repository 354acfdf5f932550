// Filvane's start: skin, single instance, the main window; the process ends
// with the main window.
#include <windows.h>
#include <commctrl.h>

#include "common/message_box_win.h"
#include "netmgmt/net_management.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "skin/skin_layer_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES |
                                                       ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    skin::bind(instance, "Filvane", IDR_SKIN);

    if (HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "Filvane")) {
        CloseHandle(running);
        show_message(nullptr, "已经运行了一个Zelqo共享文件监控器!");
        ExitProcess(0);
    }
    // Not owned: the guard is the mutex's existence, never a wait on it.
    HANDLE single_instance = CreateMutexA(nullptr, FALSE, "Filvane");

    auto net = netmgmt::make_system_net_management();
    {
        MonitorDialog dialog(*net);
        dialog.run_modal(nullptr);
    }
    if (single_instance)
        ReleaseMutex(single_instance);
    return 0;
}
