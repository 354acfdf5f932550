#include <winsock2.h>

#include "scanner/node_status_probe_win.h"

#include "scanner/node_status.h"

static_assert(sizeof(UINT_PTR) == sizeof(SOCKET), "the socket is kept as UINT_PTR");

namespace {

// A whole network answering at once must fit while the scan thread is busy
// with the window: 254 small answers filled Linux's default buffer to within
// two datagrams, and Windows' default is smaller still. Room for the answers
// of every address that may wait at once, however long.
constexpr int kReceiveBufferBytes = 1 << 20;

}  // namespace

NodeStatusProbe::NodeStatusProbe() : socket_(INVALID_SOCKET), ready_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

NodeStatusProbe::~NodeStatusProbe() {
    if (socket_ != INVALID_SOCKET)
        closesocket(socket_);
    if (ready_)
        CloseHandle(ready_);
}

bool NodeStatusProbe::open() {
    if (!ready_)
        return false;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kReplyPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    int receive_buffer = kReceiveBufferBytes;
    // The event also makes the socket non-blocking: neither a receive nor a
    // send ever waits.
    if (setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receive_buffer), sizeof receive_buffer) ==
            SOCKET_ERROR ||
        bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR ||
        WSAEventSelect(s, ready_, FD_READ | FD_WRITE) == SOCKET_ERROR) {
        closesocket(s);
        return false;
    }
    socket_ = s;
    return true;
}

bool NodeStatusProbe::send(const Octets& address) const {
    if (socket_ == INVALID_SOCKET)
        return true;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kNodeStatusPort);
    auto* bytes = reinterpret_cast<unsigned char*>(&to.sin_addr);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(address[static_cast<std::size_t>(i)]);
    const auto& request = node_status_request();
    int sent = sendto(socket_, reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0,
                      reinterpret_cast<sockaddr*>(&to), sizeof to);
    return sent != SOCKET_ERROR || WSAGetLastError() != WSAEWOULDBLOCK;
}

NodeStatusProbe::Receive NodeStatusProbe::receive(Datagram& into) const {
    if (socket_ == INVALID_SOCKET)
        return Receive::Nothing;
    // One byte more than is ever read: a longer datagram shows as too long
    // whether the stack truncates it or fails the receive.
    char buffer[kReplyBufferSize + 1];
    sockaddr_in from{};
    int from_length = sizeof from;
    int got = recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_length);
    if (got == SOCKET_ERROR) {
        switch (WSAGetLastError()) {
        case WSAEMSGSIZE:
        case WSAECONNRESET:
        case WSAENETRESET:
            return Receive::Dropped;
        default:
            return Receive::Nothing;  // WSAEWOULDBLOCK: read everything
        }
    }
    into.bytes.assign(buffer, buffer + got);
    const auto* a = reinterpret_cast<const unsigned char*>(&from.sin_addr);
    into.source = {a[0], a[1], a[2], a[3]};
    return Receive::Answer;
}

void NodeStatusProbe::discard_waiting() const {
    Datagram ignored;
    while (receive(ignored) != Receive::Nothing) {
    }
}
