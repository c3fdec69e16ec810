#include "KVTImage.h"

#include "PageExport.h"
#include "Painter.h"
#include "document/OpenForm.h"
#include "platform/Dib.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace kovet {
namespace {

constexpr std::array<std::string_view, 12> kPrintOptionNames = {
    "kvtForm",     "kvtLabels",       "kvtFields",       "kvtLogos", "kvtShading",    "kvtColor",
    "kvtExactDPI", "kvtExactMargins", "kvtFieldOutline", "kvtWater", "kvtWaterTiled", "kvtWaterStretch",
};

// Draws a BMP file image stretched onto `dest`.
void stretchBmp(Canvas& canvas, const TRect& dest, const std::vector<std::uint8_t>& bmp) {
    const TBmpFile file = ReadBmpFile(bmp);
    canvas.StretchDIBits(dest, {0, 0, file.Width, file.Height}, file.Dib);
}

// The logical height of a widget's font at 96 pixels per inch.
std::int32_t fontHeightOf(const QFont& font) {
    if (font.pixelSize() > 0) return -font.pixelSize();
    return -static_cast<std::int32_t>(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

std::uint8_t fontStyleOf(const QFont& font) {
    return static_cast<std::uint8_t>((font.bold() ? fsBoldBit : 0) | (font.italic() ? fsItalicBit : 0) |
                                     (font.underline() ? fsUnderlineBit : 0) | (font.strikeOut() ? fsStrikeOutBit : 0));
}

// White pixels become transparent, so that the page drawn over a watermark shows it.
QImage whiteTransparent(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF) row[x] = 0;
    }
    return out;
}

} // namespace

std::string_view PrintOptionName(TKVTPrintOption option) {
    return kPrintOptionNames.at(option);
}

// ---------------------------------------------------------------------------------------------
// TCustomKVTImage

TCustomKVTImage::TCustomKVTImage(QWidget* parent) : QWidget(parent), kvt_(std::make_unique<TKVT>()) {
    kvt_->OnChange = [this](TKVT&) { formChanged(); };
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    // Clicks on the page must not take the focus from an open editor.
    setFocusPolicy(Qt::NoFocus);
    resize(105, 105);
}

TCustomKVTImage::~TCustomKVTImage() {
    kvt_->OnChange = nullptr;
}

void TCustomKVTImage::SetKVT(const TKVT& form) {
    kvt_->Assign(form);
}

std::vector<std::uint8_t> TCustomKVTImage::KVTData() const {
    return kvt_->KVTData();
}

void TCustomKVTImage::SetKVTData(std::span<const std::uint8_t> bytes) {
    // Read apart first: bytes that are no form leave the shown form and its fields as they are.
    TKVT loaded;
    loaded.SetKVTData(bytes);
    kvt_->Assign(loaded);
}

void TCustomKVTImage::LoadFromFile(const std::filesystem::path& fileName) {
    TKVT loaded;
    OpenFormFile(fileName, loaded);
    kvt_->Assign(loaded);
}

void TCustomKVTImage::SetDisplayOptions(TKVTDisplayOptions options) {
    if (HasOption(options, kvtAutosize))
        options &= static_cast<TKVTDisplayOptions>(
            ~(OptionBit<TKVTDisplayOptions>(kvtCenter) | OptionBit<TKVTDisplayOptions>(kvtScale)));
    displayOptions_ = options;
    applyAutosize();
    Invalidate();
}

void TCustomKVTImage::SetPrintOptions(TKVTPrintOptions options) {
    printOptions_ = options;
    Invalidate();
}

void TCustomKVTImage::SetWatermark(const QImage& watermark) {
    watermark_ = watermark;
    watermarkBmp_ = watermark_.isNull() ? std::vector<std::uint8_t>{} : ImageToBmp(watermark_);
    Invalidate();
}

void TCustomKVTImage::SetBGColor(TColor color) {
    bgColor_ = color;
    update();
}

void TCustomKVTImage::SetDashColor(TColor color) {
    dashColor_ = color;
    Invalidate();
}

void TCustomKVTImage::formChanged() {
    RebuildFields();
    applyAutosize();
    Invalidate();
}

void TCustomKVTImage::applyAutosize() {
    updateGeometry();
    const TRect page = kvt_->PageRect();
    if (HasOption(displayOptions_, kvtAutosize) && page.Right > 0 && page.Bottom > 0) resize(page.Right, page.Bottom);
}

