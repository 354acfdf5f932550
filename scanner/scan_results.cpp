#include "scanner/scan_results.h"

#include <algorithm>
#include <utility>

namespace {

std::uint32_t key(const Octets& a) {
    return static_cast<std::uint32_t>(a[0] & 0xFF) << 24 | static_cast<std::uint32_t>(a[1] & 0xFF) << 16 |
           static_cast<std::uint32_t>(a[2] & 0xFF) << 8 | static_cast<std::uint32_t>(a[3] & 0xFF);
}

}  // namespace

void ScanResults::begin_scan() {
    scan_first_ = rows_.size();
    scan_addresses_.clear();
}

std::size_t ScanResults::add(const Octets& address, NodeStatusRow row) {
    auto at = std::upper_bound(scan_addresses_.begin(), scan_addresses_.end(), key(address));
    std::size_t offset = static_cast<std::size_t>(at - scan_addresses_.begin());
    scan_addresses_.insert(at, key(address));
    std::size_t index = scan_first_ + offset;
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
    return index;
}
