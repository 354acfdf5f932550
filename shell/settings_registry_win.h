#pragma once

#include "monitor/monitor_settings.h"
#include "shell/settings_apply.h"

// Fills the store from HKEY_LOCAL_MACHINE\Software\QuindarSoft\Filvane; a
// missing key or value keeps the default. The key is never created here.
void load_monitor_settings(SettingsStore& store);

// One value of the same key as text; empty when the key or value is missing.
std::string read_setting_text(const char* name);

// Apply's view of the same key: opened, or created when missing; each value
// stored as REG_SZ with the whole 2048-byte buffer.
class RegistrySettings : public SettingsRegistry {
public:
    std::unique_ptr<SettingsKey> open_or_create() override;
};
