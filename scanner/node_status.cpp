#include "scanner/node_status.h"

#include <algorithm>

namespace {

// RFC 1002, 4.2.18: the number of names, then 18-byte entries (15 name
// bytes, suffix, two flag bytes), then the statistics block, which opens
// with the six-byte unit ID.
constexpr std::size_t kNameCountOffset = 56;
constexpr std::size_t kNameTableOffset = 57;
constexpr std::size_t kRecordSize = 18;
constexpr std::size_t kUnitIdSize = 6;
constexpr unsigned char kSpace = 0x20;

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

// Walks the records in [kNameTableOffset, end): a record's name is its bytes
// above 0x20 up to the first space (so a 15-byte name keeps suffix and flag
// bytes above 0x20), and a record with an empty name ends the table.
void read_names(const unsigned char* data, std::size_t end, NodeStatusRow& row) {
    std::string name;
    bool collecting = true;
    int names = 0;
    for (std::size_t i = kNameTableOffset; i < end; ++i) {
        unsigned char b = data[i];
        if (b == kSpace)
            collecting = false;
        else if (collecting && b > kSpace)
            name += static_cast<char>(b);
        if ((i - kNameTableOffset + 1) % kRecordSize != 0)
            continue;
        collecting = true;
        if (name.empty())
            return;
        if (names == 0) {
            row.host = name;
            names = 1;
        } else if (names == 1 && name != row.host) {
            row.workgroup = name;
            names = 2;
        }
        name.clear();
    }
}

std::string unit_id_text(const unsigned char* data, std::size_t end, std::size_t at) {
    std::string text;
    if (at > end || end - at < kUnitIdSize)
        return text;
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < kUnitIdSize; ++i) {
        if (i > 0)
            text += '.';
        text += kHex[data[at + i] >> 4];
        text += kHex[data[at + i] & 0x0F];
    }
    return text;
}

}  // namespace

const std::array<unsigned char, 50>& node_status_request() {
    static const std::array<unsigned char, 50> request = make_request();
    return request;
}

NodeStatusRow read_node_status(const unsigned char* data, std::size_t length, const std::string& source) {
    NodeStatusRow row;
    row.address = source;
    std::size_t end = std::min(length, kReplyBufferSize);
    if (end <= kNameCountOffset)
        return row;
    std::size_t table_end = kNameTableOffset + data[kNameCountOffset] * kRecordSize;
    // A count that claims more than arrived leaves the names to the
    // datagram's end and no unit ID.
    read_names(data, std::min(end, table_end), row);
    row.mac = unit_id_text(data, end, table_end);
    return row;
}
