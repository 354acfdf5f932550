#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/gbk_text.h"

// "表" is B1 ED and "|" can be a GBK trail byte: 0x81 0x7C is one character.
const std::string kLeadBar = "\x81\x7C";

TEST(GbkFind, NeverMatchesInsideADoubleByteCharacter) {
    std::string text = "D:\\" + kLeadBar + "x|";
    EXPECT_EQ(gbk::find(text, "|"), text.size() - 1);
    EXPECT_EQ(gbk::find(kLeadBar, "|"), std::string::npos);
    // "\\" (0x5C) is a trail byte of many characters too.
    EXPECT_FALSE(gbk::contains("\x95\x5C", "\\"));
    EXPECT_TRUE(gbk::contains("共享\\a", "\\a"));
}

TEST(GbkFind, FindsFromAPositionAndEmptyNeedle) {
    EXPECT_EQ(gbk::find("a|b|", "|", 2), 3u);
    EXPECT_EQ(gbk::find("abc", ""), 0u);
    EXPECT_EQ(gbk::find("", "a"), std::string::npos);
    EXPECT_EQ(gbk::find("共享资料", "资料"), 4u);
}

TEST(GbkFind, CaseBlindForAsciiOnlyAndNeverInsideACharacter) {
    // 0x81 0x41: a character whose trail byte reads as "A".
    const std::string lead_a = "\x81\x41";
    EXPECT_TRUE(gbk::contains_folded("D:\\Alice\\报告.DOC", gbk::fold_ascii("aLIce\\报告.doc")));
    EXPECT_FALSE(gbk::contains_folded(lead_a, gbk::fold_ascii("a")));
    EXPECT_FALSE(gbk::contains_folded(lead_a, gbk::fold_ascii("A")));
    EXPECT_EQ(gbk::fold_ascii("X" + lead_a + "Y"), "x" + lead_a + "y") << "the trail byte is no capital";
    EXPECT_TRUE(gbk::contains_folded("x" + lead_a + "Z", gbk::fold_ascii(lead_a + "z")));
    EXPECT_FALSE(gbk::contains_folded("ab", gbk::fold_ascii("abc")));
    EXPECT_TRUE(gbk::contains_folded("", ""));
}

TEST(GbkTruncate, CutsAtACharacterEdge) {
    std::string text(258, 'a');
    text += "共";  // bytes 258 and 259: would end inside the character at 259
    EXPECT_EQ(gbk::truncate(text, 259).size(), 258u);
    EXPECT_EQ(gbk::truncate(text, 260), text);
    EXPECT_EQ(gbk::truncate("abc", 2), "ab");
    EXPECT_EQ(gbk::truncate("共享", 3), "共");
}

TEST(CodePage, ConvertsAndCutsNetworkTexts) {
    EXPECT_EQ(codepage::utf8_to_gbk("\xE5\x85\xB1\xE4\xBA\xAB"), "共享");  // UTF-8 of 共享
    EXPECT_EQ(codepage::utf16_to_gbk(u"共享a"), "共享a");
    EXPECT_EQ(codepage::gbk_to_utf16("共享a"), u"共享a");
    // A character GBK lacks becomes a question mark, not a cut.
    EXPECT_EQ(codepage::utf16_to_gbk(u"a\u0E01b"), "a?b");
    std::u16string long_name(200, u'共');
    EXPECT_EQ(codepage::utf16_to_cell(long_name).size(), 258u);
}
