#pragma once

// SHA-256 (FIPS 180-4), enough to fingerprint embedded pictures in a dump.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kovet::cli {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::span<const std::uint8_t> data);

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::span<const std::uint8_t> data);

} // namespace kovet::cli
