#include <winsock2.h>
#include <windows.h>

#include "ping/winsock_echo_port_win.h"

#include <cstring>

#include "ping/echo_packet.h"

namespace {

class WinsockEchoPort : public EchoPort {
public:
    WinsockEchoPort() = default;
    ~WinsockEchoPort() override;
    WinsockEchoPort(const WinsockEchoPort&) = delete;
    WinsockEchoPort& operator=(const WinsockEchoPort&) = delete;

    bool open() override;
    bool resolve(const std::string& host, std::string& dotted) override;
    bool send(const std::uint8_t* data, std::size_t size) override;
    Wait wait_readable(std::uint32_t timeout_ms) override;
    bool receive(std::vector<std::uint8_t>& datagram, std::string& source) override;
    bool close() override;
    long last_error() const override { return error_; }
    std::uint32_t tick() const override;
    void sleep(std::uint32_t ms) override;

private:
    bool failed();

    SOCKET socket_ = INVALID_SOCKET;
    sockaddr_in destination_{};
    long error_ = 0;
};

WinsockEchoPort::~WinsockEchoPort() {
    // A run always closes its socket; this covers a run cut short.
    if (socket_ != INVALID_SOCKET)
        closesocket(socket_);
}

bool WinsockEchoPort::failed() {
    error_ = WSAGetLastError();
    return false;
}

bool WinsockEchoPort::open() {
    socket_ = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    return socket_ != INVALID_SOCKET || failed();
}

bool WinsockEchoPort::resolve(const std::string& host, std::string& dotted) {
    // gethostbyname: a dotted address resolves to itself, the empty text to
    // this computer.
    const hostent* entry = gethostbyname(host.c_str());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list[0])
        return failed();
    destination_ = sockaddr_in{};
    destination_.sin_family = AF_INET;
    destination_.sin_port = 0;
    std::memcpy(&destination_.sin_addr, entry->h_addr_list[0], 4);
    dotted = inet_ntoa(destination_.sin_addr);
    return true;
}

bool WinsockEchoPort::send(const std::uint8_t* data, std::size_t size) {
    int sent = sendto(socket_, reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                      reinterpret_cast<const sockaddr*>(&destination_), sizeof destination_);
    return sent != SOCKET_ERROR || failed();
}

EchoPort::Wait WinsockEchoPort::wait_readable(std::uint32_t timeout_ms) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval timeout{};
    timeout.tv_sec = static_cast<decltype(timeout.tv_sec)>(timeout_ms / 1000);
    timeout.tv_usec = static_cast<decltype(timeout.tv_usec)>(timeout_ms % 1000 * 1000);
    int ready = select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == SOCKET_ERROR) {
        failed();
        return Wait::Failed;
    }
    return ready == 0 ? Wait::TimedOut : Wait::Readable;
}

bool WinsockEchoPort::receive(std::vector<std::uint8_t>& datagram, std::string& source) {
    char buffer[kReceiveSize];
    sockaddr_in from{};
    int from_size = sizeof from;
    int got = recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (got == SOCKET_ERROR)
        return failed();
    datagram.assign(buffer, buffer + got);
    source = inet_ntoa(from.sin_addr);
    return true;
}

bool WinsockEchoPort::close() {
    SOCKET s = socket_;
    socket_ = INVALID_SOCKET;
    return closesocket(s) != SOCKET_ERROR || failed();
}

std::uint32_t WinsockEchoPort::tick() const { return GetTickCount(); }

void WinsockEchoPort::sleep(std::uint32_t ms) { Sleep(ms); }

}  // namespace

std::unique_ptr<EchoPort> make_winsock_echo_port() { return std::make_unique<WinsockEchoPort>(); }
