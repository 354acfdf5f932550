#include "shell/settings_registry_win.h"

#include <windows.h>

namespace {

constexpr char kKey[] = "Software\\QuindarSoft\\Filvane";
constexpr DWORD kValueBytes = 2048;

// The stored text up to its first NUL; false when the value cannot be read.
bool query_text(HKEY key, const char* name, std::string& text) {
    char buffer[kValueBytes + 1] = {0};
    DWORD size = kValueBytes;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    text = buffer;
    return true;
}

}  // namespace

void load_monitor_settings(SettingsStore& store) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    MonitorSettings loaded;
    query_text(key, "StartLog", loaded.start_log);
    query_text(key, "SaveSession", loaded.save_session);
    query_text(key, "ShareTime", loaded.share_time);
    query_text(key, "Dirs", loaded.dirs);
    query_text(key, "SaveFile", loaded.save_file);
    RegCloseKey(key);
    store.update([&](MonitorSettings& values) { values = loaded; });
}
