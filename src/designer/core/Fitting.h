#pragma once

// Text and field objects sized to their text, measured as the painter measures it: the
// record's font name, its size in points at 96 pixels per inch and its style.

#include "platform/Canvas.h"
#include "storage/Bytes.h"

namespace kovet::designer {

// Width and Height := the extent of the record's Text.
void FitTextToFont(Bytes text, TextMetrics& metrics);
// Width and Height := the extent of "XX-" and the field's Name (at most 43 characters), the
// widest placeholder caption the name can have.
void FitFieldToFont(Bytes field, TextMetrics& metrics);

} // namespace kovet::designer
