// Byte-level rules for GBK text: where characters start, searching without
// matching inside a double-byte character, and cutting at a character edge.
#pragma once

#include <cstddef>
#include <string>

namespace gbk {

inline bool is_lead_byte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// First position at or after `from` where `needle` starts on a character
// boundary of `text`; std::string::npos when there is none. An empty needle
// is found at `from`.
std::size_t find(const std::string& text, const std::string& needle, std::size_t from = 0);

inline bool contains(const std::string& text, const std::string& needle) {
    return find(text, needle) != std::string::npos;
}

// `text` with its ASCII capitals made small; the bytes of double-byte
// characters stay as they are (a trail byte may look like a capital).
std::string fold_ascii(const std::string& text);

// Whether `folded_needle` (already through fold_ascii) starts on a character
// boundary of `text`, ASCII letters in either case. Folds as it compares, so
// a search over thousands of cells copies none of them.
bool contains_folded(const std::string& text, const std::string& folded_needle);

// The longest prefix of at most `max_bytes` bytes that does not end inside a
// double-byte character.
std::string truncate(const std::string& text, std::size_t max_bytes);

// What a list cell holds: 259 bytes and the terminator.
constexpr std::size_t kCellTextLimit = 259;

}  // namespace gbk
