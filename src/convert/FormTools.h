#pragma once

// Whole-form commands shared by the designer's Tools menu and the command line: the data
// procedure for a host program, the list of field names, the top-to-bottom reordering of the
// objects, and the batch fixes of text and field objects. Each works on the form's records in
// place; undo, selection and redrawing are the caller's.

#include "document/KVTFile.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kovet {

// The procedure that fills a form shown by a display component named KVTImage1 on a host
// form TForm1: one assignment per field in document order, with the accessor that suits the
// field's format. Editable fields come out commented, read-only ones ready to complete.
std::vector<std::string> GetDataLines(TKVTFile& list);
// The accessor text of a field format ("AsDouble:= "...).
const char* GetDataAccessor(std::int32_t format);

// The name of every field in document order.
std::vector<std::string> FieldNameLines(TKVTFile& list);

// Lines as a text file writes them: each ended by CR LF.
std::vector<std::uint8_t> CrLfText(const std::vector<std::string>& lines);

// A step of a long command: its message and how far it is, 0 to 100.
using TProgress = std::function<void(const char* message, int percent)>;

// Reorders the records by their Top, top to bottom (a stable sort, so records of equal Top
// keep their order; the value is signed, so objects above the page come first), then moves
// the header record to the front. Progress is reported as "Calculating Offsets" and
// "Reorganizing Objects", each time its percentage changes.
void OptimizeForm(TKVTFile& list, const TProgress& progress);

// Every text object sizes itself to its text; right-aligned ones keep their right edge.
void AutosizeAllText(TKVTFile& list, TextMetrics& metrics);
// Every field name in lower case; read-only fields and check boxes size themselves to their
// name (right-aligned ones keeping their right edge), every other field stops sizing itself.
void AutosizeAllFields(TKVTFile& list, TextMetrics& metrics);

// A font as records keep it: the face in Windows-1252, the style bits, the size in points,
// the logical height and the colour ($00BBGGRR).
struct TRecordFont {
    std::string Name;
    std::uint8_t Style = 0;
    std::uint8_t Size = 0;
    std::int16_t Height = 0;
    std::uint32_t Color = 0;
};
// Every field takes the font; fields that size themselves are fitted to it.
void ChangeFieldFonts(TKVTFile& list, const TRecordFont& font, TextMetrics& metrics);

} // namespace kovet
