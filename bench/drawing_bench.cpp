// Drawing a form, parsing metafiles and exporting a page.
#include "Application.h"
#include "MixedForm.h"
#include "Ratios.h"

#include "convert/EmfParse.h"
#include "display/PageExport.h"
#include "platform/EmfCanvas.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"
#include "platform/RecordingCanvas.h"
#include "storage/Text1252.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstring>
#include <memory>

namespace kovet::bench {
namespace {

QImage page() {
    QImage image(816, 1056, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void BM_DrawFormQImage(benchmark::State& state) {
    application();
    TKVT& form = MixedForm();
    QImage image = page();
    for (auto _ : state) {
        QtCanvas canvas(image);
        benchmark::DoNotOptimize(DrawForm(form, {0, 0, 816, 1056}, canvas, true));
    }
}
BENCHMARK(BM_DrawFormQImage)->Unit(benchmark::kMillisecond);

// The baseline: the same shapes and texts issued straight to QPainter, with none of the
// canvas's conventions (no GDI pen rules, no measured glyph placement).
void BM_DrawFormDirectQPainter(benchmark::State& state) {
    application();
    TKVTFile& file = MixedForm().KVTFile();
    QImage image = page();
    for (auto _ : state) {
        QPainter p(&image);
        p.fillRect(0, 0, 816, 1056, Qt::white);
        for (std::int32_t i = 1; i < file.Count(); ++i) {
            const ConstBytes r = file.Items(i);
            const QRect box(ObjectRec::Left.get(r), ObjectRec::Top.get(r), ObjectRec::Width.get(r) - 1,
                            ObjectRec::Height.get(r) - 1);
            switch (ItemHeader::ItemType.get(r)) {
            case kvtFrameType:
                p.setPen(QColor(0x1F, 0x3A, 0x5F));
                p.setBrush(QColor(0xF0, 0xF0, 0xF0));
                p.drawRect(box);
                break;
            case kvtLineType:
                p.setPen(Qt::black);
                p.drawLine(box.left(), box.center().y(), box.right() + 1, box.center().y());
                break;
            case kvtEllipseType:
                p.setPen(Qt::black);
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(box);
                break;
            default: {
                const bool isText = ItemHeader::ItemType.get(r) == kvtTextType;
                QFont font(QString::fromStdString(FontRec::FontName.get(r)));
                font.setPixelSize(std::abs(FontRec::FontHeight.get(r)));
                p.setFont(font);
                p.setPen(isText ? Qt::black : Qt::darkBlue);
                const std::string text = isText ? TextRec::Text.get(r) : "tx-" + FieldRec::Name.get(r);
                p.drawText(box.left(), box.top() + p.fontMetrics().ascent(), QString::fromStdString(text));
                break;
            }
            }
        }
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawFormDirectQPainter)->Unit(benchmark::kMillisecond);

void BM_ExportPageEmf(benchmark::State& state) {
    application();
    TKVT& form = MixedForm();
    for (auto _ : state) {
        std::vector<TDrawProblem> problems;
        benchmark::DoNotOptimize(ExportPage(form, TPageFormat::Emf, {}, problems));
    }
}
BENCHMARK(BM_ExportPageEmf)->Unit(benchmark::kMillisecond);

// A metafile of 100,000 drawing records (rectangles and lines), header and end included.
const std::vector<std::uint8_t>& largeMetafile() {
    static const std::vector<std::uint8_t> bytes = [] {
        FixedTextMetrics metrics;
        EmfCanvas canvas({816, 1056}, metrics);
        for (std::int32_t i = 0; i < 50000; ++i) {
            canvas.Rectangle(i % 700, i % 1000, i % 700 + 50, i % 1000 + 20);
            canvas.LineTo(i % 800, i % 1050);
        }
        return canvas.Finish();
    }();
    return bytes;
}

void BM_CopyMetafileBytes(benchmark::State& state) {
    const auto& bytes = largeMetafile();
    for (auto _ : state) {
        std::vector<std::uint8_t> copy(bytes);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyMetafileBytes);

void BM_ParseMetafile(benchmark::State& state) {
    const auto& bytes = largeMetafile();
    TEMFParse parser;
    std::size_t records = 0;
    parser.OnRecord = [&records](TEMFParse&, ConstBytes) { ++records; };
    parser.Metafile->LoadFromBytes(bytes);
    for (auto _ : state) {
        parser.Parse();
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_ParseMetafile);

const bool registered = [] {
    AddRatio("DrawForm 1,000 objects / direct QPainter", "BM_DrawFormQImage", "BM_DrawFormDirectQPainter", "<= 1.3");
    AddRatio("parse 100,000-record EMF / copy of its bytes", "BM_ParseMetafile", "BM_CopyMetafileBytes", "<= 5");
    return true;
}();

} // namespace
} // namespace kovet::bench
