// Printing the filled page and exporting it as a metafile.

#include "KVTImage.h"
#include "Painter.h"
#include "platform/Dib.h"
#include "platform/EmfCanvas.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"
#include "storage/Stream.h"

#include <QBuffer>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace kovet {
void TCustomKVTImage::SetupPrinter(QPrinter& printer) {
    if (!printer.isValid()) return;
    printerMetrics_ = SetupPrinterPage(printer, PaperSize, Orientation, HasOption(printOptions_, kvtColor));
    printer.setCopyCount(std::max<int>(1, NumCopies));
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    if (duplexImage_ != nullptr) {
        // Horizontal duplex binds on the short edge of a portrait page, vertical on the long.
        if (Duplex == kvtHorizontal) duplex = QPrinter::DuplexShortSide;
        if (Duplex == kvtVertical) duplex = QPrinter::DuplexLongSide;
    }
    printer.setDuplex(duplex);
}

void TCustomKVTImage::printPages(QPagedPaintDevice& device, const TPrinterMetrics& metrics, std::int32_t pages,
                                 const TPreparePage& prepare) {
    QPainter painter;
    if (!painter.begin(&device)) throw EFileError("The printer could not start the job");
    try {
        QtCanvas canvas(painter);
        canvas.SetPhysicalOffset(metrics.OffsetX, metrics.OffsetY);
        for (std::int32_t i = 0; i < pages; ++i) {
            if (i > 0) device.newPage();
            if (prepare) prepare(i);
            const TRect page = kvt_->PageRect();
            const TRect r =
                PrintPageRect({device.width(), device.height()}, metrics, HasOption(printOptions_, kvtExactMargins),
                              HasOption(printOptions_, kvtExactDPI), {page.Right, page.Bottom});
            PrintPage(canvas, r);
            if (Duplex != kvtNone && duplexImage_ != nullptr) {
                device.newPage();
                duplexImage_->PrintPage(canvas, r);
            }
        }
    } catch (...) {
        painter.end();
        throw;
    }
    painter.end();
}

void TCustomKVTImage::PrintDocument(QPrinter& printer, std::int32_t pages, const TPreparePage& prepare) {
    printer.setDocName(QString::fromStdString(PrintTitle));
    printPages(printer, printerMetrics_, pages, prepare);
}

std::vector<std::uint8_t> TCustomKVTImage::ExportPdfBytes(std::int32_t pages, const TPreparePage& prepare) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator("Kovet");
        pdf.setTitle(QString::fromStdString(PrintTitle));
        pdf.setResolution(kPdfResolution);
        pdf.setPageLayout(QPageLayout(QPageSize(PaperPageSize(PaperSize)),
                                      Orientation == kvtLandScape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        printPages(pdf, {kPdfResolution, kPdfResolution, 0, 0}, pages, prepare);
    }
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

void TCustomKVTImage::ExportPdf(const std::filesystem::path& fileName, std::int32_t pages,
                                const TPreparePage& prepare) {
    WriteFileAtomically(fileName, ExportPdfBytes(pages, prepare));
}

void TCustomKVTImage::Print(QPrinter& printer) {
    SetupPrinter(printer);
    PrintDocument(printer);
}

void TCustomKVTImage::printWatermark(Canvas& canvas, const TRect& r) {
    if (watermark_.isNull()) return;
    const float s = kvt_->ScaleFor(r);
    const std::int32_t w = watermark_.width(), h = watermark_.height();
    const std::int32_t tileWidth = Scaled(w, s), tileHeight = Scaled(h, s);
    const TBmpFile bmp = ReadBmpFile(watermarkBmp_);
    const TRect source{0, 0, w, h};
    if (!HasOption(printOptions_, kvtWaterTiled)) {
        canvas.StretchDIBits(HasOption(printOptions_, kvtWaterStretch) ? r : TRect{0, 0, tileWidth, tileHeight}, source,
                             bmp.Dib);
        return;
    }
    drawTiles(canvas, {tileWidth, tileHeight}, r.Width() / w + 1, r.Height() / h + 1, {r.Right, r.Bottom});
}

void TCustomKVTImage::PrintPage(Canvas& canvas, const TRect& r) {
    TakeTypedValue();
    if (HasOption(printOptions_, kvtWater)) printWatermark(canvas, r);
    if (HasOption(printOptions_, kvtForm)) DrawForm(*kvt_, r, canvas, formOptions(true));

    const float s = kvt_->ScaleFor(r);
    const auto drawChildren = [&](bool picturesOnly) {
        for (QLabel* child : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (child->isHidden() || (picturesOnly && child->pixmap().isNull())) continue;
            const std::int32_t left = Scaled(child->x(), s) + r.Left, top = Scaled(child->y(), s) + r.Top;
            DrawControl(canvas, {nullptr, child}, false, s,
                        {left, top, left + Scaled(child->width(), s), top + Scaled(child->height(), s)});
        }
    };
    if (HasOption(printOptions_, kvtLogos)) drawChildren(true);
    if (HasOption(printOptions_, kvtLabels)) drawChildren(false);
    if (HasOption(printOptions_, kvtFields)) DrawFields(canvas, r, HasOption(printOptions_, kvtFieldOutline));
}

std::vector<std::uint8_t> TCustomKVTImage::ExportMetafileBytes() {
    const TRect page = kvt_->PageRect();
    QtTextMetrics metrics;
    EmfCanvas canvas({page.Right, page.Bottom}, metrics);
    PrintPage(canvas, page);
    return canvas.Finish();
}

void TCustomKVTImage::ExportMetafile(const std::filesystem::path& fileName) {
    WriteFileAtomically(fileName, ExportMetafileBytes());
}

} // namespace kovet
