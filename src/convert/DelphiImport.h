#pragma once

// Fields from the labels and data controls of a Delphi form: a line scan of the form's
// textual notation (one property per line, as the binary form converts to it), not an object
// tree. Every component of one of the display component's label and control classes becomes
// one field, appended behind the form's objects, with the component's name, place, size,
// tag, tab order, font, alignment, format and options; the rest of the form is ignored.

#include "document/Defaults.h"
#include "document/KVTFile.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <string_view>

namespace kovet {

// Scans the notation's lines (ended by LF or CR LF) and appends the fields; returns how many.
// The fields start from the field defaults; names are taken unchanged, not made unique.
std::int32_t ImportDelphiFields(TKVTFile& list, TKVTDefaults& defaults, std::string_view notation,
                                TextMetrics& metrics);

} // namespace kovet
