#include "ping/echo_run.h"

#include "ping/echo_packet.h"

namespace ping {

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
        EchoRequest request = build_echo_request(counter_.next(), sent);
        if (!port_.send(request.data(), request.size()))
            error("sendto()");
        std::vector<std::uint8_t> datagram;
        std::string source;
        // Our own requests to a local address come back to a raw socket on
        // some systems; they are skipped within the same one-second wait.
        for (;;) {
            std::uint32_t waited = port_.tick() - sent;
            if (waited >= kReplyWaitMs) {
                sink_.line(kTimeoutLine, timed_out_line());
                return true;
            }
            EchoPort::Wait wait = port_.wait_readable(kReplyWaitMs - waited);
            if (wait == EchoPort::Wait::failed) {
                error("select()");
                return false;
            }
            if (wait == EchoPort::Wait::timed_out) {
                sink_.line(kTimeoutLine, timed_out_line());
                return true;
            }
            datagram.clear();
            if (!port_.receive(datagram, source)) {
                error("recvfrom()");
                break;
            }
            if (!is_echo_request(datagram.data(), datagram.size())) {
                EchoAnswer answer = read_answer(datagram.data(), datagram.size(), port_.tick(), sent);
                sink_.line(kReplyLine, reply_line(number, source, kEchoDataSize, answer.elapsed_ms, answer.ttl));
                break;
            }
        }
        port_.sleep(kPauseAfterReplyMs);
        return true;
    }

    void error(const char* operation) { sink_.line(kErrorLine, socket_error_line(operation, port_.last_error())); }

    void close() {
        if (!port_.close())
            error("closesocket()");
    }

    EchoPort& port_;
    LineSink& sink_;
    RequestCounter& counter_;
};

}  // namespace

void run_echo(EchoPort& port, LineSink& sink, RequestCounter& counter, unsigned count, const std::string& host) {
    Run(port, sink, counter).go(count, host);
}

}  // namespace ping
