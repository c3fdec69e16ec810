#pragma once

// The fill-in order of the form's fields as the tab-order dialog edits it: one entry per
// field, listed by the fields' TabOrder, rearranged by hand or by position on the page, and on
// OK written back as TabOrder 0, 1, 2... in list order. Only the fields' TabOrder changes.

#include "DesignerCore.h"

#include "storage/Dynarray.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kovet::designer {

// One entry: the field's TabOrder when the dialog opened, its Left and Top, its ID held in 16
// bits and its Name, 49 bytes in all.
namespace TabEntry {
inline constexpr std::int32_t Size = 49;
inline constexpr I16Field TabOrder{"TabOrder", 0};
inline constexpr I16Field Left{"Left", 2};
inline constexpr I16Field Top{"Top", 4};
inline constexpr I16Field ID{"ID", 6};
inline constexpr ShortStringField Name{"Name", 8, 40};
} // namespace TabEntry

class TTabOrder {
public:
    TTabOrder();

    // One entry per field record, in list order, then sorted stably by TabOrder (fields with
    // the same TabOrder stay in drawing order).
    void Load(TKVTFile& list);
    void Clear() { entries_.Clear(); }

    std::int32_t Count() const { return entries_.Count(); }
    // The entry's field name as stored (Windows-1252 bytes).
    std::string Name(std::int32_t index);
    std::int16_t ID(std::int32_t index);

    // By position on the page: by Top, and fields at the same Top by Left.
    void SortByTop();
    // Each moves entry `index` and returns where it is now; an entry that cannot move that
    // way, or an index of no entry (-1 for none chosen), stays and is returned as given.
    std::int32_t MoveToTop(std::int32_t index);
    std::int32_t MoveUp(std::int32_t index);
    std::int32_t MoveDown(std::int32_t index);
    std::int32_t MoveToBottom(std::int32_t index);

    // Renumbers the fields 0, 1, 2... in entry order, as one step "Tab Order".
    void Apply(DesignerCore& core);

private:
    ConstBytes entry(std::int32_t index);
    std::int32_t moveTo(std::int32_t from, std::int32_t to);

    TsvDynArray entries_;
};

// The tab-order edit of the open form: `show` presents `order` (the dialog, modally) and says
// whether it was closed with OK; only then are the fields renumbered. The entries are gone
// afterwards either way.
void EditTabOrder(DesignerCore& core, TTabOrder& order, const std::function<bool()>& show);

} // namespace kovet::designer
