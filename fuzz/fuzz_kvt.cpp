// The form object's validating load on arbitrary bytes, then the queries a caller makes.
#include "document/KVTFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    TKVT form;
    try {
        form.SetKVTData({data, size});
    } catch (const Exception&) {
    }
    form.GetHeader();
    form.PageRect();
    form.NextTabOrder();
    std::string name;
    form.NewFieldName(name);
    form.FieldExists(name);
    TKVTFile& file = form.KVTFile();
    for (std::int32_t i = 0; i < file.Count(); ++i) {
        const ConstBytes rec = file.Items(i);
        for (const FieldDesc& f : RecordFields(ItemHeader::ItemType.get(rec))) {
            if (f.kind == FieldKind::ShortString) {
                const std::string s = ShortStringField{f.name, f.offset, f.capacity}.get(rec);
                if (s.size() > f.capacity) __builtin_trap();
            }
        }
        LogoRec::Data(rec);
    }
    const std::vector<std::uint8_t> saved = form.KVTData();
    if (saved.size() != std::size_t(file.TotalSize())) __builtin_trap();
    return 0;
}
