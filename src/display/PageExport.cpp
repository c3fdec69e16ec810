#include "PageExport.h"

#include "platform/Dib.h"
#include "platform/EmfCanvas.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cmath>

namespace kovet {
namespace {

std::vector<std::uint8_t> toBytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

std::vector<std::uint8_t> pdfBytes(TKVT& form, TSize size, const TPageRenderOptions& options,
                                   std::vector<TDrawProblem>& problems) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator("Kovet");
        pdf.setResolution(96);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size.cx / 96.0, size.cy / 96.0), QPageSize::Inch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QtCanvas canvas(pdf);
        problems = DrawPage(canvas, form, size, options);
    }
    return toBytes(data);
}

std::vector<std::uint8_t> emfBytes(TKVT& form, TSize size, const TPageRenderOptions& options,
                                   std::vector<TDrawProblem>& problems) {
    QtTextMetrics metrics;
    EmfCanvas canvas(size, metrics);
    problems = DrawPage(canvas, form, size, options);
    return canvas.Finish();
}

} // namespace

std::vector<TDrawProblem> DrawPage(Canvas& canvas, TKVT& form, TSize size, const TPageRenderOptions& options) {
    return DrawForm(form, {0, 0, size.cx, size.cy}, canvas, {options.Designing, options.Shading, true, form.DashColor});
}

std::vector<std::uint8_t> ImageToBmp(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint32_t> pixels(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::copy(row, row + rgb.width(), pixels.begin() + std::ptrdiff_t(y) * rgb.width());
    }
    return WriteBmp24(rgb.width(), rgb.height(), pixels);
}

std::vector<std::uint8_t> ImageToPng(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw Exception("The page picture cannot be written as PNG");
    return toBytes(data);
}

std::optional<TPageFormat> PageFormatForFileName(const std::filesystem::path& fileName) {
    const std::string extension = AsciiUpper(fileName.extension().string());
    if (extension == ".BMP") return TPageFormat::Bmp;
    if (extension == ".EMF") return TPageFormat::Emf;
    if (extension == ".PNG") return TPageFormat::Png;
    if (extension == ".PDF") return TPageFormat::Pdf;
    return std::nullopt;
}

TSize PagePictureSize(TKVT& form, double scale) {
    const TRect page = form.PageRect();
    return {std::int32_t(std::trunc(page.Width() * scale)), std::int32_t(std::trunc(page.Height() * scale))};
}

QImage NewPagePicture(TSize size) {
    const std::int32_t width = std::max(size.cx, 1), height = std::max(size.cy, 1);
    const std::string name =
        "The page picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width > kMaxPictureSide || height > kMaxPictureSide || std::int64_t(width) * height * 4 > kMaxPictureBytes)
        throw Exception(name + " is larger than " + std::to_string(kMaxPictureSide) + " pixels a side or " +
                        std::to_string(kMaxPictureBytes >> 20) + " MiB");
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw Exception(name + " cannot be allocated");
    image.setDotsPerMeterX(3780); // 96 per inch
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

QImage RenderPageImage(TKVT& form, const TPageRenderOptions& options, std::vector<TDrawProblem>& problems) {
    const TSize size = PagePictureSize(form, options.Scale);
    QImage image = NewPagePicture(size);
    QtCanvas canvas(image);
    problems = DrawPage(canvas, form, size, options);
    return image;
}

std::vector<std::uint8_t> ExportPage(TKVT& form, TPageFormat format, const TPageRenderOptions& options,
                                     std::vector<TDrawProblem>& problems) {
    const TSize size = PagePictureSize(form, options.Scale);
    switch (format) {
    case TPageFormat::Bmp: return ImageToBmp(RenderPageImage(form, options, problems));
    case TPageFormat::Png: return ImageToPng(RenderPageImage(form, options, problems));
    case TPageFormat::Emf: return emfBytes(form, size, options, problems);
    case TPageFormat::Pdf: return pdfBytes(form, size, options, problems);
    }
    return {};
}

std::vector<TDrawProblem> ExportPageToFile(TKVT& form, const std::filesystem::path& fileName, TPageFormat format,
                                           const TPageRenderOptions& options) {
    std::vector<TDrawProblem> problems;
    const std::vector<std::uint8_t> bytes = ExportPage(form, format, options, problems);
    WriteFileAtomically(fileName, bytes);
    return problems;
}

} // namespace kovet
