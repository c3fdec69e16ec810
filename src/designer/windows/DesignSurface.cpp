#include "DesignSurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace kovet::designer {

DesignSurface::DesignSurface(DesignerCore& core, QWidget* parent) : QWidget(parent), core_(core) {
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
}

void DesignSurface::mouseMoveEvent(QMouseEvent* event) {
    if (OnPointer) OnPointer(int(event->position().x()), int(event->position().y()));
    QWidget::mouseMoveEvent(event);
}

} // namespace kovet::designer
