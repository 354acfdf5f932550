#pragma once

#include "shell/monitor_settings.h"

// Fills the store from HKEY_LOCAL_MACHINE\Software\QuindarSoft\Filvane; a
// missing key or value keeps the default. The key is never created here.
void load_monitor_settings(SettingsStore& store);
