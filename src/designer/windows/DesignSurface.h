#pragma once

// The design surface: the page-size picture of the core's document (or the scaled preview),
// drawn at the screen's device pixel ratio so that it stays sharp on high-density screens.
// It holds no records: it paints what the core holds, turns mouse events into the surface
// mouse's calls and shows the outline of a drag. In the scaled preview the mouse edits nothing.

#include "designer/core/DesignerCore.h"
#include "designer/core/SurfaceMouse.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace kovet::designer {

class DesignSurface : public QWidget {
public:
    DesignSurface(DesignerCore& core, SurfaceMouse& mouse, QWidget* parent = nullptr);

    // Paints the picture anew from the document (RedrawDesign) and takes the page's size.
    void Redraw();
    // The scaled preview fills `area`; off, the surface has the page's size again.
    void SetPreview(bool on, QSize area);
    bool Preview() const { return preview_; }

    // The cursor of the mouse's mode.
    void ShowMouse();

    // The pointer moved over the page, in page pixels.
    std::function<void(int x, int y)> OnPointer;
    // A double click on the page, after its presses have selected what is under the pointer.
    std::function<void()> OnDoubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void render();

    DesignerCore& core_;
    SurfaceMouse& mouse_;
    QImage picture_;
    bool preview_ = false;
    QPointF pressedAt_;
};

} // namespace kovet::designer
