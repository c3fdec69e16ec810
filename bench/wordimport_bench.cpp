// Importing a word-processor form of 100,000 metafile records, against walking the same
// records with a handler that does nothing.
#include "Ratios.h"

#include "convert/EmfParse.h"
#include "convert/MetafileBuilder.h"
#include "convert/WordImport.h"
#include "platform/RecordingCanvas.h"
#include "platform/emf/EmfRecords.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace kovet::bench {
namespace {

constexpr std::int32_t kRecords = 100000;

// A page of shapes, lines and labels as a word processor writes them, in runs of ten records:
// a pen, the background mode, a rectangle, an ellipse, a move and two lines, a font, a text
// and a round rectangle. With the header and the end-of-file record, kRecords records.
const std::vector<std::uint8_t>& wordMetafile() {
    static const std::vector<std::uint8_t> bytes = [] {
        test::MetafileBuilder emf;
        for (std::int32_t i = 0; i < kRecords - 2; ++i) {
            const std::int32_t x = i % 700, y = (i / 10) % 1000;
            switch (i % 10) {
            case 0: emf.Pen(PS_SOLID, 1 + i % 3, 0); break;
            case 1: emf.Record(EMR_SETBKMODE, {OPAQUE}); break;
            case 2: emf.Box(EMR_RECTANGLE, {x, y, x + 80, y + 20}); break;
            case 3: emf.Box(EMR_ELLIPSE, {x, y, x + 30, y + 30}); break;
            case 4: emf.MoveTo(x, y); break;
            case 5:
            case 6: emf.LineTo(x + i % 7, y + 40); break;
            case 7: emf.Font(-16, FW_NORMAL, 0, u"Arial"); break;
            case 8: emf.Text(x, y, u"Customer name:"); break;
            default: emf.RoundRect({x, y, x + 60, y + 25}, 8, 8); break;
            }
        }
        return emf.Finish();
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
