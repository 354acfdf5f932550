// Records from reports captured on a real smbd at one moment: eight sessions
// (two anonymous, one of the administrator's IPC$ only), their tree
// connects, the lock listing and the server's own srvsvc list of opens
// (`net rpc file`).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "netmgmt/samba_config.h"
#include "netmgmt/samba_records.h"
#include "netmgmt/samba_status.h"
#include "support/samba_data.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

// "FileId  Opened by  Perms  Locks  Path" rows as srvsvc gives them.
std::vector<SrvsvcOpen> captured_opens(const std::string& name = "net_rpc_file.txt") {
    std::vector<SrvsvcOpen> out;
    std::istringstream in(read_data(name));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::uint32_t id;
        std::string user, perms, locks, path;
        if (!(row >> id >> user >> perms >> locks))
            continue;
        std::getline(row >> std::ws, path);
        out.push_back({id, static_cast<std::uint32_t>(std::stoul(perms, nullptr, 16)), path, user});
    }
    return out;
}

Status captured_status() {
    Status status = parse_status_report(read_data("sessions.json"));
    status.tree_connects = parse_status_report(read_data("tree_connects.json")).tree_connects;
    return status;
}

const SessionInfo* find_session(const std::vector<SessionInfo>& sessions, const std::string& user,
                                std::uint32_t opens) {
    for (const auto& s : sessions)
        if (s.user == user && s.opens == opens)
            return &s;
    return nullptr;
}

}  // namespace

TEST(SambaRecords, OpenCountsFromIdsAgreeWithTheLockListing) {
    const Status status = captured_status();
    const auto opens = captured_opens();
    ASSERT_EQ(opens.size(), 8u);
    const auto from_ids = open_counts_from_ids(status, opens);
    ASSERT_TRUE(from_ids);
    EXPECT_EQ(*from_ids, open_counts_from_owners(status, parse_lock_owners(read_data("locks.txt"))));
    EXPECT_EQ(from_ids->at("2051774479"), 2u) << "daemon's first load connection";
    EXPECT_EQ(from_ids->at("2474214148"), 1u) << "bin's writer";
}

// Two captures of the lock listing and srvsvc's list at one moment, the
// second with a name that holds the listing's own gap of three blanks.
TEST(SambaRecords, ListedOpensReadAsSrvsvcListsThem) {
    const std::vector<std::string> shares = {"/tmp/rootlist/x/srv/shares/docs", u8"/tmp/rootlist/x/srv/shares/公共"};
    for (const auto& [listing, srvsvc_list] :
         {std::make_pair("locks.txt", "net_rpc_file.txt"), std::make_pair("locks_gaps.txt", "net_rpc_file_gaps.txt")}) {
        const auto srvsvc = captured_opens(srvsvc_list);
        const auto listed = parse_lock_listing(read_data(listing), shares);
        ASSERT_EQ(listed.size(), srvsvc.size()) << listing;
        const auto ids = listed_open_ids(listed);
        // The servers' test accounts: uid 1 is daemon, 2 is bin.
        for (std::size_t i = 0; i < listed.size(); ++i) {
            const SrvsvcOpen record =
                listed_open_record(listed[i], ids[i], listed[i].owner.uid == 1 ? "daemon" : "bin");
            EXPECT_EQ(record.path, srvsvc[i].path);
            EXPECT_EQ(record.permissions, srvsvc[i].permissions) << record.path;
            EXPECT_EQ(record.user, srvsvc[i].user);
        }
    }
    ListedOpen folder = parse_lock_listing(read_data("locks.txt"))[0];
    folder.name = ".";
    EXPECT_EQ(listed_open_record(folder, 1, "u").path, "C:\\work\\scratch\\lead-srv\\shares\\docs")
        << "the share's folder itself";
}

