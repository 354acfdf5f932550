#include "shell/settings_registry_win.h"

#include <windows.h>

#include <cstring>

#include "shell/settings_rules.h"

namespace {

constexpr char kKey[] = "Software\\QuindarSoft\\Filvane";
constexpr DWORD kValueBytes = kStoredTextLimit + 1;

// The stored text up to its first NUL; false when the value cannot be read.
bool query_text(HKEY key, const char* name, std::string& text) {
    char buffer[kValueBytes + 1] = {0};
    DWORD size = kValueBytes;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    text = buffer;
    return true;
}

class RegistryKey : public SettingsKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() override { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Readers offer a 2048-byte buffer, so the data is always that long: the
    // text, its NUL and zeros.
    bool write(const char* name, const std::string& text) override {
        if (text.size() > kStoredTextLimit)
            return false;
        BYTE buffer[kValueBytes] = {0};
        std::memcpy(buffer, text.data(), text.size());
        return RegSetValueExA(key_, name, 0, REG_SZ, buffer, kValueBytes) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

}  // namespace

void load_monitor_settings(SettingsStore& store) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    StoredSettings stored;
    query_text(key, "StartLog", stored.start_log);
    query_text(key, "SaveSession", stored.save_session);
    query_text(key, "ShareTime", stored.share_time);
    query_text(key, "Dirs", stored.dirs);
    query_text(key, "SaveFile", stored.save_file);
    RegCloseKey(key);
    store.update([&](MonitorSettings& values) { values = settings_from_stored(stored); });
}

std::string read_setting_text(const char* name) {
    HKEY key;
    std::string text;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return text;
    query_text(key, name, text);
    RegCloseKey(key);
    return text;
}

std::unique_ptr<SettingsKey> RegistrySettings::open_or_create() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS ||
        RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, &key) == ERROR_SUCCESS)
        return std::make_unique<RegistryKey>(key);
    return nullptr;
}
