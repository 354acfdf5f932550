// The echo request on the wire and the fields read back from an answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "ping/echo_packet.h"

namespace {

// Independent one's-complement sum in network order: a message carrying a
// right checksum sums to 0xFFFF.
std::uint16_t network_order_sum(const std::uint8_t* data, std::size_t size) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; i += 2) {
        std::uint16_t word = static_cast<std::uint16_t>(data[i] << 8);
        if (i + 1 < size)
            word = static_cast<std::uint16_t>(word | data[i + 1]);
        sum += word;
    }
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(sum);
}

std::vector<std::uint8_t> ip_datagram(std::uint8_t ttl, std::uint32_t stamp, std::size_t header_words = 5,
                                      std::uint8_t icmp_type = 0) {
    std::vector<std::uint8_t> d(header_words * 4 + kEchoRequestSize, 0);
    d[0] = static_cast<std::uint8_t>(0x40 | header_words);
    d[8] = ttl;
    std::size_t echo = header_words * 4;
    d[echo] = icmp_type;
    for (int i = 0; i < 4; ++i)
        d[echo + 9 + i] = static_cast<std::uint8_t>(stamp >> (8 * i));
    return d;
}

TEST(EchoRequest, CarriesNumberStampAndDataInLittleEndianOrder) {
    auto r = build_echo_request(0x00010203, 0xA1B2C3D4);
    ASSERT_EQ(r.size(), 45u);
    EXPECT_EQ(r[0], 8);
    EXPECT_EQ(r[1], 0);
    // Only the low 16 bits of the number travel, low byte first.
    EXPECT_EQ(r[4], 0x03);
    EXPECT_EQ(r[5], 0x02);
    EXPECT_EQ(r[6], 0x03);
    EXPECT_EQ(r[7], 0x02);
    EXPECT_EQ(r[8], 0);
    EXPECT_EQ(r[9], 0xD4);
    EXPECT_EQ(r[10], 0xC3);
    EXPECT_EQ(r[11], 0xB2);
    EXPECT_EQ(r[12], 0xA1);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(r[13 + i], 0x20 + i) << "data byte " << i;
}

TEST(EchoRequest, FirstRequestTravelsAsOneZero) {
    auto r = build_echo_request(1, 0);
    EXPECT_EQ(r[4], 1);
    EXPECT_EQ(r[5], 0);
    EXPECT_EQ(r[6], 1);
    EXPECT_EQ(r[7], 0);
}

TEST(EchoRequest, ChecksumAgreesWithAnIndependentSum) {
    // Values that make the sum carry, and the all-ones stamp.
    const std::uint32_t numbers[] = {1, 6, 0xFFFF, 0x12345, 0xFFFFFFFF};
    const std::uint32_t ticks[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF, 0xDEADBEEF};
    for (auto n : numbers) {
        for (auto tick : ticks) {
            auto r = build_echo_request(n, tick);
            EXPECT_EQ(network_order_sum(r.data(), r.size()), 0xFFFF) << "n=" << n << " tick=" << tick;
        }
    }
}

TEST(EchoRequest, KnownChecksumBytes) {
    // 08 00 .. .. 01 00 01 00 00 04 03 02 01 20 .. 3F summed as network-order
    // words folds to 0x10F9; its complement 0xEF06 goes out as EF 06.
    auto r = build_echo_request(1, 0x01020304);
    EXPECT_EQ(r[2], 0xEF);
    EXPECT_EQ(r[3], 0x06);
}

