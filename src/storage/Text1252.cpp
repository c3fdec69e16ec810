#include "Text1252.h"

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

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

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
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b));
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = std::uint8_t(utf8[i]);
        std::size_t extra = 0;
        char32_t cp = lead;
        if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1, cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2, cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3, cp = lead & 0x07;
        } else if (lead >= 0x80) {
            out += '?';
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k <= extra && i + k < utf8.size() && (std::uint8_t(utf8[i + k]) & 0xC0) == 0x80; ++k) {
            cp = (cp << 6) | (std::uint8_t(utf8[i + k]) & 0x3F);
        }
        if (k <= extra) {
            out += '?';
            i += k;
            continue;
        }
        // An overlong form (a character written with more bytes than it needs) is
        // malformed too, not a second way to write a plain letter.
        static constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
        out += cp < kShortest[extra] ? '?' : char(encode1252(cp));
        i += extra + 1;
    }
    return out;
}

} // namespace kovet
