#pragma once

// Turning a form into drawing calls: the one routine behind the designer's surface, its
// preview, printing and exports, and the run-time widget's page.

#include "document/KVTFile.h"
#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace kovet {

// Something that could not be drawn as stored (a logo whose bytes do not decode). The rest
// of the form is drawn regardless.
struct TDrawProblem {
    std::int32_t Index = 0; // position in the record list
    std::int32_t ID = 0;
    std::string Message;
};

// A page value at scale s: computed in floating point and truncated toward zero.
std::int32_t Scaled(double value, float s);

// The escapement (tenths of a degree, counter-clockwise) of a text record's angle. An angle
// that is no number (NaN, infinite) draws unrotated; one too large for the integer escapement
// is first brought within one turn, which points the text the same way.
std::int32_t Escapement(float degrees);

// The pixels of bitmap logos one drawing decodes at the most, together: a logo beyond what is
// left is drawn as its outline and reported, so that a few bytes of run-length encoded
// bitmap repeated over a form cannot make a drawing decode gigabytes.
inline constexpr std::int64_t kMaxDrawnBitmapPixels = std::int64_t(1) << 26;

// How one drawing shows a form. Views of the same document (the designer's surface, its
// preview, printing, the test-fill window) draw with options of their own instead of
// changing the document's flags around each paint.
struct TDrawOptions {
    bool Designing = false;      // fields drawn as name placeholders, logos that fail as outlines
    bool Shading = true;         // frames and ellipses filled
    bool Opaque = false;         // the rectangle filled with the page colour first
    TColor DashColor = clSilver; // the placeholders' dashed outline
    // The document's own flags (Designing, Shading, DashColor).
    static TDrawOptions Of(const TKVT& form, bool opaque);
};

// Draws the whole form into `rect` of the canvas, scaled so that the page width fills the
// rectangle. Never throws for the form's content.
std::vector<TDrawProblem> DrawForm(TKVT& form, const TRect& rect, Canvas& canvas, const TDrawOptions& options);
// The same with the document's own flags.
std::vector<TDrawProblem> DrawForm(TKVT& form, const TRect& rect, Canvas& canvas, bool opaque);

// The caption of a field placeholder in design view ("tx-Name", "X0-Check1", ...).
std::string FieldPlaceholderCaption(ConstBytes field);

} // namespace kovet
