#pragma once

// Device-independent bitmaps decoded into QImages once for as long as a canvas lives. A batch
// of printed pages draws the same logos, pictures and watermark on every page; handing the
// paint device the same QImage each time spares the decoding, and lets a PDF printer keep one
// image object for all pages instead of compressing the bitmap into the file again per page.

#include "platform/Canvas.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace kovet {

class QtDibImages {
public:
    // The bitmap as an RGB32 image, mirrored as asked; a null image when it does not decode.
    // Bitmaps of the same bytes (wherever those are held) give the same image, with the same
    // cache key, while it is kept: the most recently used bitmaps up to the limits below.
    QImage Image(const TDib& dib, bool flipX, bool flipY);

    static constexpr std::size_t kMaxKept = 32;
    static constexpr std::int64_t kMaxKeptBytes = std::int64_t(64) << 20;

private:
    struct Kept {
        std::vector<std::uint8_t> Info, Bits;
        bool FlipX = false, FlipY = false;
        QImage Image;
        std::int64_t Bytes() const;
    };

    // Least recently used first.
    std::vector<Kept> kept_;
    std::int64_t keptBytes_ = 0;
};

} // namespace kovet
