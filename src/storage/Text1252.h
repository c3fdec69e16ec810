#pragma once

#include <string>
#include <string_view>

namespace kovet {

// Record strings are Windows-1252 bytes; these convert them where text leaves or enters
// the records. Bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control of the same number, as the platform's own conversion does.
std::string Windows1252ToUtf8(std::string_view bytes);

// A character without a Windows-1252 code, or a malformed UTF-8 sequence, becomes "?".
std::string Utf8ToWindows1252(std::string_view utf8);
// Text from outside (a text file, a host program's form) as record text: valid UTF-8, as
// Linux writes text, is converted; anything else is taken as Windows-1252 already.
std::string TextToWindows1252(std::string_view text);

} // namespace kovet

namespace kovet {

// ASCII-only case folding, as names and keys are compared in records.
inline char AsciiUpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

inline std::string AsciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiUpperChar(c);
    return out;
}

inline std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
    return out;
}
inline bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpperChar(a[i]) != AsciiUpperChar(b[i])) return false;
    }
    return true;
}

} // namespace kovet
