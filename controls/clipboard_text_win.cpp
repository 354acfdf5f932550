#include "controls/clipboard_text_win.h"

#include <cstring>

#include "common/wide_text_win.h"

bool put_on_clipboard(HWND owner, std::string_view gbk) {
    std::u16string wide = widen(std::string(gbk));
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(char16_t));
    if (!memory)
        return false;
    void* bytes = GlobalLock(memory);
    if (bytes) {
        std::memcpy(bytes, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
        GlobalUnlock(memory);
    }
    if (!bytes || !OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!placed)
        GlobalFree(memory);
    CloseClipboard();
    return placed;
}
