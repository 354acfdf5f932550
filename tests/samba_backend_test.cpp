// The backend over a scripted source: one snapshot per enumeration, failures
// passed on as Windows codes, and the checks before an open is closed.
#include <gtest/gtest.h>

#include "netmgmt/samba_backend.h"
#include "support/samba_data.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

std::string report_with_opens(int count, std::uint32_t pid = 4000) {
    std::string files;
    for (int i = 0; i < count; ++i) {
        if (i)
            files += ",";
        files += "\"/srv/d/f" + std::to_string(i) + "\": {\"service_path\": \"/srv/d\", \"filename\": \"f" +
                 std::to_string(i) + "\", \"opens\": {\"x\": {\"server_id\": {\"pid\": \"" + std::to_string(pid) +
                 "\", \"unique_id\": \"1\"}, \"uid\": 1, \"username\": \"u\", \"share_file_id\": \"" +
                 std::to_string(i + 1) + "\", \"access_mask\": {\"hex\": \"0x00000001\"}}}}";
    }
    return "{\"timestamp\": \"2026-01-01T00:00:00+0000\", \"open_files\": {" + files + "}}";
}

struct FakeSource : SambaSource {
    std::vector<Fetched> status;  // answers in turn; the last one repeats
    Fetched config{kSuccess, "[global]\n[docs]\n\tpath = /srv/d\n"};
    std::uint32_t credentials_status = kSuccess;
    std::uint32_t close_status = kSuccess;
    int status_calls = 0;
    std::vector<std::uint32_t> closed;

    Fetched status_report() override {
        const std::size_t i = std::min<std::size_t>(status_calls++, status.size() - 1);
        return status[i];
    }
    Fetched config_report() override { return config; }
    std::string host_name() override { return "box"; }
    std::uint32_t credentials(Credentials& out) override {
        out = {"root", "pw"};
        return credentials_status;
    }
    std::uint32_t close_file(std::uint32_t id, const Credentials& c) override {
        EXPECT_EQ(c.user, "root");
        closed.push_back(id);
        return close_status;
    }
};

struct SambaBackend : ::testing::Test {
    std::shared_ptr<FakeSource> source = std::make_shared<FakeSource>();
    std::shared_ptr<OpenIdRegistry> ids = std::make_shared<OpenIdRegistry>();
    SambaNetManagement backend{source, ids};

    std::vector<OpenFileInfo> all_opens(std::uint32_t preferred, int* replies = nullptr) {
        std::vector<OpenFileInfo> out;
        std::uint32_t resume = 0;
        for (int n = 1;; ++n) {
            auto reply = backend.enum_open_files(preferred, resume);
            EXPECT_TRUE(reply.status == kSuccess || reply.status == kMoreData) << reply.status;
            out.insert(out.end(), reply.records.begin(), reply.records.end());
            if (reply.status != kMoreData || n > 1000) {
                if (replies)
                    *replies = n;
                return out;
            }
        }
    }
};

}  // namespace

TEST_F(SambaBackend, OneReportServesAllRepliesOfAnEnumeration) {
    // The server changes between replies; the enumeration does not see it.
    source->status = {{kSuccess, report_with_opens(40)}, {kSuccess, report_with_opens(3)}};
    int replies = 0;
    const auto first = all_opens(256, &replies);
    EXPECT_EQ(replies, 10) << "four records of 56 or 58 bytes fit into 256";
    EXPECT_EQ(first.size(), 40u);
    EXPECT_EQ(source->status_calls, 1);
    EXPECT_EQ(all_opens(256).size(), 3u) << "the next enumeration takes a new report";
    EXPECT_EQ(source->status_calls, 2);
}

TEST_F(SambaBackend, IdsStayTheSameAcrossPasses) {
    source->status = {{kSuccess, report_with_opens(5)}};
    const auto a = all_opens(2048);
    const auto b = all_opens(64);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].id, b[i].id);
    EXPECT_EQ(a[0].id, (4000u << 16) | 1u);
}

