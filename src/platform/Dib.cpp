#include "Dib.h"

#include <bit>
#include <limits>
#include <string>
#include <utility>

namespace kovet {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12, kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMeterAt96Dpi = 3780;

[[noreturn]] void Refuse(const std::string& reason) {
    throw EDibError("Bitmap: " + reason);
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

// The header and colour table of a DIB, and how many bytes of the info block they take.
struct ParsedInfo {
    TDibFormat Format;
    std::size_t InfoSize = 0;
    std::uint32_t SizeImage = 0;
};

bool IsKnownHeaderSize(std::uint32_t size) {
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == 52 || size == 56 || size == 108 || size == 124;
}

void CheckCompression(const TDibFormat& f) {
    const bool fits = (f.Compression == kBiRgb) || (f.Compression == kBiRle8 && f.BitCount == 8 && !f.TopDown) ||
                      (f.Compression == kBiRle4 && f.BitCount == 4 && !f.TopDown) ||
                      (f.Compression == kBiBitfields && (f.BitCount == 16 || f.BitCount == 32));
    if (!fits) {
        Refuse("compression " + std::to_string(f.Compression) + " with " + std::to_string(f.BitCount) +
               " bits per pixel is not supported");
    }
}

ParsedInfo ParseInfo(ConstBytes info) {
    ParsedInfo parsed;
    TDibFormat& f = parsed.Format;
    if (info.size() < 4) Refuse("the info header is cut off");
    f.HeaderSize = readLE<std::uint32_t>(info, 0);
    if (!IsKnownHeaderSize(f.HeaderSize)) Refuse("unknown info header size " + std::to_string(f.HeaderSize));
    if (info.size() < f.HeaderSize) Refuse("the info header is cut off");

    std::int64_t height = 0;
    std::uint32_t colorsUsed = 0;
    std::size_t entrySize = 4;
    if (f.HeaderSize == kCoreHeaderSize) {
        f.Width = readLE<std::uint16_t>(info, 4);
        height = readLE<std::uint16_t>(info, 6);
        f.BitCount = readLE<std::uint16_t>(info, 10);
        entrySize = 3;
        if (f.BitCount != 1 && f.BitCount != 4 && f.BitCount != 8 && f.BitCount != 24) {
            Refuse(std::to_string(f.BitCount) + " bits per pixel is not supported");
        }
    } else {
        f.Width = readLE<std::int32_t>(info, 4);
        height = readLE<std::int32_t>(info, 8);
        f.BitCount = readLE<std::uint16_t>(info, 14);
        f.Compression = readLE<std::uint32_t>(info, 16);
        parsed.SizeImage = readLE<std::uint32_t>(info, 20);
        colorsUsed = readLE<std::uint32_t>(info, 32);
        if (f.BitCount != 1 && f.BitCount != 4 && f.BitCount != 8 && f.BitCount != 16 && f.BitCount != 24 &&
            f.BitCount != 32) {
            Refuse(std::to_string(f.BitCount) + " bits per pixel is not supported");
        }
    }
    f.TopDown = height < 0;
    if (height < 0) height = -height;
    if (f.Width <= 0 || height <= 0 || height > std::numeric_limits<std::int32_t>::max()) {
        Refuse("a size of " + std::to_string(f.Width) + " x " + std::to_string(height) + " pixels is not valid");
    }
    f.Height = std::int32_t(height);
    if (std::int64_t(f.Width) * f.Height > kMaxDibPixels) {
        Refuse("a size of " + std::to_string(f.Width) + " x " + std::to_string(f.Height) + " pixels is too large");
    }
    CheckCompression(f);
    f.Stride = ((std::size_t(f.Width) * f.BitCount + 31) / 32) * 4;

    std::size_t tableOffset = f.HeaderSize;
    if (f.Compression == kBiBitfields) {
        // A plain info header is followed by the three masks; the later headers hold them.
        if (f.HeaderSize == kInfoHeaderSize) tableOffset += 12;
        if (info.size() < tableOffset) Refuse("the colour masks are cut off");
        for (std::size_t i = 0; i < 3; ++i)
            f.Masks[i] = readLE<std::uint32_t>(info, kInfoHeaderSize + 4 * i);
    } else if (f.BitCount == 16) {
        f.Masks = {0x7C00, 0x03E0, 0x001F};
    } else if (f.BitCount == 32) {
        f.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }

    std::size_t colors = 0;
    if (f.BitCount <= 8) {
        const std::size_t full = std::size_t(1) << f.BitCount;
        colors = (colorsUsed == 0 || colorsUsed > full) ? full : colorsUsed;
    } else {
        // An optional palette for displays with few colours; the pixels do not use it.
        colors = std::min<std::uint32_t>(colorsUsed, 256);
    }
    parsed.InfoSize = tableOffset + colors * entrySize;
    if (info.size() < parsed.InfoSize) Refuse("the colour table is cut off");
    if (f.BitCount <= 8) {
        f.Palette.resize(colors);
        for (std::size_t i = 0; i < colors; ++i) {
            const std::size_t at = tableOffset + i * entrySize;
            f.Palette[i] = Rgb(info[at + 2], info[at + 1], info[at]);
        }
    }
    return parsed;
}

bool IsRunLength(const TDibFormat& f) {
    return f.Compression == kBiRle8 || f.Compression == kBiRle4;
}

std::size_t UncompressedSize(const TDibFormat& f) {
    return f.Stride * std::size_t(f.Height);
}

// Scales a masked channel to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return std::uint32_t((std::uint64_t(value) * 255 + max / 2) / max);
}

class PixelSink {
public:
    PixelSink(const TDibFormat& f, std::vector<std::uint32_t>& out) : f_(f), out_(out) {}

