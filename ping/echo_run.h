// One ping run, independent of the socket interface: the port does the
// system calls, the sink receives the lines and the end of the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ping/ping_lines.h"
#include "ping/request_counter.h"

class EchoPort {
public:
    enum class Wait { Readable, TimedOut, Failed };

    virtual ~EchoPort() = default;
    // Each call returns false on failure; last_error() then gives the code.
    virtual bool open() = 0;
    // Resolves `host` and keeps the first address as the destination; gives
    // it back in dotted-decimal form.
    virtual bool resolve(const std::string& host, std::string& dotted) = 0;
    virtual bool send(const std::uint8_t* data, std::size_t size) = 0;
    virtual Wait wait_readable(std::uint32_t timeout_ms) = 0;
    // Receives one datagram (up to kReceiveSize bytes) and its source.
    virtual bool receive(std::vector<std::uint8_t>& datagram, std::string& source) = 0;
    virtual bool close() = 0;
    virtual long last_error() const = 0;
    virtual std::uint32_t tick() const = 0;
    virtual void sleep(std::uint32_t ms) = 0;
};

class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void line(LineKind kind, const std::string& text) = 0;
    // `resolved`: the host resolved and the echo loop ran.
    virtual void done(bool resolved) = 0;
};

constexpr std::uint32_t kReplyWaitMs = 1000;
constexpr std::uint32_t kPauseAfterReplyMs = 1000;

void run_echo(EchoPort& port, LineSink& sink, RequestCounter& counter, unsigned count, const std::string& host);
