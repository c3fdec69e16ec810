#pragma once

// Objects placed on a designer's form and selected, for the tests of the commands that move
// them.

#include "designer/core/DesignerCore.h"

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace kovet::designer::test {

using Box = std::array<std::int16_t, 4>; // Left, Top, Width, Height

// Returns the new record's ID.
inline std::int32_t AddFrame(DesignerCore& core, const Box& box) {
    std::vector<std::uint8_t> frame(kFrameSize);
    ObjectRec::Left.set(frame, box[0]);
    ObjectRec::Top.set(frame, box[1]);
    ObjectRec::Width.set(frame, box[2]);
    ObjectRec::Height.set(frame, box[3]);
    return ItemHeader::ID.get(core.Form().KVTFile().Frames.Add(frame));
}
inline Box BoxOf(DesignerCore& core, std::int32_t id) {
    const ConstBytes r = core.Form().KVTFile().FindByID(id);
    return {ObjectRec::Left.get(r), ObjectRec::Top.get(r), ObjectRec::Width.get(r), ObjectRec::Height.get(r)};
}

// Selects the objects in the order given.
inline void Select(DesignerCore& core, std::initializer_list<std::int32_t> ids) {
    core.Selection().Clear();
    for (const std::int32_t id : ids)
        core.Selection().SelectObject(core.Form().KVTFile(), id);
}
inline std::vector<std::int32_t> SelectedIDs(DesignerCore& core) {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < core.Selection().Count(); ++i)
        ids.push_back(core.Selection().ID(i));
    return ids;
}

} // namespace kovet::designer::test
