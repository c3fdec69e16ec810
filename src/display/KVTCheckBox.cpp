#include "display/KVTCheckBox.h"

#include "platform/QtCanvas.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace kovet {
namespace {

constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr int kTextGap = 6;

// A sunken ring along the edge of `r`: left and top edges in `topLeft`, right and bottom
// edges (with the top-right and bottom-left corners) in `bottomRight`.
void Ring(Canvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    const std::int32_t right = r.Right - 1, bottom = r.Bottom - 1;
    canvas.Pen = TPen{topLeft};
    canvas.MoveTo(r.Left, bottom);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(right, r.Top);
    canvas.Pen = TPen{bottomRight};
    canvas.MoveTo(right, r.Top);
    canvas.LineTo(right, bottom);
    canvas.LineTo(r.Left - 1, bottom);
}

void Line(Canvas& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// The mark of the box styles inside the box `box`.
void Mark(Canvas& canvas, TCheckStyle style, const TRect& box) {
    const TRect inset{box.Left + 4, box.Top + 4, box.Right - 4, box.Bottom - 4};
    const TRect grown{inset.Left - 1, inset.Top - 1, inset.Right + 1, inset.Bottom + 1};
    switch (style) {
    case csTick:
        canvas.Pen.Width = 2;
        canvas.MoveTo(inset.Left, inset.Top + inset.Height() / 2);
        canvas.LineTo(inset.Left, inset.Bottom);
        canvas.LineTo(inset.Right, inset.Top);
        break;
    case csThinCross:
        Line(canvas, grown.Left, grown.Top, grown.Right, grown.Bottom);
        Line(canvas, grown.Left, grown.Bottom - 1, grown.Right, grown.Top - 1);
        break;
    case csHeavyTick:
        for (std::int32_t i = 0; i < 3; ++i) {
            Line(canvas, grown.Left, grown.Top + 2 + i, grown.Left + 3, grown.Bottom - 2 + i);
            Line(canvas, grown.Left + 3, grown.Top + 3 + i, grown.Right, grown.Top - 1 + i);
        }
        break;
    default:
        for (std::int32_t d = -1; d <= 1; ++d) {
            Line(canvas, grown.Left, grown.Top + d, grown.Right, grown.Bottom + d);
            Line(canvas, grown.Left, grown.Bottom - 1 + d, grown.Right, grown.Top - 1 + d);
        }
    }
}

// Half of a circle's outline: the upper-left half from 45 degrees, the lower-right from 225.
void HalfCircle(QPainter& painter, const TRect& r, TColor color, int startDegrees) {
    painter.setPen(QPen(ToQColor(color), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1), startDegrees * 16, 180 * 16);
}

} // namespace

std::string StripAccelerators(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 >= caption.size()) break;
            ++i;
        }
        out += caption[i];
    }
    return out;
}

TKVTCheckBox::TKVTCheckBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    resize(97, 15);
}

void TKVTCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    if (checked) uncheckGroup();
    checked_ = checked;
    update();
    if (OnChange) OnChange(*this);
}

void TKVTCheckBox::uncheckGroup() {
    if (GroupIndex <= 0 || parentWidget() == nullptr) return;
    for (QObject* child : parentWidget()->children()) {
        auto* other = dynamic_cast<TKVTCheckBox*>(child);
        if (other == nullptr || other == this || other->GroupIndex != GroupIndex || !other->checked_) continue;
        other->checked_ = false;
        other->update();
    }
}

void TKVTCheckBox::SetCheckStyle(TCheckStyle style) {
    checkStyle_ = style <= csFlatThickCross ? style : csThickCross;
    update();
}

void TKVTCheckBox::SetBoxSide(TBoxSide side) {
    boxSide_ = side;
    update();
}

void TKVTCheckBox::SetBoxColor(TColor color) {
    boxColor_ = color;
    update();
}

void TKVTCheckBox::SetMarkColor(TColor color) {
    markColor_ = color;
    update();
}

void TKVTCheckBox::SetColor(TColor color) {
    color_ = color;
    update();
}

void TKVTCheckBox::SetFontColor(TColor color) {
    fontColor_ = color;
    update();
}

void TKVTCheckBox::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    adjustSize();
}

