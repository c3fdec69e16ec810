#pragma once

// Enhanced-metafile records as packed little-endian bytes: the type numbers, the constants
// their fields hold, and field accessors at fixed offsets from the start of a record (the
// iType and nSize words included). The metafile parser, the player and the writer share
// these definitions. Reads through the accessors never leave the record's bytes: a field
// beyond them reads as zero (see readLE).

#include "platform/Canvas.h"
#include "storage/Bytes.h"
#include "storage/RecordField.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace kovet {

// Record types.
enum : std::uint32_t {
    EMR_HEADER = 1,
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_SETBRUSHORGEX = 13,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETMAPPERFLAGS = 16,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21,
    EMR_SETTEXTALIGN = 22,
    EMR_SETCOLORADJUSTMENT = 23,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_OFFSETCLIPRGN = 26,
    EMR_MOVETOEX = 27,
    EMR_SETMETARGN = 28,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SCALEVIEWPORTEXTEX = 31,
    EMR_SCALEWINDOWEXTEX = 32,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ANGLEARC = 41,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_SELECTPALETTE = 48,
    EMR_CREATEPALETTE = 49,
    EMR_SETPALETTEENTRIES = 50,
    EMR_RESIZEPALETTE = 51,
    EMR_REALIZEPALETTE = 52,
    EMR_EXTFLOODFILL = 53,
    EMR_LINETO = 54,
    EMR_ARCTO = 55,
    EMR_POLYDRAW = 56,
    EMR_SETARCDIRECTION = 57,
    EMR_SETMITERLIMIT = 58,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_FLATTENPATH = 65,
    EMR_WIDENPATH = 66,
    EMR_SELECTCLIPPATH = 67,
    EMR_ABORTPATH = 68,
    EMR_GDICOMMENT = 70,
    EMR_FILLRGN = 71,
    EMR_FRAMERGN = 72,
    EMR_INVERTRGN = 73,
    EMR_PAINTRGN = 74,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_MASKBLT = 78,
    EMR_PLGBLT = 79,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_POLYDRAW16 = 92,
    EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
    EMR_POLYTEXTOUTA = 96,
    EMR_POLYTEXTOUTW = 97,
    EMR_SETICMMODE = 98,
    EMR_CREATECOLORSPACE = 99,
    EMR_SETCOLORSPACE = 100,
    EMR_DELETECOLORSPACE = 101,
    EMR_GLSRECORD = 102,
    EMR_GLSBOUNDEDRECORD = 103,
    EMR_PIXELFORMAT = 104,
    EMR_DRAWESCAPE = 105,
    EMR_EXTESCAPE = 106,
    EMR_SMALLTEXTOUT = 108,
    EMR_FORCEUFIMAPPING = 109,
    EMR_NAMEDESCAPE = 110,
    EMR_COLORCORRECTPALETTE = 111,
    EMR_SETICMPROFILEA = 112,
    EMR_SETICMPROFILEW = 113,
    EMR_ALPHABLEND = 114,
    EMR_SETLAYOUT = 115,
    EMR_TRANSPARENTBLT = 116,
    EMR_GRADIENTFILL = 118,
    EMR_SETLINKEDUFIS = 119,
    EMR_SETTEXTJUSTIFICATION = 120,
    EMR_COLORMATCHTOTARGETW = 121,
    EMR_CREATECOLORSPACEW = 122,
};
inline constexpr std::uint32_t EMR_MAX = EMR_CREATECOLORSPACEW;

// Header constants.
inline constexpr std::uint32_t ENHMETA_SIGNATURE = 0x464D4520; // " EMF"
inline constexpr std::uint32_t ENHMETA_VERSION = 0x00010000;

