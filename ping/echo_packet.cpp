#include "ping/echo_packet.h"

namespace {

constexpr std::uint8_t kEchoReplyType = 0;
constexpr std::uint8_t kUnreachableType = 3;
constexpr std::uint8_t kEchoRequestType = 8;
constexpr std::uint8_t kTimeExceededType = 11;
constexpr std::uint8_t kIcmpProtocol = 1;
constexpr std::size_t kProtocolOffset = 9;
// Type, code, checksum, identifier, sequence: what an error must quote.
constexpr std::size_t kIcmpHeaderSize = 8;
constexpr std::size_t kTtlOffset = 8;
constexpr std::size_t kStampOffsetInEcho = 9;
constexpr std::size_t kMinIpHeader = 20;

void put_le16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put_le32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t get_le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

std::uint32_t get_le32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// Length of the IPv4 header the datagram starts with, or 0 when the first
// byte is not a plausible IPv4 header.
std::size_t ip_header_length(const std::uint8_t* datagram, std::size_t size) {
    if (size < kMinIpHeader || (datagram[0] >> 4) != 4)
        return 0;
    std::size_t length = static_cast<std::size_t>(datagram[0] & 0x0F) * 4;
    return length < kMinIpHeader ? 0 : length;
}

}  // namespace

std::array<std::uint8_t, 2> internet_checksum(const std::uint8_t* data, std::size_t size) {
    // Summed as little-endian words and stored little-endian: one's-complement
    // addition is byte-order independent, so the wire bytes are right.
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>(data[i]) | static_cast<std::uint32_t>(data[i + 1]) << 8;
    if (i < size)
        sum += data[i];
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    auto folded = static_cast<std::uint16_t>(~sum);
    return {static_cast<std::uint8_t>(folded), static_cast<std::uint8_t>(folded >> 8)};
}

EchoRequest build_echo_request(std::uint32_t n, std::uint32_t tick) {
    EchoRequest r{};
    r[0] = kEchoRequestType;
    r[1] = 0;
    put_le16(&r[4], static_cast<std::uint16_t>(n));
    put_le16(&r[6], static_cast<std::uint16_t>(n));
    r[8] = 0;
    put_le32(&r[kStampOffsetInEcho], tick);
    for (int i = 0; i < kEchoDataSize; ++i)
        r[13 + i] = static_cast<std::uint8_t>(0x20 + i);
    auto sum = internet_checksum(r.data(), r.size());
    r[2] = sum[0];
    r[3] = sum[1];
    return r;
}

EchoAnswer read_answer(const std::uint8_t* datagram, std::size_t size, std::uint32_t now, std::uint32_t send_tick) {
    EchoAnswer answer{0, 0};
    if (size > kTtlOffset)
        answer.ttl = datagram[kTtlOffset];
    // The header length field places the echo message; a header with options
    // would otherwise shift the stamp.
    std::size_t header = ip_header_length(datagram, size);
    std::size_t stamp_at = (header ? header : kMinIpHeader) + kStampOffsetInEcho;
    std::uint32_t stamp = size >= stamp_at + 4 ? get_le32(datagram + stamp_at) : send_tick;
    // Modular difference: right across the 49-day wrap of the tick count, and
    // the same value whether long has 32 or 64 bits.
    answer.elapsed_ms = static_cast<long>(static_cast<std::int32_t>(now - stamp));
    return answer;
}

IcmpAnswer read_icmp_answer(const std::uint8_t* datagram, std::size_t size) {
    const IcmpAnswer other{IcmpAnswer::Other, 0, 0};
    std::size_t header = ip_header_length(datagram, size);
    if (!header || size < header + kIcmpHeaderSize)
        return other;
    const std::uint8_t* icmp = datagram + header;
    // Ours carry the number twice; a mismatch is someone else's echo.
    auto numbered = [&](const std::uint8_t* echo, IcmpAnswer::Kind kind) {
        std::uint16_t identifier = get_le16(echo + 4);
        return identifier == get_le16(echo + 6) ? IcmpAnswer{kind, icmp[1], identifier} : other;
    };
    if (icmp[0] == kEchoReplyType)
        return numbered(icmp, IcmpAnswer::EchoReply);
    if (icmp[0] != kUnreachableType && icmp[0] != kTimeExceededType)
        return other;
    const std::uint8_t* quoted = icmp + kIcmpHeaderSize;
    std::size_t quoted_size = size - header - kIcmpHeaderSize;
    std::size_t quoted_header = ip_header_length(quoted, quoted_size);
    if (!quoted_header || quoted[kProtocolOffset] != kIcmpProtocol || quoted_size < quoted_header + kIcmpHeaderSize ||
        quoted[quoted_header] != kEchoRequestType)
        return other;
    return numbered(
        quoted + quoted_header, icmp[0] == kUnreachableType ? IcmpAnswer::Unreachable : IcmpAnswer::TimeExceeded);
}
