// The Tools menu's whole-form commands on large forms.
#include "Ratios.h"

#include "convert/FormTools.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace kovet::bench {
namespace {

// 10,000 frames and fields scattered down the page, so that the sort has work to do.
const std::vector<std::uint8_t>& scatteredForm() {
    static const std::vector<std::uint8_t> bytes = [] {
        TKVT form;
        for (std::int32_t i = 0; i < 10000; ++i) {
            const Bytes r = i % 2 == 0 ? form.KVTFile().Frames.AddEmpty() : form.KVTFile().Fields.AddEmpty();
            ObjectRec::Top.set(r, std::int16_t((i * 7919) % 1000));
            ObjectRec::Width.set(r, 80);
        }
        return form.KVTData();
    }();
    return bytes;
}

void BM_LoadScatteredForm(benchmark::State& state) {
    TKVT form;
    for (auto _ : state) {
        form.SetKVTData(scatteredForm());
        benchmark::DoNotOptimize(form.KVTFile().Count());
    }
}
BENCHMARK(BM_LoadScatteredForm);

void BM_OptimizeForm10000(benchmark::State& state) {
    TKVT form;
    for (auto _ : state) {
        form.SetKVTData(scatteredForm());
        OptimizeForm(form.KVTFile(), [](const char*, int percent) { benchmark::DoNotOptimize(percent); });
        benchmark::DoNotOptimize(form.KVTFile().Count());
    }
}
BENCHMARK(BM_OptimizeForm10000);

const bool registered = [] {
    AddRatio("optimize 10,000 objects (with loading) / loading them", "BM_OptimizeForm10000", "BM_LoadScatteredForm",
             "<= 6");
    return true;
}();

} // namespace
} // namespace kovet::bench
