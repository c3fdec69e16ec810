// The metafile parser on the metafiles of outside programs (tests/data/emf): it hands out
// every record between the header and the end-of-file record, whole and in order, and its
// dump names each of them. Built here because the platform tests do not link the parser.

#include "convert/EmfParse.h"
#include "platform/emf/EmfRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace kovet;

namespace {

class ParseFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(ParseFixture, HandsOutEveryRecordBetweenHeaderAndEndOfFile) {
    TEMFParse parser;
    parser.Metafile->LoadFromFile(std::string(KOVET_SOURCE_DIR) + "/tests/data/emf/" + GetParam());
    std::vector<EmfRecord> expected;
    for (const EmfRecord& r : EmfRecords(parser.Metafile->Data()))
        expected.push_back(r);
    ASSERT_GE(expected.size(), 3u);
    ASSERT_EQ(expected.back().Type, std::uint32_t(EMR_EOF));
    expected = std::vector<EmfRecord>(expected.begin() + 1, expected.end() - 1);

    std::vector<std::vector<std::uint8_t>> seen;
    std::vector<std::string> messages;
    parser.OnRecord = [&](TEMFParse&, ConstBytes record) { seen.emplace_back(record.begin(), record.end()); };
    parser.OnMessage = [&](const std::string& m) { messages.push_back(m); };
    parser.AddStrings = true;
    parser.Parse();

    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(std::equal(seen[i].begin(), seen[i].end(), expected[i].Bytes.begin(), expected[i].Bytes.end()))
            << "record " << i;
    }
    const std::vector<std::string>& dump = *parser.Strings;
    const auto records = std::find(dump.begin(), dump.end(), "[Records]");
    ASSERT_NE(records, dump.end());
    EXPECT_EQ(std::size_t(dump.end() - records - 1), expected.size());
    EXPECT_EQ(std::count(records, dump.end(), "EMR_EXTTEXTOUTW"), std::ptrdiff_t(GetParam()[0] == 'w' ? 2 : 1));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ParseFixture, ::testing::Values("wine-gdi32.emf", "libreoffice-draw.emf"),
                         [](const auto& info) { return std::string(info.param).substr(0, 4); });

} // namespace
