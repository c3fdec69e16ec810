#pragma once

// Byte layouts of every form record. Each record is one packed little-endian block that
// begins with the 20-byte item header; fields are reached only through these accessors.

#include "storage/RecList.h"
#include "storage/RecordField.h"

#include <array>
#include <cstdint>
#include <span>

namespace kovet {

// Record type codes.
enum : std::int32_t {
    kvtHeaderType = 10,
    kvtFrameType = 20,
    kvtLineType = 30,
    kvtEllipseType = 40,
    kvtTextType = 50,
    kvtFieldType = 60,
    kvtLogoType = 70,
};

// Stored and default record sizes.
inline constexpr std::int32_t kHeaderSize = 266;
inline constexpr std::int32_t kFrameSize = 50;
inline constexpr std::int32_t kLineSize = 50;
inline constexpr std::int32_t kEllipseSize = 50;
inline constexpr std::int32_t kTextBaseSize = 80; // + length of the text
inline constexpr std::int32_t kTextMaxSize = 335;
inline constexpr std::int32_t kFieldSize = 135;
inline constexpr std::int32_t kLogoBaseSize = 47; // + picture bytes
inline constexpr std::int32_t kMaxLogoData = 65000;
inline constexpr std::int32_t kLogoMaxSize = kLogoBaseSize + kMaxLogoData;

// Pen style codes (page border, frame and ellipse outline, line).
enum : std::uint8_t { psSolid = 0, psDashed = 1, psDotted = 2, psClear = 3 };
// Fill codes (frame and ellipse inner style).
enum : std::uint8_t { fsClear = 0, fsSolid = 1, fsDiagonal = 2, fsCross = 3 };
// Font style bits.
enum : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// Logo picture types.
enum : std::uint8_t { ptEmpty = 0, ptMetafile = 1, ptBitmap = 2 };

enum TKVTPaperSize : std::uint8_t { kvtLegal = 0, kvtLetter = 1, kvtA3 = 2, kvtA4 = 3, kvtA5 = 4 };
enum TKVTOrientation : std::uint8_t { kvtPortrait = 0, kvtLandScape = 1 };
enum TKVTDuplex : std::uint8_t { kvtNone = 0, kvtHorizontal = 1, kvtVertical = 2 };

enum TKVTFieldFormat : std::uint8_t {
    lfoText,
    lfoReal,
    lfoInteger,
    lfoDollar,
    lfoPercent,
    lfoPctNS,
    lfoDate,
    lfoFullDate,
    lfoShortDate,
    lfoTime,
    lfoMTime,
    lfoPhone,
    lfoSocial,
    lfoZipCode,
    lfoPhoneExt,
    lfoVisaMC,
    lfoAmex,
    lfoCustom,
    lfoCheckbox,
    lfoComboBox,
    lfoMemo,
};
inline constexpr std::uint8_t kLastFieldFormat = lfoMemo;

struct TKVTPaperInfo {
    std::int32_t windowsCode;
    std::int32_t width, height; // pixels at 96 per inch
    double widthInches, heightInches;
    double widthMm, heightMm;
};

inline constexpr std::array<TKVTPaperInfo, 5> kPaperTable = {{
    {5, 816, 1344, 8.5, 14, 215.9, 355.6},   // kvtLegal
    {1, 816, 1056, 8.5, 11, 215.9, 279.4},   // kvtLetter
    {8, 1122, 1588, 11.69, 16.54, 297, 420}, // kvtA3
    {9, 792, 1122, 8.25, 11.69, 210, 297},   // kvtA4
    {11, 560, 792, 5.83, 8.25, 148, 210},    // kvtA5
}};

// Page size for a paper code and orientation; false for a paper code outside the table.
bool PaperPageSize(std::uint8_t paperSize, std::uint8_t orientation, std::int16_t& width, std::int16_t& height);

// Geometry shared by every object record.
namespace ObjectRec {
inline constexpr I16Field Left{"Left", 20};
inline constexpr I16Field Top{"Top", 22};
inline constexpr I16Field Width{"Width", 24};
inline constexpr I16Field Height{"Height", 26};
} // namespace ObjectRec

namespace HeaderRec {
inline constexpr std::uint32_t SignatureValue = 0xDABBBBEE;
inline constexpr std::uint8_t CurrentVersion = 5;
inline constexpr std::uint8_t OldestVersion = 4;
inline constexpr I16Field PageWidth{"PageWidth", 32};
inline constexpr I16Field PageHeight{"PageHeight", 34};
inline constexpr U32Field Signature{"Signature", 36};
inline constexpr U8Field Version{"Version", 40};
inline constexpr U8Field SubVersion{"SubVersion", 41};
inline constexpr U8Field PaperSize{"PaperSize", 42};
inline constexpr U8Field Orientation{"Orientation", 43};
inline constexpr U8Field BorderThickness{"BorderThickness", 44};
inline constexpr U8Field BorderStyle{"BorderStyle", 45};
inline constexpr ColorField PageColor{"PageColor", 46};
} // namespace HeaderRec

namespace FrameRec {
using namespace ObjectRec;
inline constexpr U8Field OuterStyle{"OuterStyle", 28};
inline constexpr U8Field InnerStyle{"InnerStyle", 29};
inline constexpr ColorField InnerColor{"InnerColor", 30};
inline constexpr ColorField OuterColor{"OuterColor", 34};
inline constexpr U8Field Thickness{"Thickness", 38};
inline constexpr I16Field Roundness{"Roundness", 39};
} // namespace FrameRec

namespace LineRec {
using namespace ObjectRec;
inline constexpr F32Field Angle{"Angle", 28};
inline constexpr U8Field Style{"Style", 32};
inline constexpr ColorField Color{"Color", 33};
inline constexpr U8Field Thickness{"Thickness", 37};
} // namespace LineRec

namespace EllipseRec {
using namespace ObjectRec;
inline constexpr U8Field OuterStyle{"OuterStyle", 28};
inline constexpr U8Field InnerStyle{"InnerStyle", 29};
inline constexpr ColorField OuterColor{"OuterColor", 30};
inline constexpr ColorField InnerColor{"InnerColor", 34};
inline constexpr U8Field Thickness{"Thickness", 38};
} // namespace EllipseRec

// Font fields shared by text and field records.
namespace FontRec {
inline constexpr U8Field FontStyle{"FontStyle", 28};
inline constexpr U8Field FontSize{"FontSize", 29};
inline constexpr ShortStringField FontName{"FontName", 30, 24};
inline constexpr I16Field FontHeight{"FontHeight", 55};
inline constexpr ColorField FontColor{"FontColor", 57};
} // namespace FontRec

namespace TextRec {
using namespace ObjectRec;
using namespace FontRec;
inline constexpr F32Field Angle{"Angle", 61};
inline constexpr U8Field Alignment{"Alignment", 65};
inline constexpr U8Field Autosize{"Autosize", 66};
inline constexpr ShortStringField Text{"Text", 79, 255};
} // namespace TextRec

namespace FieldRec {
using namespace ObjectRec;
using namespace FontRec;
inline constexpr U8Field Alignment{"Alignment", 65};
inline constexpr ShortStringField Name{"Name", 66, 40};
inline constexpr U8Field Format{"Format", 107};
inline constexpr U8Field GroupIndex{"GroupIndex", 108};
inline constexpr U8Field Digits{"Digits", 109};
inline constexpr U8Field Decimals{"Decimals", 110};
inline constexpr U8Field MemoSpacing{"MemoSpacing", 111};
inline constexpr I16Field TabOrder{"TabOrder", 112};
inline constexpr I16Field MaxLength{"MaxLength", 114};
inline constexpr I32Field HelpContext{"HelpContext", 116};
inline constexpr U8Field ReadOnly{"ReadOnly", 120};
inline constexpr U8Field AutoRound{"AutoRound", 121};
inline constexpr U8Field AutoSize{"AutoSize", 122};
inline constexpr U8Field AutoAlign{"AutoAlign", 123};
inline constexpr U8Field ShowZero{"ShowZero", 124};
inline constexpr U8Field CtlBorder{"CtlBorder", 125};
inline constexpr U8Field CtlOutline{"CtlOutline", 126};
inline constexpr ColorField CtlColor{"CtlColor", 127};
inline constexpr I32Field Tag{"Tag", 131};
} // namespace FieldRec

namespace LogoRec {
using namespace ObjectRec;
inline constexpr std::size_t DataOffset = 46;
inline constexpr U8Field PictureType{"PictureType", 28};
inline constexpr U8Field Scaled{"Scaled", 29};
inline constexpr I32Field DataSize{"DataSize", 30};
// The picture bytes actually present: never more than the record holds.
ConstBytes Data(ConstBytes record);
} // namespace LogoRec

// Every named field of a record type, in table order (without the item header); empty for
// a type code this system does not know.
std::span<const FieldDesc> RecordFields(std::int32_t itemType);
std::span<const FieldDesc> ItemHeaderFields();

// Record sizes that follow from content.
inline std::int32_t TextItemSize(std::size_t textLength) {
    return kTextBaseSize + std::int32_t(std::min<std::size_t>(textLength, 255));
}
inline std::int32_t LogoItemSize(std::int32_t dataSize) {
    return kLogoBaseSize + dataSize;
}

// Logo picture type for a file name: bitmap for ".bmp", then metafile for ".emf" (ASCII
// case ignored, a name holding both ends as metafile), else empty.
std::uint8_t PictureTypeForFileName(std::string_view fileName);

} // namespace kovet
