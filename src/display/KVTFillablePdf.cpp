// The widget's page as a fillable PDF form.

#include "FillablePdf.h"
#include "KVTImage.h"
#include "storage/Stream.h"

#include <QPageLayout>

namespace kovet {

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

} // namespace kovet
