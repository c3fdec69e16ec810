// Loading field data: 2,000 fields of mixed formats, from lines in memory and from a file.
#include "Ratios.h"

#include "display/FieldData.h"
#include "display/FieldFormat.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kovet::bench {
namespace {

constexpr std::int32_t kFieldCount = 2000;

constexpr TKVTFieldFormat kFormats[] = {lfoText,     lfoReal,      lfoInteger, lfoDollar, lfoPercent,
                                        lfoFullDate, lfoShortDate, lfoTime,    lfoMTime,  lfoPhone,
                                        lfoCheckbox, lfoComboBox,  lfoMemo};

// Fields named Field1 ... FieldN, cycling through the formats.
struct FieldForm {
    FieldForm() {
        for (std::int32_t i = 0; i < kFieldCount; ++i) {
            auto field = std::make_unique<TKVTField>();
            field->Name = "Field" + std::to_string(i + 1);
            field->ReadOnly = false;
            field->SetFormat(kFormats[std::size_t(i) % std::size(kFormats)]);
            pointers.push_back(field.get());
            fields.push_back(std::move(field));
        }
    }
    std::vector<std::unique_ptr<TKVTField>> fields;
    std::vector<TKVTField*> pointers;
};

// The lines of a filled-in form of kFieldCount fields.
const std::vector<std::string>& filledLines() {
    static const std::vector<std::string> lines = [] {
        FieldForm form;
        for (std::int32_t i = 0; i < kFieldCount; ++i) {
            TKVTField& f = *form.pointers[std::size_t(i)];
            const double n = i + 1;
            switch (f.Format()) {
            case lfoReal:
            case lfoInteger:
            case lfoDollar: f.SetValue(n * 12.345); break;
            case lfoPercent: f.SetValue(n / 1000); break;
            case lfoFullDate:
            case lfoShortDate: f.SetValue(36526 + n); break;
            case lfoTime:
            case lfoMTime: f.SetValue(n / kFieldCount); break;
            case lfoCheckbox: f.SetChecked(i % 2 == 0); break;
            case lfoMemo: f.SetLines({"Line one of " + f.Name, "Line two", "Line three"}); break;
            default: f.SetStringValue("Value of " + f.Name); break;
            }
        }
        return SaveFieldStrings(form.pointers, false);
    }();
    return lines;
}

void BM_CopyFieldLines(benchmark::State& state) {
    const auto& lines = filledLines();
    for (auto _ : state) {
        std::vector<std::string> copy(lines);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kFieldCount);
}
BENCHMARK(BM_CopyFieldLines);

void BM_LoadFieldStrings(benchmark::State& state) {
    const auto& lines = filledLines();
    FieldForm form;
    for (auto _ : state) {
        LoadFieldStrings(form.pointers, lines);
        benchmark::DoNotOptimize(form.pointers.back()->Lines().data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kFieldCount);
}
BENCHMARK(BM_LoadFieldStrings);

void BM_ReadFieldDataFile(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kovet_fields_bench_" + std::to_string(::getpid()) + ".kvf");
    WriteFieldDataFile(path, filledLines());
    for (auto _ : state) {
        const std::vector<std::string> lines = ReadFieldDataFile(path);
        benchmark::DoNotOptimize(lines.data());
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kFieldCount);
}
BENCHMARK(BM_ReadFieldDataFile);

// Check boxes of one group, every one checked by the data: the group rule applied per box
// would make the load quadratic.
void BM_LoadCheckBoxGroup(benchmark::State& state) {
    const std::size_t count = std::size_t(state.range(0));
    std::vector<std::unique_ptr<TKVTField>> fields;
    std::vector<TKVTField*> pointers;
    TKVTLabelSiblings siblings;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        auto field = std::make_unique<TKVTField>();
        field->Name = "Box" + std::to_string(i);
        field->SetFormat(lfoCheckbox);
        field->GroupIndex = 1;
        field->Siblings = &siblings;
        siblings.push_back(field.get());
        pointers.push_back(field.get());
        fields.push_back(std::move(field));
        lines.push_back("\x01" + pointers.back()->Name);
        lines.push_back("X");
    }
    for (auto _ : state) {
        LoadFieldStrings(pointers, lines);
        benchmark::DoNotOptimize(pointers.back()->Checked());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(count));
}

BENCHMARK(BM_LoadCheckBoxGroup)->Arg(1000)->Arg(10000);

const bool registered = [] {
    AddRatio("load 10,000 / 1,000 boxes of one group", "BM_LoadCheckBoxGroup/10000", "BM_LoadCheckBoxGroup/1000",
             "about 10 (linear); 100 would be quadratic");
    AddRatio("load 2,000 fields / copy of their lines", "BM_LoadFieldStrings", "BM_CopyFieldLines", "<= 10");
    AddRatio("read 2,000 fields' file / copy of its lines", "BM_ReadFieldDataFile", "BM_CopyFieldLines", "<= 8");
    return true;
}();

} // namespace
} // namespace kovet::bench
