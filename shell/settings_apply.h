// What the settings dialog's Apply does, apart from the window: the checks,
// then each value set in memory and written, in a fixed order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "monitor/monitor_settings.h"

// An open settings key; the destructor closes it.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    virtual bool write(const char* name, const std::string& text) = 0;
};

// The registry in the programs, a fake in tests.
class SettingsRegistry {
public:
    virtual ~SettingsRegistry() = default;
    // Opens the key, creating it when missing; nullptr when both fail.
    virtual std::unique_ptr<SettingsKey> open_or_create() = 0;
};

// The state of the dialog's controls when Apply is pressed.
struct ApplyChoices {
    bool record_sessions = false;    // check box 1007
    bool record_open_files = false;  // check box 1010
    std::string interval_item;       // selected item of 1003, "" when none
    std::vector<std::string> folders;
};

struct ApplyOutcome {
    bool stored = false;   // everything written: the dialog ends
    unsigned message = 0;  // string-table text shown in a box in every case
};

ApplyOutcome apply_settings(SettingsStore& store, const ApplyChoices& choices, SettingsRegistry& registry);
