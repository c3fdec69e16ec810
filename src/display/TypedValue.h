#pragma once

// Values as a user types them into a field's editor: "8.25" in a percent field is 8.25 %,
// "$12.50" and "12.50" are money, dates in the field's date notation, digits into a telephone
// or card field's mask. The command line's values and those of filled-in PDF forms go in so.

#include "KVTLabel.h"

#include <string>

namespace kovet {

// Gives the field the typed value. Returns an empty string when it went in, else what is
// wrong with it ("'abc' is not a number"); the field then keeps its value. A memo takes its
// lines with \n (a backslash and an n) between them; a check box X, 1, true, yes or on, and
// 0, false, no, off or nothing, in any case.
std::string TypeIntoField(TKVTField& field, const std::string& typed);

} // namespace kovet