TRect TCustomKVTImage::GetDrawRect(bool centred) {
    const TRect page = kvt_->PageRect();
    if (kvt_->IsEmpty() || !HasOption(displayOptions_, kvtScale) || page.Bottom <= 0) return page;
    const auto w = static_cast<std::int32_t>(double(height()) / page.Bottom * page.Right);
    if (centred && HasOption(displayOptions_, kvtCenter)) {
        const std::int32_t x = (width() - w) / 2;
        return {x, 0, x + w, height()};
    }
    return {0, 0, w, height()};
}

float TCustomKVTImage::ScreenScale() {
    return kvt_->ScaleFor(GetDrawRect(false));
}

QSize TCustomKVTImage::sizeHint() const {
    if (HasOption(displayOptions_, kvtAutosize)) {
        const TRect page = kvt_->PageRect();
        if (page.Right > 0 && page.Bottom > 0) return {page.Right, page.Bottom};
    }
    return {105, 105};
}

void TCustomKVTImage::drawWatermark(Canvas& canvas, QSize area, const TRect& rect) {
    if (!HasOption(displayOptions_, kvtWaterMark) || watermark_.isNull()) return;
    const std::int32_t w = watermark_.width(), h = watermark_.height();
    if (HasOption(displayOptions_, kvtWaterMarkTiled)) {
        drawTiles(canvas, {w, h}, area.width() / w + 1, area.height() / h + 1, {area.width(), area.height()});
        return;
    }
    const TBmpFile bmp = ReadBmpFile(watermarkBmp_);
    const TRect source{0, 0, w, h};
    canvas.StretchDIBits(HasOption(displayOptions_, kvtWaterMarkStretch) ? rect : source, source, bmp.Dib);
}

void TCustomKVTImage::drawTiles(Canvas& canvas, TSize tile, std::int32_t columns, std::int32_t rows, TSize extent) {
    if (tile.cx <= 0 || tile.cy <= 0) return;
    columns = std::min(columns, (extent.cx + tile.cx - 1) / tile.cx);
    rows = std::min(rows, (extent.cy + tile.cy - 1) / tile.cy);
    if (columns <= 0 || rows <= 0) return;
    // Tiles go out in blocks of about 256 pixels square, made once: a tiny watermark drawn
    // tile by tile would cost a bitmap per pixel.
    const std::int32_t across = std::min(columns, std::max(1, 256 / tile.cx));
    const std::int32_t down = std::min(rows, std::max(1, 256 / tile.cy));
    QImage block(across * tile.cx, down * tile.cy, QImage::Format_RGB32);
    {
        QPainter painter(&block);
        for (std::int32_t i = 0; i < across; ++i)
            for (std::int32_t j = 0; j < down; ++j)
                painter.drawImage(QRect(i * tile.cx, j * tile.cy, tile.cx, tile.cy), watermark_);
    }
    const std::vector<std::uint8_t> bmp = ImageToBmp(block);
    const TBmpFile file = ReadBmpFile(bmp);
    for (std::int32_t i = 0; i < columns; i += across)
        for (std::int32_t j = 0; j < rows; j += down) {
            const std::int32_t width = std::min(across, columns - i) * tile.cx;
            const std::int32_t height = std::min(down, rows - j) * tile.cy;
            const TPoint at{i * tile.cx, j * tile.cy};
            canvas.StretchDIBits({at.X, at.Y, at.X + width, at.Y + height}, {0, 0, width, height}, file.Dib);
        }
}

void TCustomKVTImage::PaintPage(QPainter& painter, const TRect& rect, QSize area) {
    QtCanvas canvas(painter);
    drawWatermark(canvas, area, rect);
    if (kvt_->IsEmpty()) return;
    const bool watermarkShown = HasOption(displayOptions_, kvtWaterMark) && !watermark_.isNull();
    DrawForm(*kvt_, rect, canvas, formOptions(!watermarkShown));
    if (HasOption(printOptions_, kvtFields)) DrawFields(canvas, rect, true);
}

TDrawOptions TCustomKVTImage::formOptions(bool opaque) const {
    return {kvt_->Designing, HasOption(printOptions_, kvtShading), opaque, dashColor_};
}

