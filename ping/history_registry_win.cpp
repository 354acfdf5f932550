#include "ping/history_registry_win.h"

#include <cstdio>

#include "common/win_text.h"
#include "ping/host_history.h"

namespace {

std::u16string section_key(const std::string& program) { return widen("Software\\RODA\\" + program + "\\MRU"); }

std::u16string host_value_name(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "Host#%u", static_cast<unsigned>(index));
    return widen(name);
}

std::string read_text(HKEY key, const std::u16string& name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, wide_ptr(name), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::string();
    std::vector<WCHAR> text(size / sizeof(WCHAR) + 1, 0);
    if (RegQueryValueExW(key, wide_ptr(name), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return std::string();
    std::size_t length = size / sizeof(WCHAR);
    while (length > 0 && text[length - 1] == 0)
        --length;
    return narrow(text.data(), length);
}

}  // namespace

std::vector<std::string> load_host_history(const std::string& program) {
    std::vector<std::string> entries;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide_ptr(section_key(program)), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return entries;
    DWORD count = 0, type = 0, size = sizeof count;
    if (RegQueryValueExW(key, L"Entries", nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        count = 0;
    if (count > ping::kMaxSavedEntries)
        count = ping::kMaxSavedEntries;
    for (DWORD i = 0; i < count; ++i)
        entries.push_back(read_text(key, host_value_name(i)));
    RegCloseKey(key);
    return entries;
}

LONG save_host_history(const std::string& program, const std::vector<std::string>& entries) {
    HKEY key;
    LONG status = RegCreateKeyExW(
        HKEY_CURRENT_USER, wide_ptr(section_key(program)), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD count = static_cast<DWORD>(entries.size());
    status = RegSetValueExW(key, L"Entries", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    for (std::size_t i = 0; i < entries.size() && status == ERROR_SUCCESS; ++i) {
        std::u16string text = widen(entries[i]);
        status =
            RegSetValueExW(key, wide_ptr(host_value_name(i)), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    }
    RegCloseKey(key);
    return status;
}
