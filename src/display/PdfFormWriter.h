#pragma once

// Interactive form fields written into a page PDF with qpdf. qpdf's headers compile only as
// C++17 with some compilers, so this interface, and its implementation, keep to C++17.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kovet {

// One widget of a field: its box in points from the page's top-left corner, and how it looks
// (a content stream in the box's own space, the box's bottom-left at the origin).
struct TPdfWidgetDesc {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::string Appearance;
    // Buttons: the name of the checked state (without slash), and the unchecked look.
    std::string OnState;
    std::string OffAppearance;
};

enum class TPdfFieldType : std::uint8_t { Text, Choice, CheckBox, RadioGroup };

struct TPdfFieldDesc {
    std::string Name; // UTF-8
    TPdfFieldType Type = TPdfFieldType::Text;
    std::int64_t Flags = 0;
    std::int32_t MaxLength = 0; // 0: none
    std::int32_t Quadding = 0;  // 0 left, 1 centre, 2 right
    // The standard font the field's text is set in ("Helvetica-Bold") and the name the
    // appearances and DefaultAppearance give it ("HeBo").
    std::string BaseFont, FontResource;
    std::string DefaultAppearance;
    // Text and choice fields: the value (UTF-8). Buttons: the state that is on, or "Off".
    std::string Value;
    std::vector<std::string> Options;
    std::string FormatScript, KeystrokeScript;
    std::vector<TPdfWidgetDesc> Widgets;
};

// The PDF `page` (its first page) with the fields, in this order, as its interactive form;
// every widget shows its own appearance, so readers need not draw them. Throws Exception
// (storage/Exception.h) when the page PDF cannot be read.
std::vector<std::uint8_t> WritePdfFormFields(const std::uint8_t* page, std::size_t size,
                                             const std::vector<TPdfFieldDesc>& fields);

} // namespace kovet
