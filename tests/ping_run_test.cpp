// One ping run against a scripted socket: order of lines, pauses, failures
// and request numbers.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "ping/echo_packet.h"
#include "ping/echo_run.h"

namespace {

// What happens while the run waits after a send.
struct Arrival {
    EchoPort::Wait wait;
    std::uint32_t after_ms;              // time the wait takes
    std::vector<std::uint8_t> datagram;  // delivered by the next receive
    bool receive_fails = false;
    std::string source = "127.0.0.1";
};

struct FakePort : EchoPort {
    bool open_ok = true, resolve_ok = true, send_ok = true, close_ok = true;
    long error_code = 0;
    std::uint32_t now = 50000;
    std::deque<Arrival> arrivals;
    std::vector<std::vector<std::uint8_t>> sent;
    std::vector<std::uint32_t> sleeps;
    std::vector<std::string> calls;
    std::string resolved_host;

    bool open() override {
        calls.push_back("open");
        error_code = open_ok ? 0 : 10013;
        return open_ok;
    }
    bool resolve(const std::string& host, std::string& dotted) override {
        resolved_host = host;
        dotted = "127.0.0.1";
        error_code = resolve_ok ? 0 : 11001;
        return resolve_ok;
    }
    bool send(const std::uint8_t* data, std::size_t size) override {
        sent.emplace_back(data, data + size);
        error_code = send_ok ? 0 : 10065;
        return send_ok;
    }
    Wait wait_readable(std::uint32_t timeout_ms) override {
        if (arrivals.empty()) {
            now += timeout_ms;
            return Wait::TimedOut;
        }
        Arrival& a = arrivals.front();
        if (a.after_ms >= timeout_ms || a.wait == Wait::TimedOut) {
            now += timeout_ms;
            arrivals.pop_front();
            return Wait::TimedOut;
        }
        now += a.after_ms;
        Wait w = a.wait;
        if (w == Wait::Failed) {
            error_code = 10022;
            arrivals.pop_front();
        }
        return w;
    }
    bool receive(std::vector<std::uint8_t>& datagram, std::string& source) override {
        Arrival a = arrivals.front();
        arrivals.pop_front();
        if (a.receive_fails) {
            error_code = 10054;
            return false;
        }
        datagram = a.datagram;
        source = a.source;
        return true;
    }
    bool close() override {
        calls.push_back("close");
        error_code = close_ok ? 0 : 10038;
        return close_ok;
    }
    long last_error() const override { return error_code; }
    std::uint32_t tick() const override { return now; }
    void sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
    }
};

struct Sink : LineSink {
    FakePort* port = nullptr;
    std::vector<std::pair<int, std::string>> lines;
    void line(LineKind kind, const std::string& text) override { lines.emplace_back(kind, text); }
    void done(bool resolved) override {
        lines.emplace_back(-1, resolved ? "done 1" : "done 0");
        if (port)
            port->calls.push_back("done");
    }
};

// An answer from the kernel: IPv4 header, then the echo of request `n`
// with `stamp` (type 8: our own request, as loopback shows it).
std::vector<std::uint8_t> reply(std::uint16_t n, std::uint32_t stamp, std::uint8_t ttl = 64, std::uint8_t type = 0) {
    std::vector<std::uint8_t> d(20 + kEchoRequestSize, 0);
    d[0] = 0x45;
    d[8] = ttl;
    d[20] = type;
    for (int i : {24, 26}) {
        d[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n);
        d[static_cast<std::size_t>(i) + 1] = static_cast<std::uint8_t>(n >> 8);
    }
    for (int i = 0; i < 4; ++i)
        d[29 + i] = static_cast<std::uint8_t>(stamp >> (8 * i));
    return d;
}

// An ICMP error of `type` and `code` quoting request `n` (protocol 1, ICMP)
// or a datagram of another protocol.
std::vector<std::uint8_t> icmp_error(std::uint8_t type, std::uint8_t code, std::uint16_t n, std::uint8_t protocol = 1) {
    std::vector<std::uint8_t> d(20 + 8 + 20 + 8, 0);
    d[0] = 0x45;
    d[8] = 64;
    d[9] = 1;
    d[20] = type;
    d[21] = code;
    d[28] = 0x45;
    d[37] = protocol;
    d[48] = 8;
    for (int i : {52, 54}) {
        d[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n);
        d[static_cast<std::size_t>(i) + 1] = static_cast<std::uint8_t>(n >> 8);
    }
    return d;
}

Arrival answer_after(std::uint32_t ms, std::vector<std::uint8_t> datagram) {
    return Arrival{EchoPort::Wait::Readable, ms, std::move(datagram)};
}

std::uint16_t identifier(const std::vector<std::uint8_t>& request) {
    return static_cast<std::uint16_t>(request[4] | request[5] << 8);
}

struct PingRun : ::testing::Test {
    FakePort port;
    Sink sink;
    RequestCounter counter;
    void SetUp() override { sink.port = &port; }
    void run(unsigned count, const std::string& host = "127.0.0.1") { run_echo(port, sink, counter, count, host); }
    // Stamp of the request sent `index`-th.
    std::uint32_t stamp_of(std::size_t index) {
        const auto& r = port.sent.at(index);
        return static_cast<std::uint32_t>(r[9] | r[10] << 8 | r[11] << 16 | static_cast<std::uint32_t>(r[12]) << 24);
    }
};

