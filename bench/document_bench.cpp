// Loading, saving and field queries of large forms.
#include "Ratios.h"

#include "document/KVTFile.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace kovet::bench {
namespace {

void addObject(TKVTFile& file, std::int32_t i, std::int32_t& fieldNumber) {
    auto place = [&](Bytes r) {
        ObjectRec::Left.set(r, std::int16_t(i % 700));
        ObjectRec::Top.set(r, std::int16_t(i % 1000));
        ObjectRec::Width.set(r, 80);
        ObjectRec::Height.set(r, 20);
    };
    switch (i % 10) {
    case 0: place(file.Frames.AddEmpty()); break;
    case 1: place(file.Lines.AddEmpty()); break;
    case 2: place(file.Ellipses.AddEmpty()); break;
    case 3:
    case 7: {
        const std::string text = "Line item description number " + std::to_string(i);
        std::vector<std::uint8_t> rec(std::size_t(TextItemSize(text.size())));
        ItemHeader::ItemSize.set(rec, TextItemSize(text.size()));
        TextRec::Text.set(rec, text);
        place(rec);
        file.Texts.Add(rec);
        break;
    }
    case 9: {
        std::vector<std::uint8_t> rec(std::size_t(LogoItemSize(600)), 0x5A);
        std::memset(rec.data(), 0, LogoRec::DataOffset);
        ItemHeader::ItemSize.set(rec, LogoItemSize(600));
        LogoRec::PictureType.set(rec, ptBitmap);
        LogoRec::DataSize.set(rec, 600);
        place(rec);
        file.Logos.Add(rec);
        break;
    }
    default: {
        const Bytes r = file.Fields.AddEmpty();
        place(r);
        FieldRec::Name.set(r, "Field" + std::to_string(++fieldNumber));
        FieldRec::TabOrder.set(r, std::int16_t(fieldNumber));
        break;
    }
    }
}

// A form of `objects` mixed objects after its header; four in ten are fields.
std::vector<std::uint8_t> mixedForm(std::int32_t objects) {
    TKVT form;
    std::int32_t fieldNumber = 0;
    for (std::int32_t i = 0; i < objects; ++i)
        addObject(form.KVTFile(), i, fieldNumber);
    return form.KVTData();
}

// A form holding only fields named Field1 ... FieldN.
std::vector<std::uint8_t> fieldForm(std::int32_t fields) {
    TKVT form;
    for (std::int32_t i = 1; i <= fields; ++i) {
        const Bytes r = form.KVTFile().Fields.AddEmpty();
        FieldRec::Name.set(r, "Field" + std::to_string(i));
        FieldRec::TabOrder.set(r, std::int16_t(i - 1));
    }
    return form.KVTData();
}

const std::vector<std::uint8_t>& largeForm() {
    static const std::vector<std::uint8_t> bytes = mixedForm(10000);
    return bytes;
}

void BM_CopyFormBytes(benchmark::State& state) {
    const auto& bytes = largeForm();
    for (auto _ : state) {
        std::vector<std::uint8_t> copy(bytes);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_CopyFormBytes);

void BM_LoadForm(benchmark::State& state) {
    const auto& bytes = largeForm();
    for (auto _ : state) {
        TBytesStream stream(bytes);
        TKVT form;
        form.LoadFromStream(stream);
        benchmark::DoNotOptimize(form.KVTFile().Count());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_LoadForm);

void BM_SaveForm(benchmark::State& state) {
    TKVT form;
    form.SetKVTData(largeForm());
    for (auto _ : state) {
        TMemoryStream stream;
        form.SaveToStream(stream);
        benchmark::DoNotOptimize(stream.Memory());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(largeForm().size()));
}
BENCHMARK(BM_SaveForm);

// Field queries on forms of 1,000 and 10,000 mixed objects. Each iteration first changes the
// list, so the typed wrappers cannot answer from what an earlier iteration learnt.
template <typename Query> void fieldQuery(benchmark::State& state, Query query) {
    TKVT form;
    form.SetKVTData(mixedForm(std::int32_t(state.range(0))));
    TKVTFile& file = form.KVTFile();
    for (auto _ : state) {
        file.Move(1, 2);
        benchmark::DoNotOptimize(query(form));
    }
    state.SetComplexityN(state.range(0));
}

void BM_WalkFields(benchmark::State& state) {
    fieldQuery(state, [](TKVT& form) {
        std::size_t letters = 0;
        TRecObj_KVTField& fields = form.KVTFile().Fields;
        for (std::int16_t i = 0, n = std::int16_t(fields.Count()); i < n; ++i) {
            letters += FieldRec::Name.get(fields.Fields(i)).size();
        }
        return letters;
    });
}
BENCHMARK(BM_WalkFields)->Arg(1000)->Arg(10000);

void BM_NextTabOrder(benchmark::State& state) {
    fieldQuery(state, [](TKVT& form) { return form.NextTabOrder(); });
}
BENCHMARK(BM_NextTabOrder)->Arg(1000)->Arg(10000);

void BM_NewFieldName(benchmark::State& state) {
    fieldQuery(state, [](TKVT& form) {
        std::string name;
        form.NewFieldName(name);
        return name.size();
    });
}
BENCHMARK(BM_NewFieldName)->Arg(1000)->Arg(10000);

void BM_NewFieldName2000Fields(benchmark::State& state) {
    TKVT form;
    form.SetKVTData(fieldForm(2000));
    for (auto _ : state) {
        std::string name;
        form.NewFieldName(name);
        benchmark::DoNotOptimize(name.data());
    }
}
BENCHMARK(BM_NewFieldName2000Fields);

void BM_NextTabOrder2000Fields(benchmark::State& state) {
    TKVT form;
    form.SetKVTData(fieldForm(2000));
    for (auto _ : state)
        benchmark::DoNotOptimize(form.NextTabOrder());
}
BENCHMARK(BM_NextTabOrder2000Fields);

const bool registered = [] {
    AddRatio("load 10,000 objects / copy of its bytes", "BM_LoadForm", "BM_CopyFormBytes", "<= 4");
    AddRatio("save 10,000 objects / copy of its bytes", "BM_SaveForm", "BM_CopyFormBytes", "<= 4");
    const char* linear = "about 10 (linear); 100 would be quadratic";
    AddRatio("walk fields, 10,000 / 1,000 objects", "BM_WalkFields/10000", "BM_WalkFields/1000", linear);
    AddRatio("NextTabOrder, 10,000 / 1,000 objects", "BM_NextTabOrder/10000", "BM_NextTabOrder/1000", linear);
    AddRatio("NewFieldName, 10,000 / 1,000 objects", "BM_NewFieldName/10000", "BM_NewFieldName/1000", linear);
    return true;
}();

} // namespace
} // namespace kovet::bench
