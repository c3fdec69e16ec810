#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace kovet {

using Bytes = std::span<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;

// Little-endian access to packed record bytes. Reading past the end of the block yields
// zero bytes and writing past it is ignored, so a record that is shorter than its layout
// says can never be read or written out of bounds.
template <typename T> T readLE(ConstBytes block, std::size_t offset) {
    static_assert(std::is_arithmetic_v<T>);
    std::uint8_t raw[sizeof(T)] = {};
    if (offset < block.size()) {
        std::memcpy(raw, block.data() + offset, std::min(sizeof(T), block.size() - offset));
    }
    if constexpr (std::is_floating_point_v<T>) {
        using U = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        U bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits |= U(raw[i]) << (8 * i);
        return std::bit_cast<T>(bits);
    } else {
        using U = std::make_unsigned_t<T>;
        U bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits = U(bits | U(U(raw[i]) << (8 * i)));
        return static_cast<T>(bits);
    }
}

template <typename T> void writeLE(Bytes block, std::size_t offset, T value) {
    static_assert(std::is_arithmetic_v<T>);
    std::uint64_t bits;
    if constexpr (std::is_floating_point_v<T>) {
        using U = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        bits = std::bit_cast<U>(value);
    } else {
        bits = static_cast<std::make_unsigned_t<T>>(value);
    }
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        if (offset + i < block.size()) block[offset + i] = std::uint8_t(bits >> (8 * i));
    }
}

} // namespace kovet
