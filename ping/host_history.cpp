#include "ping/host_history.h"

#include <algorithm>

namespace {

unsigned char fold(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

}  // namespace

int compare_hosts(const std::string& a, const std::string& b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = fold(a[i]), y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool same_host(const std::string& a, const std::string& b) { return compare_hosts(a, b) == 0; }

std::size_t HostHistory::insert_position(const std::string& host) const {
    auto at = std::upper_bound(entries_.begin(), entries_.end(), host,
                               [](const std::string& a, const std::string& b) { return compare_hosts(a, b) < 0; });
    return static_cast<std::size_t>(at - entries_.begin());
}

std::size_t HostHistory::add(const std::string& host) {
    std::size_t at = insert_position(host);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), host);
    return at;
}

long HostHistory::add_if_absent(const std::string& host) {
    if (contains(host))
        return -1;
    return static_cast<long>(add(host));
}

std::optional<unsigned long> saved_entry_index(const std::string& value_name) {
    static const std::string kPrefix = "Host#";
    if (value_name.size() <= kPrefix.size() || !same_host(value_name.substr(0, kPrefix.size()), kPrefix))
        return std::nullopt;
    std::string digits = value_name.substr(kPrefix.size());
    // "Host#%d" never writes a sign or a leading zero, and stops at 32 bits.
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    unsigned long long index = std::stoull(digits);
    if (index > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<unsigned long>(index);
}

bool HostHistory::contains(const std::string& host) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const std::string& e) { return same_host(e, host); });
}
