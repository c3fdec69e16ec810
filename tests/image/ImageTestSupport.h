#pragma once

// The widget tests' application, the sample invoice, and small forms built field by field.

#include "document/KVTFile.h"
#include "document/KVTRec.h"

#include "widgets/Application.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovet::test {

inline const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";

struct FieldSpec {
    std::string Name;
    std::uint8_t Format = lfoText;
    TRect Box{10, 10, 110, 30};
    std::int16_t TabOrder = 0;
    bool ReadOnly = false;
    std::uint8_t GroupIndex = 0;
};

// A Letter page holding the given fields, in this order.
inline void AddFields(TKVT& form, const std::vector<FieldSpec>& fields) {
    for (const FieldSpec& field : fields) {
        std::vector<std::uint8_t> rec(kFieldSize);
        FieldRec::Left.set(rec, std::int16_t(field.Box.Left));
        FieldRec::Top.set(rec, std::int16_t(field.Box.Top));
        FieldRec::Width.set(rec, std::int16_t(field.Box.Width()));
        FieldRec::Height.set(rec, std::int16_t(field.Box.Height()));
        FieldRec::Name.set(rec, field.Name);
        FieldRec::Format.set(rec, field.Format);
        FieldRec::TabOrder.set(rec, field.TabOrder);
        FieldRec::ReadOnly.set(rec, field.ReadOnly);
        FieldRec::GroupIndex.set(rec, field.GroupIndex);
        FieldRec::CtlBorder.set(rec, 1);
        FieldRec::CtlOutline.set(rec, 1);
        FieldRec::Decimals.set(rec, 2);
        FieldRec::FontSize.set(rec, 10);
        FieldRec::FontName.set(rec, "Arial");
        form.KVTFile().Fields.Add(rec);
    }
}

} // namespace kovet::test
