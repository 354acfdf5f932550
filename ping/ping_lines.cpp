#include "ping/ping_lines.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// printf into a string of whatever length the host text needs.
std::string format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pattern, again);
        text.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    return text;
}

}  // namespace

std::string host_not_found_line(const std::string& host) { return format("Host not found: %s", host.c_str()); }

std::string socket_error_line(const std::string& operation, long code) {
    return format("%s - WSAError: %ld", operation.c_str(), code);
}

std::string header_line(const std::string& host, const std::string& address, int bytes) {
    return format("Pinging %s [%s] with %d bytes of data:", host.c_str(), address.c_str(), bytes);
}

std::string reply_line(int number, const std::string& source, int bytes, long time_ms, int ttl) {
    return format("Reply[%d] from: %s: bytes=%d time=%ldms TTL=%d", number, source.c_str(), bytes, time_ms, ttl);
}

std::string timed_out_line() { return "Request Timed Out"; }

std::string unreachable_line(const std::string& source, int code) {
    static const char* const kReasons[] = {
        "Destination net unreachable.",
        "Destination host unreachable.",
        "Destination protocol unreachable.",
        "Destination port unreachable.",
        "Packet needs to be fragmented but DF set.",
    };
    const char* reason = code >= 0 && code < 5 ? kReasons[code] : "Destination unreachable.";
    return format("Reply from %s: %s", source.c_str(), reason);
}

std::string ttl_expired_line(const std::string& source, int code) {
    return format(
        "Reply from %s: %s", source.c_str(), code == 1 ? "TTL expired during reassembly." : "TTL expired in transit.");
}
