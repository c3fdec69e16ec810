#pragma once

// Forms drawn in a word processor, handed over as an enhanced metafile, turned into objects
// of a form: rectangles and round rectangles become frames, ellipses ellipses, line records
// lines and text records text objects. Every other record only updates the drawing state
// (the last pen and font created, the background mode and colour, the current point) or is
// ignored. The state outlives an import: the designer keeps one for as long as its window
// is open, so an import starts with what the previous one left.

#include "document/Defaults.h"
#include "document/KVTFile.h"
#include "platform/Canvas.h"
#include "storage/Bytes.h"
#include "storage/Exception.h"

#include <cstdint>
#include <string>

namespace kovet {

// Bytes that are not an enhanced metafile; nothing was imported from them.
class EWordImportError : public Exception {
public:
    using Exception::Exception;
};

inline constexpr char kNotAMetafileMessage[] = "The file is not an enhanced metafile.";

// The screen resolution that font heights in pixels and sizes in points convert by.
inline constexpr std::int32_t kImportPixelsPerInch = 96;

class TWordImportState {
public:
    // Starts with a black solid pen 1 pixel wide, a solid white fill, the current point at
    // (0, 0), scale 0, and the font the platform uses by default: its face (Windows-1252) and
    // size in points, its height following the size.
    explicit TWordImportState(std::string fontName = "Arial", std::int32_t fontSize = 8);

    std::int32_t PenWidth = 1;
    TColor PenColor = clBlack;
    std::uint8_t PenStyle = psSolid; // psSolid, psDashed or psDotted
    TColor FillColor = clWhite;
    bool FillSolid = true;
    std::string FontName;    // Windows-1252
    std::int32_t FontHeight; // pixels; negative: the character height
    std::int32_t FontSize;   // points
    std::uint8_t FontStyle = 0;
    TPoint Current{0, 0}; // metafile logical units, as the records give it
    float Scale = 0;

    // v times the scale, truncated toward zero.
    std::int32_t Scaled(std::int32_t v) const;
    // The font of a height in pixels: its size in points rounded (halves to even), and the
    // height that size has again.
    void SetFontHeight(std::int32_t height);
};

// Where an import's objects go and what they are made from.
struct TWordImportTarget {
    TKVT& Form;
    TKVTDefaults& Defaults; // new objects start as the designer's defaults
    TWordImportState& State;
    TextMetrics& Metrics; // sizes the text objects to their text
};

// One metafile record (iType and nSize first, as the record walk hands it out): a drawing
// record appends its object to the form, a state record updates the state, any other record
// is ignored. Fields the record's bytes do not hold read as zero.
void ConvertMetafileRecord(const TWordImportTarget& target, ConstBytes record);

// Imports the metafile's records behind the form's objects at the scale (stored in the
// state first). Throws EWordImportError, before anything is added, when the bytes do not
// begin with a metafile header.
void ImportMetafile(TKVT& form, TKVTDefaults& defaults, TWordImportState& state, ConstBytes emf, float scale,
                    TextMetrics& metrics);

// A UTF-16 string narrowed the way the import reads record text: every non-zero byte in turn
// is one character, up to `limit` characters (at most 255); leading zero bytes are skipped,
// and two zero bytes in a row after the first character end the string.
std::string NarrowUtf16Bytes(ConstBytes bytes, std::size_t limit);

} // namespace kovet
