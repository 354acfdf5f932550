#pragma once

#include <windows.h>

#include <string>

// The shell's folder browser, owned by `owner` and rooted at the desktop.
// True with the GBK path of the picked folder; false when cancelled or when
// the item has no file-system path that fits in 260 bytes.
bool browse_for_folder(HWND owner, const std::string& title, std::string& path);
