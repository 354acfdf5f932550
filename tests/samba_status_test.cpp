// Reports of a real smbd (captured with `smbstatus -p --json --resolve-uids`,
// `smbstatus -S --json` and `smbstatus -L` while two users held eight opens
// and two anonymous clients were connected) and the JSON beneath them.
#include <gtest/gtest.h>

#include "netmgmt/json_reader.h"
#include "netmgmt/samba_status.h"
#include "support/samba_data.h"

using namespace netmgmt::samba;

TEST(SambaStatusReport, CapturedReportsGiveEverySessionAndTreeConnect) {
    const Status s = parse_status_report(read_data("sessions.json"));
    EXPECT_EQ(s.version, "4.17.12-Debian");
    ASSERT_EQ(s.sessions.size(), 8u);
    EXPECT_TRUE(s.tree_connects.empty());
    const Session& first = s.sessions[0];
    EXPECT_EQ(first.session_id, "1460455559");
    EXPECT_EQ(first.user, "bin");
    EXPECT_EQ(first.uid, 2u);
    EXPECT_EQ(first.remote_machine, "127.0.0.1");
    EXPECT_EQ(first.process.pid, 14636u);
    EXPECT_NE(first.process.unique_id, 0u);

    const Status t = parse_status_report(read_data("tree_connects.json"));
    ASSERT_EQ(t.tree_connects.size(), 8u);
    EXPECT_TRUE(t.sessions.empty());
    EXPECT_EQ(t.tree_connects[0].service, "docs");
    EXPECT_EQ(t.tree_connects[0].session_id, "2051774479");
    EXPECT_EQ(t.tree_connects[0].connected_at, *parse_timestamp("2026-12-08T01:31:57+00:00"));
}

TEST(SambaStatusReport, IdleServerAndMissingSectionsGiveEmptyLists) {
    const Status idle = parse_status_report(read_data("status_idle.json"));
    EXPECT_TRUE(idle.sessions.empty() && idle.tree_connects.empty());
    const Status bare = parse_status_report(R"({"timestamp": "2026-01-01T00:00:00+0000"})");
    EXPECT_TRUE(bare.sessions.empty());
    EXPECT_EQ(bare.taken_at, 1767225600);
}

TEST(SambaLockListing, GivesTheOwnerOfEveryOpen) {
    const auto owners = parse_lock_owners(read_data("locks.txt"));
    ASSERT_EQ(owners.size(), 8u) << "names with blanks and Chinese do not split rows";
    EXPECT_EQ(owners[0].pid, 14635u);
    EXPECT_EQ(owners[0].uid, 1u);
    EXPECT_EQ(owners[3].pid, 29745u);
    EXPECT_EQ(owners[3].uid, 2u);
    EXPECT_TRUE(parse_lock_owners("\nNo locked files\n\n").empty());
    EXPECT_THROW(parse_lock_owners("smbd is not running\n"), StatusFormatError);
    EXPECT_THROW(parse_lock_owners("Locked files:\nPid User\n-----------\n12 x DENY_NONE\n"), StatusFormatError);
}

TEST(SambaLockListing, GivesEveryOpenWhole) {
    const auto opens = parse_lock_listing(read_data("locks.txt"));
    ASSERT_EQ(opens.size(), 8u);
    const ListedOpen& writer = opens[3];
    EXPECT_EQ(writer.owner.pid, 29745u);
    EXPECT_EQ(writer.owner.uid, 2u);
    EXPECT_EQ(writer.deny_mode, "DENY_NONE");
    EXPECT_EQ(writer.access_mask, 0x120116u);
    EXPECT_EQ(writer.share_path, u8"/work/scratch/lead-srv/shares/公共");
    EXPECT_EQ(writer.name, u8"写入 文件.txt");
    EXPECT_EQ(writer.opened, "Tue Dec  8 01:41:07 2026") << "a day below ten keeps its blank";
    EXPECT_EQ(opens[0].name, "load-daemon/c0000/f00000.txt");
    EXPECT_EQ(opens[0].share_path, "/work/scratch/lead-srv/shares/docs");
}

