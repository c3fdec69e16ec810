#pragma once

// Fillable PDF pages: a page PDF given one interactive form field for each field of the form,
// which any PDF reader lets a user fill in, with the field values drawn so that readers show
// them without running scripts.

#include "KVTLabel.h"
#include "PageExport.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kovet {

// Where page units land on the PDF page: a point at page units (x, y) is (Left + x ×
// PointsPerUnit, Top + y × PointsPerUnit) points from the page's top-left corner.
struct TPdfPlacement {
    double PointsPerUnit = 0.75;
    double Left = 0, Top = 0;
};

// The first page of `pagePdf` with one form field for each of `fields`, named by the field's
// Name (a later field of a name taken before gets "#2", "#3"... after it):
// - a text field for the text, number, date, time and masked formats, multi-line for memos,
//   with MaxLength as its maximum length; a combo box that takes typed text, with the field's
//   lines as its items, for combo boxes; a check box for a check box field, and one radio
//   group named "Group<GroupIndex>" for the check box fields that share a GroupIndex above 0
//   (each button's state named by its field's Name);
// - the field's box, font (Arial and other fonts as Helvetica, Courier New as Courier, Times as
//   Times, bold and italic kept), size, colour and alignment; ReadOnly as read-only;
// - the value as FieldPdfValue gives it, drawn as the field's display text;
// - the format and keystroke scripts of FieldScripts;
// - fields in tab order: the fields the widget tabs to by TabOrder, then the others.
// Throws Exception when `pagePdf` cannot be read.
std::vector<std::uint8_t> AddPdfFormFields(std::span<const std::uint8_t> pagePdf,
                                           std::span<const TKVTField* const> fields, const TPdfPlacement& placement);

// The value a field holds in the PDF: a number as it is edited (digits, "-" and "."; a
// percent in percent, "12.50" for 12.50%), empty when the field shows nothing; the display
// text for dates, times and texts; the lines of a memo with LF between them; for check boxes
// see AddPdfFormFields.
std::string FieldPdfValue(const TKVTField& field);

// The standard form scripts a reader that runs them formats the field's value with and checks
// typing with; both empty for formats that have none.
struct TFieldScripts {
    std::string Format, Keystroke;
};
TFieldScripts FieldScripts(const TKVTField& field);

// The page as ExportPage writes it as PDF, never with design marks, with the form's fields as
// empty form fields. ExportFillablePageToFile replaces the file safely (EFileError).
std::vector<std::uint8_t> ExportFillablePage(TKVT& form, const TPageRenderOptions& options,
                                             std::vector<TDrawProblem>& problems);
std::vector<TDrawProblem> ExportFillablePageToFile(TKVT& form, const std::filesystem::path& fileName,
                                                   const TPageRenderOptions& options);

} // namespace kovet
