#pragma once

// Values given on the command line, taken as a user types them into the field's editor:
// "8.25" in a percent field is 8.25 %, "$12.50" and "12.50" are money, dates in the field's
// date notation, digits into a telephone or card field's mask.

#include "display/KVTImage.h"
#include "display/PdfFormData.h"

#include <span>
#include <string>
#include <vector>

namespace kovet::cli {

// Gives the field the typed value. Returns an empty string when it went in, else what is
// wrong with it ("'abc' is not a number"); the field then keeps its value.
std::string TypeIntoField(TKVTField& field, const std::string& typed);

// Gives the image's fields the values of a filled-in PDF form, by field name (ASCII case
// ignored), each typed into its field; a memo takes the lines as they are; a check box is
// checked when its state is on; a radio group "Group<n>" checks the button of group n whose
// Name its state names and unchecks the others. Fields the PDF gives no value keep theirs.
// Returns what was wrong with values ("Total: 'abc' is not a number"). Throws Exception when
// no field of the PDF names a field of the form.
std::vector<std::string> TakePdfValues(TKVTImage& image, std::span<const TPdfFieldValue> values);

} // namespace kovet::cli
