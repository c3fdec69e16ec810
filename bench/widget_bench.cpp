// Painting the run-time widget: the page with its filled-in fields against the page alone.
#include "Application.h"
#include "Ratios.h"

#include "display/KVTImage.h"
#include "display/Painter.h"
#include "platform/QtCanvas.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>
#include <string>

namespace kovet::bench {
namespace {

// A Letter page of 500 filled fields of assorted formats, in a widget of the page's size.
TKVTImage& filledImage() {
    static const std::unique_ptr<TKVTImage> image = [] {
        application();
        TKVT form;
        for (std::int32_t i = 0; i < 500; ++i) {
            const Bytes r = form.KVTFile().Fields.AddEmpty();
            FieldRec::Left.set(r, std::int16_t(20 + (i % 5) * 156));
            FieldRec::Top.set(r, std::int16_t(20 + (i / 5) * 10));
            FieldRec::Width.set(r, 150);
            FieldRec::Height.set(r, 10);
            FieldRec::Name.set(r, "Field" + std::to_string(i));
            static constexpr std::uint8_t kFormats[] = {lfoText, lfoDollar, lfoDate, lfoPhone, lfoCheckbox};
            FieldRec::Format.set(r, kFormats[i % 5]);
            FieldRec::FontName.set(r, "Arial");
            FieldRec::FontSize.set(r, 7);
            FieldRec::Decimals.set(r, 2);
            FieldRec::CtlOutline.set(r, 1);
        }
        auto made = std::make_unique<TKVTImage>();
        made->SetKVT(form);
        made->resize(816, 1056);
        for (std::int32_t i = 0; i < made->FieldCount(); ++i) {
            TKVTField& field = *made->Fields(i);
            switch (field.Format()) {
            case lfoDollar: field.SetAsDouble(1234.5 + i); break;
            case lfoDate: field.SetAsDateTime(46000 + i); break;
            case lfoCheckbox: field.SetAsBoolean(true); break;
            default: field.SetAsString("Value " + std::to_string(i)); break;
            }
        }
        return made;
    }();
    return *image;
}

void BM_PaintWidget500Fields(benchmark::State& state) {
    TKVTImage& image = filledImage();
    QImage target(816, 1056, QImage::Format_RGB32);
    for (auto _ : state) {
        image.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PaintWidget500Fields)->Unit(benchmark::kMillisecond);

void BM_DrawFormOf500Fields(benchmark::State& state) {
    TKVTImage& image = filledImage();
    TKVT form;
    form.SetKVTData(image.KVTData());
    // In design view the painter draws every field as its placeholder: text for text.
    form.Designing = true;
    QImage target(816, 1056, QImage::Format_RGB32);
    for (auto _ : state) {
        QtCanvas canvas(target);
        DrawForm(form, {0, 0, 816, 1056}, canvas, true);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_DrawFormOf500Fields)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    AddRatio("paint widget with 500 filled fields / DrawForm of their placeholders", "BM_PaintWidget500Fields",
             "BM_DrawFormOf500Fields", "reported");
    return true;
}();

} // namespace
} // namespace kovet::bench
