// The metafile parser with its dump on arbitrary bytes, every variable-part reader on each
// record it hands out, and the bare record walk with its invariants.
#include "convert/EmfParse.h"
#include "platform/emf/EmfRecords.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadParts(kovet::ConstBytes record) {
    using namespace kovet;
    switch (EmrRec::Type.get(record)) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: ReadPolyPoints(record); break;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: ReadPolyPolygons(record); break;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        ReadTextA(record);
        ReadTextW(record);
        ReadTextDx(record);
        break;
    case EMR_EXTCREATEFONTINDIRECTW: ReadFaceName(record); break;
    case EMR_STRETCHDIBITS: ReadStretchDIBitsDib(record); break;
    case EMR_BITBLT: ReadBitBltDib(record); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    const ConstBytes bytes(data, size);

    TEMFParse parser;
    parser.AddStrings = true;
    parser.OnRecord = [](TEMFParse&, ConstBytes record) {
        if (record.size() < EmrRec::kHeaderBytes) __builtin_trap();
        ReadParts(record);
    };
    parser.Metafile->LoadFromBytes(bytes);
    parser.Metafile->Width();
    parser.Metafile->Height();
    parser.Parse();

    std::size_t next = 0;
    for (const EmfRecord& r : EmfRecords(bytes)) {
        if (r.Offset != next || r.Bytes.data() != data + r.Offset || r.Offset + r.Bytes.size() > size) __builtin_trap();
        if (r.Bytes.size() < EmrRec::kHeaderBytes) __builtin_trap();
        next = r.Offset + r.Bytes.size();
    }
    return 0;
}
