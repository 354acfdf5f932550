// NetBIOS node status: the fixed query every address gets, and the reading of
// an answer into one row of the result list.
#pragma once

#include <array>
#include <cstddef>
#include <string>

constexpr int kNodeStatusPort = 137;
constexpr int kReplyPort = 4321;
// Answers are read from this size on; anything longer is a failed receive.
constexpr std::size_t kReplyBufferSize = 500;

// The 50-byte NBSTAT query for the wildcard name.
const std::array<unsigned char, 50>& node_status_request();

// The cells an answer fills, as the answer's own GBK bytes; absent ones stay
// empty in the list.
struct NodeStatusRow {
    std::string address;
    std::string workgroup;
    std::string host;
    std::string mac;
};

// Names from the name table, each up to its first space: the first as host,
// the first different one as workgroup. The MAC is the unit ID that follows
// the table, as six lower-case hex pairs joined by full stops; empty when the
// answer is too short to hold it.
NodeStatusRow read_node_status(const unsigned char* data, std::size_t length, const std::string& source);
