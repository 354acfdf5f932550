// The backend over a scripted source: one snapshot serves a pass's two
// enumerations, counts fall back to the lock listing, failures are passed on
// as their Windows codes, and the checks before an open is closed.
#include <gtest/gtest.h>

#include <stdexcept>

#include "common/code_page.h"
#include "netmgmt/samba_backend.h"
#include "support/samba_data.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

std::vector<SrvsvcOpen> opens_of(int count, std::uint32_t pid = 4000, const std::string& user = "u") {
    std::vector<SrvsvcOpen> opens;
    for (int i = 0; i < count; ++i)
        opens.push_back({pid << 16 | static_cast<std::uint32_t>(i + 1), 1, "C:\\srv\\d\\f" + std::to_string(i), user});
    return opens;
}

const char kSessions[] = R"({"timestamp": "2026-01-01T00:00:10+0000", "sessions": {
    "7": {"session_id": "7", "server_id": {"pid": "4000", "unique_id": "1"}, "uid": 100, "username": "u",
          "remote_machine": "pc1"},
    "8": {"session_id": "8", "server_id": {"pid": "4001", "unique_id": "2"}, "uid": 0, "username": "root",
          "remote_machine": "127.0.0.1"}}})";
const char kConnects[] = R"({"timestamp": "2026-01-01T00:00:10+0000", "tcons": {
    "1": {"service": "docs", "session_id": "7", "connected_at": "2026-01-01T00:00:00+00:00"},
    "2": {"service": "IPC$", "session_id": "8", "connected_at": "2026-01-01T00:00:09+00:00"}}})";

struct FakeSource : SambaSource {
    Fetched sessions{kSuccess, kSessions};
    Fetched connects{kSuccess, kConnects};
    Fetched locks{kSuccess,
                  "Locked files:\nPid  User(ID)\n----------------\n"
                  "4000  100  DENY_NONE 0x120089  RDONLY  NONE   /srv/d   a.txt   Mon Dec 14 09:05:00 2026\n"};
    Fetched config{kSuccess,
                   "[global]\n\tinterfaces = 10.0.0.5/24 eth1\n\tbind interfaces only = yes\n"
                   "[docs]\n\tpath = /srv/d\n[hidden$]\n\tpath = /srv/h\n\tbrowseable = no\n"
                   "[gone$]\n\tpath = /srv/g\n\tbrowseable = no\n"};
    Fetched usershares{kSuccess, "[mine]\npath=/home/u/own\ncomment=own %S\n"};
    std::vector<std::vector<SrvsvcOpen>> opens{opens_of(3)};  // answers in turn; the last one repeats
    std::uint32_t opens_status = kSuccess;
    std::uint32_t close_status = kSuccess;
    int opens_calls = 0, lock_calls = 0;
    std::vector<std::string> bound_to;
    std::vector<std::uint32_t> closed;
    std::optional<std::uint64_t> token;
    bool token_throws = false;
    std::optional<std::vector<DatabaseOpen>> database;

    Fetched sessions_report() override { return sessions; }
    Fetched tree_connects_report() override { return connects; }
    Fetched lock_listing() override {
        ++lock_calls;
        return locks;
    }
    Fetched config_report() override { return config; }
    Fetched usershares_report() override { return usershares; }
    void use_settings(const ServerSettings& settings) override { bound_to = settings.bound_to; }
    std::uint32_t open_files(std::vector<SrvsvcOpen>& out) override {
        out = opens[std::min<std::size_t>(opens_calls++, opens.size() - 1)];
        return opens_status;
    }
    // The srvsvc calls all log on with one account: its status is theirs.
    std::uint32_t shares(std::vector<SrvsvcShare>& out) override {
        out = {{"docs", "C:\\srv\\d", "", 0, 1}, {"IPC$", "C:\\tmp", "IPC", 3, 2}};
        return opens_status;
    }
    std::uint32_t share(const std::string& name, SrvsvcShare& out) override {
        if (name == "IPC$") {
            out = {name, "C:\\tmp", "IPC", 3, 2};
            return opens_status;
        }
        if (name != "hidden$")
            return 2310;  // NERR_NetNameNotFound
        out = {name, "C:\\srv\\h", "", 0, 0};
        return kSuccess;
    }
    std::uint32_t close_file(std::uint32_t id) override {
        closed.push_back(id);
        return close_status;
    }
    std::string monitor_account() override { return "root"; }
    std::optional<std::uint64_t> state_token() override {
        if (token_throws)
            throw std::runtime_error("unreadable");
        return token;
    }
    std::optional<std::vector<DatabaseOpen>> database_opens() override { return database; }
    bool is_remote = false;
    std::vector<srvsvc::Session> srvsvc_list{{"10.0.0.9", "u", 2, 30, 0}, {"10.0.0.1", "root", 0, 0xFFFFFFFF, 0}};
    std::uint32_t srvsvc_status = kSuccess;
    std::uint32_t end_status = kSuccess;
    std::vector<std::string> deleted;
    std::vector<std::uint32_t> ended;
    bool remote() override { return is_remote; }
    std::uint32_t srvsvc_sessions(std::vector<srvsvc::Session>& out) override {
        out = srvsvc_list;
        return srvsvc_status;
    }
    std::uint32_t delete_session(const std::string& client, const std::string& user) override {
        deleted.push_back(client + " " + user);
        return kSuccess;
    }
    std::uint32_t end_process(std::uint32_t pid) override {
        ended.push_back(pid);
        return end_status;
    }
    std::string user_name(std::uint32_t uid) override { return uid == 100 ? "u" : std::to_string(uid); }
};

