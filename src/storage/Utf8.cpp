#include "Utf8.h"

#include <cstdint>

namespace kovet {

TUtf8Char DecodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = std::uint8_t(text[at]);
    TUtf8Char c;
    std::size_t extra = 0;
    c.Code = lead;
    if (lead >= 0xC2 && lead < 0xE0) {
        extra = 1, c.Code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        extra = 2, c.Code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        extra = 3, c.Code = lead & 0x07;
    } else if (lead >= 0x80) {
        return c; // a continuation byte or a lead no character can have
    }
    for (; c.Length <= extra && at + c.Length < text.size(); ++c.Length) {
        const auto next = std::uint8_t(text[at + c.Length]);
        if ((next & 0xC0) != 0x80) break;
        c.Code = (c.Code << 6) | (next & 0x3F);
    }
    if (c.Length <= extra) return c; // cut short
    // An overlong form (a character written with more bytes than it needs) is malformed
    // too, not a second way to write a plain letter.
    static constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    c.Valid = c.Code >= kShortest[extra] && c.Code <= 0x10FFFF && (c.Code < 0xD800 || c.Code > 0xDFFF);
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = DecodeUtf8(text, i);
        if (!c.Valid) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (c.Code >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((c.Code - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((c.Code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(c.Code));
        }
        i += c.Length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c != 0) AppendUtf8(out, c);
    }
    return out;
}

} // namespace kovet
