// The RTF document a form is exported as: fixed lines around the metafile's bytes in hex.
#include "convert/RtfExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kovet;

namespace {

const std::vector<std::string> kOpening = {
    R"({\rtf1)",
    R"({\*\pnseclvl9\pnlcrm\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}})",
    R"(\pard\plain \nowidctlpar\adjustright \fs20\cgrid {\lang1024)",
    R"({\shp{\*\shpinst\shpleft288\shptop288\shpright12288\shpbottom15808\shpfhdr0)",
    R"(\shpbxpage\shpbypage\shpwr1\shpwrk0\shpfblwtxt0\shpz0\shplid1026{\sp{)",
    R"(\sn shapeType}{\sv 75}}{\sp{\sn fFlipH}{\sv 0}}{\sp{\sn fFlipV}{\sv 0}})",
    R"({\sp{\sn pib}{\sv)",
    R"({\pict)",
    R"(\emfblip\picw800\pich1035 )",
    R"(\picscalex71\picscaley71 )",
    R"(\picwgoal12000\pichgoal15525 )",
};
const std::string kClosing = "} } } } } } }";

TEST(RtfExport, TheMetafileLiesInHexLinesOf64BytesBetweenFixedLines) {
    std::vector<std::uint8_t> metafile(130);
    for (std::size_t i = 0; i < metafile.size(); ++i)
        metafile[i] = std::uint8_t(i * 7 + 0xA0);
    const std::vector<std::string> lines = RtfDocumentLines(metafile);
    ASSERT_EQ(lines.size(), kOpening.size() + 3 + 1);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 11), kOpening);
    EXPECT_EQ(lines[11].size(), 128u);
    EXPECT_EQ(lines[12].size(), 128u);
    EXPECT_EQ(lines[13], "2027") << "the last two bytes";
    EXPECT_EQ(lines[11].substr(0, 8), "A0A7AEB5") << "upper case";
    EXPECT_EQ(lines.back(), kClosing);

    // Another metafile changes only the hex lines; one of exactly 64 bytes gives one full line.
    const std::vector<std::string> other = RtfDocumentLines(std::vector<std::uint8_t>(64, 0x0F));
    ASSERT_EQ(other.size(), kOpening.size() + 2);
    std::string fullLine;
    for (int i = 0; i < 64; ++i)
        fullLine += "0F";
    EXPECT_EQ(other[11], fullLine);
    EXPECT_EQ(other.back(), kClosing);
}

TEST(RtfExport, EveryLineEndsWithCarriageReturnAndLineFeed) {
    const std::vector<std::uint8_t> bytes = RtfDocument(std::vector<std::uint8_t>{0x01, 0xFE});
    std::string expected;
    for (const std::string& line : kOpening)
        expected += line + "\r\n";
    expected += "01FE\r\n" + kClosing + "\r\n";
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

} // namespace
