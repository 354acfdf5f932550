// The texts of a ping run, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "ping/ping_lines.h"

TEST(PingLines, EachLineReadsAsShown) {
    EXPECT_EQ(host_not_found_line("nohost.invalid"), "Host not found: nohost.invalid");
    EXPECT_EQ(socket_error_line("sendto()", 10065), "sendto() - WSAError: 10065");
    EXPECT_EQ(header_line("127.0.0.1", "127.0.0.1", 32), "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:");
    EXPECT_EQ(reply_line(3, "10.213.88.2", 32, 0, 64), "Reply[3] from: 10.213.88.2: bytes=32 time=0ms TTL=64");
    EXPECT_EQ(timed_out_line(), "Request Timed Out");
}

TEST(PingLines, HostTextIsKeptWhole) {
    // Longer than any fixed buffer would be, and GBK bytes pass unchanged.
    std::string long_host(600, 'h');
    EXPECT_EQ(host_not_found_line(long_host), "Host not found: " + long_host);
    EXPECT_EQ(header_line("主机", "1.2.3.4", 32), "Pinging 主机 [1.2.3.4] with 32 bytes of data:");
    EXPECT_EQ(host_not_found_line(""), "Host not found: ");
}

TEST(PingLines, NegativeAndLargeNumbers) {
    EXPECT_EQ(socket_error_line("select()", -1), "select() - WSAError: -1");
    EXPECT_EQ(
        reply_line(99, "1.1.1.1", 32, 2147483647L, 255), "Reply[99] from: 1.1.1.1: bytes=32 time=2147483647ms TTL=255");
}

TEST(PingLines, IcmpErrorsReadLikeWindowsPingAndShowNoTime) {
    EXPECT_EQ(unreachable_line("10.231.40.1", 1), "Reply from 10.231.40.1: Destination host unreachable.");
    EXPECT_EQ(unreachable_line("10.0.0.1", 13), "Reply from 10.0.0.1: Destination unreachable.")
        << "a code without its own text";
    EXPECT_EQ(unreachable_line("10.0.0.1", -1), "Reply from 10.0.0.1: Destination unreachable.");
    EXPECT_EQ(ttl_expired_line("10.0.0.254", 0), "Reply from 10.0.0.254: TTL expired in transit.");
}
