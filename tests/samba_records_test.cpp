// Records from the captured report and configuration, checked against what
// the server's own srvsvc answered at the same moment (net rpc file).
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "netmgmt/samba_config.h"
#include "netmgmt/samba_records.h"
#include "netmgmt/samba_status.h"
#include "support/samba_data.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

struct SrvsvcFile {
    std::uint32_t permissions;
    std::string user;
    std::string path;
};

// "FileId  Opened by  Perms  Locks  Path" rows; the path as C:\ and backslashes.
std::map<std::uint32_t, SrvsvcFile> srvsvc_files() {
    std::map<std::uint32_t, SrvsvcFile> out;
    std::istringstream in(read_data("net_rpc_file.txt"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::uint32_t id;
        std::string user, perms, locks, path;
        if (!(row >> id >> user >> perms >> locks))
            continue;
        std::getline(row >> std::ws, path);
        path = path.substr(2);
        for (char& c : path)
            if (c == '\\')
                c = '/';
        out[id] = {static_cast<std::uint32_t>(std::stoul(perms, nullptr, 16)), user, path};
    }
    return out;
}

}  // namespace

TEST(SambaRecords, OpensMatchTheServersOwnSrvsvcAnswer) {
    const Status status = parse_status_report(read_data("status_four_opens.json"));
    OpenIdRegistry ids;
    const auto records = open_file_records(status, ids);
    const auto expected = srvsvc_files();
    ASSERT_EQ(expected.size(), 4u);
    ASSERT_EQ(records.size(), expected.size());
    for (const auto& r : records) {
        auto it = expected.find(r.id);
        ASSERT_NE(it, expected.end()) << r.id << " " << r.path;
        EXPECT_EQ(r.permissions, it->second.permissions) << r.path;
        EXPECT_EQ(r.user, it->second.user);
        EXPECT_EQ(r.path, it->second.path);
    }
}

TEST(SambaRecords, PermissionsFollowReadAndWriteData) {
    EXPECT_EQ(permissions_of(0x00120089), 1u);  // read
    EXPECT_EQ(permissions_of(0x00120116), 2u);  // write
    EXPECT_EQ(permissions_of(0x0012019f), 3u);  // read and write
    EXPECT_EQ(permissions_of(0x001f01ff), 3u);  // full control
    EXPECT_EQ(permissions_of(0x00000004), 2u);  // append only
    EXPECT_EQ(permissions_of(0x00000080), 0u);  // attributes only: no data access
    EXPECT_EQ(permissions_of(0x00010000), 0u);  // delete only
}

TEST(SambaRecords, SessionsCountTheirOpensAndConnectTime) {
    const Status status = parse_status_report(read_data("status_four_opens.json"));
    const auto sessions = session_records(status);
    ASSERT_EQ(sessions.size(), 4u);
    std::map<std::string, int> opens_per_user;
    for (const auto& s : sessions) {
        EXPECT_EQ(s.computer, "127.0.0.1");
        EXPECT_EQ(s.opens, 1u) << "each client process holds one open";
        EXPECT_EQ(s.seconds_connected, 2u) << "report at :28, tree connects at :26";
        EXPECT_EQ(s.seconds_idle, 0u);
        opens_per_user[s.user] += static_cast<int>(s.opens);
    }
    EXPECT_EQ(opens_per_user["daemon"], 2);
    EXPECT_EQ(opens_per_user["bin"], 2);
}

TEST(SambaRecords, SessionOpensAreThoseOfItsProcessAndUid) {
    Status s;
    s.taken_at = 1000;
    s.sessions = {{"1", {10, 7}, 100, "a", "h1"}, {"2", {11, 8}, 100, "a", "h2"}, {"3", {12, 9}, 200, "b", "h3"}};
    s.tree_connects = {{"x", "1", 900}, {"y", "1", 950}, {"x", "3", 2000}};
    s.opens = {{{10, 7}, 1, 100, "a", 1, "/p"},
               {{10, 7}, 2, 100, "a", 1, "/q"},
               {{10, 99}, 3, 100, "a", 1, "/r"},
               {{12, 9}, 1, 300, "c", 1, "/s"}};
    const auto r = session_records(s);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].opens, 2u) << "a reused pid of another process is not this session's";
    EXPECT_EQ(r[0].seconds_connected, 100u) << "from the earliest tree connect";
    EXPECT_EQ(r[1].opens, 0u);
    EXPECT_EQ(r[1].seconds_connected, 0u) << "no tree connect yet";
    EXPECT_EQ(r[2].opens, 0u) << "an open of another uid in the same process";
    EXPECT_EQ(r[2].seconds_connected, 0u) << "a clock step never gives a negative time";
}

