// Metafiles that outside programs wrote (tests/data/emf, see tests/data/README.md): their
// records walk cleanly, the player draws what their producers drew, where they drew it, and
// our writer stores shapes as the platform's own recorder does.

#include "platform/EmfCanvas.h"
#include "platform/GuiApplication.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/emf/EmfPlayer.h"
#include "platform/emf/EmfRecords.h"
#include "platform/emf/Metafile.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace kovet;

namespace {

const char* const kFixtures[] = {"wine-gdi32.emf", "libreoffice-draw.emf"};

TMetafile LoadFixture(const std::string& name) {
    TMetafile emf;
    emf.LoadFromFile(std::string(KOVET_SOURCE_DIR) + "/tests/data/emf/" + name);
    return emf;
}

std::vector<EmfRecord> RecordsOf(ConstBytes emf) {
    std::vector<EmfRecord> records;
    for (const EmfRecord& r : EmfRecords(emf))
        records.push_back(r);
    return records;
}

std::vector<EmfRecord> OfType(const std::vector<EmfRecord>& records, std::uint32_t type) {
    std::vector<EmfRecord> found;
    std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                 [type](const EmfRecord& r) { return r.Type == type; });
    return found;
}

QImage Play(const TMetafile& emf) {
    QImage image(emf.Width(), emf.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QtCanvas canvas(image);
    EXPECT_TRUE(PlayEnhMetafile(canvas, emf.Data(), {0, 0, emf.Width(), emf.Height()}));
    return image;
}

bool Near(QRgb pixel, QRgb wanted, int tolerance = 40) {
    return std::abs(qRed(pixel) - qRed(wanted)) <= tolerance && std::abs(qGreen(pixel) - qGreen(wanted)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(wanted)) <= tolerance;
}

// The pixels of the area (l, t) to (r, b), exclusive, that pass the test.
int CountIf(const QImage& image, int l, int t, int r, int b, const std::function<bool(QRgb)>& test) {
    int n = 0;
    for (int y = t; y < b; ++y) {
        for (int x = l; x < r; ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

int CountNear(const QImage& image, int l, int t, int r, int b, QRgb wanted) {
    return CountIf(image, l, t, r, b, [wanted](QRgb p) { return Near(p, wanted); });
}

bool IsDark(QRgb p) {
    return qGray(p) < 100;
}

// ---- every fixture

class EveryFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryFixture, RecordsTileTheFileAndEndWithTheEndOfFileRecord) {
    const TMetafile emf = LoadFixture(GetParam());
    const ConstBytes data = emf.Data();
    ASSERT_GE(data.size(), EmrHeader::kBaseSize);
    EXPECT_EQ(EmrHeader::Signature.get(data), std::uint32_t(ENHMETA_SIGNATURE));
    EXPECT_EQ(EmrHeader::TotalBytes.get(data), data.size());

    const std::vector<EmfRecord> records = RecordsOf(data);
    ASSERT_FALSE(records.empty());
    std::size_t expected = 0;
    for (const EmfRecord& r : records) {
        EXPECT_EQ(r.Offset, expected) << "record of type " << r.Type;
        EXPECT_GE(r.Size, 8u);
        EXPECT_EQ(r.Size % 4, 0u);
        EXPECT_EQ(r.Bytes.size(), r.Size);
        expected = r.Offset + r.Size;
    }
    EXPECT_EQ(expected, data.size());
    EXPECT_EQ(records.front().Type, std::uint32_t(EMR_HEADER));
    EXPECT_EQ(records.back().Type, std::uint32_t(EMR_EOF));
    EXPECT_EQ(OfType(records, EMR_EOF).size(), 1u);
}

// Readers cannot trust the header's record count: LibreOffice leaves one record out of it.
TEST(RecordCounts, GdiCountsEveryRecordAndLibreOfficeOneFewer) {
    const TMetafile wine = LoadFixture("wine-gdi32.emf"), office = LoadFixture("libreoffice-draw.emf");
    EXPECT_EQ(RecordsOf(wine.Data()).size(), EmrHeader::Records.get(wine.Data()));
    EXPECT_EQ(RecordsOf(office.Data()).size(), EmrHeader::Records.get(office.Data()) + 1);
}

TEST_P(EveryFixture, PlaysOntoItsNaturalSizeAndDrawsInkAllOverIt) {
    const TMetafile emf = LoadFixture(GetParam());
    ASSERT_GT(emf.Width(), 300);
    ASSERT_GT(emf.Height(), 200);
    const QImage image = Play(emf);
    // Every quarter of both pictures holds drawing.
    const int w = image.width(), h = image.height();
    for (const auto& [l, t] : {std::pair{0, 0}, {w / 2, 0}, {0, h / 2}, {w / 2, h / 2}}) {
        const int ink = CountIf(image, l, t, l + w / 2, t + h / 2, [](QRgb p) { return p != qRgb(255, 255, 255); });
        EXPECT_GT(ink, 200) << GetParam() << " quarter at " << l << "," << t;
    }
}

TEST_P(EveryFixture, TruncatedCopiesPlayWithoutHarm) {
    const TMetafile emf = LoadFixture(GetParam());
    const ConstBytes data = emf.Data();
    for (std::size_t keep = 8; keep < data.size(); keep += 52) {
        RecordingCanvas canvas;
        PlayEnhMetafile(canvas, data.first(keep), {0, 0, 400, 300});
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EveryFixture, ::testing::ValuesIn(kFixtures),
                         [](const auto& info) { return std::string(info.param).substr(0, 4); });

// ---- Wine's gdi32 (emfmake.c says what it drew where)

TEST(WineFixture, PlayerRepeatsTheCallsThatRecordedIt) {
    const TMetafile emf = LoadFixture("wine-gdi32.emf");
    RecordingCanvas canvas;
    ASSERT_TRUE(PlayEnhMetafile(canvas, emf.Data(), {0, 0, 400, 300}));

    const auto rects = canvas.Find("Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].Args, (std::vector<std::int32_t>{10, 10, 110, 80}));
    EXPECT_EQ(rects[0].Brush.Color, TColor(0xFFCC99));
    EXPECT_EQ(rects[0].Pen.Width, 1);

    const auto round = canvas.Find("RoundRect");
    ASSERT_EQ(round.size(), 1u);
    EXPECT_EQ(round[0].Args, (std::vector<std::int32_t>{130, 10, 250, 80, 24, 24}));
    EXPECT_EQ(round[0].Pen.Width, 3);
    EXPECT_EQ(round[0].Pen.Color, clRed);
    EXPECT_EQ(round[0].Brush.Style, TBrushStyle::bsFDiagonal);
    EXPECT_EQ(round[0].Brush.Color, clGreen);

    const auto ellipses = canvas.Find("Ellipse");
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].Args, (std::vector<std::int32_t>{270, 10, 390, 80}));
    EXPECT_EQ(ellipses[0].Brush.Style, TBrushStyle::bsDiagCross);
    EXPECT_EQ(ellipses[0].Brush.Color, clPurple);

    const auto lines = canvas.Find("LineTo");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Args, (std::vector<std::int32_t>{390, 100}));
    EXPECT_EQ(lines[0].Pen.Style, TPenStyle::psDash);

    const auto polygons = canvas.Find("PolyPolygon");
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].Args, (std::vector<std::int32_t>{20, 120, 110, 120, 65, 200}));
    EXPECT_EQ(polygons[0].Brush.Color, TColor(0x0080FF));

    // The Bezier comes flattened, from its first point to its last.
    const auto curves = canvas.Find("Polyline");
    ASSERT_EQ(curves.size(), 1u);
    const std::vector<std::int32_t>& curve = curves[0].Args;
    ASSERT_GE(curve.size(), 16u);
    EXPECT_EQ((std::vector<std::int32_t>(curve.begin(), curve.begin() + 2)), (std::vector<std::int32_t>{130, 200}));
    EXPECT_EQ((std::vector<std::int32_t>(curve.end() - 2, curve.end())), (std::vector<std::int32_t>{250, 120}));
    EXPECT_EQ(curves[0].Pen.Width, 2);

    const auto texts = canvas.Find("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "Kovet EMF");
    EXPECT_EQ(texts[0].Args, (std::vector<std::int32_t>{270, 110}));
    EXPECT_EQ(texts[0].Font.Name, "Arial");
    EXPECT_EQ(texts[0].Font.Height, -16);
    EXPECT_EQ(texts[1].Text, "Turned");
    EXPECT_EQ(texts[1].Args, (std::vector<std::int32_t>{370, 290}));
    EXPECT_EQ(texts[1].Font.Escapement, 900);
    EXPECT_EQ(texts[1].Font.Style & fsBoldBit, fsBoldBit);
    EXPECT_EQ(texts[1].Font.Color, clMaroon);

    const auto bitmaps = canvas.Find("StretchDIBits");
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_EQ(bitmaps[0].Args, (std::vector<std::int32_t>{20, 220, 84, 284, 0, 0, 4, 4}));
}

TEST(WineFixture, PictureHasEachShapeInItsPlace) {
    const QImage image = Play(LoadFixture("wine-gdi32.emf"));
    ASSERT_EQ(image.size(), QSize(400, 300));

    // Top row: a filled rectangle, a thick red outline round a green hatch, a hatched ellipse.
    EXPECT_TRUE(Near(image.pixel(60, 45), qRgb(0x99, 0xCC, 0xFF)));
    EXPECT_TRUE(Near(image.pixel(10, 45), qRgb(0, 0, 0)));
    EXPECT_TRUE(Near(image.pixel(109, 45), qRgb(0, 0, 0)));
    EXPECT_TRUE(Near(image.pixel(110, 45), qRgb(255, 255, 255)));
    for (const int x : {129, 130, 131, 248, 249, 250})
        EXPECT_TRUE(Near(image.pixel(x, 45), qRgb(255, 0, 0))) << x;
    const int hatch = CountNear(image, 140, 20, 240, 70, qRgb(0, 128, 0));
    EXPECT_GT(hatch, 500); // one pixel in eight of each row
    EXPECT_LT(hatch, 1000);
    EXPECT_GT(CountNear(image, 290, 20, 370, 70, qRgb(128, 0, 128)), 800);
    EXPECT_TRUE(Near(image.pixel(270, 45), qRgb(0, 0, 255)));

    // The dashed line: mostly dashes, with gaps.
    const int dashes = CountNear(image, 10, 100, 390, 101, qRgb(0, 0, 255));
    EXPECT_GT(dashes, 380 * 6 / 10);
    EXPECT_LT(dashes, 380 * 9 / 10);

    EXPECT_TRUE(Near(image.pixel(65, 140), qRgb(255, 128, 0)));
    EXPECT_GT(CountNear(image, 130, 110, 251, 201, qRgb(0, 100, 0)), 200);

    // Text: dark ink right of and below its reference point; the turned text runs upwards.
    EXPECT_GT(CountIf(image, 270, 110, 360, 130, IsDark), 150);
    const int turnedInk = CountIf(image, 368, 220, 392, 292, [](QRgb p) { return Near(p, qRgb(128, 0, 0), 60); });
    EXPECT_GT(turnedInk, 100);
    EXPECT_EQ(CountIf(image, 368, 292, 392, 300, [](QRgb p) { return Near(p, qRgb(128, 0, 0), 60); }), 0);

    // The bitmap, top-down as seen: red, green over blue, black.
    EXPECT_TRUE(Near(image.pixel(36, 236), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(image.pixel(68, 236), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(image.pixel(36, 268), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(image.pixel(68, 268), qRgb(0, 0, 0)));
    EXPECT_TRUE(Near(image.pixel(19, 236), qRgb(255, 255, 255)));
    EXPECT_TRUE(Near(image.pixel(84, 268), qRgb(255, 255, 255)));
}

// Our writer must store what the platform's recorder stores for the same calls: GDI keeps
// shape boxes with their right and bottom edge included.
TEST(WineFixture, OurWriterStoresShapesAsGdiDoes) {
    const TMetafile wine = LoadFixture("wine-gdi32.emf");
    FixedTextMetrics metrics;
    EmfCanvas ours({400, 300}, metrics);
    ours.Rectangle(10, 10, 110, 80);
    ours.RoundRect(130, 10, 250, 80, 24, 24);
    ours.Ellipse(270, 10, 390, 80);
    const std::vector<std::uint8_t>& bytes = ours.Finish();

    const auto theirs = RecordsOf(wine.Data()), mine = RecordsOf(bytes);
    for (const std::uint32_t type : {EMR_RECTANGLE, EMR_ELLIPSE}) {
        const auto a = OfType(theirs, type), b = OfType(mine, type);
        ASSERT_EQ(a.size(), 1u);
        ASSERT_EQ(b.size(), 1u);
        EXPECT_EQ(EmrBox::Box.get(b[0].Bytes), EmrBox::Box.get(a[0].Bytes)) << "record type " << type;
    }
    const auto a = OfType(theirs, EMR_ROUNDRECT), b = OfType(mine, EMR_ROUNDRECT);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(EmrRoundRect::Box.get(b[0].Bytes), EmrRoundRect::Box.get(a[0].Bytes));
    EXPECT_EQ(EmrRoundRect::Corner.get(b[0].Bytes), EmrRoundRect::Corner.get(a[0].Bytes));
}

// ---- LibreOffice (libreoffice-draw.svg is the drawing; the picture is cropped to it)

TEST(LibreOfficeFixture, HoldsEmfPlusCommentsThatThePlayerPassesOver) {
    const TMetafile emf = LoadFixture("libreoffice-draw.emf");
    const auto comments = OfType(RecordsOf(emf.Data()), EMR_GDICOMMENT);
    ASSERT_EQ(comments.size(), 3u);
    for (const EmfRecord& c : comments) {
        const ConstBytes data = c.Bytes.subspan(EmrGdiComment::kData);
        EXPECT_EQ(std::string(data.begin(), data.begin() + 4), "EMF+");
    }
    RecordingCanvas canvas;
    ASSERT_TRUE(PlayEnhMetafile(canvas, emf.Data(), {0, 0, emf.Width(), emf.Height()}));
    const auto texts = canvas.Find("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "LibreOffice");
    EXPECT_EQ(texts[0].Font.Name, "Liberation Sans");
    EXPECT_EQ(texts[0].Font.Height, -28); // 7.41 mm
}

TEST(LibreOfficeFixture, PictureHasEachShapeInItsPlace) {
    const TMetafile emf = LoadFixture("libreoffice-draw.emf");
    // 98.55 x 72.09 mm: the drawing's extent, from the triangle's outline to the text.
    EXPECT_EQ(emf.Width(), 372);
    EXPECT_EQ(emf.Height(), 272);
    const QImage image = Play(emf);

    // The drawing's (x, y) lies at (x - 13.8, y - 13.8) here.
    EXPECT_TRUE(Near(image.pixel(56, 30), qRgb(0xFF, 0x80, 0x00)));  // triangle
    EXPECT_TRUE(Near(image.pixel(8, 10), qRgb(0, 0, 0)));            // its outline, left
    EXPECT_TRUE(Near(image.pixel(196, 51), qRgb(0x33, 0x66, 0xCC))); // square
    EXPECT_TRUE(Near(image.pixel(147, 51), qRgb(0x33, 0x66, 0xCC)));
    EXPECT_TRUE(Near(image.pixel(143, 51), qRgb(255, 255, 255)));
    EXPECT_TRUE(Near(image.pixel(326, 51), qRgb(0xCC, 0, 0))); // ellipse
    EXPECT_TRUE(Near(image.pixel(326, 90), qRgb(255, 255, 255)));

    // The curve, 4 wide: through its middle point (the drawing's 170, 200), high on its
    // right hump and down again at its end.
    EXPECT_GT(CountNear(image, 150, 180, 163, 193, qRgb(0, 100, 0)), 10);
    EXPECT_GT(CountNear(image, 205, 118, 245, 135, qRgb(0, 100, 0)), 40);
    EXPECT_GT(CountNear(image, 275, 175, 292, 195, qRgb(0, 100, 0)), 10);
    EXPECT_EQ(CountNear(image, 200, 150, 240, 175, qRgb(0, 100, 0)), 0);

    // Text on the baseline at the drawing's y = 270.
    EXPECT_GT(CountIf(image, 6, 230, 160, 262, IsDark), 500);
    EXPECT_EQ(CountIf(image, 6, 262, 160, 272, IsDark), 0);
    EXPECT_EQ(CountIf(image, 170, 200, 372, 272, IsDark), 0);
}

} // namespace
