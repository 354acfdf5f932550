#include <gtest/gtest.h>

#include <string>

#include "shell/version_check.h"

TEST(VersionThreshold, AnnouncesOnlyShortTextsAboveFive) {
    for (const char* newer : {"5.2", "5.1", "12", "5.01", " 6"})
        EXPECT_TRUE(announces_new_version(newer)) << newer;
    for (const char* not_newer : {"5.0", "5", "4.9", "", "Error", "-7", "abc", "5.00"})
        EXPECT_FALSE(announces_new_version(not_newer)) << not_newer;
    // Above the threshold but five bytes or more.
    for (const char* too_long : {"5.2\r\n", "5.2.1", "12.00", "<html>"})
        EXPECT_FALSE(announces_new_version(too_long)) << too_long;
}

TEST(VersionThreshold, ReadsTheLeadingNumberAsAtofDoes) {
    EXPECT_DOUBLE_EQ(leading_number("5.2"), 5.2);
    EXPECT_DOUBLE_EQ(leading_number("  \t5.2abc"), 5.2);
    EXPECT_DOUBLE_EQ(leading_number("5.2.1"), 5.2);
    EXPECT_DOUBLE_EQ(leading_number(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leading_number("6."), 6.0);
    EXPECT_DOUBLE_EQ(leading_number("-3.5"), -3.5);
    EXPECT_DOUBLE_EQ(leading_number("1e1x"), 10.0);
    EXPECT_DOUBLE_EQ(leading_number("7e"), 7.0) << "an exponent without digits is not part of it";
    EXPECT_DOUBLE_EQ(leading_number("."), 0.0);
    EXPECT_DOUBLE_EQ(leading_number("+"), 0.0);
    EXPECT_DOUBLE_EQ(leading_number("Error"), 0.0);
    EXPECT_DOUBLE_EQ(leading_number(""), 0.0);
}

TEST(FetchedBody, ChunksAppendUpToAnEmbeddedNul) {
    std::string body;
    append_body_chunk(body, "5.", 2);
    append_body_chunk(body, "2xyz", 1);
    EXPECT_EQ(body, "5.2");
    const char with_nul[] = {'\r', '\n', '\0', 'z'};
    append_body_chunk(body, with_nul, sizeof with_nul);
    EXPECT_EQ(body, "5.2\r\n");
    append_body_chunk(body, "", 0);
    EXPECT_EQ(body, "5.2\r\n");
}

TEST(VersionThreshold, AnswersThatAreNoVersionNumberAreIgnored) {
    for (const char* odd : {"6abc", "9e9", "6.", ".9", "6..1", "6 ", "6-1", "+6", "0x9"})
        EXPECT_FALSE(announces_new_version(odd)) << odd;
    for (const char* number : {"5.2", " 6", "10.5", "007"})
        EXPECT_TRUE(is_version_number(number)) << number;
    for (const char* not_number : {"", " ", "abc", "6abc", "9e9", "6.", ".9", "1.2.3", "5\r\n"})
        EXPECT_FALSE(is_version_number(not_number)) << not_number;
}

TEST(FetchedBody, ALongerBodyThanAnAnswerIsRefusedAtTheLimit) {
    std::string body;
    const std::string chunk(kVersionAnswerLimit - 1, '9');
    EXPECT_TRUE(append_body_chunk(body, chunk.data(), chunk.size()));
    EXPECT_TRUE(append_body_chunk(body, "9", 1)) << "exactly the limit is still an answer";
    EXPECT_EQ(body.size(), kVersionAnswerLimit);
    EXPECT_FALSE(append_body_chunk(body, "9", 1));
    EXPECT_EQ(body.size(), kVersionAnswerLimit) << "nothing past the limit is kept";
    // A NUL ends what counts, so a long tail behind it is no reason to refuse.
    std::string padded = "5.2";
    padded.push_back('\0');
    padded.append(2 * kVersionAnswerLimit, 'x');
    std::string short_body;
    EXPECT_TRUE(append_body_chunk(short_body, padded.data(), padded.size()));
    EXPECT_EQ(short_body, "5.2");
}
