#pragma once

#include <string>
#include <vector>

#include "common/dialog_win.h"
#include "monitor/monitor_settings.h"
#include "shell/settings_apply.h"

// "系统设置": logging, interval and monitored folders. The logging button
// changes the store at once; only Apply writes the registry.
class SettingsDialog : public Dialog {
public:
    SettingsDialog(SettingsStore& store, SettingsRegistry& registry);

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;

private:
    void toggle_logging();
    void add_folder();
    void delete_folder();
    void show_selected_folder();
    void apply();

    bool checked(int id) const;
    std::vector<std::string> folders() const;
    std::string selected_interval() const;

    SettingsStore& store_;
    SettingsRegistry& registry_;
};
