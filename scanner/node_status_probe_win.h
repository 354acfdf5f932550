// The datagram socket of the scanner: bound to local port 4321, sends the
// node-status query to port 137, and signals an event when answers wait to
// be read or room to send has come back.
#pragma once

#include <windows.h>

#include <vector>

#include "scanner/scan_range.h"

class NodeStatusProbe {
public:
    NodeStatusProbe();
    ~NodeStatusProbe();
    NodeStatusProbe(const NodeStatusProbe&) = delete;
    NodeStatusProbe& operator=(const NodeStatusProbe&) = delete;

    // Creates the socket, with room for a whole network's answers, and binds
    // it; false (and no socket) on failure.
    bool open();
    // Set when answers wait to be read or a full send buffer has room again;
    // never set without a socket.
    HANDLE ready() const { return ready_; }
    // The query to port 137 of `address`. False only when the stack has no
    // room for it now (queries to hosts still being resolved fill it): send
    // again once ready. Any other failure is not looked at.
    bool send(const Octets& address) const;

    struct Datagram {
        std::vector<unsigned char> bytes;
        Octets source{};
    };
    enum class Receive {
        Answer,   // one answer in `into`
        Dropped,  // a receive that failed on its own (too long, a port
                  // unreachable reported by the stack): read on
        Nothing,  // nothing more to read now
    };
    Receive receive(Datagram& into) const;
    // Drops whatever waits, such as late answers to an earlier scan.
    void discard_waiting() const;

private:
    // A SOCKET; Winsock's header stays out of this one, since under Winelib
    // it must come before any C library header.
    UINT_PTR socket_;
    HANDLE ready_;
};
