// The widget's settings, where the page goes, and the page on screen, on paper and in a
// metafile.

#include "ExternalTool.h"
#include "ImageTestSupport.h"

#include "display/KVTImage.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/emf/EmfPlayer.h"

#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace kovet;
using namespace kovet::test;

namespace {

template <typename... O> TKVTDisplayOptions display(O... o) {
    return (OptionBit<TKVTDisplayOptions>(o) | ...);
}
template <typename... O> TKVTPrintOptions print(O... o) {
    return (OptionBit<TKVTPrintOptions>(o) | ...);
}

int PageCount(const std::string& pdfinfo) {
    const std::size_t at = pdfinfo.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(pdfinfo.c_str() + at + 6);
}

// The filled invoice used by the printing tests.
void FillInvoice(TKVTImage& image) {
    image.LoadFromFile(kInvoice);
    image.FieldByName("CustomerName")->SetAsString("Ada Lovelace");
    image.FieldByName("Shipping")->SetAsDouble(12.5);
    image.FieldByName("Paid")->SetAsBoolean(true);
}

QImage PrintedPage(TKVTImage& image) {
    QImage page(816, 1056, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QtCanvas canvas(page);
        image.PrintPage(canvas, image.PageRect());
    }
    return page;
}

} // namespace

TEST(ImageSettings, DefaultsAndTheAutosizeRule) {
    TKVTImage image;
    EXPECT_EQ(image.DisplayOptions(), display(kvtWaterMark, kvtWaterMarkTiled));
    EXPECT_EQ(image.PrintOptions(),
              print(kvtForm, kvtLabels, kvtFields, kvtLogos, kvtShading, kvtWater, kvtWaterTiled));
    EXPECT_EQ(image.BGColor(), clBtnShadow);
    EXPECT_EQ(image.DashColor(), clSilver);
    EXPECT_EQ(image.PrintTitle, "KVT Form");
    EXPECT_EQ(image.PaperSize, kvtLetter);
    EXPECT_EQ(image.NumCopies, 1);
    EXPECT_EQ(image.width(), 105);
    EXPECT_EQ(image.FieldByName("anything"), nullptr);

    image.SetDisplayOptions(display(kvtAutosize, kvtCenter, kvtScale));
    EXPECT_EQ(image.DisplayOptions(), display(kvtAutosize));
}

TEST(ImageSettings, ScaledPageFillsTheHeightAndCentres) {
    TKVTImage image;
    image.LoadFromFile(kInvoice);
    image.resize(600, 528);
    const TRect natural = image.GetDrawRect(true);
    EXPECT_EQ(natural.Right, 816) << "without kvtScale the page keeps its size";
    image.SetDisplayOptions(display(kvtScale));
    EXPECT_EQ(image.GetDrawRect(true).Left, 0) << "kvtCenter is needed to centre";
    EXPECT_FLOAT_EQ(image.ScreenScale(), 0.5f);
    image.SetDisplayOptions(display(kvtScale, kvtCenter));
    const TRect r = image.GetDrawRect(true);
    EXPECT_EQ(r.Left, 96);
    EXPECT_EQ(r.Right, 504);
    EXPECT_EQ(r.Bottom, 528);
    EXPECT_EQ(image.GetDrawRect(false).Left, 0);
}

TEST(ImagePrinting, ThePageRectangleFollowsResolutionAndMargins) {
    const TPrinterMetrics printer{600, 600, 75, 50};
    const TRect natural = PrintPageRect({4800, 6300}, printer, false, false, {816, 1056});
    EXPECT_EQ(natural.Right, 4800);
    const TRect exact = PrintPageRect({4800, 6300}, printer, false, true, {816, 1056});
    EXPECT_EQ(exact.Right, 5100);
    EXPECT_EQ(exact.Bottom, 6600);
    const TRect margins = PrintPageRect({4800, 6300}, printer, true, true, {816, 1056});
    EXPECT_EQ(margins.Left, -75);
    EXPECT_EQ(margins.Top, -50);
    EXPECT_EQ(margins.Width(), 5100) << "moved to the paper's corner, the page keeps its exact size";
    EXPECT_EQ(margins.Height(), 6600);
    EXPECT_EQ(PrintPageRect({4800, 6300}, {}, true, true, {816, 1056}).Right, 4800)
        << "without a set-up printer the exact options do nothing";
}