TEST_F(PingRun, AnsweredAttemptsGiveRepliesEachFollowedByAPause) {
    // Echoed stamps are those of the requests the fake will have sent.
    port.arrivals.push_back(answer_after(2, reply(1, 50000)));
    port.arrivals.push_back(answer_after(3, reply(2, 50000 + 2 + 1000, 128)));
    run(2);
    std::vector<std::pair<int, std::string>> expected = {
        {1, "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:"},
        {2, "Reply[1] from: 127.0.0.1: bytes=32 time=2ms TTL=64"},
        {2, "Reply[2] from: 127.0.0.1: bytes=32 time=3ms TTL=128"},
        {-1, "done 1"},
    };
    EXPECT_EQ(sink.lines, expected);
    EXPECT_EQ(port.sleeps, (std::vector<std::uint32_t>{1000, 1000}));
    ASSERT_EQ(port.sent.size(), 2u);
    EXPECT_EQ(stamp_of(1), 50000u + 2 + 1000);
    // The socket is closed after the end is reported.
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open", "done", "close"}));
}

TEST_F(PingRun, SilentHostTimesOutOncePerAttemptWithoutPause) {
    run(3);
    ASSERT_EQ(sink.lines.size(), 5u);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(sink.lines[static_cast<std::size_t>(i)], std::make_pair(3, std::string("Request Timed Out")));
    EXPECT_EQ(sink.lines.back().second, "done 1");
    EXPECT_TRUE(port.sleeps.empty());
    // One second per attempt.
    EXPECT_EQ(port.now, 50000u + 3000);
}

TEST_F(PingRun, OwnRequestSeenOnLoopbackIsNotTheReply) {
    port.arrivals.push_back(answer_after(0, reply(1, 50000, 64, 8)));
    port.arrivals.push_back(answer_after(4, reply(1, 50000)));
    run(1);
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[1].second, "Reply[1] from: 127.0.0.1: bytes=32 time=4ms TTL=64");
}

TEST_F(PingRun, OnlyOwnRequestsWithinTheSecondIsATimeOut) {
    port.arrivals.push_back(answer_after(10, reply(1, 50000, 64, 8)));
    port.arrivals.push_back(answer_after(995, reply(1, 50000, 64, 8)));
    run(1);
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[1].second, "Request Timed Out");
    // The second wait only had what was left of the second.
    EXPECT_EQ(port.now, 50000u + 1000);
}

TEST_F(PingRun, ErrorAboutTheCurrentRequestIsAnAnswerWithoutATime) {
    Arrival unreachable = answer_after(5, icmp_error(3, 1, 1));
    unreachable.source = "10.231.40.1";
    port.arrivals.push_back(unreachable);
    Arrival expired = answer_after(7, icmp_error(11, 0, 2));
    expired.source = "10.0.0.254";
    port.arrivals.push_back(expired);
    run(3);
    std::vector<std::pair<int, std::string>> expected = {
        {1, "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:"},
        {0, "Reply from 10.231.40.1: Destination host unreachable."},
        {0, "Reply from 10.0.0.254: TTL expired in transit."},
        {3, "Request Timed Out"},
        {-1, "done 1"},
    };
    EXPECT_EQ(sink.lines, expected);
    // Answered attempts pause as after a reply.
    EXPECT_EQ(port.sleeps, (std::vector<std::uint32_t>{1000, 1000}));
}

TEST_F(PingRun, ErrorAboutAnEarlierRequestIsShownAndTheWaitGoesOn) {
    // Address resolution gives up after the first attempts have timed out.
    port.arrivals.push_back(Arrival{EchoPort::Wait::TimedOut, 0, {}});
    port.arrivals.push_back(Arrival{EchoPort::Wait::TimedOut, 0, {}});
    port.arrivals.push_back(answer_after(400, icmp_error(3, 1, 1)));
    port.arrivals.push_back(answer_after(10, icmp_error(3, 1, 2)));
    run(3);
    std::vector<std::pair<int, std::string>> expected = {
        {1, "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:"},
        {3, "Request Timed Out"},
        {3, "Request Timed Out"},
        {0, "Reply from 127.0.0.1: Destination host unreachable."},
        {0, "Reply from 127.0.0.1: Destination host unreachable."},
        {3, "Request Timed Out"},
        {-1, "done 1"},
    };
    EXPECT_EQ(sink.lines, expected);
    EXPECT_TRUE(port.sleeps.empty());
    EXPECT_EQ(port.now, 50000u + 3000);
}