// The lock listing of pid 4000 (uid 100): a reader and a writer in docs,
// and one open of pid 4001 (root).
const char kListing[] =
    "\nLocked files:\nPid          User(ID)   DenyMode   Access      R/W        Oplock           SharePath   Name   "
    "Time\n------------------------------------------------------------------------------------------------\n"
    "4000         100        DENY_NONE  0x120089    RDONLY     NONE             /srv/d   a b.txt   "
    "Mon Dec 14 09:05:00 2026\n"
    u8"4000         100        DENY_NONE  0x12019f    RDWR       NONE             /srv/d   公共/写.txt   "
    "Mon Dec 14 09:05:01 2026\n"
    "4001         0          DENY_NONE  0x120116    WRONLY     NONE             /srv/d   root.txt   "
    "Mon Dec 14 09:05:02 2026\n\n";

struct SambaBackend : ::testing::Test {
    std::shared_ptr<FakeSource> source = std::make_shared<FakeSource>();
    SambaNetManagement backend{source};

    template <class Enumerate>
    auto all(Enumerate enumerate, std::uint32_t preferred = 2048) {
        decltype(enumerate(preferred, std::declval<std::uint32_t&>()).records) out;
        std::uint32_t resume = 0;
        for (int n = 0; n < 1000; ++n) {
            auto reply = enumerate(preferred, resume);
            EXPECT_TRUE(reply.status == kSuccess || reply.status == kMoreData) << reply.status;
            out.insert(out.end(), reply.records.begin(), reply.records.end());
            if (reply.status != kMoreData)
                break;
        }
        return out;
    }
    std::vector<SessionInfo> sessions(std::uint32_t preferred = 2048) {
        return all([&](std::uint32_t p, std::uint32_t& r) { return backend.enum_sessions(p, r); }, preferred);
    }
    std::vector<OpenFileInfo> opens(std::uint32_t preferred = 2048) {
        return all([&](std::uint32_t p, std::uint32_t& r) { return backend.enum_open_files(p, r); }, preferred);
    }
};

}  // namespace

