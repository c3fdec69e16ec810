// The record list's two stream readers on arbitrary bytes, then a save of what they read.
#include "document/KVTFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    const std::span<const std::uint8_t> bytes(data, size);
    TKVTFile list;
    auto roundTrip = [&](auto load) {
        TMemoryStream in(bytes);
        try {
            load(in);
        } catch (const ERecListException&) {
        }
        TMemoryStream out;
        list.SaveToStream(out);
        if (std::size_t(list.TotalSize()) != out.Bytes().size()) __builtin_trap();
        for (std::int32_t i = 0; i < list.Count(); ++i) {
            if (std::size_t(ItemHeader::ItemSize.get(list.Items(i))) != list.Items(i).size()) __builtin_trap();
        }
    };
    roundTrip([&](TStream& s) { TCustomRecordList::StreamFormat(s); });
    roundTrip([&](TStream& s) { list.LoadFromStream(s); });
    roundTrip([&](TStream& s) { list.LoadOldFromStream(s, false); });
    roundTrip([&](TStream& s) { list.LoadOldFromStream(s, true); });
    return 0;
}
