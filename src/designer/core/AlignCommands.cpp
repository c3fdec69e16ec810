#include "AlignCommands.h"

#include "storage/Dynarray.h"

#include <cstdint>

namespace kovet::designer {

namespace {

// One direction of the page: the record fields of an object's position and size along it.
struct Axis {
    I16Field Position, Size;
};
constexpr Axis kHorizontal{ObjectRec::Left, ObjectRec::Width};
constexpr Axis kVertical{ObjectRec::Top, ObjectRec::Height};

Bytes recordOf(DesignerCore& core, std::int32_t index) {
    return core.Form().KVTFile().FindByID(core.Selection().ID(index));
}

// Puts every selected object's near edge (or far edge) where the reference object has it.
// Positions are 16-bit and keep their low-order part, as the records do everywhere.
void alignEdges(DesignerCore& core, const char* label, const Axis& axis, bool farEdge) {
    if (core.Selection().Count() < kAlignMinimum) return;
    core.Edit(label, [&] {
        const ConstBytes reference = recordOf(core, 0);
        const std::int32_t position = axis.Position.get(reference), size = axis.Size.get(reference);
        for (std::int32_t i = 0; i < core.Selection().Count(); ++i) {
            const Bytes record = recordOf(core, i);
            const std::int32_t placed = farEdge ? position + size - axis.Size.get(record) : position;
            axis.Position.set(record, std::int16_t(placed));
        }
    });
}

// The spacing order: one item per selected object, its position and its ID.
constexpr std::int32_t kOrderItemSize = 4, kOrderPosition = 0, kOrderID = 2;

std::int16_t orderField(TsvDynArray& order, std::int32_t index, std::int32_t offset) {
    return readLE<std::int16_t>({order.Items(index), std::size_t(kOrderItemSize)}, std::size_t(offset));
}

// Reorders the selection by the objects' positions with the designer's stable key sort, so
// objects at the same position stay in the order they were selected.
TsvDynArray sortSelection(DesignerCore& core, const Axis& axis) {
    TsvDynArray order(kOrderItemSize);
    for (std::int32_t i = 0; i < core.Selection().Count(); ++i) {
        std::uint8_t item[kOrderItemSize];
        writeLE<std::int16_t>(item, kOrderPosition, axis.Position.get(recordOf(core, i)));
        writeLE<std::int16_t>(item, kOrderID, core.Selection().ID(i));
        order.Add(item);
    }
    order.Sort(kOrderPosition, std::uint8_t(TSortType::SmallInt));
    core.Selection().Clear();
    for (std::int32_t i = 0; i < order.Count(); ++i)
        core.Selection().SelectObject(core.Form().KVTFile(), orderField(order, i, kOrderID));
    return order;
}

// Equal steps between the near edges (not the gaps between objects), from the first
// position to the last. The step is rounded up, so the last object may end a few pixels
// beyond where it was.
void spaceEqually(DesignerCore& core, const char* label, const Axis& axis) {
    const std::int32_t count = core.Selection().Count();
    if (count < kSpaceMinimum) return;
    core.Edit(label, [&] {
        TsvDynArray order = sortSelection(core, axis);
        const std::int32_t first = orderField(order, 0, kOrderPosition);
        const std::int32_t span = orderField(order, count - 1, kOrderPosition) - first;
        std::int32_t step = span / (count - 1);
        if (span % (count - 1) > 0) ++step;
        for (std::int32_t i = 0; i < count; ++i) {
            const Bytes record = core.Form().KVTFile().FindByID(orderField(order, i, kOrderID));
            axis.Position.set(record, std::int16_t(first + i * step));
        }
    });
}

} // namespace

void AlignLefts(DesignerCore& core) {
    alignEdges(core, "Align Left Edges", kHorizontal, false);
}

void AlignRights(DesignerCore& core) {
    alignEdges(core, "Align Right Edges", kHorizontal, true);
}

void AlignTops(DesignerCore& core) {
    alignEdges(core, "Align Tops", kVertical, false);
}

void AlignBottoms(DesignerCore& core) {
    alignEdges(core, "Align Bottoms", kVertical, true);
}

void SpaceHorizontally(DesignerCore& core) {
    spaceEqually(core, "Space Horizontally", kHorizontal);
}

void SpaceVertically(DesignerCore& core) {
    spaceEqually(core, "Space Vertically", kVertical);
}

} // namespace kovet::designer
