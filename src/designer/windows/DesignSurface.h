#pragma once

// The design surface: the page-size picture of the core's document (or the scaled preview),
// drawn at the screen's device pixel ratio so that it stays sharp on high-density screens.
// It holds no records: it paints what the core holds and reports the pointer's page position.

#include "designer/core/DesignerCore.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace kovet::designer {

class DesignSurface : public QWidget {
public:
    DesignSurface(DesignerCore& core, QWidget* parent = nullptr);

    // Paints the picture anew from the document (RedrawDesign) and takes the page's size.
    void Redraw();
    // The scaled preview fills `area`; off, the surface has the page's size again.
    void SetPreview(bool on, QSize area);
    bool Preview() const { return preview_; }

    // The pointer moved over the page, in page pixels.
    std::function<void(int x, int y)> OnPointer;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void render();

    DesignerCore& core_;
    QImage picture_;
    bool preview_ = false;
};

} // namespace kovet::designer
