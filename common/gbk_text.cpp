#include "common/gbk_text.h"

namespace gbk {

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
