// Converting a Delphi form of 1 MB to its textual notation, against one of 100 KB.

#include "Ratios.h"

#include "DfmStream.h"
#include "convert/DfmReader.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kovet::bench {
namespace {

// A form of at least `kilobytes` as programs hold them: labels with positions, fonts,
// captions and hints, anchors, a list of lines, a column collection, and one form in eight
// stored as KVTData.
const std::vector<std::uint8_t>& dfmOf(std::size_t kilobytes) {
    static std::map<std::size_t, std::vector<std::uint8_t>> made;
    std::vector<std::uint8_t>& bytes = made[kilobytes];
    if (bytes.empty()) {
        test::DfmStream s;
        s.Object("TForm1", "Form1").Prop("Caption").String("Orders").Prop("ClientWidth").Int16(1024).End();
        const std::vector<std::uint8_t> form(600, 0x5A);
        for (int i = 0; s.Bytes().size() < kilobytes * 1024; ++i) {
            const std::string n = std::to_string(i);
            s.Object("TKVTLabel", "Label" + n).Prop("Left").Int16(std::int16_t(8 + i % 700));
            s.Prop("Top").Int16(std::int16_t(i % 30000)).Prop("Width").Int8(120).Prop("Height").Int8(21);
            s.Prop("Caption").String("Customer's name " + n).Prop("Hint").WString(u"Kundenname f\u00fcr die Rechnung");
            s.Prop("Font.Name").String("Tahoma").Prop("Font.Height").Int8(-11).Prop("Font.Style").Set({"fsBold"});
            s.Prop("Anchors").Set({"akLeft", "akTop", "akRight"}).Prop("Format").Ident("lfoText");
            s.Prop("Lines.Strings").Type(1).String("first").String("second").End();
            s.Prop("Columns").Type(14).Type(1).Prop("Width").Int16(300).Prop("Title").String("Qty").End().End();
            if (i % 8 == 0) s.Prop("KVTData").Binary(form);
            s.End().End();
        }
        bytes = s.End().Bytes();
    }
    return bytes;
}

void BM_DfmToText(benchmark::State& state) {
    const auto& bytes = dfmOf(std::size_t(state.range(0)));
    for (auto _ : state) {
        const std::string text = ObjectResourceToText(bytes);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_DfmToText)->Arg(100)->Arg(1024);

const bool registered = [] {
    AddRatio("Delphi form to text, 1 MB / 100 KB", "BM_DfmToText/1024", "BM_DfmToText/100",
             "about 10 (linear); 100 would be quadratic");
    return true;
}();

} // namespace
} // namespace kovet::bench
