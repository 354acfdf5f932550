#include "shell/settings_apply.h"

#include <functional>
#include <optional>

#include "shell/settings_rules.h"

const char kChooseContentFirst[] = "请选择要记录的内容后再开启保存日志功能!";
const char kChooseContentBeforeApply[] = "请选择要记录的内容后再点应用!";
const char kFolderListTooLong[] = "要监控的文件夹列表太长(超过2047字节),无法保存,请删除部分文件夹后再点应用!";
const char kRegistryFailed[] = "注册表操作失败!";
const char kSettingsSaved[] = "保存设置成功!";

namespace {

// One stored value: its name, the box for a failed write, and the change in
// memory, which gives the text to store.
struct Step {
    const char* name;
    const char* failure;
    std::function<std::string(MonitorSettings&)> change;
};

}  // namespace

ApplyOutcome apply_settings(SettingsStore& store, const ApplyChoices& choices, SettingsRegistry& registry) {
    if (store.snapshot().start_log && !choices.record_sessions && !choices.record_open_files)
        return {false, kChooseContentBeforeApply};
    // Checked before anything is stored, so a refused list leaves no half-done key.
    std::optional<std::string> dirs = join_dirs(choices.folders);
    if (!dirs)
        return {false, kFolderListTooLong};

    std::unique_ptr<SettingsKey> key = registry.open_or_create();
    if (!key)
        return {false, kRegistryFailed};

    const Step steps[] = {
        {"StartLog", "保存设置1失败!", [](MonitorSettings& s) { return std::string(stored_switch(s.start_log)); }},
        {"SaveSession", "保存设置2失败!",
         [&](MonitorSettings& s) {
             s.save_session = choices.record_sessions;
             return std::string(stored_switch(s.save_session));
         }},
        {"SaveFile", "保存设置3失败!",
         [&](MonitorSettings& s) {
             s.save_file = choices.record_open_files;
             return std::string(stored_switch(s.save_file));
         }},
        {"ShareTime", "保存设置4失败!",
         [&](MonitorSettings& s) {
             s.share_time = share_time_from_item(choices.interval_item);
             return std::to_string(s.share_time);
         }},
        {"Dirs", "保存设置6失败!",
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
    return {true, kSettingsSaved};
}
