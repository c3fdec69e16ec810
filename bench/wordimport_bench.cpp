// Importing a word-processor form of 100,000 metafile records, against walking the same
// records with a handler that does nothing.
#include "Ratios.h"

#include "convert/EmfParse.h"
#include "convert/WordImport.h"
#include "platform/RecordingCanvas.h"
#include "platform/emf/EmfRecords.h"

#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

namespace kovet::bench {
namespace {

constexpr std::int32_t kRecords = 100000;

Bytes appendRecord(std::vector<std::uint8_t>& emf, std::uint32_t type, std::size_t size) {
    const std::size_t start = emf.size();
    emf.resize(start + size);
    const Bytes r = Bytes(emf).subspan(start);
    EmrRec::Type.set(r, type);
    EmrRec::Size.set(r, std::uint32_t(size));
    return r;
}

// A page of shapes, lines and labels as a word processor writes them, in runs of ten records:
// a pen, the background mode, a rectangle, an ellipse, a move and two lines, a font, a text
// and a round rectangle. With the header and the end-of-file record, kRecords records.
const std::vector<std::uint8_t>& wordMetafile() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> emf;
        const Bytes header = appendRecord(emf, EMR_HEADER, EmrHeader::kBaseSize);
        EmrHeader::Signature.set(header, ENHMETA_SIGNATURE);
        EmrHeader::Version.set(header, ENHMETA_VERSION);
        EmrHeader::Records.set(header, kRecords);
        constexpr std::u16string_view label = u"Customer name:";
        for (std::int32_t i = 0; i < kRecords - 2; ++i) {
            const std::int32_t x = i % 700, y = (i / 10) % 1000;
            switch (i % 10) {
            case 0: {
                const Bytes r = appendRecord(emf, EMR_CREATEPEN, EmrCreatePen::kSize);
                EmrCreatePen::Style.set(r, PS_SOLID);
                EmrCreatePen::Width.set(r, 1 + i % 3);
                break;
            }
            case 1: EmrValue::Mode.set(appendRecord(emf, EMR_SETBKMODE, EmrValue::kSize), OPAQUE); break;
            case 2: EmrBox::Box.set(appendRecord(emf, EMR_RECTANGLE, EmrBox::kSize), {x, y, x + 80, y + 20}); break;
            case 3: EmrBox::Box.set(appendRecord(emf, EMR_ELLIPSE, EmrBox::kSize), {x, y, x + 30, y + 30}); break;
            case 4: EmrPoint::Point.set(appendRecord(emf, EMR_MOVETOEX, EmrPoint::kSize), {x, y}); break;
            case 5:
            case 6: EmrPoint::Point.set(appendRecord(emf, EMR_LINETO, EmrPoint::kSize), {x + i % 7, y + 40}); break;
            case 7: {
                const Bytes r = appendRecord(emf, EMR_EXTCREATEFONTINDIRECTW, EmrCreateFont::kSize);
                EmrCreateFont::Height.set(r, -16);
                EmrCreateFont::Weight.set(r, FW_NORMAL);
                for (std::size_t k = 0; k < 5; ++k)
                    writeLE<std::uint16_t>(r, EmrCreateFont::kFaceName + 2 * k, u"Arial"[k]);
                break;
            }
            case 8: {
                const std::size_t text = (2 * label.size() + 3) / 4 * 4;
                const Bytes r = appendRecord(emf, EMR_EXTTEXTOUTW, EmrExtTextOut::kSize + text + 4 * label.size());
                EmrExtTextOut::Bounds.set(r, {x, y, x + 90, y + 16});
                EmrExtTextOut::Chars.set(r, std::uint32_t(label.size()));
                EmrExtTextOut::StringOffset.set(r, std::uint32_t(EmrExtTextOut::kSize));
                EmrExtTextOut::DxOffset.set(r, std::uint32_t(EmrExtTextOut::kSize + text));
                for (std::size_t k = 0; k < label.size(); ++k)
                    writeLE<std::uint16_t>(r, EmrExtTextOut::kSize + 2 * k, label[k]);
                break;
            }
            default: {
                const Bytes r = appendRecord(emf, EMR_ROUNDRECT, EmrRoundRect::kSize);
                EmrRoundRect::Box.set(r, {x, y, x + 60, y + 25});
                EmrRoundRect::Corner.set(r, {8, 8});
                break;
            }
            }
        }
        appendRecord(emf, EMR_EOF, EmrEof::kSize);
        EmrHeader::TotalBytes.set(emf, std::uint32_t(emf.size()));
        return emf;
    }();
    return bytes;
}

void BM_WalkWordMetafile(benchmark::State& state) {
    const auto& bytes = wordMetafile();
    std::size_t records = 0;
    for (auto _ : state) {
        TEMFParse parser;
        parser.OnRecord = [&records](TEMFParse&, ConstBytes) { ++records; };
        parser.Metafile->LoadFromBytes(bytes);
        parser.Parse();
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_WalkWordMetafile)->Unit(benchmark::kMillisecond);

// Into a new form each time, text sized by metrics that need no fonts.
void BM_ImportWordMetafile(benchmark::State& state) {
    const auto& bytes = wordMetafile();
    FixedTextMetrics metrics;
    TKVTDefaults defaults;
    TWordImportState drawing;
    std::int32_t objects = 0;
    for (auto _ : state) {
        TKVT form;
        ImportMetafile(form, defaults, drawing, bytes, 0.33f, metrics);
        objects = form.KVTFile().Count() - 1;
        benchmark::DoNotOptimize(objects);
    }
    state.counters["objects"] = objects;
}
BENCHMARK(BM_ImportWordMetafile)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    AddRatio("import 100,000-record EMF / walk of its records", "BM_ImportWordMetafile", "BM_WalkWordMetafile",
             "<= 40");
    return true;
}();

} // namespace
} // namespace kovet::bench
