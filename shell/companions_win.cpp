#include "shell/companions_win.h"

#include <shellapi.h>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "shell/commands_resources.h"
#include "shell/server_start_win.h"

namespace {

struct CompanionText {
    const char* file;
    unsigned missing;
};

CompanionText text_of(Companion which) {
    switch (which) {
    case Companion::HostScanner:
        return {"brenvik.exe", IDS_HOST_SCANNER_MISSING};
    case Companion::Ping:
        return {"corvap.exe", IDS_PING_MISSING};
    case Companion::Help:
        break;
    }
    return {"filvane.chm", IDS_HELP_MISSING};
}

}  // namespace

const char* companion_file(Companion which) { return text_of(which).file; }

bool start_companion(HWND owner, Companion which) {
    CompanionText text = text_of(which);
    std::u16string file = in_start_folder(text.file);
    // No directory: the shell looks in the current one first.
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide_ptr(file), nullptr, nullptr, SW_SHOW));
    if (result > 32)
        return true;
    show_message(owner, resource_text(text.missing));
    return false;
}