TEST(ImagePrinting, TheScreenShowsWhatThePrintedPageShows) {
    TKVTImage image;
    FillInvoice(image);
    image.SetPrintOptions(image.PrintOptions() | print(kvtFieldOutline));
    image.resize(816, 1056);
    const QImage screen = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(screen, PrintedPage(image));

    image.SetDisplayOptions(display(kvtDoublebuffer));
    image.FieldByName("CustomerName")->SetAsString("Grace Hopper");
    EXPECT_EQ(image.grab().toImage().convertToFormat(QImage::Format_RGB32), PrintedPage(image))
        << "a double-buffered page shows a changed value at once";
}

TEST(ImagePrinting, DrawLabelHandlerCanTakeOverAField) {
    TKVTImage image;
    FillInvoice(image);
    const QImage before = PrintedPage(image);
    int calls = 0;
    image.OnDrawLabel = [&](TCustomKVTImage&, const TDrawnControl& control, Canvas&, const TRect&, float,
                            bool& defaultDrawing) {
        ++calls;
        if (control.Label != nullptr && static_cast<TKVTField*>(control.Label)->Name == "CustomerName")
            defaultDrawing = false;
    };
    const QImage after = PrintedPage(image);
    EXPECT_EQ(calls, image.FieldCount());
    EXPECT_NE(before, after);
    image.FieldByName("CustomerName")->SetAsString("");
    EXPECT_EQ(PrintedPage(image), after) << "the suppressed field draws nothing at all";
}

TEST(ImagePrinting, PdfHoldsTheFilledValuesAndTheBackPage) {
    if (!Tool("pdftotext -v") && !Tool("pdfinfo -v")) GTEST_SKIP() << "poppler-utils not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath("invoice.pdf");
    TKVTImage image, back;
    FillInvoice(image);
    back.LoadFromFile(kInvoice);
    back.FieldByName("CustomerName")->SetAsString("Back Page");
    image.SetDuplexImage(&back);
    image.Duplex = kvtVertical;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        image.Print(printer);
        EXPECT_GT(image.PrinterMetrics().PixelsPerInchX, 0);
    }
    const auto info = Tool("pdfinfo " + file.toStdString());
    ASSERT_TRUE(info);
    EXPECT_EQ(PageCount(*info), 2) << *info;
    EXPECT_NE(info->find("612 x 792 pts"), std::string::npos) << *info;
    const auto text = Tool("pdftotext " + file.toStdString() + " -");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Ada Lovelace"), std::string::npos) << *text;
    EXPECT_NE(text->find("$12.50"), std::string::npos) << *text;
    EXPECT_NE(text->find("Back Page"), std::string::npos) << *text;

    image.SetDuplexImage(nullptr);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        image.PaperSize = kvtA4;
        image.Print(printer);
    }
    const auto a4 = Tool("pdfinfo " + file.toStdString());
    ASSERT_TRUE(a4);
    EXPECT_EQ(PageCount(*a4), 1) << *a4;
    EXPECT_NE(a4->find("A4"), std::string::npos) << *a4;
}

