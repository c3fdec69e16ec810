// The pieces of JSON text the dumps write outside whole documents.
#include "kovet/Json.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

using namespace kovet::cli;

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonString(R"(say "hi" \ bye)"), R"("say \"hi\" \\ bye")");
    EXPECT_EQ(JsonString("a\tb\nc\rd\be\ff"), R"("a\tb\nc\rd\be\ff")");
    EXPECT_EQ(JsonString(std::string("\x01\x1f\x00z", 4)), R"("\u0001\u001f\u0000z")");
}

TEST(JsonString, LeavesOtherCharactersAsTheyAre) {
    EXPECT_EQ(JsonString("caf\xC3\xA9 \xE2\x82\xAC / \x7F"), "\"caf\xC3\xA9 \xE2\x82\xAC / \x7F\"");
    EXPECT_EQ(JsonString(""), "\"\"");
}

TEST(JsonFloat, WritesTheShortestFormThatReadsBack) {
    EXPECT_EQ(JsonFloat(0.0f), "0");
    EXPECT_EQ(JsonFloat(90.0f), "90");
    EXPECT_EQ(JsonFloat(0.1f), "0.1");
    EXPECT_EQ(JsonFloat(-2.5f), "-2.5");
    EXPECT_EQ(JsonFloat(1e30f), "1e+30");
    const float tiny = std::numeric_limits<float>::denorm_min();
    EXPECT_EQ(std::strtof(JsonFloat(tiny).c_str(), nullptr), tiny);
}

TEST(JsonFloat, WritesNullForValuesJsonCannotHold) {
    EXPECT_EQ(JsonFloat(std::numeric_limits<float>::quiet_NaN()), "null");
    EXPECT_EQ(JsonFloat(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(JsonFloat(-std::numeric_limits<float>::infinity()), "null");
}
