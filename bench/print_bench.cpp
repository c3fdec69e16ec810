// Printing a batch of filled pages into one PDF, as `kovet fill FORM --data ... -o out.pdf`
// does: before each page the entered values are cleared and that page's field data file is
// loaded. The same batch of the same form without its logo is the baseline, so the ratio is
// what the logo adds to a page.
#include "Application.h"
#include "Ratios.h"

#include "display/KVTImage.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kovet::bench {
namespace {

constexpr std::int32_t kPages = 20;
constexpr std::int32_t kDataFiles = 4;
constexpr std::int32_t kItemRows = 12;

void writeLE32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}

// A 24-bit bitmap of 176 x 120 pixels, about the largest a logo record holds: a shaded tile,
// a light band and a disc, the usual make-up of a company mark.
std::vector<std::uint8_t> logoBitmap() {
    constexpr std::int32_t kWidth = 176, kHeight = 120;
    constexpr std::size_t kRow = (kWidth * 3 + 3) & ~3u, kHeaders = 54;
    std::vector<std::uint8_t> bmp(kHeaders + kRow * kHeight);
    bmp[0] = 'B', bmp[1] = 'M';
    writeLE32(bmp, 2, std::uint32_t(bmp.size()));
    writeLE32(bmp, 10, kHeaders);
    writeLE32(bmp, 14, 40);
    writeLE32(bmp, 18, kWidth);
    writeLE32(bmp, 22, kHeight);
    bmp[26] = 1, bmp[28] = 24;
    writeLE32(bmp, 34, std::uint32_t(kRow * kHeight));
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const std::int32_t dx = x - 130, dy = y - 40;
            std::uint8_t r = std::uint8_t(0x1F + y / 2), g = std::uint8_t(0x3A + y / 2), b = std::uint8_t(0x5F + y);
            if (dx * dx + dy * dy <= 400) r = 0xF0, g = 0x90, b = 0x20;
            if (const std::int32_t band = x + y - kHeight; band >= -6 && band <= 6) r = g = b = 0xFF;
            std::uint8_t* pixel = &bmp[kHeaders + std::size_t(y) * kRow + std::size_t(x) * 3];
            pixel[0] = b, pixel[1] = g, pixel[2] = r;
        }
    }
    return bmp;
}

void addField(TKVT& form, std::int16_t left, std::int16_t top, std::int16_t width, const std::string& name,
              TKVTFieldFormat format) {
    const Bytes r = form.KVTFile().Fields.AddEmpty();
    FieldRec::Left.set(r, left);
    FieldRec::Top.set(r, top);
    FieldRec::Width.set(r, width);
    FieldRec::Height.set(r, 18);
    FieldRec::Name.set(r, name);
    FieldRec::Format.set(r, format);
    FieldRec::FontName.set(r, "Arial");
    FieldRec::FontSize.set(r, 10);
    FieldRec::Decimals.set(r, 2);
    FieldRec::CtlOutline.set(r, 1);
}

void addText(TKVT& form, std::int16_t left, std::int16_t top, const std::string& text) {
    std::vector<std::uint8_t> rec(std::size_t(TextItemSize(text.size())));
    ItemHeader::ItemSize.set(rec, TextItemSize(text.size()));
    ObjectRec::Left.set(rec, left);
    ObjectRec::Top.set(rec, top);
    ObjectRec::Width.set(rec, 300);
    ObjectRec::Height.set(rec, 16);
    TextRec::FontName.set(rec, "Arial");
    TextRec::FontHeight.set(rec, -12);
    TextRec::Text.set(rec, text);
    form.KVTFile().Texts.Add(rec);
}

