#include "ping/history_registry_win.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/wide_text_win.h"
#include "ping/host_history.h"

namespace {

std::u16string section_key(const std::string& program) { return widen("Software\\RODA\\" + program + "\\MRU"); }

std::u16string host_value_name(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "Host#%u", static_cast<unsigned>(index));
    return widen(name);
}

// The entries "Host#N" with N below `count` that exist as texts, in N's
// order. Enumerating the values present, rather than asking for every N, reads
// only what is there however large a damaged "Entries" is.
std::vector<std::string> read_entries(HKEY key, DWORD count) {
    DWORD values = 0, longest_name = 0, largest_data = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longest_name,
                         &largest_data, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    std::vector<std::pair<unsigned long, std::string>> found;
    std::vector<WCHAR> name(longest_name + 1);
    std::vector<BYTE> data(largest_data + sizeof(WCHAR));
    for (DWORD i = 0; i < values; ++i) {
        DWORD name_length = static_cast<DWORD>(name.size()), type = 0;
        DWORD size = static_cast<DWORD>(data.size() - sizeof(WCHAR));
        if (RegEnumValueW(key, i, name.data(), &name_length, nullptr, &type, data.data(), &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        auto index = saved_entry_index(narrow(name.data(), name_length));
        if (!index || *index >= count)
            continue;
        const auto* text = reinterpret_cast<const WCHAR*>(data.data());
        std::size_t length = size / sizeof(WCHAR);
        while (length > 0 && text[length - 1] == 0)
            --length;
        found.emplace_back(*index, narrow(text, length));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> entries;
    entries.reserve(found.size());
    for (auto& entry : found)
        entries.push_back(std::move(entry.second));
    return entries;
}

}  // namespace

std::vector<std::string> load_host_history(const std::string& program) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide_ptr(section_key(program)), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    DWORD count = 0, type = 0, size = sizeof count;
    if (RegQueryValueExW(key, L"Entries", nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        count = 0;
    std::vector<std::string> entries = read_entries(key, count);
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
