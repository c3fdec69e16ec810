#include "platform/emf/EmfRecords.h"

#include <algorithm>

namespace kovet {

namespace {

// How many items of `itemSize` bytes the record holds from `offset` on, at most `wanted`.
std::size_t ItemsAvailable(ConstBytes record, std::uint64_t offset, std::uint64_t wanted, std::size_t itemSize) {
    if (offset >= record.size()) return 0;
    return std::size_t(std::min<std::uint64_t>(wanted, (record.size() - offset) / itemSize));
}

TPoint PointAt(ConstBytes record, std::size_t offset, bool points16) {
    if (points16) return {readLE<std::int16_t>(record, offset), readLE<std::int16_t>(record, offset + 2)};
    return {readLE<std::int32_t>(record, offset), readLE<std::int32_t>(record, offset + 4)};
}

// Up to `wanted` UTF-16 code units at `offset`, as far as the record holds them.
std::u16string Utf16At(ConstBytes record, std::uint32_t offset, std::uint32_t wanted) {
    const std::size_t count = ItemsAvailable(record, offset, wanted, 2);
    std::u16string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        text.push_back(char16_t(readLE<std::uint16_t>(record, offset + 2 * i)));
    return text;
}

} // namespace

std::u16string ReadDescription(ConstBytes record) {
    return Utf16At(record, EmrHeader::DescriptionOffset.get(record), EmrHeader::DescriptionLength.get(record));
}

std::vector<TPoint> ReadPolyPoints(ConstBytes record) {
    const bool points16 = IsPoly16(EmrRec::Type.get(record));
    const std::size_t pointSize = points16 ? 4 : 8;
    const std::size_t count = ItemsAvailable(record, EmrPoly::kPoints, EmrPoly::Count.get(record), pointSize);
    std::vector<TPoint> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        points.push_back(PointAt(record, EmrPoly::kPoints + i * pointSize, points16));
    return points;
}

std::vector<std::vector<TPoint>> ReadPolyPolygons(ConstBytes record) {
    const bool points16 = IsPoly16(EmrRec::Type.get(record));
    const std::size_t pointSize = points16 ? 4 : 8;
    const std::uint32_t storedPolys = EmrPolyPoly::Polys.get(record);
    const std::size_t polys = ItemsAvailable(record, EmrPolyPoly::kCounts, storedPolys, 4);
    const std::uint64_t pointsStart = EmrPolyPoly::kCounts + 4 * std::uint64_t(storedPolys);
    std::size_t remaining = ItemsAvailable(record, pointsStart, EmrPolyPoly::Count.get(record), pointSize);

    std::vector<std::vector<TPoint>> polygons;
    std::size_t offset = std::size_t(std::min<std::uint64_t>(pointsStart, record.size()));
    for (std::size_t i = 0; i < polys && remaining > 0; ++i) {
        const std::size_t count =
            std::min<std::size_t>(readLE<std::uint32_t>(record, EmrPolyPoly::kCounts + 4 * i), remaining);
        std::vector<TPoint> polygon;
        polygon.reserve(count);
        for (std::size_t k = 0; k < count; ++k, offset += pointSize)
            polygon.push_back(PointAt(record, offset, points16));
        remaining -= count;
        polygons.push_back(std::move(polygon));
    }
    return polygons;
}

std::u16string ReadTextW(ConstBytes record) {
    return Utf16At(record, EmrExtTextOut::StringOffset.get(record), EmrExtTextOut::Chars.get(record));
}

std::string ReadTextA(ConstBytes record) {
    const std::uint32_t offset = EmrExtTextOut::StringOffset.get(record);
    const std::size_t count = ItemsAvailable(record, offset, EmrExtTextOut::Chars.get(record), 1);
    if (count == 0) return {};
    return std::string(reinterpret_cast<const char*>(record.data() + offset), count);
}

std::vector<std::int32_t> ReadTextDx(ConstBytes record) {
    const std::uint64_t perChar = (EmrExtTextOut::Options.get(record) & ETO_PDY) ? 2 : 1;
    const bool noRect = (EmrExtTextOut::Options.get(record) & ETO_NO_RECT) != 0;
    const std::uint32_t offset =
        noRect ? EmrExtTextOut::DxOffsetNoRect.get(record) : EmrExtTextOut::DxOffset.get(record);
    // An offset into the record's fixed part (0 in records without advances) names none.
    const std::uint32_t fixedPart = EmrExtTextOut::kSize - (noRect ? 16 : 0);
    if (offset < fixedPart) return {};
    const std::size_t count = ItemsAvailable(record, offset, perChar * EmrExtTextOut::Chars.get(record), 4);
    std::vector<std::int32_t> dx;
    dx.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        dx.push_back(readLE<std::int32_t>(record, offset + 4 * i));
    return dx;
}

std::u16string ReadFaceName(ConstBytes record) {
    std::u16string name;
    const std::size_t count = ItemsAvailable(record, EmrCreateFont::kFaceName, EmrCreateFont::kFaceNameChars, 2);
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = char16_t(readLE<std::uint16_t>(record, EmrCreateFont::kFaceName + 2 * i));
        if (c == 0) break;
        name.push_back(c);
    }
    return name;
}

ConstBytes RecordBlock(ConstBytes record, std::uint32_t offset, std::uint32_t size) {
    if (offset > record.size() || record.size() - offset < size) return {};
    return record.subspan(offset, size);
}

TDib ReadStretchDIBitsDib(ConstBytes record) {
    using namespace EmrStretchDIBits;
    return {RecordBlock(record, BmiOffset.get(record), BmiSize.get(record)),
            RecordBlock(record, BitsOffset.get(record), BitsSize.get(record))};
}

TDib ReadBitBltDib(ConstBytes record) {
    using namespace EmrBitBlt;
    return {RecordBlock(record, BmiOffset.get(record), BmiSize.get(record)),
            RecordBlock(record, BitsOffset.get(record), BitsSize.get(record))};
}

} // namespace kovet