TEST_F(SambaBackend, TheFirstPassListsAheadOfSrvsvcTheNextGivesTheServersIds) {
    source->token = 41;
    source->locks = {kSuccess, kListing};
    const auto first_token = backend.change_token();
    ASSERT_EQ(sessions()[0].opens, 2u);
    const auto ahead = opens();
    EXPECT_EQ(ahead.size(), 3u);
    EXPECT_EQ(source->opens_calls, 0) << "the first pass does not wait for srvsvc";
    const auto second_token = backend.change_token();
    EXPECT_NE(second_token, first_token) << "the ids are ours: the next pass lists again";

    source->opens = {opens_of(3), opens_of(5)};  // the server changes between the calls
    const auto s = sessions(40);
    ASSERT_EQ(s.size(), 1u) << "the monitor's own IPC$ session is left out";
    EXPECT_EQ(s[0].user, "u");
    EXPECT_EQ(s[0].opens, 3u);
    EXPECT_EQ(s[0].seconds_connected, 10u);
    EXPECT_EQ(opens(40).size(), 3u) << "the same opens, paged in small replies";
    EXPECT_EQ(source->opens_calls, 1);
    EXPECT_EQ(source->lock_calls, 1) << "the ids named every open's session";
    EXPECT_EQ(backend.change_token(), second_token) << "the pass after it finds nothing changed";
    EXPECT_EQ(opens().size(), 5u) << "an enumeration without a pass of its own asks afresh";
    EXPECT_EQ(source->bound_to, (std::vector<std::string>{"10.0.0.5", "eth1"}));

    // A server's id that happens to equal one of ours from the first pass
    // names the server's open.
    auto same_id = opens_of(1, 4999);
    same_id[0].id = ahead[0].id;
    source->opens = {same_id};
    const auto now = opens();
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(backend.close_open_file(now[0]), kSuccess);
    EXPECT_EQ(source->closed, std::vector<std::uint32_t>{ahead[0].id});
}

TEST_F(SambaBackend, CountsComeFromTheLockListingWhenTheIdsCannotTell) {
    source->opens_status = kLogonFailure;
    EXPECT_EQ(sessions()[0].opens, 1u) << "a refused account is not listed around";
    std::uint32_t resume = 0;
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kLogonFailure);
    EXPECT_EQ(source->lock_calls, 1);

    source->opens_status = kSuccess;
    source->opens = {opens_of(3, 4999)};  // no session has this process
    EXPECT_EQ(sessions()[0].opens, 1u);
    EXPECT_EQ(source->lock_calls, 2);
}

TEST_F(SambaBackend, WithoutTheAccountOneLockListingGivesOpensAndCounts) {
    source->opens_status = kNotAuthenticated;
    source->locks = {kSuccess, kListing};
    const auto s = sessions();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].opens, 2u);
    const auto o = opens(40);
    EXPECT_EQ(source->lock_calls, 1) << "the pass's two enumerations share one listing";
    ASSERT_EQ(o.size(), 3u);
    EXPECT_EQ(o[0].path, "Z:\\srv\\d\\a b.txt");
    EXPECT_EQ(o[0].user, "u");
    EXPECT_EQ(o[0].permissions, 0x1u);
    EXPECT_EQ(o[1].path, codepage::utf8_to_cell(u8"Z:\\srv\\d\\公共\\写.txt")) << "in GBK, as every cell";
    EXPECT_EQ(o[1].permissions, 0x23u);
    EXPECT_EQ(o[2].user, "0") << "a uid without a name reads as its number";
    EXPECT_EQ(o[2].permissions, 0x32u);

    const auto again = opens();
    EXPECT_EQ(source->lock_calls, 2) << "an enumeration of its own lists afresh";
    ASSERT_EQ(again.size(), 3u);
    for (std::size_t i = 0; i < o.size(); ++i)
        EXPECT_EQ(again[i].id, o[i].id) << "an open keeps its id from pass to pass";

    // The shares come from the configuration with their tree connects.
    std::uint32_t resume = 0;
    auto shares = backend.enum_shares(8192, resume);
    ASSERT_EQ(shares.status, kSuccess);
    ASSERT_EQ(shares.records.size(), 4u) << "no users' shares unless the configuration allows them";
    EXPECT_EQ(shares.records[0].name, "docs");
    EXPECT_EQ(shares.records[0].path, "Z:\\srv\\d");
    EXPECT_EQ(shares.records[0].current_uses, 1u);
    EXPECT_EQ(shares.records[1].name, "IPC$");
    EXPECT_EQ(shares.records[1].current_uses, 1u);
    source->config.text.insert(source->config.text.find('\n') + 1, "\tusershare max shares = 10\n");
    shares = backend.enum_shares(8192, resume = 0);
    ASSERT_EQ(shares.records.size(), 5u);
    EXPECT_EQ(shares.records[2].remark, "own mine");
    source->usershares = {kAccessDenied, ""};
    EXPECT_EQ(backend.enum_shares(8192, resume = 0).status, kAccessDenied);

    // Closing needs the account: the close says so and nothing is closed.
    EXPECT_EQ(backend.close_open_file(o[0]), kNotAuthenticated);
    EXPECT_TRUE(source->closed.empty());
    // Root ends a session through its smbd without the account.
    EXPECT_EQ(backend.disconnect_session(s[0]), kSuccess);
    EXPECT_EQ(source->ended, (std::vector<std::uint32_t>{4000}));

    // Other refusals of the account are told, not listed around; so is a
    // listing that fails.
    source->opens_status = kExposedFile;
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kExposedFile);
    source->opens_status = kNotAuthenticated;
    source->locks = {kTimeout, ""};
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kTimeout);
    source->is_remote = true;
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kNotAuthenticated) << "another server has no listing";
}

