#pragma once

// A drawing surface with the conventions of the platform the forms were designed on: a
// current pen, brush and font; shapes whose box (l, t, r, b) covers x from l to r - 1 and y
// from t to b - 1 with the outline inside it; text placed by the top-left corner of its
// cell. Coordinates are device pixels. Text is UTF-8 (record text is converted from
// Windows-1252 where it leaves the record).

#include "storage/Bytes.h"
#include "storage/Geometry.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kovet {

// $00BBGGRR; a value whose high byte is $80 names a system colour by its low byte.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clWindow = clSystemColor | 5, clWindowText = clSystemColor | 8,
                        clHighlight = clSystemColor | 13, clHighlightText = clSystemColor | 14,
                        clBtnFace = clSystemColor | 15, clBtnShadow = clSystemColor | 16,
                        clGrayText = clSystemColor | 17, clBtnText = clSystemColor | 18;

// The $00BBGGRR value a colour stands for; system colours come from a fixed classic palette.
TColor ColorToRGB(TColor color);

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psClear };
enum class TPenMode : std::uint8_t { pmCopy, pmXor, pmNotXor };
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear, bsFDiagonal, bsDiagCross };
enum class TPolyFillMode : std::uint8_t { Alternate, Winding };

struct TPen {
    TColor Color = clBlack;
    std::int32_t Width = 1; // 0 draws one pixel wide
    TPenStyle Style = TPenStyle::psSolid;
    TPenMode Mode = TPenMode::pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

// Font style bits, as in the records.
enum : std::uint8_t { fsBoldBit = 1, fsItalicBit = 2, fsUnderlineBit = 4, fsStrikeOutBit = 8 };

struct TFont {
    std::string Name = "Arial";
    // Logical height: negative is the character height in pixels (cell minus internal
    // leading), positive the cell height.
    std::int32_t Height = -13;
    std::uint8_t Style = 0;
    TColor Color = clBlack;
    std::int32_t Escapement = 0; // tenths of a degree, counter-clockwise
    std::uint8_t CharSet = 1;    // DEFAULT_CHARSET
};

// A device-independent bitmap: the BITMAPINFO block (header and colour table) and the pixel
// rows, as they follow the 14-byte file header in a BMP file.
struct TDib {
    ConstBytes Info;
    ConstBytes Bits;
};

// Text measurement for canvases that record rather than draw (metafile writers, the
// recording canvas of tests); the Qt implementation measures with the real fonts.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // Width and height of the text's cell in pixels, at 96 pixels per inch.
    virtual TSize Extent(const TFont& font, std::string_view text) = 0;
    // The advance of each UTF-16 code unit of the text, in pixels.
    virtual std::vector<std::int32_t> Advances(const TFont& font, std::u16string_view text) = 0;
    // Pixels of the cell above the baseline. Metrics without font data take four fifths of
    // the cell.
    virtual std::int32_t Ascent(const TFont& font) { return Extent(font, "X").cy * 4 / 5; }
};

class Canvas {
public:
    virtual ~Canvas() = default;

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // Fills with the brush only, no outline; the rectangle excludes its right and bottom edge.
    virtual void FillRect(const TRect& r) = 0;
    virtual void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) = 0;
    // w, h: width and height of the corner ellipse.
    virtual void RoundRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                           std::int32_t h) = 0;
    virtual void Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) = 0;
    virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
    // Draws from the current position up to, not including, (x, y), which becomes current.
    virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
    virtual void Polyline(std::span<const TPoint> points) = 0;
    // Filled with the brush and outlined with the pen; each polygon is closed.
    virtual void PolyPolygon(std::span<const std::vector<TPoint>> polygons, TPolyFillMode mode) = 0;

    // Text at (x, y), the top-left corner of its cell, turned by Font.Escapement about that
    // point. The background is transparent when the brush is clear, otherwise opaque in the
    // brush colour.
    virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
    // As TextOut, clipped to `clip`, which also bounds an opaque background.
    virtual void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text) = 0;
    virtual TSize TextExtent(std::string_view text) = 0;
    std::int32_t TextWidth(std::string_view text) { return TextExtent(text).cx; }
    std::int32_t TextHeight(std::string_view text) { return TextExtent(text).cy; }
    // Pixels of the current font's cell above the baseline.
    virtual std::int32_t TextAscent() { return TextHeight("X") * 4 / 5; }
    // The next text output spreads `extra` pixels over its first `count` blanks, the first
    // extra mod count of them one pixel wider. (0, 0) switches it off.
    virtual void SetTextJustification(std::int32_t extra, std::int32_t count) = 0;
    // Text output from now on (and TextExtent) places its characters by these advances in
    // pixels, one per UTF-16 code unit of the text, instead of the font's, and ignores the
    // justification. Advances whose count differs from the text's are ignored for that text;
    // an empty vector switches them off.
    virtual void SetTextAdvances(std::vector<std::int32_t> advances) { textAdvances_ = std::move(advances); }

    // Draws the part `source` of the bitmap (in bitmap pixels, top-down) into `dest`.
    virtual void StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) = 0;

    // Drawing state for the metafile player.
    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;
    virtual void IntersectClipRect(const TRect& r) = 0;
    // Recorded by metafile canvases; drawing is unaffected (the page is drawn 1:1).
    virtual void SetMapMode(std::int32_t mode) { (void)mode; }

    // Device capabilities.
    virtual std::int32_t LogPixelsX() const { return 96; }
    virtual std::int32_t LogPixelsY() const { return 96; }
    virtual std::int32_t PhysicalOffsetX() const { return 0; }
    virtual std::int32_t PhysicalOffsetY() const { return 0; }

protected:
    // The advances set for a text of `units` UTF-16 code units: none when none are set or
    // their count differs.
    std::span<const std::int32_t> TextAdvancesFor(std::size_t units) const {
        if (textAdvances_.size() != units) return {};
        return textAdvances_;
    }

    std::vector<std::int32_t> textAdvances_;
};

} // namespace kovet