void TCustomKVTImage::paintEvent(QPaintEvent*) {
    const TRect r = GetDrawRect(true);
    QPainter painter(this);
    if (bgColor_ != clWhite && (r.Width() < width() || kvt_->IsEmpty())) {
        painter.fillRect(rect(), ToQColor(bgColor_));
    }
    if (HasOption(displayOptions_, kvtDoublebuffer)) {
        if (!buffer_.isNull()) painter.drawImage(r.Left, r.Top, buffer_);
        return;
    }
    PaintPage(painter, r, size());
}

void TCustomKVTImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Invalidate();
}

void TCustomKVTImage::Invalidate() {
    update();
    if (!HasOption(displayOptions_, kvtDoublebuffer)) {
        buffer_ = QImage();
        return;
    }
    const TRect r = GetDrawRect(false);
    const int w = std::min(r.Right, width()), h = std::min(r.Bottom, height());
    if (w <= 0 || h <= 0) {
        buffer_ = QImage();
        return;
    }
    QImage buffer(w, h, QImage::Format_RGB32);
    buffer.fill(Qt::white);
    {
        QPainter painter(&buffer);
        PaintPage(painter, r, buffer.size());
    }
    buffer_ = HasOption(displayOptions_, kvtTransparent) ? whiteTransparent(buffer) : std::move(buffer);
}

void TCustomKVTImage::DrawFields(Canvas&, const TRect&, bool) {}

void TCustomKVTImage::DrawControl(Canvas& canvas, const TDrawnControl& control, bool outline, float scale, TRect rect) {
    bool defaultDrawing = true;
    if (OnDrawLabel) OnDrawLabel(*this, control, canvas, rect, scale, defaultDrawing);
    if (!defaultDrawing) return;

    if (control.Widget != nullptr) {
        const QLabel& label = *control.Widget;
        const QPixmap picture = label.pixmap();
        if (!picture.isNull()) {
            stretchBmp(canvas, rect, ImageToBmp(picture.toImage()));
            return;
        }
        const std::string caption = label.text().toStdString();
        if (caption.empty()) return;
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.Font = TFont{};
        canvas.Font.Name = label.font().family().toStdString();
        canvas.Font.Style = fontStyleOf(label.font());
        canvas.Font.Height = Scaled(fontHeightOf(label.font()), scale);
        const std::int32_t textWidth = canvas.TextWidth(caption);
        if (label.alignment() & Qt::AlignHCenter)
            rect.Left += static_cast<std::int32_t>((scale * label.width() - textWidth) / 2);
        else if (label.alignment() & Qt::AlignRight)
            rect.Left = rect.Right - textWidth;
        if (scale != 1.0f) rect.Right = static_cast<std::int32_t>(rect.Right * 1.1);
        canvas.TextRect(rect, rect.Left, rect.Top, caption);
        return;
    }

    if (control.Label == nullptr) return;
    const TKVTLabel& label = *control.Label;
    canvas.Brush.Style = TBrushStyle::bsClear;
    if (const auto* field = dynamic_cast<const TKVTField*>(&label);
        field != nullptr && outline && !field->ReadOnly && field->CtlOutline) {
        canvas.Pen = TPen{dashColor_, 1, TPenStyle::psDot, TPenMode::pmCopy};
        TRect box = rect;
        if (field->Format() == lfoCheckbox) box.Right = box.Left + box.Height();
        canvas.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
    }
    canvas.Font = TFont{};
    canvas.Font.Name = label.Font.Name;
    canvas.Font.Style = label.Font.Style;
    canvas.Font.Height = Scaled(label.Font.Height, scale);

    // Left-aligned text, most of a form's, needs no measuring.
    const auto placed = [&](const std::string& text) {
        switch (label.Alignment()) {
        case TAlignment::taCenter:
            return rect.Left + static_cast<std::int32_t>((scale * label.Width - canvas.TextWidth(text)) / 2);
        case TAlignment::taRightJustify: return rect.Right - canvas.TextWidth(text);
        case TAlignment::taLeftJustify: break;
        }
        return rect.Left;
    };
    if (label.Format() == lfoMemo) {
        TRect row = rect;
        for (const std::string& line : label.Lines()) {
            canvas.TextRect(row, placed(line), row.Top, line);
            row.Top += label.MemoSpacing >= 1 ? Scaled(label.MemoSpacing, scale) : canvas.TextHeight("X");
        }
        return;
    }
    const std::string& text = label.DisplayText();
    rect.Left = placed(text);
    if (scale != 1.0f) rect.Right = static_cast<std::int32_t>(rect.Right * 1.1);
    canvas.TextRect(rect, rect.Left, rect.Top, text);
}

} // namespace kovet
