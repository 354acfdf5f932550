#include <winsock2.h>

#include "scanner/node_status_probe_win.h"

#include "scanner/node_status.h"

static_assert(sizeof(UINT_PTR) == sizeof(SOCKET), "the socket is kept as UINT_PTR");

NodeStatusProbe::NodeStatusProbe() : socket_(INVALID_SOCKET) {}

bool NodeStatusProbe::is_read_notification(LPARAM lp) { return WSAGETSELECTEVENT(lp) == FD_READ; }

NodeStatusProbe::~NodeStatusProbe() {
    if (socket_ != INVALID_SOCKET)
        closesocket(socket_);
}

bool NodeStatusProbe::open() {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(scanner::kReplyPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        closesocket(s);
        return false;
    }
    socket_ = s;
    return true;
}

bool NodeStatusProbe::notify(HWND window, UINT message) {
    // Only reads do anything, but all six notifications are asked for.
    const long all = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
    return socket_ != INVALID_SOCKET && WSAAsyncSelect(socket_, window, message, all) == 0;
}

void NodeStatusProbe::send(const std::string& address) const {
    if (socket_ == INVALID_SOCKET)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(scanner::kNodeStatusPort);
    to.sin_addr.s_addr = inet_addr(address.c_str());
    const auto& request = scanner::node_status_request();
    sendto(socket_, reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0,
           reinterpret_cast<sockaddr*>(&to), sizeof to);
}

NodeStatusProbe::Datagram NodeStatusProbe::receive() const {
    Datagram d;
    if (socket_ == INVALID_SOCKET)
        return d;
    // One byte more than is ever read: a longer datagram shows as too long
    // whether the stack truncates it or fails the receive.
    char buffer[scanner::kReplyBufferSize + 1];
    sockaddr_in from{};
    int from_length = sizeof from;
    int got = recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_length);
    if (got == SOCKET_ERROR)
        return d;
    d.bytes.assign(buffer, buffer + got);
    d.source = inet_ntoa(from.sin_addr);
    return d;
}
