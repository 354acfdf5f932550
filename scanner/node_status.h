// NetBIOS node status: the fixed query every address gets, and the reading of
// an answer into one row of the result list.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace scanner {

constexpr int kNodeStatusPort = 137;
constexpr int kReplyPort = 4321;
// Answers are read from this size on; anything longer is a failed receive.
constexpr std::size_t kReplyBufferSize = 500;

// The 50-byte NBSTAT query for the wildcard name.
const std::array<unsigned char, 50>& node_status_request();

// The cells an answer fills; absent ones stay empty in the list.
struct NodeStatusRow {
    std::string address;
    std::string workgroup;
    std::string host;
    std::string mac;
};

// The walk over the answer from offset 57: names up to their first space,
// the first name as host, the first different one as workgroup, and the MAC
// from the hex text of the record before the first empty one.
NodeStatusRow read_node_status(const unsigned char* data, std::size_t length, const std::string& source);

// Remembers the source of the last handled answer for the whole process, so
// a host answering twice in a row is listed once.
class ReplyGate {
public:
    // `source` is empty when the receive failed. A datagram longer than the
    // receive buffer counts as failed. Returns the row to append, or nothing
    // when the answer is dropped (and the scan's wait is not ended).
    std::optional<NodeStatusRow> handle(const unsigned char* data, std::size_t length, const std::string& source);
    const std::string& last_reply_address() const { return last_; }

private:
    std::string last_;
};

}  // namespace scanner
