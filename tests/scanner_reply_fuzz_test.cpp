// Arbitrary datagrams of 0 to 600 bytes through the reply walk. Each one
// lives in a heap block of exactly its length, so the AddressSanitizer build
// of this test catches any read past the received bytes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <memory>
#include <random>

#include "scanner/node_status.h"

namespace {

// Bytes the walk treats specially come often, so records end in every way.
unsigned char next_byte(std::mt19937& rng) {
    static const unsigned char special[] = {0x00, 0x20, 0xCC, 0x41, 0x84, 0xB9, 0x1F, 0x21};
    unsigned r = rng();
    return (r & 1) ? special[(r >> 1) % sizeof special] : static_cast<unsigned char>(r >> 8);
}

// A random datagram whose name count is mostly small enough for the unit
// ID to fall inside it or just past its end.
std::unique_ptr<unsigned char[]> datagram(std::mt19937& rng, std::size_t length) {
    std::unique_ptr<unsigned char[]> data(new unsigned char[length ? length : 1]);
    for (std::size_t i = 0; i < length; ++i)
        data[i] = next_byte(rng);
    if (length > 56 && rng() % 4 != 0)
        data[56] = static_cast<unsigned char>(rng() % 26);
    return data;
}

bool is_mac_text(const std::string& mac) {
    if (mac.size() != 17)
        return false;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        char c = mac[i];
        bool ok = i % 3 == 2 ? c == '.' : (std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f'));
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace

TEST(NodeStatusReplyFuzz, ArbitraryDatagramsStayInBoundsAndInShape) {
    std::mt19937 rng(20240517);
    int macs = 0;
    for (int round = 0; round < 20000; ++round) {
        std::size_t length = rng() % 601;
        auto data = datagram(rng, length);
        auto row = read_node_status(data.get(), length, "10.0.0.1");
        EXPECT_EQ(row.address, "10.0.0.1");
        EXPECT_LE(row.host.size(), 18u);
        EXPECT_LE(row.workgroup.size(), 18u);
        if (!row.workgroup.empty()) {
            EXPECT_NE(row.workgroup, row.host);
        }
        if (length < 58) {
            EXPECT_TRUE(row.host.empty() && row.workgroup.empty() && row.mac.empty());
            continue;
        }
        // The MAC is there exactly when the unit ID fits before the end (and
        // before the 500-byte buffer ends).
        std::size_t unit_id_end = 57 + 18 * std::size_t{data[56]} + 6;
        bool fits = unit_id_end <= std::min<std::size_t>(length, 500);
        EXPECT_EQ(!row.mac.empty(), fits) << round;
        if (fits) {
            EXPECT_TRUE(is_mac_text(row.mac)) << row.mac;
            ++macs;
        }
    }
    EXPECT_GT(macs, 1000) << "the unit-ID path is exercised";
}

TEST(NodeStatusReplyFuzz, BytesFrom500OnNeverChangeTheRow) {
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::size_t length = 500 + rng() % 101;
        auto data = datagram(rng, length);
        auto full = read_node_status(data.get(), length, "a");
        auto cut = read_node_status(data.get(), 500, "a");
        EXPECT_EQ(full.host, cut.host);
        EXPECT_EQ(full.workgroup, cut.workgroup);
        EXPECT_EQ(full.mac, cut.mac);
    }
}
