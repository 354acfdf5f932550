#include "shell/settings_command_win.h"

#include "monitor/monitor_settings.h"
#include "shell/settings_dialog_win.h"
#include "shell/settings_registry_win.h"
#include "shell/settings_rules.h"

unsigned run_settings_command(HWND main_window) {
    SettingsStore& store = monitor_settings();
    const long before = store.snapshot().share_time;
    RegistrySettings registry;
    SettingsDialog dialog(store, registry);
    dialog.run_modal(main_window);
    return rearm_period_ms(before, store.snapshot().share_time);
}
