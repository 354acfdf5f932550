// GBK text at the edge of Win32 wide-character calls. std::wstring is avoided:
// under Winelib wchar_t is 2 bytes while libstdc++'s wstring assumes 4.
#pragma once

#include <windows.h>

#include <string>

#include "common/code_page.h"

inline std::u16string widen(const std::string& gbk) { return codepage::gbk_to_utf16(gbk); }

inline const WCHAR* wide_ptr(const std::u16string& text) { return reinterpret_cast<const WCHAR*>(text.c_str()); }

inline std::string narrow(const WCHAR* text, std::size_t length) {
    return codepage::utf16_to_gbk(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}
