#pragma once

// Colours of the run-time widget's controls in Qt terms.

#include "platform/Canvas.h"

#include <QColor>

namespace kovet {

// The colour a $00BBGGRR or system colour value stands for.
inline QColor QColorOf(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

} // namespace kovet
