// Conversion between GBK (code page 936), UTF-16 and UTF-8. One implementation
// per build: Win32 calls in the programs, iconv in the host tests.
#pragma once

#include <string>

namespace codepage {

std::string utf16_to_gbk(const std::u16string& text);
std::u16string gbk_to_utf16(const std::string& text);
std::string utf8_to_gbk(const std::string& text);
std::string gbk_to_utf8(const std::string& text);

// A network-management text as a list cell holds it: converted to GBK and cut
// to 259 bytes at a character edge.
std::string utf16_to_cell(const std::u16string& text);
std::string utf8_to_cell(const std::string& text);

}  // namespace codepage
