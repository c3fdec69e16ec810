#pragma once

// New objects of a form as the designer places them, shared by its commands and the imports:
// a record of an object type filled from the defaults record, and text and field objects
// sized to their text as the painter measures it (the record's font name, its size in points
// at 96 pixels per inch and its style).

#include "document/Defaults.h"
#include "document/KVTFile.h"
#include "platform/Canvas.h"
#include "storage/Bytes.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kovet {

// Width and Height := the extent of the record's Text.
void FitTextToFont(Bytes text, TextMetrics& metrics);
// Width and Height := the extent of "XX-" and the field's Name (at most 43 characters), the
// widest placeholder caption the name can have.
void FitFieldToFont(Bytes field, TextMetrics& metrics);

// A field record of the defaults' font, format, options and sizes, without name, tab order
// or place.
std::vector<std::uint8_t> DefaultFieldRecord(TKVTDefaults& defaults);
// A text record of the defaults' font, alignment and angle holding `text` (Windows-1252, at
// most 255 characters), its item size set and the rest of its item header left to the
// wrapper; not yet fitted to its text.
std::vector<std::uint8_t> NewTextRecord(TKVTDefaults& defaults, std::string_view text);
// A new record of the type (a record type code) from the defaults, its item header left to
// the wrapper; a field gets the form's next free name and tab order. Empty for a type that
// is not an object.
std::vector<std::uint8_t> NewObjectRecord(TKVT& form, TKVTDefaults& defaults, std::int32_t type, TextMetrics& metrics);
// The wrapper of the record's type, which gives it its type, ID and default size.
TCustomRecordListObject& WrapperOf(TKVTFile& list, std::int32_t type);
// Appends a new object of the type with its top-left corner at (x, y); it becomes the
// front-most record. Returns its ID, 0 for a type that is not an object.
std::int32_t AppendNewObject(TKVT& form, TKVTDefaults& defaults, std::int32_t type, std::int32_t x, std::int32_t y,
                             TextMetrics& metrics);

} // namespace kovet
