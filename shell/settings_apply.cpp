#include "shell/settings_apply.h"

#include <optional>

#include "shell/settings_rules.h"

const char kChooseContentFirst[] = "请选择要记录的内容后再开启保存日志功能!";
const char kChooseContentBeforeApply[] = "请选择要记录的内容后再点应用!";
const char kFolderListTooLong[] = "要监控的文件夹列表太长(超过2047字节),无法保存,请删除部分文件夹后再点应用!";
const char kRegistryFailed[] = "注册表操作失败!";
const char kSettingsSaved[] = "保存设置成功!";

namespace {

struct Step {
    const char* name;
    const char* failure;
    std::string MonitorSettings::*value;
    std::optional<std::string> new_text;  // none: stored as it is
};

}  // namespace

ApplyOutcome apply_settings(SettingsStore& store, const ApplyChoices& choices, SettingsRegistry& registry) {
    if (store.snapshot().start_log == "1" && !choices.record_sessions && !choices.record_open_files)
        return {false, kChooseContentBeforeApply};
    // Checked before anything is stored, so a refused list leaves no half-done key.
    std::optional<std::string> dirs = join_dirs(choices.folders);
    if (!dirs)
        return {false, kFolderListTooLong};

    std::unique_ptr<SettingsKey> key = registry.open_or_create();
    if (!key)
        return {false, kRegistryFailed};

    const Step steps[] = {
        {"StartLog", "保存设置1失败!", &MonitorSettings::start_log, std::nullopt},
        {"SaveSession", "保存设置2失败!", &MonitorSettings::save_session, choices.record_sessions ? "1" : "0"},
        {"SaveFile", "保存设置3失败!", &MonitorSettings::save_file, choices.record_open_files ? "1" : "0"},
        {"ShareTime", "保存设置4失败!", &MonitorSettings::share_time, share_time_from_item(choices.interval_item)},
        {"Dirs", "保存设置6失败!", &MonitorSettings::dirs, *dirs},
    };
    // Each value changes in memory before its write, so it stays in effect
    // even when the write fails.
    for (const Step& step : steps) {
        std::string text;
        store.update([&](MonitorSettings& s) {
            if (step.new_text)
                s.*step.value = *step.new_text;
            text = s.*step.value;
        });
        if (!key->write(step.name, text))
            return {false, step.failure};
    }
    return {true, kSettingsSaved};
}
