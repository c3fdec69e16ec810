// A batch of filled pages printed into one PDF stores every picture once, however many pages
// show it.

#include "ImageTestSupport.h"

#include "display/KVTImage.h"

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>

#include <string>

using namespace kovet;
using namespace kovet::test;

namespace {

// A picture that does not compress away: a PDF that stored it again per page would grow by
// its size with every page.
QImage Speckled(int width, int height, unsigned seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            image.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    return image;
}

struct Printed {
    QByteArray Pdf;
    int ImageObjects() const { return int(Pdf.count("/Subtype /Image")); }
};

// The invoice with its bitmap logo, a picture placed on the image and a tiled watermark, each
// of the `pages` pages filled for another customer, printed in colour as one job.
Printed PrintBatch(int pages) {
    TKVTImage image;
    image.LoadFromFile(kInvoice);
    image.SetWatermark(Speckled(40, 30, 1));
    image.SetPrintOptions(image.PrintOptions() | OptionBit<TKVTPrintOptions>(kvtColor));
    auto* stamp = new QLabel(&image);
    stamp->setPixmap(QPixmap::fromImage(Speckled(160, 100, 2)));
    stamp->setGeometry(560, 880, 160, 100);
    QTemporaryDir dir;
    const QString file = dir.filePath("batch.pdf");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        image.SetupPrinter(printer);
        image.PrintDocument(printer, pages, [&](std::int32_t page) {
            image.Reload();
            image.FieldByName("CustomerName")->SetAsString("Customer " + std::to_string(page));
        });
    }
    QFile pdf(file);
    EXPECT_TRUE(pdf.open(QIODevice::ReadOnly));
    return {pdf.readAll()};
}

} // namespace

TEST(ImagePrintingBatch, PagesShareTheImagesOfLogoPictureAndWatermark) {
    const Printed one = PrintBatch(1), three = PrintBatch(3);
    EXPECT_GE(one.ImageObjects(), 3) << "logo, picture and watermark";
    EXPECT_EQ(three.ImageObjects(), one.ImageObjects());
    // The placed picture alone is 48,000 bytes that do not compress; the invoice's text and
    // lines take less than a fifth of that.
    const qsizetype perPage = (three.Pdf.size() - one.Pdf.size()) / 2;
    EXPECT_LT(perPage, 10000);
}
