// The hand-made pieces of the dump: the picture fingerprint and the JSON text.
#include "kovet/Json.h"
#include "kovet/Sha256.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

using namespace kovet::cli;

namespace {

std::string sha(const std::string& text) {
    return Sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace

TEST(Sha256, MatchesThePublishedVectors) {
    EXPECT_EQ(sha(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// The length field needs 8 bytes after the 0x80 marker: 55 bytes still fit one block,
// 56 spill the padding into a second one; 64 and 119/120 repeat that one block later.
TEST(Sha256, PadsAcrossBlockBoundaries) {
    const std::vector<std::pair<std::size_t, std::string>> vectors = {
        {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
        {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
        {120, "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
    };
    for (const auto& [length, digest] : vectors)
        EXPECT_EQ(sha(std::string(length, 'a')), digest) << length;
}

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