TEST_F(SambaBackend, AListedRowClosesOnlyItsOwnOpenOnceTheAccountIsThere) {
    source->opens_status = kNotAuthenticated;
    source->locks = {kSuccess, kListing};
    const auto listed = opens();
    ASSERT_EQ(listed.size(), 3u);

    // The account set up: srvsvc ids, which the listing did not know.
    source->opens_status = kSuccess;
    std::vector<SrvsvcOpen> srvsvc = {
        {4000u << 16 | 7, 1, "C:\\srv\\d\\a b.txt", "u"},
        {4000u << 16 | 8, 3, u8"C:\\srv\\d\\公共\\写.txt", "u"},
        {4001u << 16 | 1, 2, "C:\\srv\\d\\root.txt", "0"},
        {listed[0].id, 1, "C:\\srv\\d\\root.txt", "0"},  // another open that happens to have the row's id
    };
    source->opens = {srvsvc};
    EXPECT_EQ(backend.close_open_file(listed[0]), kSuccess);
    EXPECT_EQ(source->closed, std::vector<std::uint32_t>{4000u << 16 | 7}) << "the open the row showed";

    // Its process holds the file twice now: which one the row meant is not
    // known, so neither is closed.
    srvsvc.push_back({4000u << 16 | 9, 1, "C:\\srv\\d\\a b.txt", "u"});
    source->opens = {srvsvc};
    source->closed.clear();
    EXPECT_EQ(backend.close_open_file(listed[0]), kNotSupported);
    source->opens = {{srvsvc[1]}};
    EXPECT_EQ(backend.close_open_file(listed[0]), kFileIdNotFound) << "closed meanwhile";
    EXPECT_TRUE(source->closed.empty());
}

TEST_F(SambaBackend, FailuresArePassedOnWithTheirOwnCodes) {
    std::uint32_t resume = 0;
    source->sessions = {kServerNotStarted, ""};
    EXPECT_EQ(backend.enum_sessions(2048, resume).status, kServerNotStarted);
    source->sessions = {kSuccess, kSessions};
    source->connects = {kTimeout, ""};
    EXPECT_EQ(backend.enum_sessions(2048, resume).status, kTimeout);
    source->connects = {kSuccess, "smbd is not running"};
    EXPECT_EQ(backend.enum_sessions(2048, resume).status, kInvalidData);
    source->connects = {kSuccess, kConnects};
    source->opens = {opens_of(1, 4999)};
    source->locks = {kFileNotFound, ""};
    EXPECT_EQ(backend.enum_sessions(2048, resume).status, kFileNotFound) << "no way to count";
    source->opens_status = kLogonFailure;
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kLogonFailure);
    source->config = {kAccessDenied, ""};
    EXPECT_EQ(backend.enum_shares(8192, resume).status, kAccessDenied) << "no configuration, no shares";
}

TEST_F(SambaBackend, SharesListedThenThoseHiddenFromTheList) {
    std::uint32_t resume = 0;
    auto reply = backend.enum_shares(8192, resume);
    ASSERT_EQ(reply.status, kSuccess);
    ASSERT_EQ(reply.records.size(), 3u) << "a configured share the server does not offer is left out";
    EXPECT_EQ(reply.records[0].path, "Z:\\srv\\d");
    EXPECT_EQ(reply.records[1].name, "IPC$");
    EXPECT_EQ(reply.records[1].path, "");
    EXPECT_EQ(reply.records[1].current_uses, 1u) << "the backend's own connection to IPC$ is not counted";
    EXPECT_EQ(reply.records[2].name, "hidden$");
}

