// Identifiers of opens: Samba's own value where it is free, unique always,
// stable while the open lives.
#include <gtest/gtest.h>

#include <set>

#include "netmgmt/samba_open_ids.h"

using namespace netmgmt::samba;

namespace {

Open open_of(std::uint32_t pid, std::uint64_t unique, std::uint64_t file_id) {
    Open o;
    o.process = {pid, unique};
    o.share_file_id = file_id;
    return o;
}

}  // namespace

TEST(SambaOpenIds, PreferSambasSrvsvcValue) {
    EXPECT_EQ(srvsvc_file_id({{12292, 1}, 5}), 805568517u);  // as net rpc file showed
    EXPECT_EQ(srvsvc_file_id({{0x10001, 1}, 1}), 0x10001u) << "pid bits above 16 are lost";
    EXPECT_EQ(srvsvc_file_id({{1, 1}, 0x100000005ull}), 0x10005u) << "counter bits above 32 are lost";
    OpenIdRegistry ids;
    EXPECT_EQ(ids.refresh({open_of(12292, 1, 5)}), std::vector<std::uint32_t>{805568517u});
}

TEST(SambaOpenIds, CollidingOpensGetDistinctIdsThatStay) {
    // Both are (1 << 16) | 1 to Samba.
    const Open a = open_of(1, 1, 1), b = open_of(0x10001, 2, 1), c = open_of(1, 1, 0x10001);
    OpenIdRegistry ids;
    const auto first = ids.refresh({a, b, c});
    EXPECT_EQ(std::set<std::uint32_t>(first.begin(), first.end()).size(), 3u);
    EXPECT_EQ(first[0], 0x10001u);

    // Order of the report and other opens coming and going do not move them.
    const auto second = ids.refresh({c, open_of(7, 7, 7), b, a});
    EXPECT_EQ(second[0], first[2]);
    EXPECT_EQ(second[2], first[1]);
    EXPECT_EQ(second[3], first[0]);

    // When the holder of the preferred value closes, the others keep theirs.
    const auto third = ids.refresh({b, c});
    EXPECT_EQ(third[0], first[1]);
    EXPECT_EQ(third[1], first[2]);
    EXPECT_FALSE(ids.find(first[0])) << "a closed open's id is free";
    const auto fourth = ids.refresh({b, c, open_of(1, 3, 1)});
    EXPECT_EQ(fourth[2], 0x10001u) << "the freed value goes to a new open";
}

TEST(SambaOpenIds, ReusedPidIsAnotherOpen) {
    OpenIdRegistry ids;
    ids.refresh({open_of(50, 100, 5)});
    const auto id = ids.refresh({open_of(50, 100, 5), open_of(50, 200, 5)});
    EXPECT_NE(id[0], id[1]);
    const auto found = ids.find(id[1]);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->process.unique_id, 200u);
}

TEST(SambaOpenIds, NeverHandsOutZeroAndWrapsAtTheTop) {
    OpenIdRegistry ids;
    EXPECT_EQ(ids.refresh({open_of(0, 1, 0)}), std::vector<std::uint32_t>{1u}) << "0 reads as 'no id'";
    const auto top = ids.refresh({open_of(0xFFFF, 1, 0xFFFFFFFF), open_of(0xFFFF, 2, 0xFFFFFFFF)});
    EXPECT_EQ(top[0], 0xFFFFFFFFu);
    EXPECT_EQ(top[1], 1u) << "wraps past the top, skipping 0";
    EXPECT_FALSE(ids.find(2));
}
