#include "shell/server_start_win.h"

#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "shell/filvane_resources.h"
#include "shell/monitor_dialog_win.h"
#include "shell/server_name.h"
#include "shell/server_resources.h"

namespace {

// Set once, before any window, when the process moves to a server's folder.
std::u16string g_start_folder;

std::vector<std::string> command_arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(narrow(words[i], lstrlenW(words[i])));
    LocalFree(words);
    return arguments;
}

template <class... Values>
std::string text_with(UINT id, Values... values) {
    std::string pattern = resource_text(id);
    int length = std::snprintf(nullptr, 0, pattern.c_str(), values...);
    if (length <= 0)
        return pattern;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), pattern.c_str(), values...);
    text.pop_back();
    return text;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

}  // namespace

bool ServerStart::settle() {
    const auto arguments = command_arguments();
    const auto server = watched_server_of(arguments);
    if (!server) {
        show_message(nullptr, text_with(IDS_BAD_SERVER_NAME, joined(arguments).c_str()));
        return false;
    }
    server_ = *server;
    // Claimed before the folder, so a second copy changes nothing.
    instance_.claim_or_leave(instance_name_of(server_).c_str(), resource_text(IDS_ALREADY_RUNNING));
    return server_.empty() || enter_server_folder();
}

bool ServerStart::enter_server_folder() {
    const std::u16string folder = widen(server_);
    const bool made = CreateDirectoryW(wide_ptr(folder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    WCHAR start[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, start);
    if (made && length > 0 && length < MAX_PATH && SetCurrentDirectoryW(wide_ptr(folder))) {
        g_start_folder.assign(reinterpret_cast<const char16_t*>(start), length);
        return true;
    }
    const auto code = static_cast<unsigned long>(GetLastError());
    show_message(nullptr, text_with(IDS_SERVER_FOLDER_FAILED, server_.c_str(), code));
    return false;
}

std::u16string in_start_folder(const std::string& file) {
    if (g_start_folder.empty())
        return widen(file);
    std::u16string path = g_start_folder;
    if (path.back() != u'\\')
        path += u'\\';
    return path + widen(file);
}

bool start_watching(HWND owner, const std::string& server) {
    WCHAR program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::u16string command = u"\"" + std::u16string(reinterpret_cast<const char16_t*>(program), length) + u"\" " +
                                 widen(unc_name_of(server));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        // In the folder this process started in, where the new one makes
        // its server's folder.
        const std::u16string folder = in_start_folder("");
        if (CreateProcessW(nullptr, const_cast<LPWSTR>(wide_ptr(command)), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : wide_ptr(folder), &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return true;
        }
    }
    const auto code = static_cast<unsigned long>(GetLastError());
    show_message(owner, text_with(IDS_SERVER_START_FAILED, unc_name_of(server).c_str(), code));
    return false;
}

std::string ServerStart::title() const {
    if (server_.empty())
        return kMainTitle;
    return text_with(IDS_SERVER_TITLE, kMainTitle, unc_name_of(server_).c_str());
}
