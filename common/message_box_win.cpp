#include "common/message_box_win.h"

#include <atomic>

#include "common/wide_text_win.h"
#include "skin/skin_layer_win.h"

std::string program_name() {
    WCHAR path[MAX_PATH] = {0};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string name = narrow(path, length);
    auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    // Winelib programs run as NAME.exe.so; both suffixes go.
    for (const char* suffix : {".so", ".exe", ".EXE"}) {
        std::string s(suffix);
        if (name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0)
            name.erase(name.size() - s.size());
    }
    return name;
}

int show_message(HWND owner, const std::string& gbk, UINT type) {
    skin::attach_current_thread();
    return MessageBoxW(owner, wide_ptr(widen(gbk)), wide_ptr(widen(program_name())), type);
}

namespace {

std::atomic<bool> g_report_shown{false};
std::atomic<unsigned long> g_reports_dropped{0};

}  // namespace

int show_report(HWND owner, const std::string& gbk, UINT type) {
    if (g_report_shown.exchange(true)) {
        ++g_reports_dropped;
        return 0;
    }
    int answer = show_message(owner, gbk, type);
    g_report_shown = false;
    return answer;
}

unsigned long dropped_reports() { return g_reports_dropped; }
