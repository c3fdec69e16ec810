#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kovet {

// One character read from UTF-8 text. A malformed sequence (a bad lead byte, a sequence cut
// short, an overlong form, a surrogate or a code beyond U+10FFFF) is not Valid; Length then
// counts the bytes that belong to it: the lead and the continuation bytes that followed it.
struct TUtf8Char {
    char32_t Code = 0;
    std::size_t Length = 1;
    bool Valid = false;
};

TUtf8Char DecodeUtf8(std::string_view text, std::size_t at);
void AppendUtf8(std::string& out, char32_t code);

// Malformed sequences become U+FFFD, one for each byte of them; characters beyond the BMP
// become surrogate pairs.
std::u16string Utf8ToUtf16(std::string_view text);
// NULs are dropped; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace kovet
