// A fingerprint of what a Samba database (a tdb file) holds, cheap enough to
// take every second. Samba 4.17 opens its session, tree-connect, open and
// share-mode databases without sequence numbers (the header's counter stays
// 0 through opens and closes), so what is compared is the content itself.
// The header and the mutex area that follows it are left out: their bytes
// move whenever any process takes a lock, even only to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace netmgmt {
namespace samba {

// Bytes of the header that tell where the records begin.
constexpr std::size_t kTdbHeaderBytes = 168;

// Where the header that places the records lies: at the start, or after the
// mutex area when the file has one (the start then holds a copy). Nothing
// when `header` (`size` bytes read from the file's start) is not a tdb header.
std::optional<std::size_t> tdb_header_at(const unsigned char* header, std::size_t size);

// The offset of the file's first byte after its header and mutex area; 0
// when `header` is not a tdb header.
std::size_t tdb_content_start(const unsigned char* header, std::size_t size);

// A 64-bit hash over bytes fed in any number of pieces: the same bytes give
// the same value however they are cut.
class ContentHash {
public:
    void add(const unsigned char* data, std::size_t size);
    std::uint64_t value() const;

private:
    void mix(std::uint64_t word);

    std::uint64_t state_ = 0x9e3779b97f4a7c15ULL;
    std::uint64_t pending_ = 0;  // bytes of an unfinished word, lowest first
    unsigned pending_bytes_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace samba
}  // namespace netmgmt
