#include "monitor/log_text.h"

#include "common/gbk_text.h"

namespace {

bool is_control(unsigned char b) { return b < 0x20 || b == 0x7F; }
bool is_trail_byte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

void append_hex(std::string& out, unsigned char b) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
}

const std::string kSeparator = "〓";
const std::string kFullWidthColon = "：";

}  // namespace

std::string escape_controls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (is_control(static_cast<unsigned char>(c)))
            append_hex(out, static_cast<unsigned char>(c));
        else
            out += c;
    }
    return out;
}

std::string day_file_value(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    bool after_double_byte = false;
    for (std::size_t i = 0; i < value.size();) {
        const auto b = static_cast<unsigned char>(value[i]);
        if (gbk::is_lead_byte(b)) {
            if (i + 1 < value.size() && is_trail_byte(static_cast<unsigned char>(value[i + 1]))) {
                if (value.compare(i, kSeparator.size(), kSeparator) == 0) {
                    append_hex(out, b);
                    append_hex(out, static_cast<unsigned char>(value[i + 1]));
                } else {
                    out.append(value, i, 2);
                }
                after_double_byte = true;
                i += 2;
                continue;
            }
            append_hex(out, b);
        } else if (is_control(b) || b == 0xFF) {
            append_hex(out, b);
        } else if (b == ':' && after_double_byte) {
            out += kFullWidthColon;
        } else {
            out += value[i];
        }
        after_double_byte = false;
        ++i;
    }
    return out;
}