TEST(ImagePrinting, ChildLabelsAndPicturesArePrintedAtTheirPlace) {
    TKVTImage image;
    image.LoadFromFile(kInvoice);
    image.SetPrintOptions(print(kvtLabels));
    auto* label = new QLabel("Approved", &image);
    label->setGeometry(400, 500, 120, 30);
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    auto* logo = new QLabel(&image);
    logo->setPixmap(QPixmap::fromImage(picture));
    logo->setGeometry(100, 100, 40, 20);
    const QImage page = PrintedPage(image);
    EXPECT_EQ(page.pixelColor(120, 110), QColor(Qt::red)) << "the picture is stretched onto its box";
    bool inked = false;
    for (int x = 400; x < 520 && !inked; ++x)
        for (int y = 500; y < 530 && !inked; ++y)
            inked = page.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_TRUE(inked) << "the label's caption is on the page";
    label->hide();
    logo->hide();
    EXPECT_EQ(PrintedPage(image).pixelColor(120, 110), QColor(Qt::white)) << "hidden controls are not printed";
}

TEST(ImagePrinting, MetafileExportHoldsTheValues) {
    TKVTImage image;
    FillInvoice(image);
    const std::vector<std::uint8_t> bytes = image.ExportMetafileBytes();
    RecordingCanvas canvas;
    ASSERT_TRUE(PlayEnhMetafile(canvas, bytes, {0, 0, 816, 1056}));
    bool found = false;
    for (const auto& call : canvas.Calls)
        found = found || call.Text == "Ada Lovelace";
    EXPECT_TRUE(found);
}

TEST(ImagePrinting, ExactDpiMapsTheLetterPageOntoAllOf600DpiPaper) {
    TKVTImage image;
    FillInvoice(image);
    image.SetPrintOptions(image.PrintOptions() | print(kvtExactDPI));
    float scale = 0;
    TRect customer;
    image.OnDrawLabel = [&](TCustomKVTImage&, const TDrawnControl& control, Canvas&, const TRect& rect, float s,
                            bool&) {
        scale = s;
        if (control.Label != nullptr && static_cast<TKVTField*>(control.Label)->Name == "CustomerName") customer = rect;
    };
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("exact.pdf"));
    printer.setResolution(600);
    image.Print(printer);
    EXPECT_EQ(image.PrinterMetrics().PixelsPerInchX, 600);
    EXPECT_FLOAT_EQ(scale, 6.25f) << "5100 printer pixels for 816 page units";
    const TKVTField& field = *image.FieldByName("CustomerName");
    EXPECT_EQ(customer.Left, static_cast<std::int32_t>(6.25f * field.Left));
}

TEST(ImageSettings, AShownWatermarkIsNotCoveredByThePageColour) {
    TKVTImage image;
    image.LoadFromFile(kInvoice);
    image.resize(816, 1056);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(QColor(200, 0, 0));
    image.SetWatermark(tile);
    const QImage shown = image.grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(200, 0, 0)) << "the tiled watermark shows through the page";
    image.SetDisplayOptions(0);
    EXPECT_EQ(image.grab().toImage().pixelColor(5, 5), QColor(Qt::white)) << "without kvtWaterMark the page is opaque";
}

TEST(ImageSettings, ATinyWatermarkTilesTheWholePage) {
    TKVTImage image;
    image.LoadFromFile(kInvoice);
    image.resize(816, 1056);
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(QColor(0, 0, 200));
    image.SetWatermark(dot);
    const QImage shown = image.grab().toImage();
    EXPECT_EQ(shown.pixelColor(3, 3), QColor(0, 0, 200));
    EXPECT_EQ(shown.pixelColor(815, 1055), QColor(0, 0, 200));
    image.SetPrintOptions(print(kvtWater, kvtWaterTiled));
    const QImage printed = PrintedPage(image);
    EXPECT_EQ(printed.pixelColor(815, 1055), QColor(0, 0, 200)) << "on paper too (the form would cover it)";
}

TEST(ImageSettings, BytesThatAreNoFormLeaveTheShownForm) {
    TKVTImage image;
    image.LoadFromFile(kInvoice);
    const std::int32_t fields = image.FieldCount();
    const std::vector<std::uint8_t> junk(300, 0x41);
    EXPECT_ANY_THROW(image.SetKVTData(junk));
    EXPECT_EQ(image.FieldCount(), fields);
    EXPECT_NE(image.FieldByName("CustomerName"), nullptr);
}
