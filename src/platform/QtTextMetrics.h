#pragma once

// Logical fonts turned into Qt fonts the way the original platform sized them, and text
// measured with them. The canvas and the text metrics share this mapping, so that what is
// measured is what is drawn.

#include "platform/Canvas.h"

#include <QFont>
#include <QList>
#include <QRawFont>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace kovet {

// A logical font resolved to a Qt font, with the cell metrics the original platform gives it.
struct QtFontFace {
    QFont Font; // pixel-sized; bold, italic, underline and strike-out set from the style bits
    QRawFont Raw;
    std::int32_t Ascent = 0;  // whole pixels above the baseline
    std::int32_t Descent = 0; // whole pixels below it
    std::int32_t CellHeight() const { return Ascent + Descent; }
};

// A negative height is the em (character) height in pixels; a positive one the cell height, met
// by choosing the em size from the font's Windows ascent and descent; 0 stands for a cell of 16.
// Faces are cached by name, height and style.
QtFontFace FaceFor(const TFont& font);

// The Qt font that draws `font`.
QFont ToQFont(const TFont& font);

// Text as the original platform lays it out: one glyph per code point with whole-pixel
// advances, no kerning, no shaping.
struct QtGlyphs {
    QList<quint32> Indexes;
    std::vector<std::int32_t> Advances;
    std::vector<std::uint8_t> Units; // UTF-16 code units of each glyph (1 or 2)
    std::vector<bool> Blank;         // the glyph is a space, where justification adds width
};

QtGlyphs LayOutText(const QtFontFace& face, QStringView text);

// Measures at 96 pixels per inch with the same fonts as the canvas draws.
class QtTextMetrics : public TextMetrics {
public:
    TSize Extent(const TFont& font, std::string_view text) override;
    std::int32_t Ascent(const TFont& font) override { return FaceFor(font).Ascent; }
    std::vector<std::int32_t> Advances(const TFont& font, std::u16string_view text) override;
};

// The platform's default font as records name it: the face in Windows-1252 and the size in
// points.
struct TDefaultFont {
    std::string Name;
    std::int32_t Size = 0;
};
TDefaultFont PlatformDefaultFont();

} // namespace kovet