TEST_F(PingRun, TrafficThatIsNoAnswerToThisRunIsIgnored) {
    run(1);  // request 1, in an earlier run
    sink.lines.clear();
    port.arrivals.push_back(answer_after(1, reply(1, 50000)));          // late reply, earlier run
    port.arrivals.push_back(answer_after(1, reply(77, 50000)));         // another program's echo
    port.arrivals.push_back(answer_after(1, icmp_error(3, 1, 1)));      // error, earlier run
    port.arrivals.push_back(answer_after(1, icmp_error(3, 3, 2, 17)));  // about a UDP datagram
    port.arrivals.push_back(answer_after(1, icmp_error(5, 1, 2)));      // a redirect
    port.arrivals.push_back(Arrival{EchoPort::Wait::TimedOut, 0, {}});  // the rest of attempt 1
    port.arrivals.push_back(answer_after(1, reply(2, 50000)));          // late: attempt 1 timed out
    run(2);
    std::vector<std::pair<int, std::string>> expected = {
        {1, "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:"},
        {3, "Request Timed Out"},
        {3, "Request Timed Out"},
        {-1, "done 1"},
    };
    EXPECT_EQ(sink.lines, expected);
}

TEST_F(PingRun, RequestNumbersWrappingWithinARunStillMatch) {
    while (counter.next() < 65534) {
    }
    // Requests 65535, 65536 and 65537 travel as FFFF, 0000 and 0001.
    port.arrivals.push_back(answer_after(1, reply(0xFFFF, 50000)));
    port.arrivals.push_back(Arrival{EchoPort::Wait::TimedOut, 0, {}});
    port.arrivals.push_back(answer_after(1, icmp_error(3, 0, 0)));
    run(3);
    ASSERT_EQ(sink.lines.size(), 6u);
    EXPECT_EQ(sink.lines[1].first, 2);
    EXPECT_EQ(sink.lines[2].second, "Request Timed Out");
    EXPECT_EQ(sink.lines[3].second, "Reply from 127.0.0.1: Destination net unreachable.");
    EXPECT_EQ(sink.lines[4].second, "Request Timed Out");
}

TEST_F(PingRun, UnresolvedHostGivesOneLineAndNoHeader) {
    port.resolve_ok = false;
    run(4, "nohost.invalid");
    std::vector<std::pair<int, std::string>> expected = {{0, "Host not found: nohost.invalid"}, {-1, "done 0"}};
    EXPECT_EQ(sink.lines, expected);
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open", "done", "close"}));
}

TEST_F(PingRun, SocketThatCannotOpenEndsTheRunUnresolved) {
    port.open_ok = false;
    run(2);
    std::vector<std::pair<int, std::string>> expected = {{0, "socket() - WSAError: 10013"}, {-1, "done 0"}};
    EXPECT_EQ(sink.lines, expected);
    EXPECT_TRUE(port.resolved_host.empty());
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open", "done"}));
}

TEST_F(PingRun, FailedSendStillWaits) {
    port.send_ok = false;
    run(1);
    ASSERT_EQ(sink.lines.size(), 4u);
    EXPECT_EQ(sink.lines[1], std::make_pair(0, std::string("sendto() - WSAError: 10065")));
    EXPECT_EQ(sink.lines[2].second, "Request Timed Out");
}

TEST_F(PingRun, FailedWaitEndsTheLoopButTheRunResolved) {
    port.arrivals.push_back(Arrival{EchoPort::Wait::Failed, 0, {}});
    run(5);
    std::vector<std::pair<int, std::string>> expected = {
        {1, "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:"},
        {0, "select() - WSAError: 10022"},
        {-1, "done 1"},
    };
    EXPECT_EQ(sink.lines, expected);
    EXPECT_EQ(port.sent.size(), 1u);
}

TEST_F(PingRun, FailedReceiveReplacesTheReplyAndPauses) {
    Arrival broken = answer_after(1, {});
    broken.receive_fails = true;
    port.arrivals.push_back(broken);
    run(1);
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[1], std::make_pair(0, std::string("recvfrom() - WSAError: 10054")));
    EXPECT_EQ(port.sleeps, std::vector<std::uint32_t>{1000});
}

TEST_F(PingRun, FailedCloseIsReportedAfterTheEnd) {
    port.close_ok = false;
    run(1);
    ASSERT_GE(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[sink.lines.size() - 2].second, "done 1");
    EXPECT_EQ(sink.lines.back(), std::make_pair(0, std::string("closesocket() - WSAError: 10038")));
}

TEST_F(PingRun, ShortDatagramIsTimedFromItsOwnSend) {
    auto d = reply(1, 0);
    d.resize(28);  // an ICMP header without data
    port.arrivals.push_back(answer_after(6, d));
    run(1);
    ASSERT_EQ(sink.lines.size(), 3u);
    // bytes= stays 32 whatever came in.
    EXPECT_EQ(sink.lines[1].second, "Reply[1] from: 127.0.0.1: bytes=32 time=6ms TTL=64");
}

TEST_F(PingRun, RequestNumbersContinueAcrossRuns) {
    run(5);
    run(1);
    ASSERT_EQ(port.sent.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(identifier(port.sent[i]), i + 1);
        EXPECT_EQ(port.sent[i][6], port.sent[i][4]) << "sequence equals identifier";
    }
}

TEST_F(PingRun, ZeroCountStillHasHeaderAndEnd) {
    run(0);
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[0].first, 1);
    EXPECT_EQ(sink.lines[1].second, "done 1");
}

}  // namespace
