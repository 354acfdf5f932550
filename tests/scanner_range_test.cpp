// The range walk of a scan and the checks Start makes before one.
#include <gtest/gtest.h>

#include <vector>

#include "scanner/scan_range.h"

namespace {

struct Visit {
    std::string address;
    bool probed;
};

// Every address the scan lists, bounded so a walk that never ends fails.
std::vector<Visit> walk(const Octets& start, const Octets& end) {
    std::vector<Visit> visits;
    ScanWalk w(start, end);
    do {
        visits.push_back({dotted(w.current()), w.probe_current()});
    } while (w.advance() && visits.size() < 70000);
    return visits;
}

}  // namespace

TEST(ScanWalk, EqualAddressesProbeThatOneAddress) {
    auto v = walk({10, 1, 1, 7}, {10, 1, 1, 7});
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].address, "10.1.1.7");
    EXPECT_TRUE(v[0].probed);
}

TEST(ScanWalk, TheEndAddressIsNotProbed) {
    auto v = walk({10, 1, 1, 5}, {10, 1, 1, 6});
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].address, "10.1.1.5");

    auto whole = walk({192, 168, 1, 1}, {192, 168, 1, 255});
    ASSERT_EQ(whole.size(), 254u);
    EXPECT_EQ(whole.back().address, "192.168.1.254");
}

TEST(ScanWalk, CrossesIntoTheNextNetworkListingItsZeroAddress) {
    auto v = walk({10, 1, 1, 200}, {10, 1, 2, 10});
    ASSERT_EQ(v.size(), 56u + 10u);
    EXPECT_EQ(v.front().address, "10.1.1.200");
    EXPECT_EQ(v[55].address, "10.1.1.255");
    EXPECT_TRUE(v[55].probed);
    EXPECT_EQ(v[56].address, "10.1.2.0");
    EXPECT_FALSE(v[56].probed);
    EXPECT_EQ(v.back().address, "10.1.2.9");
    for (std::size_t i = 57; i < v.size(); ++i)
        EXPECT_TRUE(v[i].probed) << v[i].address;
}

TEST(ScanWalk, RangeInsideNetworkZeroIsListedButNeverProbed) {
    auto v = walk({10, 1, 0, 1}, {10, 1, 0, 5});
    ASSERT_EQ(v.size(), 4u);
    for (const auto& visit : v)
        EXPECT_FALSE(visit.probed) << visit.address;
}

TEST(ScanWalk, AcrossSeveralNetworksEveryAddressOnceInOrder) {
    auto v = walk({10, 1, 3, 0}, {10, 1, 6, 0});
    ASSERT_EQ(v.size(), 3u * 256u);
    EXPECT_EQ(v[256].address, "10.1.4.0");
    EXPECT_EQ(v.back().address, "10.1.5.255");
}

TEST(RangeCheck, EndBeforeStartIsCheckedFirst) {
    EXPECT_EQ(check_range({10, 0, 1, 1}, {11, 0, 0, 1}), RangeCheck::EndBeforeStart);
    EXPECT_EQ(check_range({10, 0, 1, 9}, {10, 0, 1, 8}), RangeCheck::EndBeforeStart);
    EXPECT_EQ(check_range({10, 0, 1, 9}, {10, 1, 1, 9}), RangeCheck::NotClassC);
    EXPECT_EQ(check_range({10, 0, 1, 9}, {11, 0, 2, 0}), RangeCheck::NotClassC);
    EXPECT_EQ(check_range({10, 0, 1, 9}, {10, 0, 1, 9}), RangeCheck::Ok);
    EXPECT_EQ(check_range({10, 0, 1, 250}, {10, 0, 2, 0}), RangeCheck::Ok);
}

TEST(DefaultRange, HostNetworkOr192_168_1) {
    auto mine = default_range(Octets{10, 213, 77, 1});
    EXPECT_EQ(dotted(mine.start), "10.213.77.1");
    EXPECT_EQ(dotted(mine.end), "10.213.77.255");
    auto fallback = default_range(std::nullopt);
    EXPECT_EQ(dotted(fallback.start), "192.168.1.1");
    EXPECT_EQ(dotted(fallback.end), "192.168.1.255");
    EXPECT_EQ(dotted(end_of_network({172, 16, 9, 40})), "172.16.9.255");
}

// The start control sums its fields in base 256 (Wine's does; Windows'
// never holds a field above 255), so a half-typed "999" in one field must
// not reach the octet before it.
TEST(FieldChange, ClampsTheChangedFieldWithoutCarryingIntoAnother) {
    auto sum = [](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        return ((a * 256 + b) * 256 + c) * 256 + d;
    };
    auto after = [](std::uint32_t reported, int field, int value) {
        auto a = address_after_field_change(reported, field, value);
        return a ? dotted(*a) : std::string("none");
    };
    EXPECT_EQ(after(sum(999, 231, 40, 1), 0, 999), "255.231.40.1");
    EXPECT_EQ(after(sum(10, 999, 40, 1), 1, 999), "10.255.40.1");
    EXPECT_EQ(after(sum(10, 231, 300, 1), 2, 300), "10.231.255.1");
    EXPECT_EQ(after(sum(10, 231, 40, 256), 3, 256), "10.231.40.255");
    EXPECT_EQ(after(sum(10, 231, 41, 1), 2, 41), "10.231.41.1");
    EXPECT_EQ(after(sum(10, 231, 0, 1), 2, -1), "10.231.0.1") << "a blank field counts as 0";
    EXPECT_EQ(after(sum(10, 231, 40, 1), 4, 7), "none");
    EXPECT_EQ(after(sum(10, 231, 40, 1), -1, 7), "none");
}
