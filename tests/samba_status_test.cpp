// The status report of a real smbd (captured with `smbstatus --json
// --resolve-uids` while two users held four opens) and the JSON beneath it.
#include <gtest/gtest.h>

#include "netmgmt/json_reader.h"
#include "netmgmt/samba_status.h"
#include "support/samba_data.h"

using namespace netmgmt::samba;

namespace {

const Open* open_at(const Status& s, const std::string& path, const std::string& user) {
    for (const auto& o : s.opens)
        if (o.path == path && o.user == user)
            return &o;
    return nullptr;
}

}  // namespace

TEST(SambaStatusReport, CapturedReportGivesEverySessionTreeConnectAndOpen) {
    const Status s = parse_status_report(read_data("status_four_opens.json"));
    EXPECT_EQ(s.version, "4.17.12-Debian");
    EXPECT_EQ(s.taken_at, *parse_timestamp("2026-12-07T19:57:28+00:00"));
    ASSERT_EQ(s.sessions.size(), 4u);
    ASSERT_EQ(s.tree_connects.size(), 4u);
    ASSERT_EQ(s.opens.size(), 4u);

    const Session& first = s.sessions[0];
    EXPECT_EQ(first.session_id, "255392176");
    EXPECT_EQ(first.user, "daemon");
    EXPECT_EQ(first.uid, 1u);
    EXPECT_EQ(first.remote_machine, "127.0.0.1");
    EXPECT_EQ(first.process.pid, 12292u);
    EXPECT_NE(first.process.unique_id, 0u);

    // Two opens of one file by two users stay two opens.
    const Open* reader = open_at(s, "/tmp/filvcap/shares/docs/a.txt", "daemon");
    const Open* writer = open_at(s, "/tmp/filvcap/shares/docs/a.txt", "bin");
    ASSERT_TRUE(reader && writer);
    EXPECT_EQ(reader->access_mask, 0x00120089u);
    EXPECT_EQ(writer->access_mask, 0x0012019fu);
    EXPECT_EQ(writer->process.pid, 12291u);
    EXPECT_EQ(writer->share_file_id, 5u);
    EXPECT_TRUE(open_at(s, u8"/tmp/filvcap/shares/公共/读我.txt", "daemon"));
    EXPECT_TRUE(open_at(s, u8"/tmp/filvcap/shares/docs/新建 文件.txt", "bin"));

    const TreeConnect& tc = s.tree_connects[3];
    EXPECT_EQ(tc.service, u8"公共");
    EXPECT_EQ(tc.session_id, "255392176");
    EXPECT_EQ(tc.connected_at, *parse_timestamp("2026-12-07T19:57:26Z"));
}

TEST(SambaStatusReport, IdleServerAndMissingSectionsGiveEmptyLists) {
    const Status idle = parse_status_report(read_data("status_idle.json"));
    EXPECT_TRUE(idle.sessions.empty() && idle.tree_connects.empty() && idle.opens.empty());
    const Status bare = parse_status_report(R"({"timestamp": "2026-01-01T00:00:00+0000"})");
    EXPECT_TRUE(bare.sessions.empty());
    EXPECT_EQ(bare.taken_at, 1767225600);
}

TEST(SambaStatusReport, DirectoryOpenedAtShareRootIsTheSharePath) {
    const Status s = parse_status_report(R"({"timestamp": "2026-01-01T00:00:00+0000", "open_files": {
        "/srv/a/.": {"service_path": "/srv/a", "filename": ".", "opens": {"9/1": {
            "server_id": {"pid": "9", "unique_id": "1"}, "uid": 0, "share_file_id": "1",
            "access_mask": {"hex": "0x00100081"}}}},
        "/srv/a/sub/x": {"service_path": "/srv/a", "filename": "sub/x", "opens": {"9/2": {
            "server_id": {"pid": "9", "unique_id": "1"}, "uid": 0, "share_file_id": "2",
            "access_mask": {"hex": "0x00000004"}}}}}})");
    ASSERT_EQ(s.opens.size(), 2u);
    EXPECT_EQ(s.opens[0].path, "/srv/a");
    EXPECT_EQ(s.opens[1].path, "/srv/a/sub/x");
    EXPECT_EQ(s.opens[1].access_mask, 4u);
    EXPECT_EQ(s.opens[0].user, "") << "unresolved uid: left to the records";
}