TEST(SambaRecords, OpenUserFallsBackToSessionNameThenUid) {
    Status s;
    s.sessions = {{"1", {10, 7}, 100, "alice", "h"}};
    s.opens = {{{10, 7}, 1, 100, "", 1, "/p"}, {{10, 7}, 2, 555, "", 1, "/q"}};
    OpenIdRegistry ids;
    const auto r = open_file_records(s, ids);
    EXPECT_EQ(r[0].user, "alice");
    EXPECT_EQ(r[1].user, "555");
}

TEST(SambaShares, CapturedConfigurationGivesEveryShareThenIpc) {
    const Status status = parse_status_report(read_data("status_four_opens.json"));
    const auto shares =
        share_records(shares_of(parse_config(read_data("testparm.txt")), {"box", status.version}), status);
    ASSERT_EQ(shares.size(), 4u);
    EXPECT_EQ(shares[0].name, u8"公共");
    EXPECT_EQ(shares[0].path, u8"/tmp/filvcap/shares/公共");
    EXPECT_EQ(shares[0].remark, u8"公共资料 共享");
    EXPECT_EQ(shares[0].current_uses, 1u);
    EXPECT_EQ(shares[1].name, "docs");
    EXPECT_EQ(shares[1].current_uses, 3u);
    EXPECT_EQ(shares[1].remark, "");
    EXPECT_EQ(shares[2].name, "hidden$") << "hidden from browsing, still shared";
    EXPECT_EQ(shares[2].current_uses, 0u);
    EXPECT_EQ(shares[3].name, "IPC$");
    EXPECT_EQ(shares[3].path, "");
    EXPECT_EQ(shares[3].remark, "IPC Service (Filvane test server)");
}

TEST(SambaShares, DefaultsExpansionAndUnavailableShares) {
    const auto config = parse_config(
        "[global]\n\tnetbios name = NAS\n"
        "[homes]\n\tcomment = Home of %U on %L\n"
        "[off]\n\tpath = /srv/off\n\tavailable = No\n"
        "[Media]\n\tpath = /srv/%S\n\tcomment = %S on %h, 100%% Samba %v\n"
        "[ipc$]\n\tpath = /tmp\n");
    const auto shares = shares_of(config, {"box.example", "4.17.12"});
    ASSERT_EQ(shares.size(), 3u) << "an unavailable share is not offered";
    EXPECT_EQ(shares[0].remark, "Home of %U on NAS") << "the connecting user is unknown here";
    EXPECT_EQ(shares[1].path, "/srv/Media");
    EXPECT_EQ(shares[1].remark, "Media on box.example, 100% Samba 4.17.12");
    EXPECT_EQ(shares[2].name, "ipc$") << "a configured IPC$ is not doubled";
    EXPECT_EQ(shares[2].path, "");

    const auto plain = shares_of(parse_config("[global]\n"), {"box.example", "4.17.12"});
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].remark, "IPC Service (Samba 4.17.12)") << "Samba's default server string";
}

TEST(SambaShares, ConnectionsCountSharesCaseBlind) {
    Status s;
    s.tree_connects = {{"DOCS", "1", 0}, {"docs", "2", 0}, {"IPC$", "3", 0}, {"other", "4", 0}};
    const auto shares = share_records({{"docs", "/d", ""}, {"IPC$", "", ""}, {"none", "/n", ""}}, s);
    EXPECT_EQ(shares[0].current_uses, 2u);
    EXPECT_EQ(shares[1].current_uses, 1u);
    EXPECT_EQ(shares[2].current_uses, 0u);
}
