// Pages written as GIF, read back through Qt's own GIF reader.

#include "display/PageExport.h"
#include "platform/GuiApplication.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QSet>

#include <filesystem>

using namespace kovet;

namespace {

const std::filesystem::path kSource = KOVET_SOURCE_DIR;

QImage readGif(const std::vector<std::uint8_t>& bytes) {
    return QImage::fromData(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), "GIF")
        .convertToFormat(QImage::Format_RGB32);
}

std::string signature(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.begin() + std::min<std::ptrdiff_t>(6, std::ssize(bytes)));
}

qsizetype colourCount(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// The largest difference of one channel between the pictures' pixels at the same place.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max(
                {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

Bytes addFrame(TKVT& form, std::int16_t l, std::int16_t t, std::int16_t w, std::int16_t h, TColor outer, TColor inner,
               std::uint8_t innerStyle) {
    const Bytes r = form.KVTFile().Frames.AddEmpty();
    ObjectRec::Left.set(r, l);
    ObjectRec::Top.set(r, t);
    ObjectRec::Width.set(r, w);
    ObjectRec::Height.set(r, h);
    FrameRec::OuterColor.set(r, outer);
    FrameRec::InnerColor.set(r, inner);
    FrameRec::InnerStyle.set(r, innerStyle);
    FrameRec::Thickness.set(r, 3);
    return r;
}

} // namespace

TEST(GifExport, APageOfFewColoursComesBackPixelForPixel) {
    TKVT form;
    HeaderRec::PageColor.set(form.KVTFile().Items(0), 0x00F0FAFF);
    addFrame(form, 40, 40, 300, 200, clNavy, 0x00AAFFFF, fsSolid);
    addFrame(form, 400, 60, 250, 180, clMaroon, clTeal, fsCross);
    const Bytes dashed = addFrame(form, 100, 400, 600, 300, clGreen, clWhite, fsClear);
    FrameRec::OuterStyle.set(dashed, psDashed);
    const TPageRenderOptions options{.Scale = 0.75};
    ASSERT_EQ(PageFormatForFileName("page.GIF"), TPageFormat::Gif);

    std::vector<TDrawProblem> problems;
    const QImage page = RenderPageImage(form, options, problems).convertToFormat(QImage::Format_RGB32);
    ASSERT_LE(colourCount(page), 256) << "the page must be one a GIF holds exactly";
    ASSERT_GE(colourCount(page), 5);
    const std::vector<std::uint8_t> gif = ExportPage(form, TPageFormat::Gif, options, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(signature(gif), "GIF89a");
    const QImage back = readGif(gif);
    ASSERT_EQ(back.size(), page.size());
    EXPECT_EQ(back, page);
}

TEST(GifExport, ManyColoursTakeTheNearestOfAPaletteOfTheirOwn) {
    TKVT form;
    form.SetKVTData(ReadWholeFile(kSource / "examples/invoice.kvt"));
    std::vector<TDrawProblem> problems;
    const QImage page = RenderPageImage(form, {}, problems).convertToFormat(QImage::Format_RGB32);
    ASSERT_GT(colourCount(page), 256) << "anti-aliased text gives the sample page more colours than a GIF holds";
    const QImage pageBack = readGif(ImageToGif(page));
    ASSERT_EQ(pageBack.size(), page.size());
    // The flat colours that make up the page stay as they were; only rare shades of letters'
    // edges move to a neighbour.
    QHash<QRgb, int> uses;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            ++uses[page.pixel(x, y)];
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (uses[page.pixel(x, y)] >= 500 && pageBack.pixel(x, y) != page.pixel(x, y))
                FAIL() << "the colour " << std::hex << page.pixel(x, y) << " of " << std::dec << uses[page.pixel(x, y)]
                       << " pixels came back as " << std::hex << pageBack.pixel(x, y);
    EXPECT_LE(largestDifference(page, pageBack), 16);

    // Every colour of red and green: far beyond 256, evenly spread.
    QImage ramp(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ramp.setPixel(x, y, qRgb(x, y, 128));
    const std::vector<std::uint8_t> rampGif = ImageToGif(ramp);
    EXPECT_EQ(signature(rampGif), "GIF89a");
    const QImage rampBack = readGif(rampGif);
    ASSERT_EQ(rampBack.size(), ramp.size());
    EXPECT_LE(colourCount(rampBack), 256);
    EXPECT_LE(largestDifference(ramp, rampBack), 16);
}

TEST(GifExport, SizesAtAndBeyondWhatAGifHolds) {
    QImage dot(1, 1, QImage::Format_ARGB32);
    dot.fill(qRgba(200, 10, 30, 255));
    const QImage dotBack = readGif(ImageToGif(dot));
    ASSERT_EQ(dotBack.size(), QSize(1, 1));
    EXPECT_EQ(dotBack.pixel(0, 0), qRgb(200, 10, 30));

    QImage widest(65535, 1, QImage::Format_RGB32);
    widest.fill(Qt::black);
    EXPECT_EQ(readGif(ImageToGif(widest)).size(), QSize(65535, 1));

    QImage tooWide(65536, 1, QImage::Format_RGB32);
    tooWide.fill(Qt::black);
    try {
        ImageToGif(tooWide);
        ADD_FAILURE() << "a picture of 65,536 pixels a row was written";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "The picture of 65536 x 1 pixels is larger than a GIF's 65,535 pixels a side");
    }
    EXPECT_THROW(ImageToGif(QImage()), Exception);
}
