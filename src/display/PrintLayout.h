#pragma once

// Putting a form's page on a printer: the paper and orientation in the printer's settings,
// the printer's resolution and margins, and the rectangle the page is drawn into. Shared by
// the run-time widget's printing and the designer's.

#include "document/KVTRec.h"
#include "storage/Geometry.h"

#include <QPageSize>

#include <cstdint>

class QPrinter;

namespace kovet {

// The printer's resolution and the offsets of its printable area, in printer pixels.
struct TPrinterMetrics {
    std::int32_t PixelsPerInchX = 0, PixelsPerInchY = 0;
    std::int32_t OffsetX = 0, OffsetY = 0;
};

// The paper of a paper size code.
QPageSize::PageSizeId PaperPageSize(TKVTPaperSize paper);

// Writes the paper, orientation and colour mode into the printer (nothing when it is not
// valid) and returns its metrics.
TPrinterMetrics SetupPrinterPage(QPrinter& printer, TKVTPaperSize paper, TKVTOrientation orientation, bool colour);

// The rectangle a printed page is drawn into: the printable area (printable.cx by
// printable.cy pixels), moved to the paper's corner with exact margins (when the printer has
// offsets in both directions) and sized by the printer's resolution with exact DPI.
TRect PrintPageRect(TSize printable, const TPrinterMetrics& printer, bool exactMargins, bool exactDpi, TSize page);

} // namespace kovet
