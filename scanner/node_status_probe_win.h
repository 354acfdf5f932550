// The datagram socket of the scanner: bound to local port 4321, sends the
// node-status query to port 137, and reports arriving answers to a window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class NodeStatusProbe {
public:
    NodeStatusProbe();
    ~NodeStatusProbe();
    NodeStatusProbe(const NodeStatusProbe&) = delete;
    NodeStatusProbe& operator=(const NodeStatusProbe&) = delete;

    // Creates and binds the socket; false (and no socket) on failure.
    bool open();
    // Answers arrive as `message` to `window` on its thread.
    bool notify(HWND window, UINT message);
    // True for the notification that a datagram is waiting.
    static bool is_read_notification(LPARAM lp);
    // The query to port 137 of a dotted address; a failed send is not looked at.
    void send(const std::string& address) const;

    struct Datagram {
        std::vector<unsigned char> bytes;
        std::string source;  // empty when the receive failed
    };
    Datagram receive() const;

private:
    // A SOCKET; Winsock's header stays out of this one, since under Winelib
    // it must come before any C library header.
    UINT_PTR socket_;
};
