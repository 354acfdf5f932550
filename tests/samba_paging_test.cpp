// Replies cut from one snapshot: sizes as netapi32 counts them, every record
// exactly once across the replies, texts turned into GBK cells.
#include <gtest/gtest.h>

#include "netmgmt/samba_paging.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

std::vector<OpenFileInfo> opens(int n) {
    std::vector<OpenFileInfo> v;
    for (int i = 0; i < n; ++i)
        v.push_back({static_cast<std::uint32_t>(i + 1), 1, u8"/srv/共享/file" + std::to_string(i), "user"});
    return v;
}

}  // namespace

TEST(SambaPaging, Utf16SizesCountCharactersNotBytes) {
    EXPECT_EQ(utf16_bytes(""), 2u);
    EXPECT_EQ(utf16_bytes("abc"), 8u);
    EXPECT_EQ(utf16_bytes(u8"共享"), 6u) << "three UTF-8 bytes, one UTF-16 unit";
    EXPECT_EQ(utf16_bytes(u8"é"), 4u);
    EXPECT_EQ(utf16_bytes("\xF0\x9F\x98\x80"), 6u) << "outside the BMP: a surrogate pair";
    EXPECT_EQ(buffer_bytes(OpenFileInfo{1, 1, "ab", "u"}), 32u + 6u + 4u);
    EXPECT_EQ(buffer_bytes(ShareInfo{"s", "", 0, ""}), 56u + 4u + 2u + 2u + 2u);
    EXPECT_EQ(buffer_bytes(SessionInfo{"u", "c", 0, 0, 0}), 48u + 4u + 4u + 4u);
}

TEST(SambaPaging, RepliesCoverEverySnapshotRecordOnceInOrder) {
    const auto snapshot = opens(50);
    for (std::uint32_t preferred : {0u, 1u, 100u, 2048u, 8192u, 0xFFFFFFFFu}) {
        std::uint32_t resume = 0;
        std::vector<std::uint32_t> seen;
        int replies = 0;
        for (;;) {
            auto reply = page(snapshot, preferred, resume);
            ++replies;
            ASSERT_FALSE(reply.records.empty()) << "at least one record per reply";
            std::size_t bytes = 0;
            for (const auto& r : reply.records) {
                seen.push_back(r.id);
                bytes += buffer_bytes(snapshot[r.id - 1]);
            }
            if (reply.records.size() > 1) {
                EXPECT_LE(bytes, preferred) << "several records only when they fit";
            }
            EXPECT_EQ(resume, seen.size());
            if (reply.status == kSuccess)
                break;
            ASSERT_EQ(reply.status, kMoreData);
            ASSERT_LT(replies, 100);
        }
        ASSERT_EQ(seen.size(), snapshot.size()) << preferred;
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(seen[i], i + 1);
        if (preferred <= 100) {
            EXPECT_EQ(replies, 50);
        }
        if (preferred == 0xFFFFFFFFu) {
            EXPECT_EQ(replies, 1);
        }
    }
}

TEST(SambaPaging, TwoKilobyteRepliesHoldWhatFits) {
    const auto snapshot = opens(30);
    std::size_t fit = 0, bytes = 0;
    while (bytes + buffer_bytes(snapshot[fit]) <= 2048)
        bytes += buffer_bytes(snapshot[fit++]);
    ASSERT_EQ(fit, 28u) << "70 bytes for file0 to file9, 72 from file10 on";
    std::uint32_t resume = 0;
    auto first = page(snapshot, 2048, resume);
    EXPECT_EQ(first.status, kMoreData);
    EXPECT_EQ(first.records.size(), fit);
    auto second = page(snapshot, 2048, resume);
    EXPECT_EQ(second.status, kSuccess);
    EXPECT_EQ(first.records.size() + second.records.size(), 30u);
}

TEST(SambaPaging, EmptyOrExhaustedSnapshotEndsAtOnce) {
    std::uint32_t resume = 0;
    auto none = page(std::vector<OpenFileInfo>{}, 2048, resume);
    EXPECT_EQ(none.status, kSuccess);
    EXPECT_TRUE(none.records.empty());
    resume = 7;
    auto past = page(opens(3), 2048, resume);
    EXPECT_EQ(past.status, kSuccess);
    EXPECT_TRUE(past.records.empty());
}

TEST(SambaPaging, TextsBecomeGbkCellsCutAtACharacterEdge) {
    const ShareInfo cell = to_cells(ShareInfo{u8"公共", u8"Z:\\srv\\公共", 3, u8"资料 ☃"});
    EXPECT_EQ(cell.name, "公共");  // this file's narrow literals are GBK
    EXPECT_EQ(cell.path, "Z:\\srv\\公共");
    EXPECT_EQ(cell.current_uses, 3u);
    EXPECT_EQ(cell.remark, "资料 ?") << "a character GBK lacks become '?'";

    std::string long_name;
    for (int i = 0; i < 200; ++i)
        long_name += u8"中";
    const OpenFileInfo open = to_cells(OpenFileInfo{5, 3, "x" + long_name, "u"});
    EXPECT_EQ(open.path.size(), 259u) << "1 + 129 double-byte characters";
    EXPECT_EQ(open.path.substr(open.path.size() - 2), "中");
    EXPECT_EQ(open.id, 5u);
    EXPECT_EQ(open.permissions, 3u);
}