TEST(SambaStatusReport, RejectsWhatIsNotAReport) {
    EXPECT_THROW(parse_status_report(""), StatusFormatError);
    EXPECT_THROW(parse_status_report("smbd is not running\n"), StatusFormatError);
    EXPECT_THROW(parse_status_report("[1, 2]"), StatusFormatError);
    EXPECT_THROW(parse_status_report(R"({"sessions": {}})"), StatusFormatError) << "no timestamp";
    EXPECT_THROW(parse_status_report(R"({"timestamp": "2026-01-01T00:00:00Z", "sessions": []})"), StatusFormatError);
    EXPECT_THROW(parse_status_report(R"({"timestamp": "2026-01-01T00:00:00Z", "open_files": {"/x": {"opens":
        {"1/1": {"access_mask": {"hex": "0xZZ"}}}}}})"),
                 StatusFormatError);
    const std::string full = read_data("status_four_opens.json");
    EXPECT_THROW(parse_status_report(full.substr(0, full.size() / 2)), StatusFormatError) << "cut short";
}

TEST(SambaTimestamp, ReadsSambaFormsAndRefusesOthers) {
    EXPECT_EQ(parse_timestamp("1970-01-01T00:00:00+00:00"), 0);
    EXPECT_EQ(parse_timestamp("1970-01-01T00:00:00.999999+0000"), 0) << "fractions are dropped";
    EXPECT_EQ(parse_timestamp("1970-01-01T08:00:00+08:00"), 0);
    EXPECT_EQ(parse_timestamp("1969-12-31T23:00:00-0100"), 0);
    EXPECT_EQ(parse_timestamp("2024-02-29T12:00:00Z"), 1709208000) << "leap day";
    EXPECT_EQ(parse_timestamp("2000-03-01T00:00:00Z"), 951868800);
    EXPECT_FALSE(parse_timestamp(""));
    EXPECT_FALSE(parse_timestamp("2026-13-01T00:00:00Z"));
    EXPECT_FALSE(parse_timestamp("2026-01-01 00:00:00Z"));
    EXPECT_FALSE(parse_timestamp("2026-01-01T00:00:00+0"));
    EXPECT_FALSE(parse_timestamp("2026-01-01T00:00:00Zjunk"));
}

TEST(SambaJson, DecodesEscapesAndKeepsUtf8) {
    const json::Value v = json::parse(
        u8R"({"a": "x\"\\\/\n\u4e2d\ud83d\ude00\ud800z", "b": [true, false, null, -1.5e3],
        "c": {}, "n": 18446744073709551615, "big": "18446744073709551616", "neg": -1, "t": "é"})");
    EXPECT_EQ(json::text_of(v, "a"), "x\"\\/\n\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBDz");
    ASSERT_EQ(v.find("b")->elements().size(), 4u);
    EXPECT_TRUE(v.find("b")->elements()[0].boolean());
    EXPECT_FALSE(v.find("b")->elements()[1].boolean());
    EXPECT_EQ(v.find("b")->elements()[3].text(), "-1.5e3");
    EXPECT_TRUE(v.find("c")->is_object());
    EXPECT_EQ(json::unsigned_of(v, "n"), 18446744073709551615ull);
    EXPECT_EQ(json::unsigned_of(v, "big", 7), 7u) << "overflow falls back";
    EXPECT_EQ(json::unsigned_of(v, "neg", 7), 7u);
    EXPECT_EQ(json::unsigned_of(v, "missing", 3), 3u);
    EXPECT_EQ(json::text_of(v, "t"), u8"é");
}

TEST(SambaJson, RefusesMalformedInput) {
    for (const char* bad : {"{", "{\"a\" 1}", "{\"a\": 1,}", "[1 2]", "\"open", "\"ctl\x01\"", "tru", "01x", "{} {}",
                            "\"\\q\"", "\"\\u12\"", "-"})
        EXPECT_THROW(json::parse(bad), json::ParseError) << bad;
    EXPECT_THROW(json::parse(std::string(100, '[') + std::string(100, ']')), json::ParseError) << "depth";
}
