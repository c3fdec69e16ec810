#include "PrintLayout.h"

#include <QPrinter>

namespace kovet {
QPageSize::PageSizeId PaperPageSize(TKVTPaperSize paper) {
    switch (paper) {
    case kvtLegal: return QPageSize::Legal;
    case kvtA3: return QPageSize::A3;
    case kvtA4: return QPageSize::A4;
    case kvtA5: return QPageSize::A5;
    case kvtLetter: break;
    }
    return QPageSize::Letter;
}

TPrinterMetrics SetupPrinterPage(QPrinter& printer, TKVTPaperSize paper, TKVTOrientation orientation, bool colour) {
    if (!printer.isValid()) return {};
    printer.setPageSize(QPageSize(PaperPageSize(paper)));
    printer.setPageOrientation(orientation == kvtLandScape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setColorMode(colour ? QPrinter::Color : QPrinter::GrayScale);
    TPrinterMetrics metrics;
    metrics.PixelsPerInchX = printer.logicalDpiX();
    metrics.PixelsPerInchY = printer.logicalDpiY();
    const QRectF paperRect = printer.paperRect(QPrinter::DevicePixel);
    const QRectF pageRect = printer.pageRect(QPrinter::DevicePixel);
    metrics.OffsetX = static_cast<std::int32_t>(pageRect.left() - paperRect.left());
    metrics.OffsetY = static_cast<std::int32_t>(pageRect.top() - paperRect.top());
    return metrics;
}

TRect PrintPageRect(TSize printable, const TPrinterMetrics& printer, bool exactMargins, bool exactDpi, TSize page) {
    TRect r{0, 0, printable.cx, printable.cy};
    if (exactMargins && printer.OffsetX > 0 && printer.OffsetY > 0) {
        r.Left = -printer.OffsetX;
        r.Top = -printer.OffsetY;
    }
    // The page takes the printer's pixels per inch from wherever it starts, so that moving it
    // to the paper's corner does not also stretch it.
    if (exactDpi && printer.PixelsPerInchX > 0 && printer.PixelsPerInchY > 0) {
        r.Right = r.Left + static_cast<std::int32_t>(double(page.cx) * printer.PixelsPerInchX / 96.0);
        r.Bottom = r.Top + static_cast<std::int32_t>(double(page.cy) * printer.PixelsPerInchY / 96.0);
    }
    return r;
}

} // namespace kovet
