#include "shell/settings_apply.h"

#include <functional>
#include <optional>

#include "shell/settings_resources.h"
#include "shell/settings_rules.h"

namespace {

// One stored value: its name, the box for a failed write, and the change in
// memory, which gives the text to store.
struct Step {
    const char* name;
    unsigned failure;
    std::function<std::string(MonitorSettings&)> change;
};

}  // namespace

ApplyOutcome apply_settings(SettingsStore& store, const ApplyChoices& choices, SettingsRegistry& registry) {
    if (store.snapshot().start_log && !choices.record_sessions && !choices.record_open_files)
        return {false, IDS_CHOOSE_CONTENT_BEFORE_APPLY};
    // Checked before anything is stored, so a refused list leaves no half-done key.
    std::optional<std::string> dirs = join_dirs(choices.folders);
    if (!dirs)
        return {false, IDS_FOLDER_LIST_TOO_LONG};

    std::unique_ptr<SettingsKey> key = registry.open_or_create();
    if (!key)
        return {false, IDS_REGISTRY_FAILED};

    const Step steps[] = {
        {"StartLog", IDS_STORE_START_LOG_FAILED,
         [](MonitorSettings& s) { return std::string(stored_switch(s.start_log)); }},
        {"SaveSession", IDS_STORE_SAVE_SESSION_FAILED,
         [&](MonitorSettings& s) {
             s.save_session = choices.record_sessions;
             return std::string(stored_switch(s.save_session));
         }},
        {"SaveFile", IDS_STORE_SAVE_FILE_FAILED,
         [&](MonitorSettings& s) {
             s.save_file = choices.record_open_files;
             return std::string(stored_switch(s.save_file));
         }},
        {"ShareTime", IDS_STORE_SHARE_TIME_FAILED,
         [&](MonitorSettings& s) {
             s.share_time = share_time_from_item(choices.interval_item);
             return std::to_string(s.share_time);
         }},
        {"Dirs", IDS_STORE_DIRS_FAILED,
         [&](MonitorSettings& s) {
             s.folders = choices.folders;
             return *dirs;
         }},
    };
    // Each value changes in memory before its write, so it stays in effect
    // even when the write fails.
    for (const Step& step : steps) {
        std::string text;
        store.update([&](MonitorSettings& s) { text = step.change(s); });
        if (!key->write(step.name, text))
            return {false, step.failure};
    }
    return {true, IDS_SETTINGS_SAVED};
}
