#include "netmgmt/tdb_fingerprint.h"

#include <cstring>

namespace netmgmt {
namespace samba {
namespace {

constexpr char kMagic[] = "TDB file\n";
constexpr std::size_t kFeatureFlagsAt = 60;
constexpr std::size_t kMutexSizeAt = 64;
constexpr std::uint32_t kMutexFeature = 1;

// tdb writes its header in the byte order of the machine that made it:
// the server's, which is this one.
std::uint32_t field(const unsigned char* header, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, header + at, sizeof value);
    return value;
}

}  // namespace

std::optional<std::size_t> tdb_header_at(const unsigned char* header, std::size_t size) {
    if (size < kTdbHeaderBytes || std::memcmp(header, kMagic, sizeof kMagic - 1) != 0)
        return std::nullopt;
    if ((field(header, kFeatureFlagsAt) & kMutexFeature) == 0)
        return 0;
    return field(header, kMutexSizeAt);
}

std::size_t tdb_content_start(const unsigned char* header, std::size_t size) {
    const std::optional<std::size_t> at = tdb_header_at(header, size);
    if (!at)
        return 0;
    return *at > kTdbHeaderBytes ? *at : kTdbHeaderBytes;
}

void ContentHash::mix(std::uint64_t word) {
    state_ = (state_ ^ word) * 0xff51afd7ed558ccdULL;
    state_ ^= state_ >> 32;
}

void ContentHash::add(const unsigned char* data, std::size_t size) {
    length_ += size;
    std::size_t at = 0;
    while (pending_bytes_ != 0 && at < size) {
        pending_ |= static_cast<std::uint64_t>(data[at++]) << (8 * pending_bytes_);
        if (++pending_bytes_ == 8) {
            mix(pending_);
            pending_ = 0;
            pending_bytes_ = 0;
        }
    }
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + at, sizeof word);
        mix(word);
    }
    for (; at < size; ++at)
        pending_ |= static_cast<std::uint64_t>(data[at]) << (8 * pending_bytes_++);
}

std::uint64_t ContentHash::value() const {
    std::uint64_t h = state_;
    h = (h ^ pending_) * 0xff51afd7ed558ccdULL;
    h = (h ^ length_) * 0xc4ceb9fe1a85ec53ULL;
    return h ^ (h >> 33);
}

}  // namespace samba
}  // namespace netmgmt