TEST(SambaRecords, ListedOpenIdsStayWhileTheOpenStaysAndNeverRepeat) {
    auto listed = parse_lock_listing(read_data("locks.txt"));
    const auto ids = listed_open_ids(listed);
    EXPECT_EQ(std::set<std::uint32_t>(ids.begin(), ids.end()).size(), ids.size());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 0u), 0);

    // Another pass: one open gone, the others keep their ids.
    auto later = listed;
    later.erase(later.begin() + 2);
    auto later_ids = listed_open_ids(later);
    auto expected = ids;
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(later_ids, expected);

    // The same file opened again by the same process in the same second:
    // two opens, two ids, the first keeping its own.
    listed.push_back(listed[0]);
    const auto twice = listed_open_ids(listed);
    EXPECT_EQ(twice[0], ids[0]);
    EXPECT_NE(twice.back(), twice[0]);
    // Its time of opening tells a reopened file from the one before.
    later[0].opened = "Tue Dec  8 02:00:00 2026";
    EXPECT_NE(listed_open_ids(later)[0], ids[0]);
}

TEST(SambaRecords, SharesFromTheConfigurationInTheServersOrderWithTheirTreeConnects) {
    const auto config = parse_config(read_data("testparm.txt"));
    auto connects = parse_status_report(read_data("tree_connects.json")).tree_connects;
    connects.push_back({"MINE", "1", 0});
    const auto usershares = parse_config(u8"[mine]\npath=/home/u/own\ncomment=个人 %S\nusershare_acl=S-1-1-0:F,\n");
    const auto shares = shares_from_config(config, usershares, connects, "4.17.12-Debian");
    ASSERT_EQ(shares.size(), 5u);
    EXPECT_EQ(shares[0].name, u8"公共");
    EXPECT_EQ(share_record(shares[0]).path, u8"Z:\\tmp\\filvcap\\shares\\公共");
    EXPECT_EQ(shares[0].remark, u8"公共资料 共享");
    EXPECT_EQ(shares[0].current_uses, 2u);
    EXPECT_EQ(shares[1].name, "docs");
    EXPECT_EQ(shares[1].current_uses, 3u);
    const SrvsvcShare& ipc = shares[2];
    EXPECT_TRUE(is_interprocess(ipc)) << "after the listed shares, as Samba adds it";
    EXPECT_EQ(ipc.remark, "IPC Service (Filvane test server)");
    EXPECT_EQ(ipc.current_uses, 3u);
    EXPECT_EQ(share_record(ipc).path, "");
    EXPECT_EQ(shares[3].name, "mine") << "a user's share";
    EXPECT_EQ(shares[3].remark, u8"个人 mine");
    EXPECT_EQ(shares[3].current_uses, 1u) << "names compared without case";
    EXPECT_EQ(shares[4].name, "hidden$") << "left out of the server's list, asked for after it";

    const auto bare = shares_from_config(parse_config("[global]\n[Docs]\n\tpath = /d\n[off]\n\tavailable = no\n"), {},
                                         {{"DOCS", "1", 0}, {"gone", "3", 0}}, "4.17.12-Debian");
    ASSERT_EQ(bare.size(), 2u) << "a share that is not available is not offered";
    EXPECT_EQ(bare[0].current_uses, 1u);
    EXPECT_EQ(bare[1].remark, "IPC Service (Samba 4.17.12-Debian)") << "Samba's own description";
    EXPECT_EQ(bare[1].current_uses, 0u);
    EXPECT_FALSE(usershares_enabled(parse_config("[global]\n\tusershare path = /u\n")));
    EXPECT_TRUE(usershares_enabled(parse_config("[global]\n\tusershare max shares = 10\n")));
}

TEST(SambaRecords, SessionsLeaveOutAnonymousAndTheMonitorsOwnConnection) {
    const Status status = captured_status();
    ASSERT_EQ(status.sessions.size(), 8u);
    const auto counts = *open_counts_from_ids(status, captured_opens());
    const auto sessions = session_records(status, counts, {"nobody", "root"});
    ASSERT_EQ(sessions.size(), 5u) << "two anonymous IPC$ sessions and root's IPC$ session left out";
    for (const auto& s : sessions) {
        EXPECT_NE(s.user, "nobody");
        EXPECT_NE(s.user, "root");
        EXPECT_EQ(s.computer, "127.0.0.1");
        EXPECT_EQ(s.seconds_idle, 0u);
    }
    const SessionInfo* reader = find_session(sessions, "daemon", 1);
    ASSERT_TRUE(reader);
    EXPECT_LT(reader->seconds_connected, 60u) << "the reader connected seconds before the report";
    const SessionInfo* load = find_session(sessions, "bin", 2);
    ASSERT_TRUE(load);
    EXPECT_GT(load->seconds_connected, 500u) << "the load connected ten minutes earlier";

    const auto everyone = session_records(status, counts, {"guest", ""});
    EXPECT_EQ(everyone.size(), 8u) << "other accounts' IPC$ sessions are listed, as Windows lists them";
}

