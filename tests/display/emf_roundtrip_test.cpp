// The page exported as a metafile and played back onto a Qt canvas looks like the page drawn
// directly: the writer, the record definitions and the player agree with the painter.

#include "display/PageExport.h"
#include "platform/GuiApplication.h"
#include "platform/QtCanvas.h"
#include "platform/emf/EmfPlayer.h"
#include "storage/Stream.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace kovet;

namespace {

QImage whitePage(TSize size) {
    QImage image(size.cx, size.cy, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Share of pixels that differ by more than rasterisation noise, ignoring a one-pixel shift
// (text replayed through the metafile may land one pixel apart). Justified text replayed
// without its spacing differs by more than the threshold.
double differingShare(const QImage& a, const QImage& b) {
    auto close = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) < 96;
    };
    std::int64_t differing = 0;
    for (int y = 1; y + 1 < a.height(); ++y) {
        for (int x = 1; x + 1 < a.width(); ++x) {
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx)
                    matched = close(a.pixel(x, y), b.pixel(x + dx, y + dy));
            differing += !matched;
        }
    }
    return double(differing) / (double(a.width()) * a.height());
}

} // namespace

TEST(MetafileRoundTrip, ThePlayedExportMatchesTheDirectDrawing) {
    for (const bool designing : {false, true}) {
        TKVT form;
        form.SetKVTData(ReadWholeFile(std::filesystem::path(KOVET_SOURCE_DIR) / "examples/invoice.kvt"));
        const TPageRenderOptions options{.Scale = 1.0, .Designing = designing, .Shading = true};
        std::vector<TDrawProblem> problems;
        const QImage direct = RenderPageImage(form, options, problems).convertToFormat(QImage::Format_RGB32);
        const std::vector<std::uint8_t> emf = ExportPage(form, TPageFormat::Emf, options, problems);

        QImage played = whitePage({direct.width(), direct.height()});
        {
            QtCanvas canvas(played);
            ASSERT_TRUE(PlayEnhMetafile(canvas, emf, {0, 0, direct.width(), direct.height()}));
        }
        EXPECT_LT(differingShare(direct, played), 0.0005) << (designing ? "design view" : "page");
    }
}
