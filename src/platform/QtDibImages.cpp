#include "QtDibImages.h"

#include "Dib.h"

#include <algorithm>
#include <utility>

namespace kovet {
namespace {

bool SameBytes(const std::vector<std::uint8_t>& kept, ConstBytes bytes) {
    return kept.size() == bytes.size() && std::equal(kept.begin(), kept.end(), bytes.begin());
}

// The decoded pixels become the image's own buffer, without a copy.
QImage Decoded(const TDib& dib) {
    TDibPixels decoded;
    try {
        decoded = DecodeDib(dib);
    } catch (const EDibError&) {
        return {};
    }
    auto* pixels = new std::vector<std::uint32_t>(std::move(decoded.Pixels));
    return QImage(
        reinterpret_cast<const uchar*>(pixels->data()), decoded.Width, decoded.Height, qsizetype(decoded.Width) * 4,
        QImage::Format_RGB32, [](void* buffer) { delete static_cast<std::vector<std::uint32_t>*>(buffer); }, pixels);
}

} // namespace

std::int64_t QtDibImages::Kept::Bytes() const {
    return std::int64_t(Info.size() + Bits.size()) + Image.sizeInBytes();
}

QImage QtDibImages::Image(const TDib& dib, bool flipX, bool flipY) {
    const auto found = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
        return k.FlipX == flipX && k.FlipY == flipY && SameBytes(k.Bits, dib.Bits) && SameBytes(k.Info, dib.Info);
    });
    if (found != kept_.end()) {
        std::rotate(found, found + 1, kept_.end());
        return kept_.back().Image;
    }

    QImage image = Decoded(dib);
    if (image.isNull()) return image;
    if (flipX || flipY) image = image.mirrored(flipX, flipY);
    Kept made{{dib.Info.begin(), dib.Info.end()}, {dib.Bits.begin(), dib.Bits.end()}, flipX, flipY, image};
    const std::int64_t bytes = made.Bytes();
    if (bytes > kMaxKeptBytes) return image;
    while (!kept_.empty() && (kept_.size() >= kMaxKept || keptBytes_ + bytes > kMaxKeptBytes)) {
        keptBytes_ -= kept_.front().Bytes();
        kept_.erase(kept_.begin());
    }
    kept_.push_back(std::move(made));
    keptBytes_ += bytes;
    return image;
}

} // namespace kovet