TEST_F(SambaBackend, CloseNamesAnOpenThatExistsAndOnlyIt) {
    const auto listed = opens();
    EXPECT_EQ(backend.close_open_file(listed[1]), kSuccess);
    EXPECT_EQ(source->closed, std::vector<std::uint32_t>{(4000u << 16) | 2u});
    source->close_status = kFileIdNotFound;
    EXPECT_EQ(backend.close_open_file(listed[2]), kFileIdNotFound) << "the server's answer is passed on";

    EXPECT_EQ(backend.close_open_file({12345, 1, listed[0].path, listed[0].user}), kFileIdNotFound);
    source->opens = {opens_of(0)};
    EXPECT_EQ(backend.close_open_file(listed[0]), kFileIdNotFound) << "the open ended meanwhile";

    // pid 0x10FA0 and pid 0xFA0 (4000) give their opens the same srvsvc id.
    auto colliding = opens_of(1);
    colliding.push_back(opens_of(1, 0x10FA0, "v")[0]);
    source->opens = {colliding};
    source->closed.clear();
    EXPECT_EQ(backend.close_open_file(open_file_record(colliding[0])), kNotSupported) << "Samba would close both";
    EXPECT_TRUE(source->closed.empty());

    source->opens_status = kNotAuthenticated;
    EXPECT_EQ(backend.close_open_file(open_file_record(colliding[0])), kNotAuthenticated);
}

TEST_F(SambaBackend, CloseRefusesAnIdTheServerGaveToAnotherOpen) {
    const auto listed = opens();
    ASSERT_EQ(listed.size(), 3u);
    // The client let go of the file asked about; its id now names another.
    auto reused = opens_of(3);
    reused[1].path = "C:\\srv\\d\\other.txt";
    source->opens = {reused};
    source->closed.clear();
    EXPECT_EQ(backend.close_open_file(listed[1]), kFileChanged);
    reused[1] = opens_of(3, 4000, "w")[1];  // same path, another user
    source->opens = {reused};
    EXPECT_EQ(backend.close_open_file(listed[1]), kFileChanged);
    EXPECT_TRUE(source->closed.empty()) << "nothing closed when the open is not the one asked about";

    // Texts as the list shows them: cut to a cell and in GBK.
    auto long_name = opens_of(1);
    long_name[0].path = "C:\\srv\\" + std::string(400, 'x') + "\\文件.txt";
    source->opens = {long_name};
    const auto shown = opens();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(backend.close_open_file(shown[0]), kSuccess);
    EXPECT_EQ(source->closed, std::vector<std::uint32_t>{long_name[0].id});
}

// The share-mode database gives the server's own ids with no srvsvc
// enumeration; srvsvc answers when it cannot be read, and a refused account
// is told as before (closing needs it).
TEST_F(SambaBackend, TheShareModeDatabaseStandsInForNetFileEnum) {
    source->database = std::vector<DatabaseOpen>{{{{4000, 100}, "", 0x12019f, "/srv/d", "w.txt", ""}, 4000u << 16 | 7},
                                                 {{{4000, 100}, "", 0x120089, "/srv/d", ".", ""}, 4000u << 16 | 8},
                                                 {{{4001, 0}, "", 0x120089, "/srv/d", "r.txt", ""}, 4001u << 16 | 9}};
    const auto counted = sessions();
    const auto from_database = opens();
    EXPECT_EQ(source->opens_calls, 0);
    ASSERT_EQ(from_database.size(), 3u);
    EXPECT_EQ(backend.close_open_file(from_database[2]), kSuccess);
    EXPECT_EQ(source->closed, std::vector<std::uint32_t>{4001u << 16 | 9});
    EXPECT_EQ(source->opens_calls, 0) << "the fresh look before closing reads the database too";

    // The same opens as NetFileEnum gives them: the same rows and counts.
    source->database = std::nullopt;
    source->opens = {{{4000u << 16 | 7, 3, "C:\\srv\\d\\w.txt", "u"},
                      {4000u << 16 | 8, 1, "C:\\srv\\d", "u"},
                      {4001u << 16 | 9, 1, "C:\\srv\\d\\r.txt", "0"}}};
    const auto srvsvc_counted = sessions();
    const auto from_srvsvc = opens();
    EXPECT_EQ(source->opens_calls, 1) << "srvsvc answers for a database that does not read";
    ASSERT_EQ(from_srvsvc.size(), from_database.size());
    for (std::size_t i = 0; i < from_srvsvc.size(); ++i) {
        EXPECT_EQ(from_database[i].id, from_srvsvc[i].id);
        EXPECT_EQ(from_database[i].path, from_srvsvc[i].path);
        EXPECT_EQ(from_database[i].user, from_srvsvc[i].user);
        EXPECT_EQ(from_database[i].permissions, from_srvsvc[i].permissions);
    }
    ASSERT_EQ(counted.size(), srvsvc_counted.size());
    EXPECT_EQ(counted[0].opens, srvsvc_counted[0].opens);

    source->database = std::vector<DatabaseOpen>{};
    source->opens_status = kLogonFailure;
    sessions();
    std::uint32_t resume = 0;
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kLogonFailure) << "a refused account is still told";
}

