#include "convert/RtfExport.h"

#include <algorithm>
#include <iterator>

namespace kovet {
namespace {

constexpr const char* kHeaderLines[] = {
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
constexpr char kClosingLine[] = "} } } } } } }";
constexpr std::size_t kBytesPerLine = 64;

} // namespace

std::vector<std::string> RtfDocumentLines(ConstBytes metafile) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::vector<std::string> lines(std::begin(kHeaderLines), std::end(kHeaderLines));
    for (std::size_t at = 0; at < metafile.size(); at += kBytesPerLine) {
        const ConstBytes part = metafile.subspan(at, std::min(kBytesPerLine, metafile.size() - at));
        std::string line;
        line.reserve(2 * part.size());
        for (const std::uint8_t b : part) {
            line += kDigits[b >> 4];
            line += kDigits[b & 15];
        }
        lines.push_back(std::move(line));
    }
    lines.emplace_back(kClosingLine);
    return lines;
}

std::vector<std::uint8_t> RtfDocument(ConstBytes metafile) {
    std::vector<std::uint8_t> bytes;
    for (const std::string& line : RtfDocumentLines(metafile)) {
        bytes.insert(bytes.end(), line.begin(), line.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    return bytes;
}

} // namespace kovet
