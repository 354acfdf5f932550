// The text lines of a ping run and their kinds (the kind is also the image
// of the line in the result list).
#pragma once

#include <string>

enum LineKind : int {
    kErrorLine = 0,
    kHeaderLine = 1,
    kReplyLine = 2,
    kTimeoutLine = 3,
};
// Image of the empty row that separates runs.
constexpr int kSeparatorImage = 4;

std::string host_not_found_line(const std::string& host);
// `operation` as the call is named, e.g. "sendto()"; `code` the socket error.
std::string socket_error_line(const std::string& operation, long code);
std::string header_line(const std::string& host, const std::string& address, int bytes);
std::string reply_line(int number, const std::string& source, int bytes, long time_ms, int ttl);
std::string timed_out_line();
// An ICMP error about one of our requests, from `source` (the router or
// host that sent it), by its code.
std::string unreachable_line(const std::string& source, int code);
std::string ttl_expired_line(const std::string& source, int code);
