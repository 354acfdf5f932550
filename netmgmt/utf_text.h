// UTF-8 and UTF-16 for what servers answer: Samba's tools and libraries speak
// UTF-8, its RPC wire UTF-16LE.
#pragma once

#include <string>

namespace utf {

// Appends code point `cp` as UTF-8.
void append_utf8(std::string& out, unsigned cp);
// Surrogate pairs joined; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(const std::u16string& text);
// A byte that starts no valid sequence becomes U+FFFD.
std::u16string utf8_to_utf16(const std::string& text);

}  // namespace utf
