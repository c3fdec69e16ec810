#pragma once

// Device-independent bitmaps as BMP files and logo records hold them: reading a BMP file image
// into a checked DIB, decoding a DIB into pixels, and writing a 24-bit BMP file.

#include "platform/Canvas.h"
#include "storage/Exception.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kovet {

// A bitmap that cannot be read: its message says what is wrong with it.
class EDibError : public Exception {
public:
    using Exception::Exception;
};

// Compression codes of the bitmap info header.
inline constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

// Decoded images are limited to this many pixels, so that a small run-length encoded file
// cannot ask for an enormous buffer.
inline constexpr std::int64_t kMaxDibPixels = std::int64_t(1) << 26;

// What a DIB's header says, checked against the bytes it describes.
struct TDibFormat {
    std::uint32_t HeaderSize = 0; // 12 for the old core header
    std::int32_t Width = 0;
    std::int32_t Height = 0; // number of rows, always positive
    bool TopDown = false;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = kBiRgb;
    std::vector<std::uint32_t> Palette;             // $00RRGGBB
    std::array<std::uint32_t, 3> Masks = {0, 0, 0}; // red, green, blue (16 and 32 bits per pixel)
    std::size_t Stride = 0;                         // bytes per uncompressed row
};

// Reads the header and colour table of `dib` and checks that its bits hold every row.
TDibFormat ReadDibFormat(const TDib& dib);

// A BMP file split into its DIB; Dib views the bytes given to ReadBmpFile.
struct TBmpFile {
    TDib Dib;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// Splits a BMP file image (file header, info header, colour table, bits) into its DIB,
// checking every size and offset against the bytes.
TBmpFile ReadBmpFile(ConstBytes file);

// The pixels of a DIB as top-down rows of $FFRRGGBB values.
struct TDibPixels {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint32_t> Pixels;
};

TDibPixels DecodeDib(const TDib& dib);

// A 24-bit BMP file image (96 pixels per inch) of `pixels`: `height` top-down rows of `width`
// $xxRRGGBB values each (the high byte is ignored).
std::vector<std::uint8_t> WriteBmp24(std::int32_t width, std::int32_t height, std::span<const std::uint32_t> pixels);

} // namespace kovet
