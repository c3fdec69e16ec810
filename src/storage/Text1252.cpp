#include "Text1252.h"

#include "Utf8.h"

#include <array>
#include <cstdint>

namespace kovet {
namespace {

// Code points of 0x80..0x9F; the rest of the range is ISO 8859-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int encode1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) return int(0x80 + i);
    }
    return '?';
}

} // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = std::uint8_t(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b));
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const TUtf8Char c = DecodeUtf8(utf8, i);
        out += c.Valid ? char(encode1252(c.Code)) : '?';
        i += c.Length;
    }
    return out;
}

std::string TextToWindows1252(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const TUtf8Char c = DecodeUtf8(text, at);
        if (!c.Valid) return std::string(text);
        at += c.Length;
    }
    return Utf8ToWindows1252(text);
}

} // namespace kovet
