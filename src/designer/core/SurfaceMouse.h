#pragma once

// The design surface's mouse: what a press will do (the mode, shown by the cursor), selecting
// by clicks with and without Shift, placing a new object, and moving or resizing the
// selection by dragging its body or one of its eight handles. Coordinates are page pixels.
// The surface widget calls Move, Press and Release and draws DragRect while Dragging.

#include "DesignerCore.h"

#include <cstdint>

namespace kovet::designer {

// In this order: the modes from OverSelection on act on the selection, those from
// SizeTopLeft on are the handles, clockwise from the top-left corner.
enum class TMouseMode : std::uint8_t {
    Idle,
    Placing,
    OverSelection,
    SizeTopLeft,
    SizeTop,
    SizeTopRight,
    SizeRight,
    SizeBottomRight,
    SizeBottom,
    SizeBottomLeft,
    SizeLeft,
};

enum class TCursor : std::uint8_t { Arrow, Place, Hand, SizeNwSe, SizeNs, SizeNeSw, SizeWe };

class SurfaceMouse {
public:
    explicit SurfaceMouse(DesignerCore& core) : core_(core) {}

    TMouseMode Mode() const { return mode_; }
    TCursor Cursor() const { return cursor_; }
    bool DragPending() const { return dragPending_; }
    bool Dragging() const { return dragging_; }
    // The outline of the selection being dragged, and its bounds when the drag began.
    const TRect& DragRect() const { return dragRect_; }
    const TRect& StartRect() const { return startRect_; }

    // Shift as the window's key events last reported it.
    void SetShiftDown(bool down) { shiftDown_ = down; }
    // The Add menu: the next press places an object of the type.
    void StartPlacing(std::int32_t itemType);

    // A pointer move: the first one after a press on the selection starts dragging it, later
    // ones move the outline; without a drag, the hover tests choose the mode.
    void Move(TPoint at);
    // A left-button press.
    void Press(TPoint at);
    // The left button's release: the drop that ends a drag, or the end of a click.
    void Release(TPoint at);

private:
    void hover(TPoint at);
    void dragTo(TPoint at);
    void drop();
    void setMode(TMouseMode mode);
    bool overSelectionMode() const { return mode_ >= TMouseMode::OverSelection; }
    bool sizeMode() const { return mode_ >= TMouseMode::SizeTopLeft; }

    DesignerCore& core_;
    TMouseMode mode_ = TMouseMode::Idle;
    TCursor cursor_ = TCursor::Arrow;
    std::int32_t pendingType_ = 0;
    bool dragPending_ = false;
    bool dragging_ = false;
    bool shiftDown_ = false;
    TRect startRect_, dragRect_;
    TPoint downPoint_;
};

} // namespace kovet::designer
