#include "scanner/scan_range.h"

#include <algorithm>
#include <cstdio>

std::string dotted(const Octets& a) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0] & 0xFF, a[1] & 0xFF, a[2] & 0xFF, a[3] & 0xFF);
    return text;
}

DefaultRange default_range(const std::optional<Octets>& host_address) {
    Octets prefix = host_address.value_or(Octets{192, 168, 1, 0});
    return {{prefix[0], prefix[1], prefix[2], 1}, {prefix[0], prefix[1], prefix[2], 255}};
}

Octets end_of_network(const Octets& start) { return {start[0], start[1], start[2], 255}; }

std::optional<Octets> address_after_field_change(std::uint32_t reported, int field, int value) {
    if (field < 0 || field > 3)
        return std::nullopt;
    const int shift = 8 * (3 - field);
    // A blank field (-1) counts as 0 in the sum. Unsigned wrap-around
    // mirrors the control's own 32-bit sum.
    std::uint32_t share = static_cast<std::uint32_t>(std::max(value, 0));
    std::uint32_t address =
        reported - (share << shift) + (static_cast<std::uint32_t>(std::clamp(value, 0, 255)) << shift);
    return Octets{static_cast<int>(address >> 24), static_cast<int>(address >> 16 & 0xFF),
                  static_cast<int>(address >> 8 & 0xFF), static_cast<int>(address & 0xFF)};
}

RangeCheck check_range(const Octets& s, const Octets& e) {
    if (e[2] < s[2] || (e[2] == s[2] && e[3] < s[3]))
        return RangeCheck::EndBeforeStart;
    if (e[0] != s[0] || e[1] != s[1])
        return RangeCheck::NotClassC;
    return RangeCheck::Ok;
}

ScanWalk::ScanWalk(const Octets& start, const Octets& end)
    : first_(start[0]), second_(start[1]), c3_(start[2]), c4_(start[3]), e3_(end[2]), e4_(end[3]) {}

bool ScanWalk::advance() {
    if (c4_ < e4_) {
        ++c4_;
    } else if (c3_ < e3_) {
        if (c4_ < 255) {
            ++c4_;
        } else {
            c4_ = 0;
            ++c3_;
        }
    }
    return !(c4_ >= e4_ && c3_ >= e3_);
}