TEST(InternetChecksum, OddLengthPadsWithAZeroByte) {
    // RFC 1071's example words 0001 f203 f4f5 f6f7 sum to ddf2.
    const std::uint8_t even[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
    auto sum = internet_checksum(even, sizeof even);
    EXPECT_EQ(sum[0], 0x22);
    EXPECT_EQ(sum[1], 0x0d);
    const std::uint8_t odd[] = {0x00, 0x01, 0xf2};
    auto odd_sum = internet_checksum(odd, sizeof odd);
    // 0x0001 + 0xf200 = 0xf201 -> 0x0dfe
    EXPECT_EQ(odd_sum[0], 0x0d);
    EXPECT_EQ(odd_sum[1], 0xfe);
}

TEST(EchoAnswer, ReadsTtlAndTimeFromTheEchoedStamp) {
    auto d = ip_datagram(64, 1000);
    auto a = read_answer(d.data(), d.size(), 1007, 999);
    EXPECT_EQ(a.ttl, 64);
    EXPECT_EQ(a.elapsed_ms, 7);
}

TEST(EchoAnswer, SameTickIsZeroAndWrapOfTheTickCountIsCrossed) {
    auto d = ip_datagram(128, 5000);
    EXPECT_EQ(read_answer(d.data(), d.size(), 5000, 5000).elapsed_ms, 0);
    auto w = ip_datagram(64, 0xFFFFFFF0u);
    EXPECT_EQ(read_answer(w.data(), w.size(), 0x10, 0).elapsed_ms, 0x20);
}

TEST(EchoAnswer, ShortDatagramIsTimedFromTheOwnSendStamp) {
    auto d = ip_datagram(64, 1);
    // 32 bytes: the stamp would end at byte 33.
    auto a = read_answer(d.data(), 32, 2500, 2490);
    EXPECT_EQ(a.ttl, 64);
    EXPECT_EQ(a.elapsed_ms, 10);
    // 33 bytes hold it.
    EXPECT_EQ(read_answer(d.data(), 33, 2500, 2490).elapsed_ms, 2499);
    // Too short even for the TTL.
    EXPECT_EQ(read_answer(d.data(), 8, 2500, 2490).ttl, 0);
    EXPECT_EQ(read_answer(d.data(), 0, 2500, 2500).elapsed_ms, 0);
}

TEST(EchoAnswer, HeaderWithOptionsMovesTheStamp) {
    auto d = ip_datagram(30, 400, 6);
    auto a = read_answer(d.data(), d.size(), 450, 0);
    EXPECT_EQ(a.ttl, 30);
    EXPECT_EQ(a.elapsed_ms, 50);
    // Cut before the moved stamp's end (24 + 13 bytes): own send stamp.
    EXPECT_EQ(read_answer(d.data(), 36, 450, 440).elapsed_ms, 10);
}

// An ICMP message after a plain IPv4 header.
std::vector<std::uint8_t> icmp(std::uint8_t type, std::uint8_t code, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> d(24 + body.size(), 0);
    d[0] = 0x45;
    d[8] = 64;
    d[9] = 1;
    d[20] = type;
    d[21] = code;
    std::copy(body.begin(), body.end(), d.begin() + 24);
    return d;
}

// An error quoting the IPv4 header and first 8 bytes of one of our
// requests (or of a datagram of `protocol`).
std::vector<std::uint8_t> error(std::uint8_t type, std::uint8_t code, std::uint32_t n, std::uint8_t protocol = 1) {
    auto request = build_echo_request(n, 0);
    std::vector<std::uint8_t> body(4 + 20 + 8, 0);  // unused word, quoted header, quoted echo
    body[4] = 0x45;
    body[13] = protocol;
    std::copy(request.begin(), request.begin() + 8, body.begin() + 24);
    return icmp(type, code, body);
}

TEST(IcmpAnswer, EchoReplyCarriesItsRequestNumber) {
    auto request = build_echo_request(0x10203, 0);
    std::vector<std::uint8_t> body(request.begin() + 4, request.end());
    auto reply = icmp(0, 0, body);
    auto a = read_icmp_answer(reply.data(), reply.size());
    EXPECT_EQ(a.kind, IcmpAnswer::EchoReply);
    EXPECT_EQ(a.number, 0x0203);
    // Identifier and sequence that differ are someone else's echo.
    reply[26] = 0x99;
    EXPECT_EQ(read_icmp_answer(reply.data(), reply.size()).kind, IcmpAnswer::Other);
    // Our own request seen on loopback is no answer.
    auto own = icmp(8, 0, body);
    EXPECT_EQ(read_icmp_answer(own.data(), own.size()).kind, IcmpAnswer::Other);
}

TEST(IcmpAnswer, ErrorsQuotingOurRequestGiveKindCodeAndNumber) {
    auto unreachable = error(3, 1, 7);
    auto a = read_icmp_answer(unreachable.data(), unreachable.size());
    EXPECT_EQ(a.kind, IcmpAnswer::Unreachable);
    EXPECT_EQ(a.code, 1);
    EXPECT_EQ(a.number, 7);
    auto expired = error(11, 0, 0x1FFFF);
    auto t = read_icmp_answer(expired.data(), expired.size());
    EXPECT_EQ(t.kind, IcmpAnswer::TimeExceeded);
    EXPECT_EQ(t.number, 0xFFFF);
    // About someone's UDP datagram, or a message of another type: not ours.
    auto udp = error(3, 3, 7, 17);
    EXPECT_EQ(read_icmp_answer(udp.data(), udp.size()).kind, IcmpAnswer::Other);
    auto redirect = error(5, 1, 7);
    EXPECT_EQ(read_icmp_answer(redirect.data(), redirect.size()).kind, IcmpAnswer::Other);
}

TEST(IcmpAnswer, CutAnywhereItIsReadOnlyWithinItsBytes) {
    // Each prefix in a block of exactly its size, for the sanitizer build.
    auto whole = error(3, 1, 7);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        std::unique_ptr<std::uint8_t[]> cut(new std::uint8_t[size ? size : 1]);
        std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size), cut.get());
        EXPECT_EQ(read_icmp_answer(cut.get(), size).kind, IcmpAnswer::Other) << size;
    }
    EXPECT_EQ(read_icmp_answer(whole.data(), whole.size()).kind, IcmpAnswer::Unreachable);
}

}  // namespace
