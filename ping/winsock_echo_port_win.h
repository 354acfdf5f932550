// The echo engine's socket calls on Windows Sockets: a raw ICMP socket,
// host-name lookup and select(). Winsock's headers stay inside the .cpp so
// that callers may include the C library first.
#pragma once

#include <memory>

#include "ping/echo_run.h"

std::unique_ptr<EchoPort> make_winsock_echo_port();