    // Row `row` counts from the first row stored in the bits.
    void Put(std::int64_t x, std::int64_t row, std::uint32_t argb) {
        if (x < 0 || x >= f_.Width || row < 0 || row >= f_.Height) return;
        const std::int64_t y = f_.TopDown ? row : f_.Height - 1 - row;
        out_[std::size_t(y) * std::size_t(f_.Width) + std::size_t(x)] = argb;
    }
    void PutIndex(std::int64_t x, std::int64_t row, std::uint32_t index) {
        Put(x, row, 0xFF000000 | (index < f_.Palette.size() ? f_.Palette[index] : 0));
    }

private:
    const TDibFormat& f_;
    std::vector<std::uint32_t>& out_;
};

void DecodeRows(const TDibFormat& f, ConstBytes bits, PixelSink& sink) {
    for (std::int32_t row = 0; row < f.Height; ++row) {
        const ConstBytes line = bits.subspan(std::size_t(row) * f.Stride, f.Stride);
        for (std::int32_t x = 0; x < f.Width; ++x) {
            const std::size_t bitPos = std::size_t(x) * f.BitCount;
            switch (f.BitCount) {
            case 1:
            case 4:
            case 8: {
                const std::uint8_t byte = line[bitPos / 8];
                const unsigned shift = 8 - f.BitCount - bitPos % 8;
                sink.PutIndex(x, row, (byte >> shift) & ((1u << f.BitCount) - 1));
                break;
            }
            case 16: {
                const std::uint32_t p = readLE<std::uint16_t>(line, bitPos / 8);
                sink.Put(x, row,
                         0xFF000000 | Rgb(Channel(p, f.Masks[0]), Channel(p, f.Masks[1]), Channel(p, f.Masks[2])));
                break;
            }
            case 24: {
                const std::size_t at = bitPos / 8;
                sink.Put(x, row, 0xFF000000 | Rgb(line[at + 2], line[at + 1], line[at]));
                break;
            }
            default: {
                const std::uint32_t p = readLE<std::uint32_t>(line, bitPos / 8);
                sink.Put(x, row,
                         0xFF000000 | Rgb(Channel(p, f.Masks[0]), Channel(p, f.Masks[1]), Channel(p, f.Masks[2])));
                break;
            }
            }
        }
    }
}

// Run-length encoded rows: (count, value) runs, and escapes after a zero count for end of
// line, end of bitmap, a cursor move and literal pixels. Pixels the codes skip keep colour 0.
void DecodeRunLength(const TDibFormat& f, ConstBytes bits, PixelSink& sink) {
    const bool four = f.Compression == kBiRle4;
    std::int64_t x = 0, row = 0;
    std::size_t at = 0;
    while (at + 1 < bits.size() && row < f.Height) {
        const std::uint8_t count = bits[at], value = bits[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++x) {
                sink.PutIndex(x, row, four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value);
            }
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (at + 1 >= bits.size()) break;
            x += bits[at];
            row += bits[at + 1];
            at += 2;
        } else {
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            for (int i = 0; i < value && at + std::size_t(four ? i / 2 : i) < bits.size(); ++i, ++x) {
                const std::uint8_t byte = bits[at + std::size_t(four ? i / 2 : i)];
                sink.PutIndex(x, row, four ? ((i % 2 == 0) ? byte >> 4 : byte & 0x0F) : byte);
            }
            at += bytes + bytes % 2; // literal runs end on a 16-bit boundary
        }
    }
}

} // namespace

