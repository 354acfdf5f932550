#include "shell/companions_win.h"

#include <shellapi.h>

#include "common/message_box_win.h"
#include "common/win_text.h"

namespace {

struct CompanionText {
    const char* file;
    const char* missing;
};

CompanionText text_of(Companion which) {
    switch (which) {
    case Companion::HostScanner:
        return {"brenvik.exe", "无法打开主机检测程序!请确认它在当前目录下!"};
    case Companion::Ping:
        return {"corvap.exe", "无法打开Ping程序!请确认它在当前目录下!"};
    case Companion::Help:
        break;
    }
    return {"filvane.chm", "无法打开使用说明文件!请确认它在当前目录下!"};
}

}  // namespace

const char* companion_file(Companion which) { return text_of(which).file; }

bool start_companion(HWND owner, Companion which) {
    CompanionText text = text_of(which);
    std::u16string file = widen(text.file);
    // No directory: the shell looks in the current one first.
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide_ptr(file), nullptr, nullptr, SW_SHOW));
    if (result > 32)
        return true;
    show_message(owner, text.missing);
    return false;
}
