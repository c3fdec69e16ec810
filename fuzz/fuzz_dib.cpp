// The bitmap reader on arbitrary bytes: a BMP file split into its DIB and decoded.
#include "platform/Dib.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const kovet::TBmpFile bmp = kovet::ReadBmpFile({data, size});
        const kovet::TDibPixels pixels = kovet::DecodeDib(bmp.Dib);
        if (pixels.Pixels.size() != std::size_t(pixels.Width) * std::size_t(pixels.Height)) __builtin_trap();
    } catch (const kovet::Exception&) {
    }
    return 0;
}
