// A legacy form read from arbitrary bytes, converted into a current form, and both saved.
#include "document/OldKvt.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    TOldKVT old;
    old.SetKVTData({data, size});
    IsCurrentFormFile({data, size});
    TKVT form;
    std::int32_t lastPercent = -1;
    ConvertOldKVT(old, form, [&](std::string_view, std::int32_t percent) {
        if (percent < lastPercent || percent > 99) __builtin_trap();
        lastPercent = percent;
    });
    const std::vector<std::uint8_t> legacy = old.KVTData();
    const std::vector<std::uint8_t> current = form.KVTData();
    if (current.size() != std::size_t(form.KVTFile().TotalSize())) __builtin_trap();
    // What the legacy writer wrote reads back to the same objects.
    TOldKVT again;
    again.SetKVTData(legacy);
    if (again.Objects.Count() != old.Objects.Count()) __builtin_trap();
    return 0;
}