// Rows as the tool prints them: "%-11s  %-9s  %-10s 0x%-8x  %-10s %-14s   %s   %s   %s".
std::string listing_of(const std::vector<std::string>& rows) {
    std::string text =
        "\nLocked files:\nPid          User(ID)   DenyMode   Access      R/W        Oplock           "
        "SharePath   Name   Time\n" +
        std::string(98, '-') + "\n";
    for (const auto& row : rows)
        text += row + "\n";
    return text + "\n";
}

TEST(SambaLockListing, GapsInsidePathsAndNamesAndNewlinesInNames) {
    const std::string lead = "4242         1000       DENY_WRITE 0x12019f    RDWR       LEASE(RWH)       ";
    const std::string time = "   Mon Dec 14 09:05:00 2026";
    const auto opens = parse_lock_listing(listing_of({
                                              lead + "/srv/a   b   x   y.txt" + time,
                                              lead + "/srv/c   two\nlines.txt" + time,
                                              lead + "/srv/c   .   Tue Dec  1 00:00:00 2026",
                                              "4243.1       0          DENY_NONE  0x100080    RDONLY     NONE "
                                              "            /srv/c    lead   unknown time",
                                          }),
                                          {"/srv/c", "/srv/a   b"});
    ASSERT_EQ(opens.size(), 4u);
    EXPECT_EQ(opens[0].share_path, "/srv/a   b") << "the configured path, though it holds the gap";
    EXPECT_EQ(opens[0].name, "x   y.txt");
    EXPECT_EQ(opens[1].name, "two\nlines.txt") << "the row goes on in the next line";
    EXPECT_EQ(opens[2].name, ".");
    EXPECT_EQ(opens[3].owner.pid, 4243u) << "a task of the process";
    EXPECT_EQ(opens[3].name, " lead") << "a name that starts with a blank";
    EXPECT_EQ(opens[3].opened, "unknown time");
    // Without the configured paths the first gap ends the share path.
    EXPECT_EQ(parse_lock_listing(listing_of({lead + "/srv/a   b   x   y.txt" + time}))[0].name, "b   x   y.txt");

    EXPECT_THROW(parse_lock_listing(listing_of({lead + "/srv/c   no time at all"})), StatusFormatError);
    EXPECT_THROW(
        parse_lock_listing(listing_of({"4242 bob DENY_NONE 0x1 RDONLY NONE   /srv/c   a" + time})), StatusFormatError)
        << "user names: the numbers are asked for";
    EXPECT_THROW(
        parse_lock_listing(listing_of({"4242 1 DENY_NONE 1 RDONLY NONE   /srv/c   a" + time})), StatusFormatError);
    EXPECT_THROW(parse_lock_listing(listing_of({lead + "/srv/c   a" + time, "Byte range locks:"})), StatusFormatError);
}

TEST(SambaStatusReport, RejectsWhatIsNotAReport) {
    EXPECT_THROW(parse_status_report(""), StatusFormatError);
    EXPECT_THROW(parse_status_report("smbd is not running\n"), StatusFormatError);
    EXPECT_THROW(parse_status_report("[1, 2]"), StatusFormatError);
    EXPECT_THROW(parse_status_report(R"({"sessions": {}})"), StatusFormatError) << "no timestamp";
    EXPECT_THROW(parse_status_report(R"({"timestamp": "2026-01-01T00:00:00Z", "sessions": []})"), StatusFormatError);
    const std::string full = read_data("sessions.json");
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

TEST(SambaStatus, NothingPrintedIsAnEmptyAnswer) {
    // `smbstatus -L` with no opens says so on stderr and leaves stdout empty.
    EXPECT_TRUE(parse_lock_owners("").empty());
    EXPECT_TRUE(parse_lock_owners("\n  \n").empty());
    EXPECT_THROW(parse_lock_owners("garbage\n"), StatusFormatError) << "text that is not a listing still fails";
    EXPECT_THROW(parse_status_report("garbage"), StatusFormatError);
}
