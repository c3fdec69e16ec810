#include "TabOrder.h"

#include <array>

namespace kovet::designer {

TTabOrder::TTabOrder() : entries_(TabEntry::Size) {}

ConstBytes TTabOrder::entry(std::int32_t index) {
    return {entries_.Items(index), std::size_t(TabEntry::Size)};
}

void TTabOrder::Load(TKVTFile& list) {
    entries_.Clear();
    for (std::int32_t i = 0; i < list.Fields.Count(); ++i) {
        const ConstBytes field = list.Fields.Items(i);
        std::array<std::uint8_t, TabEntry::Size> made{};
        TabEntry::TabOrder.set(made, FieldRec::TabOrder.get(field));
        TabEntry::Left.set(made, FieldRec::Left.get(field));
        TabEntry::Top.set(made, FieldRec::Top.get(field));
        TabEntry::ID.set(made, std::int16_t(ItemHeader::ID.get(field)));
        TabEntry::Name.set(made, FieldRec::Name.get(field));
        entries_.Add(made.data());
    }
    entries_.Sort(TabEntry::TabOrder.offset, std::uint8_t(TSortType::SmallInt));
}

std::string TTabOrder::Name(std::int32_t index) {
    return TabEntry::Name.get(entry(index));
}

std::int16_t TTabOrder::ID(std::int32_t index) {
    return TabEntry::ID.get(entry(index));
}

// Two stable passes: the second key decides, and the first orders what the second leaves
// equal.
void TTabOrder::SortByTop() {
    entries_.Sort(TabEntry::Left.offset, std::uint8_t(TSortType::SmallInt));
    entries_.Sort(TabEntry::Top.offset, std::uint8_t(TSortType::SmallInt));
}

std::int32_t TTabOrder::MoveToTop(std::int32_t index) {
    return moveTo(index, 0);
}

std::int32_t TTabOrder::MoveUp(std::int32_t index) {
    return moveTo(index, index - 1);
}

std::int32_t TTabOrder::MoveDown(std::int32_t index) {
    return moveTo(index, index + 1);
}

std::int32_t TTabOrder::MoveToBottom(std::int32_t index) {
    return moveTo(index, Count() - 1);
}

std::int32_t TTabOrder::moveTo(std::int32_t from, std::int32_t to) {
    const auto inside = [&](std::int32_t i) { return i >= 0 && i < Count(); };
    if (!inside(from) || !inside(to) || from == to) return from;
    entries_.Move(from, to);
    return to;
}

void TTabOrder::Apply(DesignerCore& core) {
    core.Edit("Tab Order", [&] {
        TRecObj_KVTField& fields = core.Form().KVTFile().Fields;
        for (std::int32_t i = 0; i < Count(); ++i) {
            // The entry holds the ID in 16 bits, so it is looked for among the fields only:
            // another record whose larger ID shares those bits must not get a TabOrder.
            for (std::int32_t f = 0; f < fields.Count(); ++f) {
                const Bytes field = fields.Items(f);
                if (std::int16_t(ItemHeader::ID.get(field)) != ID(i)) continue;
                FieldRec::TabOrder.set(field, std::int16_t(i));
                break;
            }
        }
    });
}

void EditTabOrder(DesignerCore& core, TTabOrder& order, const std::function<bool()>& show) {
    // The entries go however the dialog ends, a failure included.
    struct Emptied {
        TTabOrder& order;
        ~Emptied() { order.Clear(); }
    } emptied{order};
    order.Load(core.Form().KVTFile());
    if (show()) order.Apply(core);
}

} // namespace kovet::designer
