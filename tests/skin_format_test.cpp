#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "skin/skin_format.h"

TEST(SkinFormat, ReadsOurShippedSkin) {
    std::ifstream in(std::string(FILVANE_TEST_DATA) + "/../../skin/skins/filvane.skin", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    SkinObjects objects;
    ASSERT_TRUE(parse_skin(bytes.str(), objects));
    ASSERT_EQ(objects.count("Dialog"), 1u);
    EXPECT_NE(objects["Dialog"].background, objects["Dialog"].text);
}

TEST(SkinFormat, ParsesColoursAndIgnoresUnknownKeys) {
    SkinObjects objects;
    ASSERT_TRUE(parse_skin(
        "FILVANE-SKIN 1\r\n[Dialog]\r\nbackground=0a0B0c\r\ntext=FFFFFF\r\nglow=1\r\naccent=000001\r\n", objects));
    EXPECT_EQ(objects["Dialog"].background, 0x0A0B0Cu);
    EXPECT_EQ(objects["Dialog"].text, 0xFFFFFFu);
    EXPECT_EQ(objects["Dialog"].accent, 1u);
}

TEST(SkinFormat, RejectsWhatIsNotASkin) {
    SkinObjects objects;
    EXPECT_FALSE(parse_skin("", objects));
    EXPECT_FALSE(parse_skin("MZ\x90\x00", objects));
    EXPECT_FALSE(parse_skin("FILVANE-SKIN 1\n[Dialog]\nbackground=FFFFFF\ntext=000000\n", objects)) << "no accent";
    EXPECT_FALSE(parse_skin("FILVANE-SKIN 1\n[Dialog]\nbackground=FFFFF\ntext=000000\naccent=000000\n", objects));
    EXPECT_FALSE(parse_skin("FILVANE-SKIN 1\n[Dialog]\nbackground=GGGGGG\ntext=000000\naccent=000000\n", objects));
    EXPECT_FALSE(parse_skin("FILVANE-SKIN 1\nbackground=FFFFFF\n", objects)) << "a key outside any section";
    EXPECT_TRUE(objects.empty()) << "a rejected skin leaves nothing behind";
}
