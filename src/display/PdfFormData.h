#pragma once

// The values of a filled-in PDF form, by field name: what `kovet fill --pdf-data` reads from a
// form that somebody filled in with a PDF reader. Read with qpdf, whose headers compile only
// as C++17 with some compilers: this interface, and its implementation, keep to C++17.

#include "storage/Exception.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kovet {

enum class TPdfFieldKind : std::uint8_t { Text, Choice, CheckBox, RadioGroup, Other };

struct TPdfFieldValue {
    // The fully qualified field name, UTF-8.
    std::string Name;
    TPdfFieldKind Kind = TPdfFieldKind::Other;
    // Text and choice fields: the value (UTF-8; lines of a multi-line text as the reader wrote
    // them, with CR, LF or both between). Check boxes and radio groups: the name of the state
    // that is on, empty when the field is off.
    std::string Value;
    // False when the PDF gives the field no value at all.
    bool HasValue = false;
    // Choice fields: the items offered.
    std::vector<std::string> Options;
};

// The terminal fields of the document's interactive form, in the form's order. Throws
// Exception when the bytes are no readable PDF, and when the PDF holds no form fields.
std::vector<TPdfFieldValue> ReadPdfFormValues(const std::uint8_t* pdf, std::size_t size);

} // namespace kovet
