#pragma once

// Objects placed on a designer's form and selected, for the tests of the commands that move
// or renumber them.

#include "designer/core/DesignerCore.h"

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace kovet::designer::test {

using Box = std::array<std::int16_t, 4>; // Left, Top, Width, Height

// Each returns the new record's ID.
inline std::int32_t AddFrame(DesignerCore& core, const Box& box) {
    std::vector<std::uint8_t> frame(kFrameSize);
    ObjectRec::Left.set(frame, box[0]);
    ObjectRec::Top.set(frame, box[1]);
    ObjectRec::Width.set(frame, box[2]);
    ObjectRec::Height.set(frame, box[3]);
    return ItemHeader::ID.get(core.Form().KVTFile().Frames.Add(frame));
}
inline std::int32_t AddField(DesignerCore& core, const std::string& name, std::int16_t tabOrder, std::int16_t left = 0,
                             std::int16_t top = 0) {
    std::vector<std::uint8_t> field(kFieldSize);
    FieldRec::Name.set(field, name);
    FieldRec::TabOrder.set(field, tabOrder);
    FieldRec::Left.set(field, left);
    FieldRec::Top.set(field, top);
    return ItemHeader::ID.get(core.Form().KVTFile().Fields.Add(field));
}

inline Box BoxOf(DesignerCore& core, std::int32_t id) {
    const ConstBytes r = core.Form().KVTFile().FindByID(id);
    return {ObjectRec::Left.get(r), ObjectRec::Top.get(r), ObjectRec::Width.get(r), ObjectRec::Height.get(r)};
}
inline std::int16_t TabOrderOf(DesignerCore& core, std::int32_t id) {
    return FieldRec::TabOrder.get(core.Form().KVTFile().FindByID(id));
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