void TKVTCheckBox::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (shortcutId_ != 0) releaseShortcut(shortcutId_);
    const QKeySequence accelerator = QKeySequence::mnemonic(QString::fromStdString(caption_));
    shortcutId_ = accelerator.isEmpty() ? 0 : grabShortcut(accelerator);
    adjustSize();
    update();
}

void TKVTCheckBox::adjustSize() {
    if (!autoSize_) return;
    const std::string text = StripAccelerators(caption_);
    if (text.empty()) {
        resize(kBoxSize, kBoxSize);
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int height = metrics.height();
    resize(height + metrics.horizontalAdvance(QString::fromStdString(text)) + kTextGap, height + 2);
}

QSize TKVTCheckBox::sizeHint() const {
    return {97, 15};
}

void TKVTCheckBox::Click() {
    const bool wasChecked = checked_;
    const QPointer<TKVTCheckBox> alive(this);
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    if (alive.isNull()) return;
    // Decided from the state before the focus arrived, which may have checked the box.
    if (!wasChecked)
        SetChecked(true);
    else if (AllowUncheck)
        SetChecked(false);
    if (alive.isNull()) return;
    if (OnClick) OnClick(*this);
}

bool TKVTCheckBox::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        if ((focusPolicy() & Qt::TabFocus) != 0 && isEnabled()) setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(event);
}

void TKVTCheckBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) adjustSize();
    QWidget::changeEvent(event);
}

void TKVTCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(color_));

    const bool boxLeft = boxSide_ == TBoxSide::bxLeft;
    const int textStart = kBoxSize + kTextGap;
    const QRect textRect =
        boxLeft ? QRect(textStart, 0, width() - textStart, height()) : QRect(0, 0, width() - textStart, height());
    painter.setPen(ToQColor(isEnabled() ? fontColor_ : clGrayText));
    painter.setFont(font());
    painter.drawText(textRect,
                     Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignVCenter |
                         (boxLeft ? Qt::AlignLeft : Qt::AlignRight),
                     QString::fromStdString(caption_));

    const std::int32_t left = boxLeft ? 0 : width() - kBoxSize;
    const std::int32_t top = (height() - kBoxSize) / 2;
    const TRect box{left, top, left + kBoxSize, top + kBoxSize};
    const TRect inner{box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1};
    const TColor boxColor = showsFocusColor_ ? FocusColor : boxColor_;
    QtCanvas canvas(painter);
    canvas.Brush = TBrush{boxColor};
    if (checkStyle_ == csRadio) {
        canvas.Pen = TPen{boxColor};
        canvas.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
        painter.setRenderHint(QPainter::Antialiasing, false);
        HalfCircle(painter, box, clBtnShadow, 45);
        HalfCircle(painter, box, clBtnHighlight, 225);
        HalfCircle(painter, inner, clBlack, 45);
        HalfCircle(painter, inner, clBtnFace, 225);
        if (checked_) {
            const std::int32_t inset = kBoxSize / 3;
            canvas.Pen = TPen{markColor_};
            canvas.Brush = TBrush{markColor_};
            canvas.Ellipse(box.Left + inset, box.Top + inset, box.Right - inset, box.Bottom - inset);
        }
        return;
    }
    canvas.FillRect(box);
    if (checkStyle_ != csFlatThickCross) {
        Ring(canvas, box, clBtnShadow, clBtnHighlight);
        Ring(canvas, inner, clBlack, clBtnFace);
    }
    if (checked_) {
        canvas.Pen = TPen{markColor_};
        Mark(canvas, checkStyle_, box);
    }
}

void TKVTCheckBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QPointer<TKVTCheckBox> alive(this);
        if (EnterToTab) {
            event->accept();
            focusNextChild();
        } else {
            event->ignore();
        }
        if (!alive.isNull() && OnReturn) OnReturn(*this);
        return;
    }
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) Click();
        return;
    default: QWidget::keyPressEvent(event);
    }
}

void TKVTCheckBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TKVTCheckBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) Click();
}

void TKVTCheckBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // A mouse press focuses before its click, and the click decides the state.
    if (CheckOnEnter && event->reason() != Qt::MouseFocusReason) SetChecked(true);
    showsFocusColor_ = UseFocusColor;
    update();
}

void TKVTCheckBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    showsFocusColor_ = false;
    update();
}

} // namespace kovet
