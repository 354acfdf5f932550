// Where a tdb's records begin, and a content hash that does not depend on
// how the file was read in pieces.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "netmgmt/tdb_fingerprint.h"

using namespace netmgmt::samba;

namespace {

std::vector<unsigned char> header(std::uint32_t features, std::uint32_t mutex_size) {
    std::vector<unsigned char> h(kTdbHeaderBytes, 0);
    std::memcpy(h.data(), "TDB file\n", 9);
    std::memcpy(h.data() + 60, &features, 4);
    std::memcpy(h.data() + 64, &mutex_size, 4);
    return h;
}

std::uint64_t hash_in_pieces(const std::vector<unsigned char>& bytes, std::size_t piece) {
    ContentHash hash;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        hash.add(bytes.data() + at, std::min(piece, bytes.size() - at));
    return hash.value();
}

}  // namespace

TEST(TdbFingerprint, RecordsBeginAfterTheHeaderAndAnyMutexArea) {
    EXPECT_EQ(tdb_content_start(header(0, 0).data(), kTdbHeaderBytes), kTdbHeaderBytes);
    EXPECT_EQ(tdb_content_start(header(1, 8192).data(), kTdbHeaderBytes), 8192u);
    // The size field counts only with the mutex feature set.
    EXPECT_EQ(tdb_content_start(header(0, 8192).data(), kTdbHeaderBytes), kTdbHeaderBytes);
    EXPECT_EQ(tdb_content_start(header(1, 8192).data(), kTdbHeaderBytes - 1), 0u) << "short read";
    auto other = header(0, 0);
    other[0] = 'X';
    EXPECT_EQ(tdb_content_start(other.data(), kTdbHeaderBytes), 0u) << "not a tdb";
}

TEST(TdbFingerprint, HashIsTheSameHoweverTheBytesAreCutAndMovesWithAnyByte) {
    std::vector<unsigned char> bytes(1000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    const std::uint64_t whole = hash_in_pieces(bytes, bytes.size());
    for (std::size_t piece : {1u, 3u, 8u, 13u, 512u})
        EXPECT_EQ(hash_in_pieces(bytes, piece), whole) << piece;
    for (std::size_t at : {0u, 7u, 8u, 999u}) {
        auto changed = bytes;
        changed[at] ^= 1;
        EXPECT_NE(hash_in_pieces(changed, 13), whole) << at;
    }
    bytes.push_back(0);
    EXPECT_NE(hash_in_pieces(bytes, 8), whole) << "a zero byte added";
}
