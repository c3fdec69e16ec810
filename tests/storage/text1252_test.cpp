#include "storage/Text1252.h"

#include <gtest/gtest.h>

#include <string>

using namespace kovet;
using namespace std::string_literals;

TEST(Windows1252, HighControlRangeMapsToTypographicCharacters) {
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Windows1252ToUtf8("\x85\x93\x94"), "\u2026\u201C\u201D");
    EXPECT_EQ(Windows1252ToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Windows1252ToUtf8("caf\xE9 \xA0\xFF"), "caf\u00E9 \u00A0\u00FF");
    EXPECT_EQ(Windows1252ToUtf8("a\0b"s), "a\0b"s);
}

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

TEST(Windows1252, CharactersWithoutACodeBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1252("\u20AC \u00E9"), "\x80 \xE9");
    EXPECT_EQ(Utf8ToWindows1252("\u0080"), "?"); // 0x80 is the euro sign, not this control
    EXPECT_EQ(Utf8ToWindows1252("a\u4E2Db"), "a?b");
    EXPECT_EQ(Utf8ToWindows1252("\U0001F600!"), "?!");
}

TEST(Windows1252, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1252("\x80x"), "?x");           // stray continuation byte
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82"), "?");         // cut short at the end
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82x"), "?x");       // cut short before a letter
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), "??");        // never a lead byte
    EXPECT_EQ(Utf8ToWindows1252("\xE0\x81\x81"), "?");     // overlong "A"
    EXPECT_EQ(Utf8ToWindows1252("\xF0\x80\x81\x81"), "?"); // overlong "A"
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "?");     // a surrogate
    EXPECT_EQ(Utf8ToWindows1252("\xF4\x90\x80\x80"), "?"); // beyond the last code point
    EXPECT_EQ(Utf8ToWindows1252("\xFF"), "?");
}

TEST(AsciiCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(SameText("Field1", "fIELD1"));
    EXPECT_FALSE(SameText("Field1", "Field12"));
    EXPECT_FALSE(SameText("\xE9", "\xC9"));
    EXPECT_FALSE(SameText("[", "{"));
    EXPECT_EQ(AsciiUpper("ab_z\xE9"), "AB_Z\xE9");
}