// Stock objects: a SELECTOBJECT handle with the high bit set names one by its index.
inline constexpr std::uint32_t ENHMETA_STOCK_OBJECT = 0x80000000;
enum : std::uint32_t {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    OEM_FIXED_FONT = 10,
    ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12,
    SYSTEM_FONT = 13,
    DEVICE_DEFAULT_FONT = 14,
    DEFAULT_PALETTE = 15,
    SYSTEM_FIXED_FONT = 16,
    DEFAULT_GUI_FONT = 17,
    DC_BRUSH = 18,
    DC_PEN = 19,
};
constexpr std::uint32_t StockObjectHandle(std::uint32_t index) {
    return ENHMETA_STOCK_OBJECT | index;
}
constexpr bool IsStockObjectHandle(std::uint32_t handle) {
    return (handle & ENHMETA_STOCK_OBJECT) != 0;
}

// Map modes, background modes, fill modes and raster operations.
enum : std::int32_t {
    MM_TEXT = 1,
    MM_LOMETRIC = 2,
    MM_HIMETRIC = 3,
    MM_LOENGLISH = 4,
    MM_HIENGLISH = 5,
    MM_TWIPS = 6,
    MM_ISOTROPIC = 7,
    MM_ANISOTROPIC = 8,
};
enum : std::int32_t { TRANSPARENT = 1, OPAQUE = 2 };
enum : std::int32_t { ALTERNATE = 1, WINDING = 2 };
enum : std::int32_t { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum : std::int32_t {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t PATCOPY = 0x00F00021, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
// Whether a ternary raster operation reads the source bitmap.
constexpr bool RopUsesSource(std::uint32_t rop) {
    return (((rop >> 2) ^ rop) & 0x00330000) != 0;
}
enum : std::uint32_t { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };
enum : std::int32_t { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };
enum : std::int32_t { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4 };

// Text alignment bits (SETTEXTALIGN).
enum : std::uint32_t {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
    TA_RTLREADING = 256,
};
// Text output options (EMRTEXT fOptions).
enum : std::uint32_t {
    ETO_OPAQUE = 0x0002,
    ETO_CLIPPED = 0x0004,
    ETO_GLYPH_INDEX = 0x0010,
    ETO_RTLREADING = 0x0080,
    ETO_NO_RECT = 0x0100,
    ETO_PDY = 0x2000,
};

// Pen styles: the low four bits are the line style; cosmetic or geometric, end caps and
// joins are further bits.
enum : std::uint32_t {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_USERSTYLE = 7,
    PS_ALTERNATE = 8,
    PS_STYLE_MASK = 0x0000000F,
    PS_ENDCAP_ROUND = 0,
    PS_ENDCAP_SQUARE = 0x100,
    PS_ENDCAP_FLAT = 0x200,
    PS_ENDCAP_MASK = 0xF00,
    PS_JOIN_ROUND = 0,
    PS_JOIN_BEVEL = 0x1000,
    PS_JOIN_MITER = 0x2000,
    PS_JOIN_MASK = 0xF000,
    PS_COSMETIC = 0,
    PS_GEOMETRIC = 0x10000,
    PS_TYPE_MASK = 0xF0000,
};
enum : std::uint32_t {
    BS_SOLID = 0,
    BS_NULL = 1,
    BS_HATCHED = 2,
    BS_PATTERN = 3,
    BS_DIBPATTERN = 5,
    BS_DIBPATTERNPT = 6,
};
enum : std::uint32_t {
    HS_HORIZONTAL = 0,
    HS_VERTICAL = 1,
    HS_FDIAGONAL = 2,
    HS_BDIAGONAL = 3,
    HS_CROSS = 4,
    HS_DIAGCROSS = 5,
};
enum : std::int32_t { FW_NORMAL = 400, FW_BOLD = 700 };

// Geometry fields: RECTL (left, top, right, bottom), POINTL, SIZEL and POINTS (16-bit x, y).
struct RectLField {
    std::string_view name;
    std::size_t offset;
    TRect get(ConstBytes r) const {
        return {readLE<std::int32_t>(r, offset), readLE<std::int32_t>(r, offset + 4),
                readLE<std::int32_t>(r, offset + 8), readLE<std::int32_t>(r, offset + 12)};
    }
    void set(Bytes r, const TRect& v) const {
        writeLE(r, offset, v.Left);
        writeLE(r, offset + 4, v.Top);
        writeLE(r, offset + 8, v.Right);
        writeLE(r, offset + 12, v.Bottom);
    }
};

struct PointLField {
    std::string_view name;
    std::size_t offset;
    TPoint get(ConstBytes r) const { return {readLE<std::int32_t>(r, offset), readLE<std::int32_t>(r, offset + 4)}; }
    void set(Bytes r, const TPoint& v) const {
        writeLE(r, offset, v.X);
        writeLE(r, offset + 4, v.Y);
    }
};

struct SizeLField {
    std::string_view name;
    std::size_t offset;
    TSize get(ConstBytes r) const { return {readLE<std::int32_t>(r, offset), readLE<std::int32_t>(r, offset + 4)}; }
    void set(Bytes r, const TSize& v) const {
        writeLE(r, offset, v.cx);
        writeLE(r, offset + 4, v.cy);
    }
};

// A world transform: x' = x * eM11 + y * eM21 + eDx, y' = x * eM12 + y * eM22 + eDy.
struct XForm {
    float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
    friend bool operator==(const XForm&, const XForm&) = default;
};

struct XFormField {
    std::string_view name;
    std::size_t offset;
    XForm get(ConstBytes r) const {
        return {readLE<float>(r, offset),      readLE<float>(r, offset + 4),  readLE<float>(r, offset + 8),
                readLE<float>(r, offset + 12), readLE<float>(r, offset + 16), readLE<float>(r, offset + 20)};
    }
    void set(Bytes r, const XForm& v) const {
        const float values[] = {v.eM11, v.eM12, v.eM21, v.eM22, v.eDx, v.eDy};
        for (std::size_t i = 0; i < 6; ++i)
            writeLE(r, offset + 4 * i, values[i]);
    }
};

// Record fields keep the kind of a 16-bit field for the generic field walkers.
using U16Field = FieldAt<std::uint16_t, FieldKind::Int16>;

// Every record: type and size of the whole record in bytes, these 8 bytes included.
namespace EmrRec {
inline constexpr U32Field Type{"iType", 0};
inline constexpr U32Field Size{"nSize", 4};
inline constexpr std::size_t kHeaderBytes = 8;
} // namespace EmrRec

// EMR_HEADER: the 88-byte base, then optional extensions (pixel format, then
// szlMicrometers). The description (UTF-16) lies at offDescription within the record.
namespace EmrHeader {
inline constexpr RectLField Bounds{"rclBounds", 8}; // device pixels, inclusive
inline constexpr RectLField Frame{"rclFrame", 24};  // 0.01 mm, inclusive
inline constexpr U32Field Signature{"dSignature", 40};
inline constexpr U32Field Version{"nVersion", 44};
inline constexpr U32Field TotalBytes{"nBytes", 48};
inline constexpr U32Field Records{"nRecords", 52};
inline constexpr U16Field Handles{"nHandles", 56};
inline constexpr U16Field Reserved{"sReserved", 58};
inline constexpr U32Field DescriptionLength{"nDescription", 60}; // UTF-16 code units
inline constexpr U32Field DescriptionOffset{"offDescription", 64};
inline constexpr U32Field PalEntries{"nPalEntries", 68};
inline constexpr SizeLField Device{"szlDevice", 72};           // pixels
inline constexpr SizeLField Millimeters{"szlMillimeters", 80}; // mm
inline constexpr std::size_t kBaseSize = 88;
inline constexpr U32Field PixelFormatSize{"cbPixelFormat", 88};
inline constexpr U32Field PixelFormatOffset{"offPixelFormat", 92};
inline constexpr U32Field OpenGL{"bOpenGL", 96};
inline constexpr std::size_t kExtension1Size = 100;
inline constexpr SizeLField Micrometers{"szlMicrometers", 100};
inline constexpr std::size_t kExtension2Size = 108;
} // namespace EmrHeader

// EMR_EOF: palette entries (usually none), then nSizeLast as the record's last word.
namespace EmrEof {
inline constexpr U32Field PalEntries{"nPalEntries", 8};
inline constexpr U32Field PalOffset{"offPalEntries", 12};
inline constexpr std::size_t kSize = 20; // without palette entries
inline constexpr std::size_t kSizeLastFromEnd = 4;
} // namespace EmrEof

// One 32-bit value: SETMAPMODE, SETBKMODE, SETPOLYFILLMODE, SETROP2, SETTEXTALIGN,
// SETSTRETCHBLTMODE, SETARCDIRECTION (iMode); RESTOREDC (iRelative, negative);
// SELECTOBJECT, DELETEOBJECT (ihObject); SETTEXTCOLOR, SETBKCOLOR (crColor);
// SELECTCLIPPATH (iMode).
namespace EmrValue {
inline constexpr I32Field Mode{"iMode", 8};
inline constexpr I32Field Relative{"iRelative", 8};
inline constexpr U32Field Object{"ihObject", 8};
inline constexpr ColorField Color{"crColor", 8};
inline constexpr std::size_t kSize = 12;
} // namespace EmrValue

// A point or size: SETWINDOWEXTEX, SETWINDOWORGEX, SETVIEWPORTEXTEX, SETVIEWPORTORGEX,
// SETBRUSHORGEX, MOVETOEX, LINETO.
namespace EmrPoint {
inline constexpr PointLField Point{"ptl", 8};
inline constexpr SizeLField Extent{"szlExtent", 8};
inline constexpr std::size_t kSize = 16;
} // namespace EmrPoint

// SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX: each extent is multiplied by Num / Denom.
namespace EmrScaleExtent {
inline constexpr I32Field XNum{"xNum", 8};
inline constexpr I32Field XDenom{"xDenom", 12};
inline constexpr I32Field YNum{"yNum", 16};
inline constexpr I32Field YDenom{"yDenom", 20};
inline constexpr std::size_t kSize = 24;
} // namespace EmrScaleExtent

// No parameters: SAVEDC, REALIZEPALETTE, SETMETARGN, BEGINPATH, ENDPATH, CLOSEFIGURE,
// FLATTENPATH, WIDENPATH, ABORTPATH.
inline constexpr std::size_t kEmrNoParamSize = 8;

// A rectangle: RECTANGLE, ELLIPSE (rclBox, inclusive); INTERSECTCLIPRECT, EXCLUDECLIPRECT
// (rclClip, exclusive of right and bottom); FILLPATH, STROKEANDFILLPATH, STROKEPATH
// (rclBounds).
namespace EmrBox {
inline constexpr RectLField Box{"rclBox", 8};
inline constexpr std::size_t kSize = 24;
} // namespace EmrBox

namespace EmrRoundRect {
inline constexpr RectLField Box{"rclBox", 8};
inline constexpr SizeLField Corner{"szlCorner", 24};
inline constexpr std::size_t kSize = 32;
} // namespace EmrRoundRect

// ARC, CHORD, PIE, ARCTO.
namespace EmrArc {
inline constexpr RectLField Box{"rclBox", 8};
inline constexpr PointLField Start{"ptlStart", 24};
inline constexpr PointLField End{"ptlEnd", 32};
inline constexpr std::size_t kSize = 40;
} // namespace EmrArc

// ANGLEARC: a circle by centre and radius; angles in degrees, counter-clockwise from the x-axis.
namespace EmrAngleArc {
inline constexpr PointLField Center{"ptlCenter", 8};
inline constexpr U32Field Radius{"nRadius", 16};
inline constexpr F32Field StartAngle{"eStartAngle", 20};
inline constexpr F32Field SweepAngle{"eSweepAngle", 24};
inline constexpr std::size_t kSize = 28;
} // namespace EmrAngleArc

namespace EmrSetWorldTransform {
inline constexpr XFormField Transform{"xform", 8};
inline constexpr std::size_t kSize = 32;
} // namespace EmrSetWorldTransform

namespace EmrModifyWorldTransform {
inline constexpr XFormField Transform{"xform", 8};
inline constexpr I32Field Mode{"iMode", 32};
inline constexpr std::size_t kSize = 36;
} // namespace EmrModifyWorldTransform

// CREATEPEN: a LOGPEN; the width is the x of a POINTL.
namespace EmrCreatePen {
inline constexpr U32Field Handle{"ihPen", 8};
inline constexpr U32Field Style{"lopnStyle", 12};
inline constexpr I32Field Width{"lopnWidth.x", 16};
inline constexpr ColorField Color{"lopnColor", 24};
inline constexpr std::size_t kSize = 28;
} // namespace EmrCreatePen

// EXTCREATEPEN: an optional pattern DIB, then a LOGPEN_EX with user style entries.
namespace EmrExtCreatePen {
inline constexpr U32Field Handle{"ihPen", 8};
inline constexpr U32Field BmiOffset{"offBmi", 12};
inline constexpr U32Field BmiSize{"cbBmi", 16};
inline constexpr U32Field BitsOffset{"offBits", 20};
inline constexpr U32Field BitsSize{"cbBits", 24};
inline constexpr U32Field Style{"elpPenStyle", 28};
inline constexpr U32Field Width{"elpWidth", 32};
inline constexpr U32Field BrushStyle{"elpBrushStyle", 36};
inline constexpr ColorField Color{"elpColor", 40};
inline constexpr U32Field Hatch{"elpHatch", 44};
inline constexpr U32Field NumEntries{"elpNumEntries", 48};
inline constexpr std::size_t kStyleEntries = 52;
inline constexpr std::size_t kSize = 52; // without style entries
} // namespace EmrExtCreatePen

namespace EmrCreateBrush {
inline constexpr U32Field Handle{"ihBrush", 8};
inline constexpr U32Field Style{"lbStyle", 12};
inline constexpr ColorField Color{"lbColor", 16};
inline constexpr U32Field Hatch{"lbHatch", 20};
inline constexpr std::size_t kSize = 24;
} // namespace EmrCreateBrush

// CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT: the pattern bitmap at offsets from the start of
// the record.
namespace EmrCreateDibBrush {
inline constexpr U32Field Handle{"ihBrush", 8};
inline constexpr U32Field Usage{"iUsage", 12};
inline constexpr U32Field BmiOffset{"offBmi", 16};
inline constexpr U32Field BmiSize{"cbBmi", 20};
inline constexpr U32Field BitsOffset{"offBits", 24};
inline constexpr U32Field BitsSize{"cbBits", 28};
inline constexpr std::size_t kSize = 32; // without bitmap
} // namespace EmrCreateDibBrush

// EXTCREATEFONTINDIRECTW: a LOGFONTW at offset 12, followed by the full name, style and
// PANOSE parts that writers commonly add (a 332-byte record in all).
namespace EmrCreateFont {
inline constexpr U32Field Handle{"ihFont", 8};
inline constexpr I32Field Height{"lfHeight", 12};
inline constexpr I32Field Width{"lfWidth", 16};
inline constexpr I32Field Escapement{"lfEscapement", 20};
inline constexpr I32Field Orientation{"lfOrientation", 24};
inline constexpr I32Field Weight{"lfWeight", 28};
inline constexpr U8Field Italic{"lfItalic", 32};
inline constexpr U8Field Underline{"lfUnderline", 33};
inline constexpr U8Field StrikeOut{"lfStrikeOut", 34};
inline constexpr U8Field CharSet{"lfCharSet", 35};
inline constexpr U8Field OutPrecision{"lfOutPrecision", 36};
inline constexpr U8Field ClipPrecision{"lfClipPrecision", 37};
inline constexpr U8Field Quality{"lfQuality", 38};
inline constexpr U8Field PitchAndFamily{"lfPitchAndFamily", 39};
inline constexpr std::size_t kFaceName = 40; // 32 UTF-16 code units, NUL-terminated
inline constexpr std::size_t kFaceNameChars = 32;
inline constexpr std::size_t kLogFontEnd = 104; // 12 + the 92-byte LOGFONTW
inline constexpr std::size_t kSize = 332;       // 12 + a 320-byte LOGFONT with PANOSE
} // namespace EmrCreateFont

// EXTTEXTOUTA / EXTTEXTOUTW: bounds, graphics mode and scales, then an EMRTEXT. offString
// and offDx count from the start of the record; the string is 8-bit for A and UTF-16 for
// W, nChars characters; the advances are nChars 32-bit values (pairs with ETO_PDY).
namespace EmrExtTextOut {
inline constexpr RectLField Bounds{"rclBounds", 8};
inline constexpr I32Field GraphicsMode{"iGraphicsMode", 24};
inline constexpr F32Field XScale{"exScale", 28};
inline constexpr F32Field YScale{"eyScale", 32};
inline constexpr PointLField Reference{"ptlReference", 36};
inline constexpr U32Field Chars{"nChars", 44};
inline constexpr U32Field StringOffset{"offString", 48};
inline constexpr U32Field Options{"fOptions", 52};
inline constexpr RectLField Rect{"rcl", 56}; // exclusive of right and bottom
inline constexpr U32Field DxOffset{"offDx", 72};
// With ETO_NO_RECT the rectangle is left out and offDx moves up into its place.
inline constexpr U32Field DxOffsetNoRect{"offDx", 56};
inline constexpr std::size_t kSize = 76; // without string and advances
} // namespace EmrExtTextOut

// STRETCHDIBITS: the BITMAPINFO and the bits at offsets from the start of the record.
// For a bottom-up bitmap (positive biHeight) ySrc counts from the bottom row, as GDI's
// StretchDIBits takes it.
namespace EmrStretchDIBits {
inline constexpr RectLField Bounds{"rclBounds", 8};
inline constexpr I32Field XDest{"xDest", 24};
inline constexpr I32Field YDest{"yDest", 28};
inline constexpr I32Field XSrc{"xSrc", 32};
inline constexpr I32Field YSrc{"ySrc", 36};
inline constexpr I32Field CxSrc{"cxSrc", 40};
inline constexpr I32Field CySrc{"cySrc", 44};
inline constexpr U32Field BmiOffset{"offBmiSrc", 48};
inline constexpr U32Field BmiSize{"cbBmiSrc", 52};
inline constexpr U32Field BitsOffset{"offBitsSrc", 56};
inline constexpr U32Field BitsSize{"cbBitsSrc", 60};
inline constexpr U32Field Usage{"iUsageSrc", 64};
inline constexpr U32Field Rop{"dwRop", 68};
inline constexpr I32Field CxDest{"cxDest", 72};
inline constexpr I32Field CyDest{"cyDest", 76};
inline constexpr std::size_t kSize = 80; // without bitmap
} // namespace EmrStretchDIBits

// BITBLT: a source bitmap is optional (a pattern fill has cbBmiSrc 0).
namespace EmrBitBlt {
inline constexpr RectLField Bounds{"rclBounds", 8};
inline constexpr I32Field XDest{"xDest", 24};
inline constexpr I32Field YDest{"yDest", 28};
inline constexpr I32Field CxDest{"cxDest", 32};
inline constexpr I32Field CyDest{"cyDest", 36};
inline constexpr U32Field Rop{"dwRop", 40};
inline constexpr I32Field XSrc{"xSrc", 44};
inline constexpr I32Field YSrc{"ySrc", 48};
inline constexpr XFormField SrcTransform{"xformSrc", 52};
inline constexpr ColorField BkColorSrc{"crBkColorSrc", 76};
inline constexpr U32Field Usage{"iUsageSrc", 80};
inline constexpr U32Field BmiOffset{"offBmiSrc", 84};
inline constexpr U32Field BmiSize{"cbBmiSrc", 88};
inline constexpr U32Field BitsOffset{"offBitsSrc", 92};
inline constexpr U32Field BitsSize{"cbBitsSrc", 96};
inline constexpr std::size_t kSize = 100; // without bitmap
} // namespace EmrBitBlt

// STRETCHBLT: the fields of BITBLT (EmrBitBlt, ReadBitBltDib), then the source extent.
namespace EmrStretchBlt {
inline constexpr I32Field CxSrc{"cxSrc", 100};
inline constexpr I32Field CySrc{"cySrc", 104};
inline constexpr std::size_t kSize = 108; // without bitmap
} // namespace EmrStretchBlt

// POLYLINE, POLYGON, POLYBEZIER, POLYBEZIERTO, POLYLINETO and their 16-bit forms: bounds,
// a count, then the points (POINTL, or POINTS in the 16-bit forms).
namespace EmrPoly {
inline constexpr RectLField Bounds{"rclBounds", 8};
inline constexpr U32Field Count{"cptl", 24};
inline constexpr std::size_t kPoints = 28;
inline constexpr std::size_t kSize = 28; // without points
} // namespace EmrPoly

// POLYPOLYLINE, POLYPOLYGON and their 16-bit forms: bounds, the number of polygons, the
// total number of points, one count per polygon, then all the points.
namespace EmrPolyPoly {
inline constexpr RectLField Bounds{"rclBounds", 8};
inline constexpr U32Field Polys{"nPolys", 24};
inline constexpr U32Field Count{"cptl", 28};
inline constexpr std::size_t kCounts = 32;
inline constexpr std::size_t kSize = 32; // without counts and points
} // namespace EmrPolyPoly

namespace EmrGdiComment {
inline constexpr U32Field DataSize{"cbData", 8};
inline constexpr std::size_t kData = 12;
} // namespace EmrGdiComment

// Whether a poly record type stores 16-bit points.
constexpr bool IsPoly16(std::uint32_t type) {
    return type == EMR_POLYBEZIER16 || type == EMR_POLYGON16 || type == EMR_POLYLINE16 || type == EMR_POLYBEZIERTO16 ||
           type == EMR_POLYLINETO16 || type == EMR_POLYPOLYLINE16 || type == EMR_POLYPOLYGON16 ||
           type == EMR_POLYDRAW16;
}

// Readers of the variable parts. Each takes only what both the record's counts and its
// bytes hold, so a count larger than the record never reads past it.

// The description of a HEADER record (UTF-16, NULs included as stored).
std::u16string ReadDescription(ConstBytes record);
// The points of a POLY* record (32- or 16-bit form, by the record's type).
std::vector<TPoint> ReadPolyPoints(ConstBytes record);
// The polygons of a POLYPOLY* record (32- or 16-bit form, by the record's type).
std::vector<std::vector<TPoint>> ReadPolyPolygons(ConstBytes record);
// The string of an EXTTEXTOUTW record, as UTF-16 code units.
std::u16string ReadTextW(ConstBytes record);
// The string of an EXTTEXTOUTA record, as its 8-bit bytes.
std::string ReadTextA(ConstBytes record);
// The advances of an EXTTEXTOUTA/W record (nChars values, or 2 * nChars with ETO_PDY),
// wherever offDx lies (see ETO_NO_RECT).
std::vector<std::int32_t> ReadTextDx(ConstBytes record);
// The face name of an EXTCREATEFONTINDIRECTW record, up to its NUL.
std::u16string ReadFaceName(ConstBytes record);
// `size` bytes at `offset` of the record, or nothing when they do not lie wholly within it.
ConstBytes RecordBlock(ConstBytes record, std::uint32_t offset, std::uint32_t size);
// The bitmap of a STRETCHDIBITS or BITBLT record; empty parts when they lie outside it.
TDib ReadStretchDIBitsDib(ConstBytes record);
TDib ReadBitBltDib(ConstBytes record);

// One record of a walk.
struct EmfRecord {
    std::uint32_t Type = 0;
    std::uint32_t Size = 0; // nSize as stored
    std::size_t Offset = 0; // where the record starts in the walked bytes
    ConstBytes Bytes;       // the record as far as the bytes hold it
};

// Walks the records of EMF bytes from a starting offset. A walk ends when fewer than 8
// bytes are left. A record whose nSize is below 8 is taken as its 8 header bytes and the
// walk goes on behind them; a record whose nSize runs past the end is cut at the end, and
// the walk ends after it. The walk does not stop at EMR_EOF: callers decide.
class EmfRecordReader {
public:
    explicit EmfRecordReader(ConstBytes data, std::size_t offset = 0)
        : begin_(data.data()), end_(data.data() + data.size()), at_(data.data() + std::min(offset, data.size())) {}

