// The ICMP echo request Corvap sends and the two fields it reads back from an
// answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr std::size_t kEchoRequestSize = 45;
constexpr int kEchoDataSize = 32;
// Room for an IP header, our echo message and spare bytes.
constexpr std::size_t kReceiveSize = 321;

using EchoRequest = std::array<std::uint8_t, kEchoRequestSize>;

// RFC 1071 one's-complement checksum, as the two bytes that go on the wire
// (first byte in [0]); an odd last byte is padded with a zero byte.
std::array<std::uint8_t, 2> internet_checksum(const std::uint8_t* data, std::size_t size);

// Request number `n` (low 16 bits) goes into identifier and sequence in
// little-endian order; `tick` is the send stamp echoed back by the peer.
EchoRequest build_echo_request(std::uint32_t n, std::uint32_t tick);

struct EchoAnswer {
    int ttl;
    long elapsed_ms;
};

// Reads TTL and the echoed stamp from a datagram that starts with its IPv4
// header. A datagram too short to hold the stamp is timed from `send_tick`,
// the attempt's own send stamp, instead of reading past its end.
EchoAnswer read_answer(const std::uint8_t* datagram, std::size_t size, std::uint32_t now, std::uint32_t send_tick);

// What an incoming datagram (IPv4 header first) says about an echo request
// of this program. Requests carry their number as identifier and sequence:
// an echo reply brings both back, and a destination-unreachable or
// time-exceeded error quotes the request's header with them. Anything else
// (our own requests seen on a local raw socket, other programs' traffic,
// other ICMP messages) is `other`.
struct IcmpAnswer {
    enum Kind { Other, EchoReply, Unreachable, TimeExceeded };
    Kind kind;
    int code;              // the ICMP code of an error
    std::uint16_t number;  // low 16 bits of the request number
};
IcmpAnswer read_icmp_answer(const std::uint8_t* datagram, std::size_t size);
