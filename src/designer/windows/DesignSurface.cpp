#include "DesignSurface.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace kovet::designer {

DesignSurface::DesignSurface(DesignerCore& core, SurfaceMouse& mouse, QWidget* parent)
    : QWidget(parent), core_(core), mouse_(mouse) {
    setObjectName("imgDesign");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DesignSurface::Redraw() {
    if (!preview_) {
        const TSize size = DesignSize(core_.Form());
        setFixedSize(std::max(size.cx, 1), std::max(size.cy, 1));
    }
    render();
    update();
}

void DesignSurface::SetPreview(bool on, QSize area) {
    preview_ = on;
    if (on) setFixedSize(area);
    Redraw();
}

void DesignSurface::render() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QImage(size() * ratio, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
    QPainter painter(&picture_);
    if (preview_)
        PaintPreview(painter, core_.Form(), {width(), height()}, core_.View());
    else
        PaintDesign(painter, core_.Form(), core_.BackPicture(), core_.Selection(), core_.View());
}

void DesignSurface::paintEvent(QPaintEvent* event) {
    // A move to a screen of another density needs the picture at its ratio.
    if (picture_.isNull() || picture_.devicePixelRatio() != devicePixelRatioF()) render();
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_,
                      QRectF(QPointF(event->rect().topLeft()) * picture_.devicePixelRatio(),
                             QSizeF(event->rect().size()) * picture_.devicePixelRatio()));
    if (!mouse_.Dragging()) return;
    // The outline of the drag, dotted in the inverse of what lies under it.
    const TRect r = mouse_.DragRect();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom)),
                           QPoint(std::max(r.Left, r.Right) - 1, std::max(r.Top, r.Bottom) - 1)));
}

namespace {

TPoint pagePoint(const QMouseEvent* event) {
    return {std::int32_t(event->position().x()), std::int32_t(event->position().y())};
}

} // namespace

void DesignSurface::mouseMoveEvent(QMouseEvent* event) {
    const TPoint at = pagePoint(event);
    if (OnPointer) OnPointer(at.X, at.Y);
    if (preview_) return;
    // A drag waits for the platform's threshold, so that a click that trembles moves nothing.
    if (mouse_.DragPending() && (event->position() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    const bool dragging = mouse_.Dragging() || mouse_.DragPending();
    mouse_.Move(at);
    ShowMouse();
    if (dragging) update();
}

void DesignSurface::mousePressEvent(QMouseEvent* event) {
    if (preview_ || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = event->position();
    mouse_.Press(pagePoint(event));
    ShowMouse();
    update();
}

void DesignSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (preview_ || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    mouse_.Release(pagePoint(event));
    ShowMouse();
}

void DesignSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like the first.
    mousePressEvent(event);
    if (!preview_ && event->button() == Qt::LeftButton && OnDoubleClick) OnDoubleClick();
}

void DesignSurface::ShowMouse() {
    static constexpr Qt::CursorShape kShapes[] = {Qt::ArrowCursor,     Qt::DragCopyCursor, Qt::PointingHandCursor,
                                                  Qt::SizeFDiagCursor, Qt::SizeVerCursor,  Qt::SizeBDiagCursor,
                                                  Qt::SizeHorCursor};
    setCursor(kShapes[std::size_t(mouse_.Cursor())]);
}

} // namespace kovet::designer
