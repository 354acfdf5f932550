// The host history's order and case rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ping/host_history.h"

using Entries = std::vector<std::string>;

TEST(HostHistory, ReadInAnyOrderIsKeptSortedIgnoringCase) {
    HostHistory h;
    h.add("b");
    h.add("a");
    EXPECT_EQ(h.entries(), (Entries{"a", "b"}));
    h.add("C");
    h.add("B2");
    h.add("10.0.0.1");
    EXPECT_EQ(h.entries(), (Entries{"10.0.0.1", "a", "b", "B2", "C"}));
}

TEST(HostHistory, SavedDuplicatesAndEmptyTextsAreKept) {
    HostHistory h;
    h.add("host");
    h.add("");
    h.add("HOST");
    EXPECT_EQ(h.entries(), (Entries{"", "host", "HOST"}));
}

TEST(HostHistory, ResolvedHostIsAddedOnceWhateverItsCase) {
    HostHistory h;
    EXPECT_EQ(h.add_if_absent("Server1"), 0);
    EXPECT_EQ(h.add_if_absent("server1"), -1);
    EXPECT_EQ(h.add_if_absent("SERVER1"), -1);
    // A longer or shorter text is another host, not a prefix match.
    EXPECT_EQ(h.add_if_absent("server"), 0);
    EXPECT_EQ(h.add_if_absent("server10"), 2);
    EXPECT_EQ(h.entries(), (Entries{"server", "Server1", "server10"}));
}

TEST(HostHistory, EmptyHostThatResolvedIsAddedFirst) {
    HostHistory h;
    h.add("a");
    EXPECT_EQ(h.add_if_absent(""), 0);
    EXPECT_EQ(h.add_if_absent(""), -1);
}

TEST(HostHistory, CaseFoldingTouchesOnlyAsciiLetters) {
    // '_' lies between 'Z' and 'a': folded letters sort after it.
    EXPECT_LT(compare_hosts("_x", "a"), 0);
    EXPECT_GT(compare_hosts("A", "_"), 0);
    // GBK bytes compare unfolded and after ASCII.
    EXPECT_GT(compare_hosts("主机", "zz"), 0);
    EXPECT_FALSE(same_host("主机", "主"));
}

// The value names a saved history is read back from: exactly what "Host#%d"
// writes, letters in any case as the registry matches them.
TEST(SavedEntryIndex, OnlyNamesTheHistoryWritesAreEntries) {
    EXPECT_EQ(saved_entry_index("Host#0"), 0ul);
    EXPECT_EQ(saved_entry_index("host#12"), 12ul);
    EXPECT_EQ(saved_entry_index("HOST#4294967295"), 4294967295ul);
    for (const char* other : {"Host#4294967296", "Host#07", "Host#", "Host#-1", "Host#1a", "Hosts#1", "Entries", ""})
        EXPECT_EQ(saved_entry_index(other), std::nullopt) << other;
}