TEST_F(SambaBackend, FailuresArePassedOnAndEndTheEnumeration) {
    source->status = {{kAccessDenied, ""}};
    std::uint32_t resume = 0;
    EXPECT_EQ(backend.enum_sessions(2048, resume).status, kAccessDenied);
    EXPECT_EQ(backend.enum_shares(8192, resume).status, kAccessDenied);
    EXPECT_EQ(backend.enum_open_files(2048, resume).status, kAccessDenied);

    source->status = {{kSuccess, "smbd is not running"}};
    source->status_calls = 0;
    auto garbled = backend.enum_open_files(2048, resume);
    EXPECT_EQ(garbled.status, kInvalidData);
    EXPECT_TRUE(garbled.records.empty());

    source->status = {{kSuccess, report_with_opens(1)}};
    source->config = {kAccessDenied, ""};
    EXPECT_EQ(backend.enum_shares(8192, resume).status, kAccessDenied) << "no configuration, no shares";
}

TEST_F(SambaBackend, SharesAndSessionsFromCapturedReport) {
    source->status = {{kSuccess, read_data("status_four_opens.json")}};
    source->config = {kSuccess, read_data("testparm.txt")};
    std::uint32_t resume = 0;
    auto shares = backend.enum_shares(8192, resume);
    ASSERT_EQ(shares.status, kSuccess);
    ASSERT_EQ(shares.records.size(), 4u);
    EXPECT_EQ(shares.records[0].name, "公共") << "GBK cells";
    EXPECT_EQ(shares.records[3].name, "IPC$");
    resume = 0;
    auto first = backend.enum_sessions(60, resume);
    EXPECT_EQ(first.status, kMoreData);
    EXPECT_EQ(first.records.size(), 1u);
    EXPECT_EQ(resume, 1u);
}

TEST_F(SambaBackend, CloseNamesSambasIdOfAnOpenThatExists) {
    source->status = {{kSuccess, report_with_opens(3)}};
    const auto opens = all_opens(2048);
    EXPECT_EQ(backend.close_open_file(opens[1].id), kSuccess);
    EXPECT_EQ(source->closed, std::vector<std::uint32_t>{(4000u << 16) | 2u});

    source->close_status = kFileIdNotFound;
    EXPECT_EQ(backend.close_open_file(opens[2].id), kFileIdNotFound) << "the server's answer is passed on";
}

TEST_F(SambaBackend, CloseRefusesWithoutAccountUnknownIdsOrAmbiguity) {
    source->status = {{kSuccess, report_with_opens(2)}};
    const auto opens = all_opens(2048);

    source->credentials_status = kAccessDenied;
    EXPECT_EQ(backend.close_open_file(opens[0].id), kAccessDenied);
    source->credentials_status = kSuccess;

    EXPECT_EQ(backend.close_open_file(12345), kFileIdNotFound);
    source->status = {{kSuccess, report_with_opens(0)}};
    EXPECT_EQ(backend.close_open_file(opens[0].id), kFileIdNotFound) << "the open ended meanwhile";

    // pid 0x10FA0 and pid 0xFA0 (4000) look the same to Samba's srvsvc.
    std::string two = report_with_opens(1, 4000);
    std::string other = report_with_opens(1, 0x10FA0);
    two.insert(two.rfind("}}"), "," + other.substr(other.find("\"/srv"), other.rfind("}}") - other.find("\"/srv")));
    two.replace(two.find("/srv/d/f0\":"), 9, "/srv/d/g0");
    source->status = {{kSuccess, two}};
    const auto colliding = all_opens(2048);
    ASSERT_EQ(colliding.size(), 2u);
    EXPECT_NE(colliding[0].id, colliding[1].id);
    EXPECT_EQ(backend.close_open_file(colliding[1].id), kNotSupported) << "Samba would close both";
    EXPECT_EQ(source->closed.size(), 0u);
}

TEST_F(SambaBackend, StatusFailureOnCloseIsPassedOn) {
    source->status = {{kAccessDenied, ""}};
    EXPECT_EQ(backend.close_open_file(1), kAccessDenied);
}
