// The defaults record read from arbitrary bytes and written back to a memory image.
#include "document/Defaults.h"

#include "storage/Stream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    TKVTDefaults defaults;
    defaults.LoadFromBytes({data, size});
    if (DefaultsRec::Version.get(defaults.Record) != DefaultsRec::CurrentVersion) __builtin_trap();
    TextRec::Text.get(defaults.Text());
    FieldRec::Name.get(defaults.Field());
    TMemoryStream image;
    image.Write(defaults.Record.data(), defaults.Record.size());
    if (image.Size() != std::int64_t(kDefaultsSize)) __builtin_trap();
    return 0;
}