    // The next record, or false at the end of the walk. Inline: walks run once per record,
    // and the state is kept small enough to stay in registers around the caller's handler.
    bool Next(EmfRecord& record) {
        const auto left = std::size_t(end_ - at_);
        if (left < EmrRec::kHeaderBytes) return false;
        const ConstBytes rest(at_, left);
        record.Type = EmrRec::Type.get(rest);
        record.Size = EmrRec::Size.get(rest);
        record.Offset = std::size_t(at_ - begin_);
        // Metafiles repeat record sizes: runs of one kind, or two kinds taking turns. When
        // this size is the length taken two records back, the step uses that length, so the
        // processor can move on by its branch guess instead of waiting for the size to load.
        // A branch, not a conditional move: the guess only helps when the step does not wait
        // for the comparison.
        std::size_t length;
        if (__builtin_expect(record.Size == twoBack_ && twoBack_ <= left, 1))
            length = twoBack_;
        else
            length = std::clamp<std::size_t>(record.Size, EmrRec::kHeaderBytes, left);
        twoBack_ = oneBack_;
        oneBack_ = length;
        record.Bytes = rest.first(length);
        at_ += length;
        return true;
    }

private:
    const std::uint8_t* begin_;
    const std::uint8_t* end_;
    const std::uint8_t* at_;
    // Lengths of the last two records; no record size (32 bits) equals the start value.
    std::size_t oneBack_ = SIZE_MAX;
    std::size_t twoBack_ = SIZE_MAX;
};

// The same walk for range-for loops: for (const EmfRecord& r : EmfRecords(bytes)) ...
class EmfRecords {
public:
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = EmfRecord;
        using difference_type = std::ptrdiff_t;
        using pointer = const EmfRecord*;
        using reference = const EmfRecord&;

        iterator() = default;
        explicit iterator(EmfRecordReader reader) : reader_(reader), done_(false) { ++*this; }
        reference operator*() const { return current_; }
        pointer operator->() const { return &current_; }
        iterator& operator++() {
            done_ = !reader_.Next(current_);
            return *this;
        }
        void operator++(int) { ++*this; }
        friend bool operator==(const iterator& a, const iterator& b) { return a.done_ && b.done_; }

    private:
        EmfRecordReader reader_{ConstBytes{}};
        EmfRecord current_;
        bool done_ = true;
    };

    explicit EmfRecords(ConstBytes data, std::size_t offset = 0) : data_(data), offset_(offset) {}
    iterator begin() const { return iterator(EmfRecordReader(data_, offset_)); }
    iterator end() const { return iterator(); }

private:
    ConstBytes data_;
    std::size_t offset_;
};

} // namespace kovet
