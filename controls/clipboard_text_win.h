// GBK text onto the clipboard, as Unicode text so it pastes right whatever
// the reader's code page.
#pragma once

#include <windows.h>

#include <string_view>

bool put_on_clipboard(HWND owner, std::string_view gbk);