// An invoice-like Letter page: a heading, a frame, customer fields and item rows of
// quantity, description, price and amount; with or without the logo in its corner.
void buildInvoice(TKVT& form, bool withLogo) {
    const Bytes frame = form.KVTFile().Frames.AddEmpty();
    ObjectRec::Left.set(frame, 24);
    ObjectRec::Top.set(frame, 24);
    ObjectRec::Width.set(frame, 768);
    ObjectRec::Height.set(frame, 1008);
    FrameRec::OuterColor.set(frame, 0x5F3A1F);
    FrameRec::Thickness.set(frame, 2);
    if (withLogo) {
        const std::vector<std::uint8_t> picture = logoBitmap();
        std::vector<std::uint8_t> rec(std::size_t(LogoItemSize(std::int32_t(picture.size()))));
        ItemHeader::ItemSize.set(rec, LogoItemSize(std::int32_t(picture.size())));
        ObjectRec::Left.set(rec, 48);
        ObjectRec::Top.set(rec, 48);
        ObjectRec::Width.set(rec, 176);
        ObjectRec::Height.set(rec, 120);
        LogoRec::PictureType.set(rec, ptBitmap);
        LogoRec::Scaled.set(rec, 1);
        LogoRec::DataSize.set(rec, std::int32_t(picture.size()));
        std::copy(picture.begin(), picture.end(), rec.begin() + LogoRec::DataOffset);
        form.KVTFile().Logos.Add(rec);
    }
    addText(form, 240, 48, "Northwind Supply Co.");
    addText(form, 240, 68, "1200 Harbor Avenue, Suite 300");
    addField(form, 600, 48, 160, "InvoiceNo", lfoText);
    addField(form, 600, 70, 160, "InvoiceDate", lfoFullDate);
    addField(form, 48, 200, 320, "CustomerName", lfoText);
    addField(form, 48, 220, 320, "Street", lfoText);
    addField(form, 48, 240, 200, "City", lfoText);
    addField(form, 260, 240, 100, "Zip", lfoZipCode);
    for (std::int32_t row = 0; row < kItemRows; ++row) {
        const std::int16_t top = std::int16_t(320 + 24 * row);
        const std::string n = std::to_string(row + 1);
        addField(form, 48, top, 50, "Qty" + n, lfoInteger);
        addField(form, 110, top, 380, "Item" + n, lfoText);
        addField(form, 500, top, 120, "UnitPrice" + n, lfoDollar);
        addField(form, 640, top, 120, "Amount" + n, lfoDollar);
    }
    addField(form, 640, 640, 120, "Total", lfoDollar);
}

// Field data files of different invoices, in a folder of their own for the run.
class DataFiles {
public:
    DataFiles()
        : folder_(std::filesystem::temp_directory_path() / ("kovet_print_bench_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
        for (std::int32_t i = 0; i < kDataFiles; ++i) {
            const auto marker = [](const std::string& name) { return '\x01' + name; };
            std::vector<std::string> lines = {marker("InvoiceNo"),    "INV-" + std::to_string(1000 + i),
                                              marker("InvoiceDate"),  "03/1" + std::to_string(i) + "/2025",
                                              marker("CustomerName"), "Customer " + std::to_string(i),
                                              marker("Street"),       std::to_string(10 + i) + " Harbor Avenue",
                                              marker("City"),         "Portland",
                                              marker("Zip"),          "97209"};
            double total = 0;
            for (std::int32_t row = 0; row < kItemRows; ++row) {
                const std::string n = std::to_string(row + 1);
                const double quantity = 1 + (row + i) % 7, price = 2.5 + row * 1.25 + i;
                total += quantity * price;
                for (const std::string& line :
                     {marker("Qty" + n), std::to_string(int(quantity)), marker("Item" + n),
                      "Part " + n + " of order " + std::to_string(i), marker("UnitPrice" + n), std::to_string(price),
                      marker("Amount" + n), std::to_string(quantity * price)})
                    lines.push_back(line);
            }
            lines.push_back(marker("Total"));
            lines.push_back(std::to_string(total));
            files_.push_back(folder_ / ("invoice" + std::to_string(i) + ".kvf"));
            WriteFieldDataFile(files_.back(), lines);
        }
    }
    ~DataFiles() { std::filesystem::remove_all(folder_); }
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

    const std::filesystem::path& File(std::int32_t page) const { return files_[std::size_t(page % kDataFiles)]; }
    std::filesystem::path Output() const { return folder_ / "batch.pdf"; }

private:
    std::filesystem::path folder_;
    std::vector<std::filesystem::path> files_;
};

void printBatch(benchmark::State& state, bool withLogo) {
    application();
    const DataFiles data;
    TKVT form;
    buildInvoice(form, withLogo);
    TKVTImage image;
    image.SetKVT(form);
    for (auto _ : state) {
        // As kovet fill writes a batch: the document made in memory, then written safely.
        image.ExportPdf(data.Output(), kPages, [&](std::int32_t page) {
            image.Reload();
            image.LoadFieldData(data.File(page));
        });
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kPages);
}

void BM_PrintBatchWithLogo(benchmark::State& state) {
    printBatch(state, true);
}
BENCHMARK(BM_PrintBatchWithLogo)->Unit(benchmark::kMillisecond);

void BM_PrintBatchWithoutLogo(benchmark::State& state) {
    printBatch(state, false);
}
BENCHMARK(BM_PrintBatchWithoutLogo)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    AddRatio("print 20 filled pages with a logo / without", "BM_PrintBatchWithLogo", "BM_PrintBatchWithoutLogo",
             "<= 1.1");
    return true;
}();

} // namespace
} // namespace kovet::bench
