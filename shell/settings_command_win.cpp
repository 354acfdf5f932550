#include "shell/settings_command_win.h"

#include "monitor/monitor_settings.h"
#include "shell/settings_dialog_win.h"
#include "shell/settings_registry_win.h"
#include "shell/settings_rules.h"

namespace {

constexpr UINT_PTR kShareTimer = 1;

}  // namespace

unsigned run_settings_command(HWND main_window) {
    SettingsStore& store = monitor_settings();
    const std::string before = store.snapshot().share_time;
    RegistrySettings registry;
    SettingsDialog dialog(store, registry);
    dialog.run_modal(main_window);
    // Whatever the dialog's result: a failed Apply may have changed it too.
    unsigned period = rearm_period_ms(before, store.snapshot().share_time);
    if (period != 0 && !SetTimer(main_window, kShareTimer, period, nullptr))
        return 0;
    return period;
}
