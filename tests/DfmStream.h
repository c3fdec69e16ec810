#pragma once

// Delphi binary form files built by hand, byte by byte, for the reader's tests, the
// command-line tests and the benchmark.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kovet::test {

class DfmStream {
public:
    // The resource header and "TPF0".
    explicit DfmStream(std::string_view resourceName = "TFORM1") {
        Byte(0xFF).U16(10);
        Raw(resourceName).Byte(0);
        U16(0x1030).U32(0);
        Raw("TPF0");
    }

    // An object's class and name; its prefix byte 0xF0 + flags (and a position value) before.
    DfmStream& Object(std::string_view className, std::string_view name) { return Short(className).Short(name); }
    DfmStream& Prefix(std::uint8_t flags) { return Byte(std::uint8_t(0xF0 | flags)); }
    // The zero byte that ends properties, children, lists and collections.
    DfmStream& End() { return Byte(0); }
    DfmStream& Prop(std::string_view name) { return Short(name); }

    // Values: the type byte and its data.
    DfmStream& Type(std::uint8_t type) { return Byte(type); }
    DfmStream& Int8(std::int8_t v) { return Type(2).Byte(std::uint8_t(v)); }
    DfmStream& Int16(std::int16_t v) { return Type(3).U16(std::uint16_t(v)); }
    DfmStream& Int32(std::int32_t v) { return Type(4).U32(std::uint32_t(v)); }
    DfmStream& Int64(std::int64_t v) { return Type(19).U64(std::uint64_t(v)); }
    DfmStream& String(std::string_view s) { return Type(6).Short(s); }
    DfmStream& LString(std::string_view s) { return Type(12).U32(std::uint32_t(s.size())).Raw(s); }
    DfmStream& WString(std::u16string_view s) {
        Type(18).U32(std::uint32_t(s.size()));
        for (const char16_t unit : s)
            U16(unit);
        return *this;
    }
    DfmStream& Ident(std::string_view s) { return Type(7).Short(s); }
    DfmStream& Binary(const std::vector<std::uint8_t>& data) {
        Type(10).U32(std::uint32_t(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    DfmStream& Set(std::initializer_list<std::string_view> members) {
        Type(11);
        for (const std::string_view member : members)
            Short(member);
        return Short("");
    }
    // An 80-bit float from its parts.
    DfmStream& Extended(std::uint64_t mantissa, std::uint16_t signAndExponent) {
        return Type(5).U64(mantissa).U16(signAndExponent);
    }

    DfmStream& Byte(std::uint8_t b) {
        bytes_.push_back(b);
        return *this;
    }
    DfmStream& U16(std::uint16_t v) { return Byte(std::uint8_t(v)).Byte(std::uint8_t(v >> 8)); }
    DfmStream& U32(std::uint32_t v) { return U16(std::uint16_t(v)).U16(std::uint16_t(v >> 16)); }
    DfmStream& U64(std::uint64_t v) { return U32(std::uint32_t(v)).U32(std::uint32_t(v >> 32)); }
    DfmStream& Raw(std::string_view chars) {
        bytes_.insert(bytes_.end(), chars.begin(), chars.end());
        return *this;
    }
    DfmStream& Short(std::string_view chars) { return Byte(std::uint8_t(chars.size())).Raw(chars); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace kovet::test
