// Type-ahead completion of the host box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ping/completion.h"

namespace {

const std::vector<std::string> kList = {"10.0.0.1", "Host1", "host10", "server"};

TEST(HostCompletion, TypedPrefixShowsTheFirstEntryWithTheRestSelected) {
    auto c = complete(kList, "ho", {2, 2}, true);
    EXPECT_EQ(c.entry, 1);
    EXPECT_EQ(c.text, "Host1");
    EXPECT_EQ(c.selection.start, 2);
    EXPECT_EQ(c.selection.end, -1);
    // "st1" is what the selection covers.
    EXPECT_EQ(c.text.substr(static_cast<std::size_t>(c.selection.start)), "st1");
}

TEST(HostCompletion, PrefixSearchIgnoresCaseAndStartsAtTheTop) {
    EXPECT_EQ(complete(kList, "HOST1", {5, 5}, true).entry, 1);
    EXPECT_EQ(complete(kList, "host10", {6, 6}, true).entry, 2);
    EXPECT_EQ(complete(kList, "1", {1, 1}, true).text, "10.0.0.1");
}

TEST(HostCompletion, NoMatchKeepsTheTypedTextAndSelection) {
    auto c = complete(kList, "hx", {2, 2}, true);
    EXPECT_EQ(c.entry, -1);
    EXPECT_EQ(c.text, "hx");
    EXPECT_EQ(c.selection.start, 2);
    // A longer text than any entry.
    EXPECT_EQ(complete(kList, "server.local", {12, 12}, true).entry, -1);
}

TEST(HostCompletion, CaretInsideTheTextStaysThere) {
    // Typing at position 1 of "hst" leaves the caret after the new letter.
    auto c = complete(kList, "host", {1, 1}, true);
    EXPECT_EQ(c.entry, 1);
    EXPECT_EQ(c.selection.start, 1);
    EXPECT_EQ(c.selection.end, 1);
}

TEST(HostCompletion, UnknownSelectionSelectsTheCompletedTail) {
    auto c = complete(kList, "se", {0, 0}, false);
    EXPECT_EQ(c.text, "server");
    EXPECT_EQ(c.selection.start, 2);
    EXPECT_EQ(c.selection.end, -1);
}

TEST(HostCompletion, EmptiedBoxIsNotFilled) {
    auto c = complete(kList, "", {0, 0}, true);
    EXPECT_EQ(c.entry, -1);
    EXPECT_EQ(c.text, "");
    EXPECT_EQ(complete({}, "ho", {2, 2}, true).entry, -1);
}

TEST(HostCompletion, DeleteAndBackspaceSwitchItOffOtherKeysOn) {
    EXPECT_FALSE(completion_after_key(kKeyBackspace));
    EXPECT_FALSE(completion_after_key(kKeyDelete));
    EXPECT_TRUE(completion_after_key('H'));
    EXPECT_TRUE(completion_after_key(0x25));  // left arrow
}

}  // namespace
