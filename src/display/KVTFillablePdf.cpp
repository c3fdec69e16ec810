// The widget's page as a fillable PDF form.

#include "FillablePdf.h"
#include "KVTImage.h"
#include "PdfFormData.h"
#include "TypedValue.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <QPageLayout>

namespace kovet {
namespace {

// The lines of a multi-line PDF text: readers put CR, LF or CR LF between them.
std::vector<std::string> pdfLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    lines.push_back(std::move(line));
    return lines;
}

// The values of a filled-in form by field name; see LoadPdfFormData.
std::vector<std::string> takePdfValues(TKVTImage& image, std::span<const TPdfFieldValue> values) {
    std::vector<std::string> problems;
    std::size_t named = 0;
    for (const TPdfFieldValue& value : values) {
        if (value.Kind == TPdfFieldKind::RadioGroup) {
            std::vector<TKVTField*> buttons;
            for (std::int32_t i = 0; i < image.FieldCount(); ++i) {
                TKVTField* field = image.Fields(i);
                if (field->Format() == lfoCheckbox && field->GroupIndex > 0 &&
                    SameText("Group" + std::to_string(field->GroupIndex), value.Name))
                    buttons.push_back(field);
            }
            named += buttons.empty() ? 0 : 1;
            if (!value.HasValue) continue;
            for (TKVTField* button : buttons)
                if (button->Name != value.Value) button->SetChecked(false);
            for (TKVTField* button : buttons)
                if (button->Name == value.Value) button->SetChecked(true);
            continue;
        }
        TKVTField* field = image.FieldByName(value.Name);
        if (field == nullptr) continue;
        ++named;
        if (!value.HasValue) continue;
        std::string problem;
        if (value.Kind == TPdfFieldKind::CheckBox)
            problem = TypeIntoField(*field, value.Value.empty() ? "" : "X");
        else if (field->Format() == lfoMemo)
            field->SetLines(pdfLines(value.Value));
        else
            problem = TypeIntoField(*field, value.Value);
        if (!problem.empty()) problems.push_back(field->Name + ": " + problem);
    }
    if (named == 0) throw Exception("the PDF form names no field of the form");
    return problems;
}

} // namespace

std::vector<std::uint8_t> TKVTImage::ExportFillablePdfBytes() {
    // The values go into the form fields, not onto the page.
    const TKVTPrintOptions options = PrintOptions();
    SetPrintOptions(TKVTPrintOptions(options & ~OptionBit<TKVTPrintOptions>(kvtFields)));
    std::vector<std::uint8_t> page;
    try {
        page = ExportPdfBytes();
    } catch (...) {
        SetPrintOptions(options);
        throw;
    }
    SetPrintOptions(options);

    // Where ExportPdfBytes put the page on the paper.
    const QPageLayout layout(QPageSize(PaperPageSize(PaperSize)),
                             Orientation == kvtLandScape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
    const QRect paper = layout.fullRectPixels(kPdfResolution);
    const TRect r = PrintPageRect({paper.width(), paper.height()}, {kPdfResolution, kPdfResolution, 0, 0},
                                  HasOption(options, kvtExactMargins), HasOption(options, kvtExactDPI),
                                  {PageRect().Right, PageRect().Bottom});
    const double pointsPerPixel = 72.0 / kPdfResolution;
    std::vector<const TKVTField*> fields;
    for (std::int32_t i = 0; i < FieldCount(); ++i)
        fields.push_back(Fields(i));
    return AddPdfFormFields(page, fields,
                            {form().ScaleFor(r) * pointsPerPixel, r.Left * pointsPerPixel, r.Top * pointsPerPixel});
}

void TKVTImage::ExportFillablePdf(const std::filesystem::path& fileName) {
    WriteFileAtomically(fileName, ExportFillablePdfBytes());
}

std::vector<std::string> TKVTImage::LoadPdfFormData(std::span<const std::uint8_t> pdf) {
    CloseField();
    return takePdfValues(*this, ReadPdfFormValues(pdf.data(), pdf.size()));
}

std::vector<std::string> TKVTImage::LoadPdfFormData(const std::filesystem::path& fileName) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(fileName);
    try {
        return LoadPdfFormData(bytes);
    } catch (const EFileError&) {
        throw;
    } catch (const Exception& error) {
        throw Exception(fileName.string() + ": " + error.what());
    }
}

} // namespace kovet
