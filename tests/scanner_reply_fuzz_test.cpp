// Arbitrary datagrams of 0 to 600 bytes through the reply handler. Each one
// lives in a heap block of exactly its length, so the AddressSanitizer build
// of this test catches any read past the received bytes.
#include <gtest/gtest.h>

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

}  // namespace

TEST(NodeStatusReplyFuzz, ArbitraryDatagramsStayInBoundsAndInShape) {
    std::mt19937 rng(20240517);
    scanner::ReplyGate gate;
    std::string last_listed;
    for (int round = 0; round < 20000; ++round) {
        std::size_t length = rng() % 601;
        std::unique_ptr<unsigned char[]> data(new unsigned char[length ? length : 1]);
        for (std::size_t i = 0; i < length; ++i)
            data[i] = next_byte(rng);
        std::string source = "10.0.0." + std::to_string(rng() % 3);
        auto row = gate.handle(data.get(), length, source);
        if (length > scanner::kReplyBufferSize || source == last_listed) {
            EXPECT_FALSE(row);
            continue;
        }
        ASSERT_TRUE(row) << round;
        last_listed = source;
        EXPECT_EQ(row->address, source);
        EXPECT_LE(row->mac.size(), 17u);
        EXPECT_LE(row->host.size(), 18u);
        EXPECT_LE(row->workgroup.size(), 18u);
        if (!row->workgroup.empty()) {
            EXPECT_NE(row->workgroup, row->host);
        }
        if (length < 58) {
            EXPECT_TRUE(row->host.empty() && row->workgroup.empty() && row->mac.empty());
        }
    }
}

TEST(NodeStatusReplyFuzz, BytesFrom500OnNeverChangeTheRow) {
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::size_t length = 500 + rng() % 101;
        std::unique_ptr<unsigned char[]> data(new unsigned char[length]);
        for (std::size_t i = 0; i < length; ++i)
            data[i] = next_byte(rng);
        auto full = scanner::read_node_status(data.get(), length, "a");
        auto cut = scanner::read_node_status(data.get(), 500, "a");
        EXPECT_EQ(full.host, cut.host);
        EXPECT_EQ(full.workgroup, cut.workgroup);
        EXPECT_EQ(full.mac, cut.mac);
    }
}
