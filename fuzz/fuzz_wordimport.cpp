// The word-processor form import on arbitrary bytes: whatever the records claim, the import
// adds objects or refuses the bytes, and never reads beyond them. Each input is imported twice
// into one form with one drawing state, as a designer window does.
#include "convert/WordImport.h"
#include "platform/RecordingCanvas.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    const ConstBytes bytes(data, size);
    TKVT form;
    TKVTDefaults defaults;
    FixedTextMetrics metrics;
    TWordImportState state;
    for (const float scale : {1.0f, 0.33f}) {
        try {
            ImportMetafile(form, defaults, state, bytes, scale, metrics);
        } catch (const EWordImportError&) {
            return 0;
        }
    }
    // Every object the import made is a whole record of its kind.
    for (std::int32_t i = 1; i < form.KVTFile().Count(); ++i) {
        const ConstBytes r = form.KVTFile().Items(i);
        if (ItemHeader::ItemSize.get(r) != std::int32_t(r.size())) __builtin_trap();
        if (ItemHeader::ItemType.get(r) == kvtTextType &&
            r.size() != std::size_t(TextItemSize(TextRec::Text.get(r).size())))
            __builtin_trap();
    }
    return 0;
}
