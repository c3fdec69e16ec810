#pragma once

#include <cstdint>

namespace kovet {

// Integer geometry in device or page pixels, y downwards. A rectangle excludes its right
// and bottom edge.

struct TPoint {
    std::int32_t X = 0, Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    std::int32_t cx = 0, cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

} // namespace kovet
