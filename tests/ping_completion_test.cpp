// Type-ahead completion of the host box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ping/completion.h"

namespace {

const std::vector<std::string> kList = {"10.0.0.1", "Host1", "host10", "server"};

TEST(HostCompletion, TypedPrefixShowsTheFirstEntryWithTheRestSelected) {
    auto c = ping::complete(kList, "ho", {2, 2}, true);
    EXPECT_EQ(c.entry, 1);
    EXPECT_EQ(c.text, "Host1");
    EXPECT_EQ(c.selection.start, 2);
    EXPECT_EQ(c.selection.end, -1);
    // "st1" is what the selection covers.
    EXPECT_EQ(c.text.substr(static_cast<std::size_t>(c.selection.start)), "st1");
}

TEST(HostCompletion, PrefixSearchIgnoresCaseAndStartsAtTheTop) {
    EXPECT_EQ(ping::complete(kList, "HOST1", {5, 5}, true).entry, 1);
    EXPECT_EQ(ping::complete(kList, "host10", {6, 6}, true).entry, 2);
    EXPECT_EQ(ping::complete(kList, "1", {1, 1}, true).text, "10.0.0.1");
}

TEST(HostCompletion, NoMatchKeepsTheTypedTextAndSelection) {
    auto c = ping::complete(kList, "hx", {2, 2}, true);
    EXPECT_EQ(c.entry, -1);
    EXPECT_EQ(c.text, "hx");
    EXPECT_EQ(c.selection.start, 2);
    // A longer text than any entry.
    EXPECT_EQ(ping::complete(kList, "server.local", {12, 12}, true).entry, -1);
}

TEST(HostCompletion, CaretInsideTheTextStaysThere) {
    // Typing at position 1 of "hst" leaves the caret after the new letter.
    auto c = ping::complete(kList, "host", {1, 1}, true);
    EXPECT_EQ(c.entry, 1);
    EXPECT_EQ(c.selection.start, 1);
    EXPECT_EQ(c.selection.end, 1);
}

TEST(HostCompletion, UnknownSelectionSelectsTheCompletedTail) {
    auto c = ping::complete(kList, "se", {0, 0}, false);
    EXPECT_EQ(c.text, "server");
    EXPECT_EQ(c.selection.start, 2);
    EXPECT_EQ(c.selection.end, -1);
}

TEST(HostCompletion, EmptiedBoxIsNotFilled) {
    auto c = ping::complete(kList, "", {0, 0}, true);
    EXPECT_EQ(c.entry, -1);
    EXPECT_EQ(c.text, "");
    EXPECT_EQ(ping::complete({}, "ho", {2, 2}, true).entry, -1);
}

TEST(HostCompletion, DeleteAndBackspaceSwitchItOffOtherKeysOn) {
    EXPECT_FALSE(ping::completion_after_key(ping::kKeyBackspace));
    EXPECT_FALSE(ping::completion_after_key(ping::kKeyDelete));
    EXPECT_TRUE(ping::completion_after_key('H'));
    EXPECT_TRUE(ping::completion_after_key(0x25));  // left arrow
}

}  // namespace
