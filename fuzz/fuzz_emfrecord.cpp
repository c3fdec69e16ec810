// The metafile player's record handlers: the bytes are records behind a well-formed header,
// so that every input reaches the handlers instead of stopping at the header's checks.
#include "NullCanvas.h"

#include "platform/emf/EmfPlayer.h"
#include "platform/emf/EmfRecords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    std::vector<std::uint8_t> emf(EmrHeader::kBaseSize);
    EmrRec::Type.set(emf, EMR_HEADER);
    EmrRec::Size.set(emf, std::uint32_t(EmrHeader::kBaseSize));
    EmrHeader::Frame.set(emf, {0, 0, 21590, 27940});
    EmrHeader::Signature.set(emf, ENHMETA_SIGNATURE);
    EmrHeader::Version.set(emf, 0x10000);
    EmrHeader::Handles.set(emf, 16);
    EmrHeader::Device.set(emf, {816, 1056});
    EmrHeader::Millimeters.set(emf, {216, 279});
    emf.insert(emf.end(), data, data + size);
    EmrHeader::TotalBytes.set(emf, std::uint32_t(emf.size()));
    fuzz::NullCanvas canvas;
    PlayEnhMetafile(canvas, emf, {0, 0, 816, 1056});
    if (canvas.depth != 0) __builtin_trap();
    return 0;
}
