// The node-status query bytes and the reading of answers built by hand the
// way nmbd and Windows lay them out, plus the odd shapes the walk meets.
#include <gtest/gtest.h>

#include <vector>

#include "scanner/node_status.h"

using scanner::node_status_request;
using scanner::NodeStatusRow;
using scanner::read_node_status;
using scanner::ReplyGate;

namespace {

using Bytes = std::vector<unsigned char>;

// The 57 bytes before the name table: header, echoed name, type, class,
// TTL, length, number of names. Never read, so any bytes but 0xCC do.
Bytes header() {
    Bytes b(57, 0x00);
    b[2] = 0x84;
    b[12] = 0x20;
    for (int i = 13; i < 45; ++i)
        b[i] = 'A';
    b[56] = 3;
    return b;
}

// One name-table entry: the name padded with spaces to 15 bytes (longer
// names are cut), then suffix and two flag bytes.
void add_name(Bytes& b, const std::string& name, unsigned char suffix = 0x00, unsigned char flags = 0x04) {
    std::string field = name.substr(0, 15);
    field.resize(15, ' ');
    b.insert(b.end(), field.begin(), field.end());
    b.push_back(suffix);
    b.push_back(flags);
    b.push_back(0x00);
}

// Unit ID then the rest of the statistics block (zeros).
void add_statistics(Bytes& b, const Bytes& unit_id) {
    b.insert(b.end(), unit_id.begin(), unit_id.end());
    b.insert(b.end(), 46 - unit_id.size(), 0x00);
}

const Bytes kMac = {0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef};

Bytes standard_answer() {
    Bytes b = header();
    add_name(b, "PC1", 0x00, 0x04);
    add_name(b, "WORKGROUP", 0x00, 0x84);
    add_name(b, "PC1", 0x20, 0x04);
    add_statistics(b, kMac);
    return b;
}

NodeStatusRow read(const Bytes& b) { return read_node_status(b.data(), b.size(), "10.0.0.5"); }

}  // namespace

TEST(NodeStatusRequest, IsTheWildcardNbstatQuery) {
    const auto& r = node_status_request();
    const unsigned char fixed[13] = {0x00, 0x00, 0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20};
    EXPECT_TRUE(std::equal(fixed, fixed + 13, r.begin()));
    EXPECT_EQ(std::string(r.begin() + 13, r.begin() + 45), "CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
    const unsigned char tail[5] = {0x00, 0x00, 0x21, 0x00, 0x01};
    EXPECT_TRUE(std::equal(tail, tail + 5, r.begin() + 45));
}

TEST(NodeStatusReply, StandardAnswerGivesHostWorkgroupAndMac) {
    NodeStatusRow row = read(standard_answer());
    EXPECT_EQ(row.address, "10.0.0.5");
    EXPECT_EQ(row.host, "PC1");
    EXPECT_EQ(row.workgroup, "WORKGROUP");
    EXPECT_EQ(row.mac, "00.0c.29.ab.cd.ef");
}

TEST(NodeStatusReply, WorkgroupIsTheFirstDifferentNameWhateverItsSuffix) {
    Bytes b = header();
    add_name(b, "PC1", 0x00);
    add_name(b, "PC1", 0x20);
    add_name(b, "OFFICE", 0x1e, 0x84);
    add_name(b, "LATER", 0x00, 0x84);
    add_statistics(b, kMac);
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.host, "PC1");
    EXPECT_EQ(row.workgroup, "OFFICE");
    EXPECT_EQ(row.mac, "00.0c.29.ab.cd.ef");
}

TEST(NodeStatusReply, ShortDatagramsGiveOnlyTheAddress) {
    Bytes b = standard_answer();
    for (std::size_t length : {0u, 10u, 57u}) {
        NodeStatusRow row = read_node_status(b.data(), length, "10.0.0.5");
        EXPECT_EQ(row.address, "10.0.0.5");
        EXPECT_EQ(row.host, "") << length;
        EXPECT_EQ(row.workgroup, "");
        EXPECT_EQ(row.mac, "");
    }
    // A name table cut inside its second entry: the host only.
    NodeStatusRow cut = read_node_status(b.data(), 57 + 18 + 5, "10.0.0.5");
    EXPECT_EQ(cut.host, "PC1");
    EXPECT_EQ(cut.workgroup, "");
    EXPECT_EQ(cut.mac, "");
}

TEST(NodeStatusReply, ByteCCEndsTheWalk) {
    Bytes b = header();
    add_name(b, "PC1");
    add_name(b, "WORKGROUP", 0x00, 0x84);
    add_statistics(b, {0x00, 0x50, 0xcc, 0x01, 0x02, 0x03});
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.host, "PC1");
    EXPECT_EQ(row.workgroup, "WORKGROUP");
    EXPECT_EQ(row.mac, "") << "a MAC holding 0xCC is not shown";

    Bytes early = header();
    add_name(early, "PC\xcc");
    add_name(early, "WORKGROUP", 0x00, 0x84);
    add_statistics(early, kMac);
    NodeStatusRow none = read(early);
    EXPECT_EQ(none.host, "") << "the first record is never completed";
    EXPECT_EQ(none.workgroup, "");
}

