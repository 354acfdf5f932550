#include "scanner/node_status.h"

#include <cstdio>

namespace scanner {

namespace {

constexpr std::size_t kNameTableOffset = 57;
constexpr int kRecordSize = 18;
constexpr unsigned char kEndMark = 0xCC;
constexpr unsigned char kSpace = 0x20;
constexpr std::size_t kMacTextLength = 17;  // "00.0c.29.ab.cd.ef"

std::array<unsigned char, 50> make_request() {
    std::array<unsigned char, 50> r{};
    r[3] = 0x10;  // flags: broadcast bit only
    r[5] = 0x01;  // one question
    r[12] = 0x20;
    // "*" and 15 NULs, first-level encoded: 0x2A -> "CK", 0x00 -> "AA".
    r[13] = 'C';
    r[14] = 'K';
    for (std::size_t i = 15; i < 45; ++i)
        r[i] = 'A';
    r[45] = 0x00;
    r[47] = 0x21;  // NBSTAT
    r[49] = 0x01;  // IN
    return r;
}

void append_hex(std::string& hex, unsigned char b) {
    char text[4];
    std::snprintf(text, sizeof text, "%02x.", b);
    hex += text;
}

}  // namespace

const std::array<unsigned char, 50>& node_status_request() {
    static const std::array<unsigned char, 50> request = make_request();
    return request;
}

NodeStatusRow read_node_status(const unsigned char* data, std::size_t length, const std::string& source) {
    NodeStatusRow row;
    row.address = source;
    std::string name, hex, previous_hex, first_name;
    bool collecting = true;
    int names = 0;
    int k = 0;
    for (std::size_t i = kNameTableOffset; i < kReplyBufferSize && i < length; ++i) {
        unsigned char b = data[i];
        if (b == kEndMark)
            break;
        if (b == kSpace) {
            collecting = false;
        } else if (collecting) {
            if (b > kSpace)
                name += static_cast<char>(b);
            append_hex(hex, b);
        }
        if (++k % kRecordSize != 0)
            continue;
        collecting = true;
        if (name.empty()) {
            row.mac = previous_hex.substr(0, kMacTextLength);
            break;
        }
        if (names == 0) {
            row.host = name;
            first_name = name;
            names = 1;
        } else if (names == 1 && name != first_name) {
            row.workgroup = name;
            names = 2;
        }
        previous_hex = hex;
        name.clear();
        hex.clear();
    }
    return row;
}

std::optional<NodeStatusRow> ReplyGate::handle(const unsigned char* data, std::size_t length,
                                               const std::string& source) {
    if (source.empty() || length > kReplyBufferSize || source == last_)
        return std::nullopt;
    last_ = source;
    return read_node_status(data, length, source);
}

}  // namespace scanner
