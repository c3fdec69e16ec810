#pragma once

#include "Bytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kovet {

// How a named record field is stored; lets tools walk a record's fields generically.
enum class FieldKind { UInt8, Int16, Int32, UInt32, Color, Float32, ShortString };

struct FieldDesc {
    std::string_view name;
    std::size_t offset;
    FieldKind kind;
    std::size_t capacity; // characters, for short strings
};

// A fixed-width little-endian field at a byte offset of a record. Reads past the end of
// the record give zero and writes past it are dropped (see readLE / writeLE).
template <typename T, FieldKind Kind> struct FieldAt {
    std::string_view name;
    std::size_t offset;

    T get(ConstBytes record) const { return readLE<T>(record, offset); }
    void set(Bytes record, T value) const { writeLE<T>(record, offset, value); }
    constexpr FieldDesc desc() const { return {name, offset, Kind, 0}; }
};

using U8Field = FieldAt<std::uint8_t, FieldKind::UInt8>;
using I16Field = FieldAt<std::int16_t, FieldKind::Int16>;
using I32Field = FieldAt<std::int32_t, FieldKind::Int32>;
using U32Field = FieldAt<std::uint32_t, FieldKind::UInt32>;
using ColorField = FieldAt<std::uint32_t, FieldKind::Color>;
using F32Field = FieldAt<float, FieldKind::Float32>;

// A length-prefixed string of at most `capacity` characters in capacity + 1 bytes. The
// text is read only as far as both the capacity and the record's own bytes go, whatever
// the length byte claims. Characters are Windows-1252 bytes.
struct ShortStringField {
    std::string_view name;
    std::size_t offset;
    std::size_t capacity;

    std::string get(ConstBytes record) const {
        if (offset >= record.size()) return {};
        const std::size_t stored = record[offset];
        const std::size_t available = record.size() - offset - 1;
        const std::size_t length = std::min({stored, capacity, available});
        return std::string(reinterpret_cast<const char*>(record.data() + offset + 1), length);
    }

    // Stores at most `capacity` characters; the unused rest of the area is zeroed. Only the
    // part of the area within the record is written.
    void set(Bytes record, std::string_view text) const {
        if (offset >= record.size()) return;
        const std::size_t length = std::min(text.size(), capacity);
        record[offset] = std::uint8_t(length);
        const std::size_t room = std::min(capacity, record.size() - offset - 1);
        const std::size_t copied = std::min(length, room);
        std::copy_n(text.begin(), copied, record.begin() + std::ptrdiff_t(offset + 1));
        std::fill_n(record.begin() + std::ptrdiff_t(offset + 1 + copied), room - copied, std::uint8_t(0));
    }

    constexpr FieldDesc desc() const { return {name, offset, FieldKind::ShortString, capacity}; }
};

} // namespace kovet