TDibFormat ReadDibFormat(const TDib& dib) {
    ParsedInfo parsed = ParseInfo(dib.Info);
    if (!IsRunLength(parsed.Format) && dib.Bits.size() < UncompressedSize(parsed.Format)) {
        Refuse("the pixel data is cut off");
    }
    return std::move(parsed.Format);
}

TBmpFile ReadBmpFile(ConstBytes file) {
    if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M') Refuse("not a BMP file");
    const ParsedInfo parsed = ParseInfo(file.subspan(kFileHeaderSize));
    const TDibFormat& f = parsed.Format;
    const std::uint32_t offBits = readLE<std::uint32_t>(file, 10);
    if (offBits < kFileHeaderSize + parsed.InfoSize || offBits > file.size()) {
        Refuse("the pixel data offset " + std::to_string(offBits) + " is not between the end of the headers (" +
               std::to_string(kFileHeaderSize + parsed.InfoSize) + ") and the end of the file (" +
               std::to_string(file.size()) + ")");
    }
    const std::size_t available = file.size() - offBits;
    std::size_t bitsSize = UncompressedSize(f);
    if (IsRunLength(f)) bitsSize = parsed.SizeImage != 0 ? parsed.SizeImage : available;
    if (bitsSize > available) Refuse("the pixel data is cut off");

    TBmpFile bmp;
    bmp.Dib.Info = file.subspan(kFileHeaderSize, parsed.InfoSize);
    bmp.Dib.Bits = file.subspan(offBits, bitsSize);
    bmp.Width = f.Width;
    bmp.Height = f.Height;
    return bmp;
}

TDibPixels DecodeDib(const TDib& dib) {
    const TDibFormat f = ReadDibFormat(dib);
    TDibPixels image;
    image.Width = f.Width;
    image.Height = f.Height;
    const std::uint32_t background = 0xFF000000 | (f.Palette.empty() ? 0 : f.Palette[0]);
    image.Pixels.assign(std::size_t(f.Width) * std::size_t(f.Height), background);
    PixelSink sink(f, image.Pixels);
    if (IsRunLength(f)) {
        DecodeRunLength(f, dib.Bits, sink);
    } else {
        DecodeRows(f, dib.Bits, sink);
    }
    return image;
}

std::vector<std::uint8_t> WriteBmp24(std::int32_t width, std::int32_t height, std::span<const std::uint32_t> pixels) {
    if (width <= 0 || height <= 0) {
        Refuse("cannot write an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    }
    const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
    if (pixels.size() < count) Refuse("fewer pixels than the image size");
    const std::uint64_t stride = (std::uint64_t(width) * 3 + 3) & ~std::uint64_t(3);
    const std::uint64_t imageSize = stride * std::uint64_t(height);
    const std::uint64_t total = kFileHeaderSize + kInfoHeaderSize + imageSize;
    if (total > std::numeric_limits<std::uint32_t>::max()) Refuse("the image is too large for a BMP file");

    std::vector<std::uint8_t> out(total, 0);
    const Bytes b(out);
    b[0] = 'B';
    b[1] = 'M';
    writeLE<std::uint32_t>(b, 2, std::uint32_t(total));
    writeLE<std::uint32_t>(b, 10, kFileHeaderSize + kInfoHeaderSize);
    writeLE<std::uint32_t>(b, 14, kInfoHeaderSize);
    writeLE<std::int32_t>(b, 18, width);
    writeLE<std::int32_t>(b, 22, height);
    writeLE<std::uint16_t>(b, 26, 1);
    writeLE<std::uint16_t>(b, 28, 24);
    writeLE<std::uint32_t>(b, 30, kBiRgb);
    writeLE<std::uint32_t>(b, 34, std::uint32_t(imageSize));
    writeLE<std::int32_t>(b, 38, kPixelsPerMeterAt96Dpi);
    writeLE<std::int32_t>(b, 42, kPixelsPerMeterAt96Dpi);
    for (std::int32_t y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        std::uint8_t* row = out.data() + kFileHeaderSize + kInfoHeaderSize + stride * std::uint64_t(height - 1 - y);
        const std::uint32_t* source = pixels.data() + std::uint64_t(y) * std::uint64_t(width);
        for (std::int32_t x = 0; x < width; ++x) {
            row[3 * x] = std::uint8_t(source[x]);
            row[3 * x + 1] = std::uint8_t(source[x] >> 8);
            row[3 * x + 2] = std::uint8_t(source[x] >> 16);
        }
    }
    return out;
}

} // namespace kovet
