// The sample forms rendered through the whole drawing path (painter, Qt canvas, fonts) and
// compared with pictures checked by eye. The tolerance absorbs small differences of font
// rasterisation; a moved, missing or recoloured object fails.
// To accept a deliberate change: KOVET_UPDATE_GOLDEN=1 display_tests, then look at the files.

#include "display/PageExport.h"
#include "platform/GuiApplication.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>

using namespace kovet;

namespace {

const std::filesystem::path kSource = KOVET_SOURCE_DIR;

struct Golden {
    const char* form;
    double scale;
    const char* picture;
};

class GoldenPages : public ::testing::TestWithParam<Golden> {};

// Share of pixels whose colour differs by more than a rasterisation wobble.
double differingShare(const QImage& a, const QImage& b) {
    std::int64_t differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(ra[x]) - qRed(rb[x])), std::abs(qGreen(ra[x]) - qGreen(rb[x])),
                                    std::abs(qBlue(ra[x]) - qBlue(rb[x]))});
            differing += d > 64;
        }
    }
    return double(differing) / (double(a.width()) * a.height());
}

} // namespace

TEST_P(GoldenPages, RenderLikeTheApprovedPicture) {
    const Golden g = GetParam();
    TKVT form;
    form.SetKVTData(ReadWholeFile(kSource / "examples" / g.form));
    std::vector<TDrawProblem> problems;
    const QImage page = RenderPageImage(form, {.Scale = g.scale, .Designing = false, .Shading = true}, problems)
                            .convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(problems.empty());

    const std::filesystem::path golden = kSource / "tests/data/golden" / g.picture;
    if (std::getenv("KOVET_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(page.save(QString::fromStdString(golden.string())));
        return;
    }
    const QImage expected = QImage(QString::fromStdString(golden.string())).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << golden;
    ASSERT_EQ(page.size(), expected.size());
    EXPECT_LT(differingShare(page, expected), 0.002) << g.picture;
}

INSTANTIATE_TEST_SUITE_P(Samples, GoldenPages,
                         ::testing::Values(Golden{"invoice.kvt", 1.0, "invoice-1.png"},
                                           Golden{"invoice.kvt", 0.5, "invoice-0.5.png"},
                                           Golden{"small.kvt", 1.0, "small-1.png"},
                                           Golden{"small.kvt", 0.5, "small-0.5.png"}));
