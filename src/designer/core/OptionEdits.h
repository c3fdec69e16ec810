#pragma once

// The options dialog's values without the dialog: the user's options and the default object
// images of the defaults record, read into plain values and stored back.

#include "PropertyEdits.h"

#include "document/Defaults.h"

#include <cstdint>

namespace kovet::designer {

inline constexpr float kMinWordScale = 0.05f, kMaxWordScale = 1.0f;

struct TOptionValues {
    std::int32_t RulerUnits = 0; // 0 pixels, 1 inches, 2 millimetres
    bool StartMaximized = false, PrintInColor = false, PrintShading = false, PrintExactDPI = false,
         PrintExactMargins = false;
    double WordScale = 0;
    // The object pages; the text's and the field's fonts carry their heights.
    TObjectValues Objects;
    // The default sizes of new frames, lines and ellipses.
    std::int32_t FrameHeight = 0, FrameWidth = 0, LineHeight = 0, LineWidth = 0, EllipseHeight = 0, EllipseWidth = 0;
};

TOptionValues ReadOptions(TKVTDefaults& defaults);
// Every value into the record, each as the low-order part of its field; the Word scale kept
// between 0.05 and 1.0.
void StoreOptions(TKVTDefaults& defaults, const TOptionValues& values);

float ClampedWordScale(double scale);

} // namespace kovet::designer