TEST(NodeStatusReply, AllZeroUnitIdShowsTheLastNameEntrysHex) {
    Bytes b = header();
    add_name(b, "PC1", 0x00, 0x04);
    add_name(b, "WG", 0x00, 0x84);
    add_statistics(b, {0, 0, 0, 0, 0, 0});
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.workgroup, "WG");
    // "WG" hexed, then the space stops the record's hex text.
    EXPECT_EQ(row.mac, "57.47.");
}

TEST(NodeStatusReply, SpaceInsideUnitIdStopsItsHexText) {
    Bytes b = header();
    add_name(b, "PC1");
    add_name(b, "WORKGROUP", 0x00, 0x84);
    add_statistics(b, {0x00, 0x50, 0x20, 0xab, 0xcd, 0xef});
    EXPECT_EQ(read(b).mac, "00.50.");
}

TEST(NodeStatusReply, FullLengthNamesTakeSuffixAndFlagBytesAboveSpace) {
    Bytes b = header();
    add_name(b, "ABCDEFGHIJKLMNO", 0x41, 0x84);  // suffix 'A', group flag 0x84
    add_name(b, "WORKGROUPNAME15", 0x00, 0x84);
    add_statistics(b, kMac);
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.host, "ABCDEFGHIJKLMNOA\x84");
    EXPECT_EQ(row.workgroup, "WORKGROUPNAME15\x84");
    EXPECT_EQ(row.mac, "00.0c.29.ab.cd.ef");
}

TEST(NodeStatusReply, FirstNameBeginningWithSpaceFillsNothing) {
    Bytes b = header();
    add_name(b, " PC1");
    add_name(b, "WORKGROUP", 0x00, 0x84);
    add_statistics(b, kMac);
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.address, "10.0.0.5");
    EXPECT_EQ(row.host, "");
    EXPECT_EQ(row.workgroup, "");
    EXPECT_EQ(row.mac, "");
}

TEST(NodeStatusReply, HighBytesAreCarriedOver) {
    Bytes b = header();
    add_name(b, "\xd6\xf7\xbb\xfa");                      // 主机 in GBK
    add_name(b, "\xb9\xa4\xd7\xf7\xd7\xe9", 0x00, 0x84);  // 工作组
    add_statistics(b, {0x80, 0x90, 0xa0, 0xb0, 0xc0, 0xd0});
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.host, "\xd6\xf7\xbb\xfa");
    EXPECT_EQ(row.workgroup, "\xb9\xa4\xd7\xf7\xd7\xe9");
    EXPECT_EQ(row.mac, "80.90.a0.b0.c0.d0");
}

TEST(NodeStatusReply, NothingFromOffset500OnIsRead) {
    // 24 full records of a repeated name end at 57 + 432 = 489; a record
    // that would end with an empty name only after 500 is never completed.
    Bytes b = header();
    add_name(b, "PC1");
    for (int i = 0; i < 23; ++i)
        add_name(b, "WORKGROUP", 0x00, 0x84);
    b.insert(b.end(), 100, 0x00);
    NodeStatusRow row = read_node_status(b.data(), b.size(), "10.0.0.5");
    EXPECT_EQ(row.workgroup, "WORKGROUP");
    EXPECT_EQ(row.mac, "");
}

TEST(ReplyGate, SameHostTwiceInARowGivesOneRow) {
    Bytes b = standard_answer();
    ReplyGate gate;
    EXPECT_TRUE(gate.handle(b.data(), b.size(), "10.0.0.2"));
    EXPECT_FALSE(gate.handle(b.data(), b.size(), "10.0.0.2"));
    auto other = gate.handle(b.data(), b.size(), "10.0.0.3");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->address, "10.0.0.3");
    EXPECT_TRUE(gate.handle(b.data(), b.size(), "10.0.0.2")) << "a host listed before is listed again";
    EXPECT_EQ(gate.last_reply_address(), "10.0.0.2");
}

TEST(ReplyGate, FailedAndOverlongReceivesAreDroppedWithoutForgetting) {
    Bytes b = standard_answer();
    ReplyGate gate;
    ASSERT_TRUE(gate.handle(b.data(), b.size(), "10.0.0.2"));
    EXPECT_FALSE(gate.handle(b.data(), b.size(), ""));
    Bytes big(501, 0x41);
    EXPECT_FALSE(gate.handle(big.data(), big.size(), "10.0.0.9"));
    EXPECT_EQ(gate.last_reply_address(), "10.0.0.2");
    EXPECT_TRUE(gate.handle(big.data(), 500, "10.0.0.9")) << "exactly 500 bytes is a good receive";
    EXPECT_TRUE(gate.handle(b.data(), 0, "10.0.0.2")) << "an empty datagram still counts as an answer";
}