TEST_F(SambaBackend, ChangeTokenIsTheServersStateOrNothing) {
    source->token = 41;
    const auto token = backend.change_token();
    ASSERT_TRUE(token);
    EXPECT_EQ(backend.change_token(), token);
    source->token = 42;
    EXPECT_NE(backend.change_token(), token) << "the server's state moved";
    source->token = std::nullopt;
    EXPECT_EQ(backend.change_token(), std::nullopt);
    source->token_throws = true;
    EXPECT_EQ(backend.change_token(), std::nullopt) << "a pass that lists reports what went wrong";
}

TEST_F(SambaBackend, AnotherServersSessionsComeFromItsSrvsvcWithoutAnOpenEnumeration) {
    source->is_remote = true;
    source->srvsvc_list.push_back({"10.0.0.7", "root", 1, 5, 0});
    const auto s = sessions();
    ASSERT_EQ(s.size(), 2u) << "the monitor's own connection, nothing open, is left out";
    EXPECT_EQ(s[0].computer, "10.0.0.9");
    EXPECT_EQ(s[0].opens, 2u);
    EXPECT_EQ(s[0].seconds_connected, 30u);
    EXPECT_EQ(s[1].user, "root") << "the account's session with a file open is someone's";
    EXPECT_EQ(source->opens_calls, 0);
    EXPECT_EQ(source->lock_calls, 0);
    EXPECT_EQ(opens().size(), 3u);

    source->srvsvc_status = kAccessDenied;
    std::uint32_t resume = 0;
    EXPECT_EQ(backend.enum_sessions(2048, resume).status, kAccessDenied);
}

TEST_F(SambaBackend, ASessionOfThisSecondIsConnectedForNoTime) {
    const auto records = srvsvc_session_records({{"pc", "u", 0, 0xFFFFFFFF, 0}}, "root");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].seconds_connected, 0u);
}

TEST_F(SambaBackend, DisconnectEndsTheLocalSessionsProcessOrAsksSrvsvc) {
    const auto s = sessions();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(backend.disconnect_session(s[0]), kSuccess);
    EXPECT_EQ(source->ended, (std::vector<std::uint32_t>{4000}));
    EXPECT_TRUE(source->deleted.empty());

    SessionInfo gone = s[0];
    gone.computer = "pc9";
    EXPECT_EQ(backend.disconnect_session(gone), kClientNameNotFound);

    // Without root the status tool cannot name the process: srvsvc ends
    // every session of the user from that client, as the server spells it.
    source->sessions = {kAccessDenied, {}};
    source->srvsvc_list = {{"pc1", "u", 1, 3, 0}};
    EXPECT_EQ(backend.disconnect_session(s[0]), kSuccess);
    EXPECT_EQ(source->deleted, (std::vector<std::string>{"pc1 u"}));
    source->sessions = {kTimeout, {}};
    EXPECT_EQ(backend.disconnect_session(s[0]), kTimeout) << "only a refusal goes to srvsvc";
}

TEST_F(SambaBackend, DisconnectOnAnotherServerNamesItsSessionBySrvsvc) {
    source->is_remote = true;
    SessionInfo asked{"u", "10.0.0.9", 0, 0, 0};
    EXPECT_EQ(backend.disconnect_session(asked), kSuccess);
    EXPECT_EQ(source->deleted, (std::vector<std::string>{"10.0.0.9 u"}));
    EXPECT_TRUE(source->ended.empty());
    asked.user = "v";
    EXPECT_EQ(backend.disconnect_session(asked), kClientNameNotFound);
    source->srvsvc_status = kLogonFailure;
    EXPECT_EQ(backend.disconnect_session(asked), kLogonFailure);
}
