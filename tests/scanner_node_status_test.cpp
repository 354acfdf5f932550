// The node-status query bytes and the reading of answers built by hand the
// way nmbd and Windows lay them out, plus the odd shapes the walk meets.
#include <gtest/gtest.h>

#include <vector>

#include "scanner/node_status.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The 57 bytes before the name table: header, echoed name, type, class,
// TTL, length, and the number of names, which places the unit ID.
Bytes header(unsigned char names) {
    Bytes b(57, 0x00);
    b[2] = 0x84;
    b[12] = 0x20;
    for (int i = 13; i < 45; ++i)
        b[i] = 'A';
    b[56] = names;
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
    Bytes b = header(3);
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
    Bytes b = header(4);
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

// The unit ID lies right after the number of entries the answer announces,
// whatever its bytes look like: nmbd's zeros, 0xCC, spaces.
TEST(NodeStatusReply, MacIsTheUnitIdAfterTheAnnouncedNameTable) {
    struct Case {
        Bytes unit_id;
        const char* mac;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0}, "00.00.00.00.00.00"},
        {{0x00, 0x50, 0xcc, 0x01, 0x02, 0x03}, "00.50.cc.01.02.03"},
        {{0x00, 0x50, 0x20, 0xab, 0xcd, 0xef}, "00.50.20.ab.cd.ef"},
        {{0x80, 0x90, 0xa0, 0xb0, 0xc0, 0xd0}, "80.90.a0.b0.c0.d0"},
    };
    for (const auto& c : cases) {
        Bytes b = header(2);
        add_name(b, "PC1");
        add_name(b, "WG", 0x00, 0x84);
        add_statistics(b, c.unit_id);
        NodeStatusRow row = read(b);
        EXPECT_EQ(row.mac, c.mac);
        EXPECT_EQ(row.host, "PC1");
        EXPECT_EQ(row.workgroup, "WG");
    }
}

TEST(NodeStatusReply, UnitIdOffsetFollowsTheNameCount) {
    // No names: the unit ID opens the data at 57.
    Bytes none = header(0);
    add_statistics(none, kMac);
    NodeStatusRow empty = read(none);
    EXPECT_EQ(empty.mac, "00.0c.29.ab.cd.ef");
    EXPECT_EQ(empty.host, "");

    // One name only: the statistics block is not read as a workgroup.
    Bytes one = header(1);
    add_name(one, "PC1");
    add_statistics(one, kMac);
    NodeStatusRow row = read(one);
    EXPECT_EQ(row.host, "PC1");
    EXPECT_EQ(row.workgroup, "");
    EXPECT_EQ(row.mac, "00.0c.29.ab.cd.ef");

    // Twenty entries: the unit ID at 57 + 360.
    Bytes many = header(20);
    for (int i = 0; i < 20; ++i)
        add_name(many, i == 0 ? "PC1" : "NAME" + std::to_string(i));
    add_statistics(many, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(read(many).mac, "01.02.03.04.05.06");
}

TEST(NodeStatusReply, AnswerTooShortForTheUnitIdLeavesTheMacEmpty) {
    Bytes b = standard_answer();
    const std::size_t unit_id_end = 57 + 3 * 18 + 6;
    EXPECT_EQ(read_node_status(b.data(), unit_id_end, "a").mac, "00.0c.29.ab.cd.ef");
    NodeStatusRow cut = read_node_status(b.data(), unit_id_end - 1, "a");
    EXPECT_EQ(cut.mac, "");
    EXPECT_EQ(cut.workgroup, "WORKGROUP");

    // A count that claims more entries than arrived: names up to the end of
    // the datagram, no MAC.
    Bytes claims = standard_answer();
    claims[56] = 200;
    NodeStatusRow row = read(claims);
    EXPECT_EQ(row.host, "PC1");
    EXPECT_EQ(row.workgroup, "WORKGROUP");
    EXPECT_EQ(row.mac, "");
}

TEST(NodeStatusReply, ShortDatagramsGiveOnlyTheAddress) {
    Bytes b = standard_answer();
    for (std::size_t length : {0u, 10u, 56u, 57u}) {
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

TEST(NodeStatusReply, NamesKeepEveryByteAboveSpace) {
    // 0xCC is a common GBK byte (田 is CC EF): it is part of the name.
    Bytes b = header(2);
    add_name(b, "\xcc\xef\xbb\xfa");                      // 田机
    add_name(b, "\xb9\xa4\xd7\xf7\xd7\xe9", 0x00, 0x84);  // 工作组
    add_statistics(b, kMac);
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.host, "\xcc\xef\xbb\xfa");
    EXPECT_EQ(row.workgroup, "\xb9\xa4\xd7\xf7\xd7\xe9");
}

TEST(NodeStatusReply, FullLengthNamesTakeSuffixAndFlagBytesAboveSpace) {
    Bytes b = header(2);
    add_name(b, "ABCDEFGHIJKLMNO", 0x41, 0x84);  // suffix 'A', group flag 0x84
    add_name(b, "WORKGROUPNAME15", 0x00, 0x84);
    add_statistics(b, kMac);
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.host, "ABCDEFGHIJKLMNOA\x84");
    EXPECT_EQ(row.workgroup, "WORKGROUPNAME15\x84");
    EXPECT_EQ(row.mac, "00.0c.29.ab.cd.ef");
}

TEST(NodeStatusReply, FirstNameBeginningWithSpaceEndsTheNames) {
    Bytes b = header(2);
    add_name(b, " PC1");
    add_name(b, "WORKGROUP", 0x00, 0x84);
    add_statistics(b, kMac);
    NodeStatusRow row = read(b);
    EXPECT_EQ(row.address, "10.0.0.5");
    EXPECT_EQ(row.host, "");
    EXPECT_EQ(row.workgroup, "");
    EXPECT_EQ(row.mac, "00.0c.29.ab.cd.ef");
}

TEST(NodeStatusReply, NothingFromOffset500OnIsRead) {
    // 25 entries end at 57 + 450 = 507: the table is cut by the buffer, and
    // the unit ID lies beyond it.
    Bytes b = header(25);
    add_name(b, "PC1");
    for (int i = 0; i < 24; ++i)
        add_name(b, "WORKGROUP", 0x00, 0x84);
    add_statistics(b, kMac);
    NodeStatusRow row = read_node_status(b.data(), b.size(), "10.0.0.5");
    EXPECT_EQ(row.workgroup, "WORKGROUP");
    EXPECT_EQ(row.mac, "");
}
