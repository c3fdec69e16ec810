#include "SurfaceMouse.h"

#include "EditCommands.h"

#include <array>
#include <cstdlib>

namespace kovet::designer {
namespace {

constexpr std::array<TCursor, 8> kHandleCursors = {TCursor::SizeNwSe, TCursor::SizeNs,   TCursor::SizeNeSw,
                                                   TCursor::SizeWe,   TCursor::SizeNwSe, TCursor::SizeNs,
                                                   TCursor::SizeNeSw, TCursor::SizeWe};

bool strictlyInside(TPoint p, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    return left < p.X && p.X < left + width && top < p.Y && p.Y < top + height;
}

std::string addLabel(std::int32_t type) {
    switch (type) {
    case kvtTextType: return "Add Text";
    case kvtFrameType: return "Add Frame";
    case kvtLineType: return "Add Line";
    case kvtEllipseType: return "Add Ellipse";
    case kvtLogoType: return "Add Logo";
    case kvtFieldType: return "Add Field";
    default: return "Add";
    }
}

} // namespace

void SurfaceMouse::setMode(TMouseMode mode) {
    mode_ = mode;
    switch (mode) {
    case TMouseMode::Idle: cursor_ = TCursor::Arrow; break;
    case TMouseMode::Placing: cursor_ = TCursor::Place; break;
    case TMouseMode::OverSelection: cursor_ = TCursor::Hand; break;
    default: cursor_ = kHandleCursors[std::size_t(mode) - std::size_t(TMouseMode::SizeTopLeft)]; break;
    }
}

void SurfaceMouse::StartPlacing(std::int32_t itemType) {
    pendingType_ = itemType;
    setMode(TMouseMode::Placing);
}

void SurfaceMouse::Move(TPoint at) {
    if (mode_ == TMouseMode::Placing) return;
    if (dragPending_ && !dragging_) {
        dragPending_ = false;
        dragging_ = true;
    }
    if (dragging_) {
        dragTo(at);
        return;
    }
    hover(at);
}

void SurfaceMouse::hover(TPoint at) {
    setMode(TMouseMode::Idle);
    TSelection& selection = core_.Selection();
    for (std::int32_t i = 0; i < selection.Count(); ++i) {
        const TRect b = selection.Box(i);
        if (strictlyInside(at, b.Left, b.Top, b.Width(), b.Height())) {
            setMode(TMouseMode::OverSelection);
            break;
        }
    }
    if (selection.Count() != 1) return;
    // Handles overlap on small objects: the highest-numbered one that is hit wins.
    const std::array<TRect, 8> handles = HandleRects(selection.Box(0));
    for (std::size_t h = 0; h < handles.size(); ++h) {
        const TRect& r = handles[h];
        if (r.Left < at.X && at.X < r.Right && r.Top < at.Y && at.Y < r.Bottom)
            setMode(TMouseMode(std::size_t(TMouseMode::SizeTopLeft) + h));
    }
}

void SurfaceMouse::Press(TPoint at) {
    if (dragging_) return;
    if (mode_ == TMouseMode::Placing && pendingType_ > 0) {
        const std::int32_t type = pendingType_;
        pendingType_ = 0;
        setMode(TMouseMode::Idle);
        core_.Edit(addLabel(type), [&] {
            const std::int32_t id = AddObject(core_, type, at.X, at.Y);
            core_.Selection().Clear();
            core_.Selection().SelectObject(core_.Form().KVTFile(), id);
        });
        return;
    }
    TSelection& selection = core_.Selection();
    if (overSelectionMode()) {
        startRect_ = selection.Bounds();
        dragRect_ = startRect_;
        // A selection that begins left of the page is moved back with the keyboard.
        if (startRect_.Left < 0) return;
        downPoint_ = at;
        dragPending_ = true;
        if (sizeMode()) {
            dragPending_ = false;
            dragging_ = true;
        }
    }
    if (mode_ != TMouseMode::Idle && mode_ != TMouseMode::OverSelection) return;

    TKVTFile& list = core_.Form().KVTFile();
    for (std::int32_t i = list.Count() - 1; i >= 1; --i) {
        const ConstBytes r = list.Items(i);
        if (!strictlyInside(at, ObjectRec::Left.get(r), ObjectRec::Top.get(r), ObjectRec::Width.get(r),
                            ObjectRec::Height.get(r)))
            continue;
        const std::int32_t id = ItemHeader::ID.get(r);
        if (selection.Contains(id)) {
            if (shiftDown_) {
                selection.Remove(id);
                // What is left of the selection is not dragged by this press.
                dragPending_ = false;
                core_.SelectionChanged();
            }
            return;
        }
        if (!shiftDown_) selection.Clear();
        dragPending_ = false;
        selection.SelectObject(list, id);
        setMode(TMouseMode::OverSelection);
        core_.SelectionChanged();
        return;
    }
    if (mode_ == TMouseMode::Idle && !shiftDown_ && selection.Count() > 0) {
        selection.Clear();
        core_.SelectionChanged();
    }
}

void SurfaceMouse::dragTo(TPoint at) {
    const TRect d = dragRect_;
    switch (mode_) {
    case TMouseMode::SizeTopLeft: dragRect_ = {at.X, at.Y, d.Right, d.Bottom}; break;
    case TMouseMode::SizeTop: dragRect_ = {d.Left, at.Y, d.Right, d.Bottom}; break;
    case TMouseMode::SizeTopRight: dragRect_ = {d.Left, at.Y, at.X, d.Bottom}; break;
    case TMouseMode::SizeRight: dragRect_ = {d.Left, d.Top, at.X, d.Bottom}; break;
    case TMouseMode::SizeBottomRight: dragRect_ = {d.Left, d.Top, at.X, at.Y}; break;
    case TMouseMode::SizeBottom: dragRect_ = {d.Left, d.Top, d.Right, at.Y}; break;
    case TMouseMode::SizeBottomLeft: dragRect_ = {at.X, d.Top, d.Right, at.Y}; break;
    case TMouseMode::SizeLeft: dragRect_ = {at.X, d.Top, d.Right, d.Bottom}; break;
    default: {
        const std::int32_t dx = at.X - downPoint_.X, dy = at.Y - downPoint_.Y;
        dragRect_ = {startRect_.Left + dx, startRect_.Top + dy, startRect_.Right + dx, startRect_.Bottom + dy};
        break;
    }
    }
}

void SurfaceMouse::Release(TPoint) {
    if (dragging_ && overSelectionMode()) drop();
    // A finished drag leaves nothing pending: the next drag needs a new press.
    dragging_ = false;
    dragPending_ = false;
    setMode(TMouseMode::Idle);
    core_.SelectionChanged();
}

void SurfaceMouse::drop() {
    TSelection& selection = core_.Selection();
    TKVTFile& list = core_.Form().KVTFile();
    core_.Edit(sizeMode() ? "Resize" : "Move", [&] {
        if (selection.Count() == 1) {
            const Bytes r = list.FindByID(selection.ID(0));
            ObjectRec::Left.set(r, std::int16_t(dragRect_.Left));
            ObjectRec::Top.set(r, std::int16_t(dragRect_.Top));
            ObjectRec::Width.set(r, std::int16_t(std::abs(dragRect_.Right - dragRect_.Left)));
            ObjectRec::Height.set(r, std::int16_t(std::abs(dragRect_.Bottom - dragRect_.Top)));
            return;
        }
        const std::int32_t dx = dragRect_.Left - startRect_.Left, dy = dragRect_.Top - startRect_.Top;
        for (std::int32_t i = 0; i < selection.Count(); ++i) {
            const Bytes r = list.FindByID(selection.ID(i));
            ObjectRec::Left.set(r, std::int16_t(ObjectRec::Left.get(r) + dx));
            ObjectRec::Top.set(r, std::int16_t(ObjectRec::Top.get(r) + dy));
        }
    });
}

} // namespace kovet::designer
