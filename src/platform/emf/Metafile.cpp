#include "platform/emf/Metafile.h"

#include "platform/emf/EmfRecords.h"

namespace kovet {

namespace {

// 0.01 mm to pixels at 96 per inch, rounded to the nearest pixel with halves away from zero.
std::int32_t HundredthsMmToPixels(std::int64_t length) {
    const std::int64_t scaled = length * 96;
    const std::int64_t rounded = scaled >= 0 ? (scaled + 1270) / 2540 : (scaled - 1270) / 2540;
    return std::int32_t(rounded);
}

// The header's frame, or an empty one when the bytes do not begin with a header record.
TRect FrameOf(ConstBytes bytes) {
    if (EmrRec::Type.get(bytes) != EMR_HEADER || bytes.size() < EmrHeader::kBaseSize) return {};
    return EmrHeader::Frame.get(bytes);
}

} // namespace

bool IsEnhancedMetafile(ConstBytes bytes) {
    if (bytes.size() < EmrHeader::kBaseSize || EmrRec::Type.get(bytes) != EMR_HEADER ||
        EmrHeader::Signature.get(bytes) != ENHMETA_SIGNATURE)
        return false;
    const std::uint32_t headerSize = EmrRec::Size.get(bytes);
    return headerSize >= EmrHeader::kBaseSize && headerSize <= bytes.size();
}

void TMetafile::LoadFromFile(const std::filesystem::path& path) {
    LoadFromBytes(ReadWholeFile(path));
}

void TMetafile::LoadFromBytes(ConstBytes bytes) {
    LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void TMetafile::LoadFromBytes(std::vector<std::uint8_t>&& bytes) {
    bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

void TMetafile::SaveToStream(TStream& stream) const {
    if (!bytes_->empty()) stream.Write(bytes_->data(), bytes_->size());
}

void TMetafile::Clear() {
    bytes_ = std::make_shared<const std::vector<std::uint8_t>>();
}

std::int32_t TMetafile::Width() const {
    const TRect frame = FrameOf(*bytes_);
    return HundredthsMmToPixels(std::int64_t(frame.Right) - frame.Left);
}

std::int32_t TMetafile::Height() const {
    const TRect frame = FrameOf(*bytes_);
    return HundredthsMmToPixels(std::int64_t(frame.Bottom) - frame.Top);
}

} // namespace kovet
