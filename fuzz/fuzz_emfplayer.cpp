// The metafile player on arbitrary bytes, drawing onto a canvas that does nothing.
#include "NullCanvas.h"

#include "platform/emf/EmfPlayer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    // A plain destination and a mirrored one, so that flipped mappings are reached too.
    for (const kovet::TRect& dest : {kovet::TRect{0, 0, 800, 600}, kovet::TRect{100, 50, -300, 20}}) {
        kovet::fuzz::NullCanvas canvas;
        kovet::PlayEnhMetafile(canvas, bytes, dest);
        // Every state the player saves on the canvas it gives back.
        if (canvas.depth != 0) __builtin_trap();
    }
    return 0;
}
