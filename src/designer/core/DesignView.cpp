#include "DesignView.h"

#include "display/Painter.h"
#include "display/PrintLayout.h"
#include "platform/QtCanvas.h"
#include "storage/Exception.h"

#include <QPainter>
#include <QPrinter>

#include <charconv>

namespace kovet::designer {
namespace {

// A grid label: the position in the unit, in general notation with 8 significant digits.
std::string gridLabel(std::int32_t position, TRulerUnits units) {
    double value = position;
    if (units == TRulerUnits::Inches) value = position / 96.0;
    if (units == TRulerUnits::Millimeters) value = position / 96.0 * 25.4;
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 8).ptr;
    return {text, end};
}

} // namespace

TSize DesignSize(TKVT& form) {
    const THeaderBytes header = form.GetHeader();
    return {HeaderRec::PageWidth.get(header), HeaderRec::PageHeight.get(header)};
}

void PaintDesign(QPainter& painter, TKVT& form, const QImage& backPicture, TSelection& selection,
                 const TDesignView& view) {
    const TSize size = DesignSize(form);
    const QRect surface(0, 0, size.cx, size.cy);
    painter.fillRect(surface, ToQColor(HeaderRec::PageColor.get(form.GetHeader())));
    if (view.Bitmap && !backPicture.isNull()) painter.drawImage(surface, backPicture);
    QtCanvas canvas(painter);
    if (view.Rulers) DrawGrid(canvas, size, view.Units);
    // Not opaque: the page colour, the picture and the grid stay visible under the objects.
    DrawForm(form, form.PageRect(), canvas, TDrawOptions{view.ImbeddedFields, true, false, form.DashColor});
    selection.Draw(canvas);
}

void DrawGrid(Canvas& canvas, TSize size, TRulerUnits units) {
    const std::int32_t step = units == TRulerUnits::Pixels ? 50 : 48;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Pen.Color = clSilver;
    canvas.Pen.Width = 1;
    canvas.Font.Name = "Arial Narrow";
    canvas.Font.Height = -11; // 8 points at 96 pixels per inch
    canvas.Font.Style = 0;
    canvas.Font.Color = clSilver;
    canvas.Font.Escapement = 0;
    for (std::int32_t x = 0, i = 0; x < size.cx; x += step, ++i) {
        canvas.Pen.Style = i % 2 == 0 ? TPenStyle::psDash : TPenStyle::psDot;
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, size.cy);
        if (i % 2 == 0) canvas.TextOut(x + 2, 0, gridLabel(x, units));
    }
    for (std::int32_t y = 0, i = 0; y < size.cy; y += step, ++i) {
        canvas.Pen.Style = i % 2 == 0 ? TPenStyle::psDash : TPenStyle::psDot;
        canvas.MoveTo(0, y);
        canvas.LineTo(size.cx, y);
        if (i % 2 == 0 && y > 0) canvas.TextOut(0, y + 2, gridLabel(y, units));
    }
}

TRect PreviewRect(TKVT& form, TSize size) {
    // Asked first: reading the page size gives an empty form its default header.
    const bool empty = form.IsEmpty();
    const TRect page = form.PageRect();
    if (empty || page.Height() <= 0) return page;
    const std::int32_t width = std::int32_t(std::int64_t(size.cy) * page.Width() / page.Height());
    const std::int32_t left = (size.cx - width) / 2;
    return {left, 0, left + width, size.cy};
}

void PaintPreview(QPainter& painter, TKVT& form, TSize size, const TDesignView& view) {
    painter.fillRect(QRect(0, 0, size.cx, size.cy), ToQColor(clBtnShadow));
    QtCanvas canvas(painter);
    DrawForm(form, PreviewRect(form, size), canvas, TDrawOptions{view.ImbeddedFields, true, true, form.DashColor});
}

void SetupDesignPrinter(QPrinter& printer, TKVT& form, const TPrintChoices& choices) {
    const THeaderBytes header = form.GetHeader();
    SetupPrinterPage(printer, TKVTPaperSize(HeaderRec::PaperSize.get(header)),
                     TKVTOrientation(HeaderRec::Orientation.get(header)), choices.Color);
    printer.setCopyCount(1);
    printer.setDuplex(QPrinter::DuplexNone);
}

void PrintDesign(QPrinter& printer, TKVT& form, const TPrintChoices& choices, const std::string& title) {
    const THeaderBytes header = form.GetHeader();
    const TPrinterMetrics metrics =
        SetupPrinterPage(printer, TKVTPaperSize(HeaderRec::PaperSize.get(header)),
                         TKVTOrientation(HeaderRec::Orientation.get(header)), choices.Color);
    printer.setDocName(QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&printer)) throw EFileError("The printer could not start the job");
    try {
        QtCanvas canvas(painter);
        canvas.SetPhysicalOffset(metrics.OffsetX, metrics.OffsetY);
        const TSize page = DesignSize(form);
        const TRect r =
            PrintPageRect({printer.width(), printer.height()}, metrics, choices.ExactMargins, choices.ExactDpi, page);
        DrawForm(form, r, canvas, TDrawOptions{false, choices.Shading, false, form.DashColor});
    } catch (...) {
        painter.end();
        throw;
    }
    painter.end();
}

} // namespace kovet::designer
