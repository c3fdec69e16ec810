#include "Selection.h"

#include <algorithm>
#include <cstring>

namespace kovet::designer {

std::array<TRect, 8> HandleRects(const TRect& box) {
    const std::int32_t l = box.Left, t = box.Top, w = box.Width(), h = box.Height();
    const std::array<TPoint, 8> points = {TPoint{l, t},   {l + w / 2, t},     {l + w, t}, {l + w, t + h / 2},
                                          {l + w, t + h}, {l + w / 2, t + h}, {l, t + h}, {l, t + h / 2}};
    std::array<TRect, 8> rects{};
    for (std::size_t i = 0; i < points.size(); ++i)
        rects[i] = {points[i].X - 3, points[i].Y - 3, points[i].X + 3, points[i].Y + 3};
    return rects;
}

TSelection::TSelection() : entries_(kSelectionEntrySize) {}

ConstBytes TSelection::entry(std::int32_t index) const {
    return {entries_.Items(index), std::size_t(kSelectionEntrySize)};
}

std::int16_t TSelection::ID(std::int32_t index) const {
    return readLE<std::int16_t>(entry(index), kSelectionCopySize);
}

TRect TSelection::Box(std::int32_t index) const {
    const ConstBytes e = entry(index);
    const std::int32_t left = ObjectRec::Left.get(e), top = ObjectRec::Top.get(e);
    return {left, top, left + ObjectRec::Width.get(e), top + ObjectRec::Height.get(e)};
}

bool TSelection::Contains(std::int32_t id) const {
    for (std::int32_t i = 0; i < Count(); ++i)
        if (ID(i) == std::int16_t(id)) return true;
    return false;
}

void TSelection::SelectObject(TKVTFile& list, std::int32_t id) {
    const ConstBytes record = list.FindByID(id);
    if (record.empty()) return;
    std::array<std::uint8_t, kSelectionEntrySize> made{};
    std::memcpy(made.data(), record.data(), std::min(record.size(), kSelectionCopySize));
    writeLE<std::int16_t>(made, kSelectionCopySize, std::int16_t(id));
    entries_.Add(made.data());
}

void TSelection::Remove(std::int32_t id) {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (ID(i) == std::int16_t(id)) {
            entries_.Delete(i);
            return;
        }
    }
}

void TSelection::Refresh(TKVTFile& list) {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const ConstBytes record = list.FindByID(ID(i));
        std::memcpy(entries_.Items(i), record.data(), std::min(record.size(), kSelectionCopySize));
    }
}

TRect TSelection::Bounds() const {
    if (Count() == 0) return {-1, -1, -1, -1};
    if (Count() == 1) return Box(0);
    TRect bounds{32767, 32767, -1, -1};
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TRect b = Box(i);
        bounds = {std::min(bounds.Left, b.Left), std::min(bounds.Top, b.Top), std::max(bounds.Right, b.Right),
                  std::max(bounds.Bottom, b.Bottom)};
    }
    if (bounds.Left == 32767) bounds.Left = bounds.Top = -1;
    return bounds;
}

void TSelection::Draw(Canvas& canvas) {
    if (Count() == 1) {
        DrawHandles(canvas, 0, kSingleHandleColor);
        return;
    }
    for (std::int32_t i = 0; i < Count(); ++i)
        DrawHandles(canvas, i, kMultiHandleColor);
}

void TSelection::DrawHandles(Canvas& canvas, std::int32_t index, TColor color) {
    lastHandles_ = HandleRects(Box(index));
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = color;
    for (const TRect& r : lastHandles_)
        canvas.FillRect(r);
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = TBrushStyle::bsClear;
}

} // namespace kovet::designer
