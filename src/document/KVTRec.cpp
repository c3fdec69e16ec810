#include "KVTRec.h"

#include <algorithm>
#include <string>

#include "storage/Text1252.h"

namespace kovet {

bool PaperPageSize(std::uint8_t paperSize, std::uint8_t orientation, std::int16_t& width, std::int16_t& height) {
    if (paperSize >= kPaperTable.size()) return false;
    const TKVTPaperInfo& row = kPaperTable[paperSize];
    const bool landscape = orientation == kvtLandScape;
    width = std::int16_t(landscape ? row.height : row.width);
    height = std::int16_t(landscape ? row.width : row.height);
    return true;
}

ConstBytes LogoRec::Data(ConstBytes record) {
    if (record.size() <= DataOffset) return {};
    const std::int64_t claimed = std::max<std::int32_t>(DataSize.get(record), 0);
    const std::size_t present = std::min<std::size_t>(std::size_t(claimed), record.size() - DataOffset);
    return record.subspan(DataOffset, present);
}

namespace {

using namespace std::string_view_literals;

constexpr FieldDesc kItemHeader[] = {
    ItemHeader::Stamp.desc(),    ItemHeader::ID.desc(),       ItemHeader::ItemType.desc(),
    ItemHeader::ItemSize.desc(), ItemHeader::Reserved.desc(),
};

constexpr FieldDesc kHeader[] = {
    HeaderRec::PageWidth.desc(),   HeaderRec::PageHeight.desc(),      HeaderRec::Signature.desc(),
    HeaderRec::Version.desc(),     HeaderRec::SubVersion.desc(),      HeaderRec::PaperSize.desc(),
    HeaderRec::Orientation.desc(), HeaderRec::BorderThickness.desc(), HeaderRec::BorderStyle.desc(),
    HeaderRec::PageColor.desc(),
};

#define KOVET_GEOMETRY ObjectRec::Left.desc(), ObjectRec::Top.desc(), ObjectRec::Width.desc(), ObjectRec::Height.desc()

constexpr FieldDesc kFrame[] = {
    KOVET_GEOMETRY,
    FrameRec::OuterStyle.desc(),
    FrameRec::InnerStyle.desc(),
    FrameRec::InnerColor.desc(),
    FrameRec::OuterColor.desc(),
    FrameRec::Thickness.desc(),
    FrameRec::Roundness.desc(),
};

constexpr FieldDesc kLine[] = {
    KOVET_GEOMETRY, LineRec::Angle.desc(), LineRec::Style.desc(), LineRec::Color.desc(), LineRec::Thickness.desc(),
};

constexpr FieldDesc kEllipse[] = {
    KOVET_GEOMETRY,
    EllipseRec::OuterStyle.desc(),
    EllipseRec::InnerStyle.desc(),
    EllipseRec::OuterColor.desc(),
    EllipseRec::InnerColor.desc(),
    EllipseRec::Thickness.desc(),
};

#define KOVET_FONT                                                                                                     \
    FontRec::FontStyle.desc(), FontRec::FontSize.desc(), FontRec::FontName.desc(), FontRec::FontHeight.desc(),         \
        FontRec::FontColor.desc()

constexpr FieldDesc kText[] = {
    KOVET_GEOMETRY,           KOVET_FONT,           TextRec::Angle.desc(), TextRec::Alignment.desc(),
    TextRec::Autosize.desc(), TextRec::Text.desc(),
};

constexpr FieldDesc kField[] = {
    KOVET_GEOMETRY,
    KOVET_FONT,
    FieldRec::Alignment.desc(),
    FieldRec::Name.desc(),
    FieldRec::Format.desc(),
    FieldRec::GroupIndex.desc(),
    FieldRec::Digits.desc(),
    FieldRec::Decimals.desc(),
    FieldRec::MemoSpacing.desc(),
    FieldRec::TabOrder.desc(),
    FieldRec::MaxLength.desc(),
    FieldRec::HelpContext.desc(),
    FieldRec::ReadOnly.desc(),
    FieldRec::AutoRound.desc(),
    FieldRec::AutoSize.desc(),
    FieldRec::AutoAlign.desc(),
    FieldRec::ShowZero.desc(),
    FieldRec::CtlBorder.desc(),
    FieldRec::CtlOutline.desc(),
    FieldRec::CtlColor.desc(),
    FieldRec::Tag.desc(),
};

constexpr FieldDesc kLogo[] = {
    KOVET_GEOMETRY,
    LogoRec::PictureType.desc(),
    LogoRec::Scaled.desc(),
    LogoRec::DataSize.desc(),
};

#undef KOVET_GEOMETRY
#undef KOVET_FONT

bool containsNoCase(std::string_view haystack, std::string_view needle) {
    const auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                                [](char a, char b) { return AsciiUpperChar(a) == AsciiUpperChar(b); });
    return it != haystack.end();
}

} // namespace

std::span<const FieldDesc> ItemHeaderFields() {
    return kItemHeader;
}

std::span<const FieldDesc> RecordFields(std::int32_t itemType) {
    switch (itemType) {
    case kvtHeaderType: return kHeader;
    case kvtFrameType: return kFrame;
    case kvtLineType: return kLine;
    case kvtEllipseType: return kEllipse;
    case kvtTextType: return kText;
    case kvtFieldType: return kField;
    case kvtLogoType: return kLogo;
    default: return {};
    }
}

std::uint8_t PictureTypeForFileName(std::string_view fileName) {
    std::uint8_t type = ptEmpty;
    if (containsNoCase(fileName, ".bmp")) type = ptBitmap;
    if (containsNoCase(fileName, ".emf")) type = ptMetafile;
    return type;
}

} // namespace kovet
