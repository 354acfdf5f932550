#include "ping/echo_run.h"

#include "ping/echo_packet.h"

namespace {

class Run {
public:
    Run(EchoPort& port, LineSink& sink, RequestCounter& counter) : port_(port), sink_(sink), counter_(counter) {}

    void go(unsigned count, const std::string& host) {
        if (!port_.open()) {
            error("socket()");
            sink_.done(false);
            return;
        }
        std::string address;
        if (!port_.resolve(host, address)) {
            sink_.line(kErrorLine, host_not_found_line(host));
            sink_.done(false);
            close();
            return;
        }
        sink_.line(kHeaderLine, header_line(host, address, kEchoDataSize));
        for (unsigned i = 0; i < count; ++i) {
            if (!attempt(static_cast<int>(i) + 1))
                break;
        }
        sink_.done(true);
        close();
    }

private:
    // False when the wait failed and the run must stop.
    bool attempt(int number) {
        std::uint32_t sent = port_.tick();
        auto n = counter_.next();
        current_ = static_cast<std::uint16_t>(n);
        if (number == 1)
            first_ = current_;
        EchoRequest request = build_echo_request(n, sent);
        if (!port_.send(request.data(), request.size()))
            error("sendto()");
        std::vector<std::uint8_t> datagram;
        std::string source;
        // Everything but an answer to this run is skipped within the same
        // one-second wait.
        for (;;) {
            std::uint32_t waited = port_.tick() - sent;
            if (waited >= kReplyWaitMs) {
                sink_.line(kTimeoutLine, timed_out_line());
                return true;
            }
            EchoPort::Wait wait = port_.wait_readable(kReplyWaitMs - waited);
            if (wait == EchoPort::Wait::Failed) {
                error("select()");
                return false;
            }
            if (wait == EchoPort::Wait::TimedOut) {
                sink_.line(kTimeoutLine, timed_out_line());
                return true;
            }
            datagram.clear();
            if (!port_.receive(datagram, source)) {
                error("recvfrom()");
                break;
            }
            if (answered(number, sent, datagram, source))
                break;
        }
        port_.sleep(kPauseAfterReplyMs);
        return true;
    }

    // Shows what `datagram` says about this run; true when it answers the
    // request of this attempt. A reply to an earlier attempt came after its
    // time-out and is dropped; an error about one is still worth its line
    // (an unreachable host is reported only after address resolution gives
    // up, seconds later).
    bool answered(int number, std::uint32_t sent, const std::vector<std::uint8_t>& datagram,
                  const std::string& source) {
        IcmpAnswer answer = read_icmp_answer(datagram.data(), datagram.size());
        bool current = answer.number == current_;
        if (answer.kind == IcmpAnswer::Other || !of_this_run(answer.number))
            return false;
        switch (answer.kind) {
        case IcmpAnswer::EchoReply:
            if (current) {
                EchoAnswer echo = read_answer(datagram.data(), datagram.size(), port_.tick(), sent);
                sink_.line(kReplyLine, reply_line(number, source, kEchoDataSize, echo.elapsed_ms, echo.ttl));
            }
            return current;
        case IcmpAnswer::Unreachable:
            sink_.line(kErrorLine, unreachable_line(source, answer.code));
            return current;
        case IcmpAnswer::TimeExceeded:
            sink_.line(kErrorLine, ttl_expired_line(source, answer.code));
            return current;
        case IcmpAnswer::Other:
            break;
        }
        return false;
    }

    // Request numbers travel as their low 16 bits, and may wrap within a run.
    bool of_this_run(std::uint16_t n) const {
        return static_cast<std::uint16_t>(n - first_) <= static_cast<std::uint16_t>(current_ - first_);
    }

    void error(const char* operation) { sink_.line(kErrorLine, socket_error_line(operation, port_.last_error())); }

    void close() {
        if (!port_.close())
            error("closesocket()");
    }

    EchoPort& port_;
    LineSink& sink_;
    RequestCounter& counter_;
    std::uint16_t first_ = 0;    // this run's first request
    std::uint16_t current_ = 0;  // the request of the attempt under way
};

}  // namespace

void run_echo(EchoPort& port, LineSink& sink, RequestCounter& counter, unsigned count, const std::string& host) {
    Run(port, sink, counter).go(count, host);
}