TEST(SambaRecords, SessionsOfTheHiddenAccountsThatReachASharePlainlyCount) {
    Status s;
    s.taken_at = 1000;
    s.sessions = {
        {"1", {10, 7}, 65534, "nobody", "h1"}, {"2", {11, 8}, 0, "root", "h2"}, {"3", {12, 9}, 0, "root", "h3"}};
    s.tree_connects = {{"IPC$", "1", 900}, {"pub", "1", 950}, {"docs", "2", 990}, {"ipc$", "3", 10}};
    const auto r = session_records(s, {{"1", 4}}, {"nobody", "root"});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].user, "nobody") << "a guest on a real share is a user of it";
    EXPECT_EQ(r[0].opens, 4u);
    EXPECT_EQ(r[0].seconds_connected, 100u) << "from the first tree connect";
    EXPECT_EQ(r[1].computer, "h2");
    EXPECT_EQ(r[1].opens, 0u);
}

TEST(SambaRecords, IdsThatCannotNameTheirSessionGiveNoCounts) {
    Status s;
    // Two processes whose pids agree in their low 16 bits, for one user.
    s.sessions = {{"1", {0x1000A, 1}, 100, "a", "h"}, {"2", {0x2000A, 2}, 100, "a", "h"}};
    EXPECT_FALSE(open_counts_from_ids(s, {{0x000A0001, 1, "C:\\x", "a"}}));
    s.sessions.pop_back();
    EXPECT_TRUE(open_counts_from_ids(s, {{0x000A0001, 1, "C:\\x", "a"}}));
    // A process's 65,536th open spills into the pid's bits: no session has it.
    EXPECT_FALSE(open_counts_from_ids(s, {{0x000B0000, 1, "C:\\x", "a"}}));
    EXPECT_FALSE(open_counts_from_ids(s, {{0x000A0001, 1, "C:\\x", "b"}})) << "another user in that process";
}

TEST(SambaRecords, OpensReadAsOnAWindowsServer) {
    const auto opens = captured_opens();
    const OpenFileInfo writer = open_file_record(opens[3]);
    EXPECT_EQ(writer.path, u8"Z:\\work\\scratch\\lead-srv\\shares\\公共\\写入 文件.txt");
    EXPECT_EQ(writer.user, "bin");
    EXPECT_EQ(writer.id, 1949368327u);
    EXPECT_EQ(writer.permissions, 0x32u) << "write";
    EXPECT_EQ(open_file_record(opens[2]).permissions, 0x1u) << "read";
    EXPECT_EQ(open_file_record(opens[0]).permissions, 0x23u) << "read and write";
    EXPECT_EQ(windows_open_mode(0), 0u) << "neither: left as it is";
    EXPECT_EQ(windows_open_mode(0x7), 0x23u) << "bits beyond read and write do not matter";
}

TEST(SambaRecords, SharesWithWindowsPathsAndTheInterprocessShareWithout) {
    const ShareInfo docs = share_record({"docs", "C:\\srv\\docs", "Docs on FILVTEST", 0, 3});
    EXPECT_EQ(docs.path, "Z:\\srv\\docs");
    EXPECT_EQ(docs.current_uses, 3u);
    EXPECT_EQ(docs.remark, "Docs on FILVTEST");
    const ShareInfo ipc = share_record({"IPC$", "C:\\tmp", "IPC Service", 0x80000003u, 1});
    EXPECT_EQ(ipc.path, "");
    EXPECT_EQ(share_record({"odd", "relative", "", 0, 0}).path, "relative");
}
