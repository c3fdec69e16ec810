#pragma once

// What the design surface shows and what the print command prints: the page-size picture
// (page colour, background picture, measuring grid, the form with its field placeholders,
// the selection's handles), the scaled preview of the whole page, and the printed page.

#include "Selection.h"

#include "document/KVTFile.h"
#include "platform/Canvas.h"

#include <QImage>

#include <cstdint>
#include <string>

class QPainter;
class QPrinter;

namespace kovet::designer {

enum class TRulerUnits : std::uint8_t { Pixels = 0, Inches = 1, Millimeters = 2 };

// The view switches of the View menu that the picture follows.
struct TDesignView {
    bool Rulers = true;
    bool Bitmap = true;
    bool ImbeddedFields = true; // field placeholders drawn
    TRulerUnits Units = TRulerUnits::Pixels;
};

// The surface's size: the page's.
TSize DesignSize(TKVT& form);

// Paints the page-size picture onto a painter whose units are page pixels.
void PaintDesign(QPainter& painter, TKVT& form, const QImage& backPicture, TSelection& selection,
                 const TDesignView& view);

// The measuring grid over a surface of `size`: lines 50 pixels apart (48 for inches and
// millimetres), every second one dashed and labelled with its position in the unit.
void DrawGrid(Canvas& canvas, TSize size, TRulerUnits units);

// Where the scaled preview puts the page in a surface of `size`: fitted to its height and
// centred; an empty form at page size from the corner.
TRect PreviewRect(TKVT& form, TSize size);
// The scaled preview: the page in PreviewRect, on the button-shadow colour.
void PaintPreview(QPainter& painter, TKVT& form, TSize size, const TDesignView& view);

struct TPrintChoices {
    bool Color = false;
    bool Shading = true;
    bool ExactDpi = false;
    bool ExactMargins = false;
};

// Paper and orientation from the header, one copy, no duplex, the colour mode.
void SetupDesignPrinter(QPrinter& printer, TKVT& form, const TPrintChoices& choices);
// Prints the page without field placeholders as one job named `title`; the job ends also
// when drawing fails. Throws EFileError when the printer cannot start.
void PrintDesign(QPrinter& printer, TKVT& form, const TPrintChoices& choices, const std::string& title);

} // namespace kovet::designer
