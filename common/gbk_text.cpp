#include "common/gbk_text.h"

namespace gbk {

namespace {

std::size_t char_length(const std::string& text, std::size_t at) {
    return is_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `folded_needle` matches `text` from `at`, a character start.
bool matches_folded_at(const std::string& text, std::size_t at, const std::string& folded_needle) {
    if (text.size() - at < folded_needle.size())
        return false;
    bool trail = false;
    for (std::size_t k = 0; k < folded_needle.size(); ++k) {
        const char c = text[at + k];
        if ((trail ? c : folded(c)) != folded_needle[k])
            return false;
        trail = !trail && is_lead_byte(static_cast<unsigned char>(c)) && at + k + 1 < text.size();
    }
    return true;
}

}  // namespace

std::size_t find(const std::string& text, const std::string& needle, std::size_t from) {
    std::size_t i = 0;
    // Walk character by character so a trail byte is never taken for a start.
    while (i < from && i < text.size())
        i += (is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    for (; i <= text.size();) {
        if (text.compare(i, needle.size(), needle) == 0 && i + needle.size() <= text.size())
            return i;
        if (i == text.size())
            break;
        i += (is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return std::string::npos;
}

std::string fold_ascii(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); i += char_length(out, i))
        out[i] = folded(out[i]);
    return out;
}

bool contains_folded(const std::string& text, const std::string& folded_needle) {
    for (std::size_t at = 0; at < text.size(); at += char_length(text, at))
        if (matches_folded_at(text, at, folded_needle))
            return true;
    return folded_needle.empty();
}

std::string truncate(const std::string& text, std::size_t max_bytes) {
    if (text.size() <= max_bytes)
        return text;
    std::size_t end = 0;
    while (end < max_bytes) {
        std::size_t step = is_lead_byte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > max_bytes)
            break;
        end += step;
    }
    return text.substr(0, end);
}

}  // namespace gbk
