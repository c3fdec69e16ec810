#pragma once

// Values given on the command line, taken as a user types them into the field's editor:
// "8.25" in a percent field is 8.25 %, "$12.50" and "12.50" are money, dates in the field's
// date notation, digits into a telephone or card field's mask.

#include "display/KVTLabel.h"

#include <string>

namespace kovet::cli {

// Gives the field the typed value. Returns an empty string when it went in, else what is
// wrong with it ("'abc' is not a number"); the field then keeps its value.
std::string TypeIntoField(TKVTField& field, const std::string& typed);

} // namespace kovet::cli
