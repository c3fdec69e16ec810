// The fillable PDF export against the plain PDF export of the same filled page, in the same
// run: the invoice of the examples, and a page of 500 fields of every kind. The fillable page
// is the plain page without the values, read again by qpdf and written with about three
// objects a field (the field, its appearances): some 30 microseconds a field.
#include "Application.h"
#include "Ratios.h"

#include "display/KVTImage.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace kovet::bench {
namespace {

constexpr TKVTFieldFormat kKinds[] = {lfoText,    lfoDollar, lfoFullDate, lfoCheckbox, lfoPercent,
                                      lfoZipCode, lfoMemo,   lfoComboBox, lfoInteger,  lfoTime};

// 500 fields in 10 columns of 50, every kind in turn, the check boxes of a column in pairs
// of a group; each filled in.
std::unique_ptr<TKVTImage> manyFields() {
    application();
    TKVT form;
    for (std::int32_t i = 0; i < 500; ++i) {
        const Bytes r = form.KVTFile().Fields.AddEmpty();
        const TKVTFieldFormat format = kKinds[i % 10];
        FieldRec::Left.set(r, std::int16_t(16 + (i % 10) * 78));
        FieldRec::Top.set(r, std::int16_t(16 + (i / 10) * 20));
        FieldRec::Width.set(r, 74);
        FieldRec::Height.set(r, 18);
        FieldRec::Name.set(r, "F" + std::to_string(i));
        FieldRec::Format.set(r, format);
        FieldRec::GroupIndex.set(r, format == lfoCheckbox ? std::uint8_t(1 + i / 20) : 0);
        FieldRec::TabOrder.set(r, std::int16_t(500 - i));
        FieldRec::FontName.set(r, "Arial");
        FieldRec::FontSize.set(r, 8);
        FieldRec::Decimals.set(r, 2);
    }
    auto image = std::make_unique<TKVTImage>();
    image->SetKVT(form);
    for (std::int32_t i = 0; i < image->FieldCount(); ++i) {
        TKVTField& field = *image->Fields(i);
        switch (field.Format()) {
        case lfoCheckbox: field.SetChecked(i % 20 < 10); break;
        case lfoMemo: field.SetLines({"first line", "second line"}); break;
        case lfoDollar:
        case lfoPercent:
        case lfoInteger: field.SetValue(1234.5 + i); break;
        case lfoFullDate: field.SetValue(46000 + i); break;
        case lfoTime: field.SetValue(0.25 + i / 1000.0); break;
        default: field.SetStringValue("Value " + std::to_string(i)); break;
        }
    }
    return image;
}

std::unique_ptr<TKVTImage> invoice() {
    application();
    auto image = std::make_unique<TKVTImage>();
    image->LoadFromFile(std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt");
    for (std::int32_t i = 0; i < image->FieldCount(); ++i) {
        TKVTField& field = *image->Fields(i);
        if (field.Format() == lfoCheckbox)
            field.SetChecked(true);
        else if (field.Format() == lfoText || field.Format() == lfoMemo)
            field.SetStringValue("Northwind Supply Co.");
        else
            field.SetValue(46000.5);
    }
    return image;
}

template <typename Export> void exportPage(benchmark::State& state, TKVTImage& image, Export&& write) {
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = write(image).size();
    state.counters["bytes"] = double(bytes);
}

void BM_PdfInvoice(benchmark::State& state) {
    exportPage(state, *invoice(), [](TKVTImage& image) { return image.ExportPdfBytes(); });
}
BENCHMARK(BM_PdfInvoice)->Unit(benchmark::kMillisecond);

void BM_FillablePdfInvoice(benchmark::State& state) {
    exportPage(state, *invoice(), [](TKVTImage& image) { return image.ExportFillablePdfBytes(); });
}
BENCHMARK(BM_FillablePdfInvoice)->Unit(benchmark::kMillisecond);

void BM_Pdf500Fields(benchmark::State& state) {
    exportPage(state, *manyFields(), [](TKVTImage& image) { return image.ExportPdfBytes(); });
}
BENCHMARK(BM_Pdf500Fields)->Unit(benchmark::kMillisecond);

void BM_FillablePdf500Fields(benchmark::State& state) {
    exportPage(state, *manyFields(), [](TKVTImage& image) { return image.ExportFillablePdfBytes(); });
}
BENCHMARK(BM_FillablePdf500Fields)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    AddRatio("fillable PDF of the invoice / plain PDF", "BM_FillablePdfInvoice", "BM_PdfInvoice", "<= 2.5");
    AddRatio("fillable PDF of 500 fields / plain PDF", "BM_FillablePdf500Fields", "BM_Pdf500Fields", "<= 5");
    return true;
}();

} // namespace
} // namespace kovet::bench
