// kovet render and kovet emfdump, run as a user runs them; outside readers (poppler) confirm
// that the PDF holds the page and its texts.

#include "CliRun.h"

#include "ExternalTool.h"
#include "storage/Bytes.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace clitest;
using kovet::test::Tool;

namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

} // namespace

TEST(RenderCommand, PicturesHaveThePageSizeTimesTheScale) {
    const TempDir dir;
    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "page.png").string()}).status, 0);
    const auto png = ReadFile(dir / "page.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(be32(png, 16), 816u);
    EXPECT_EQ(be32(png, 20), 1056u);

    const RunResult half = Kovet({"render", kInvoice, "-o", (dir / "half.bmp").string(), "--scale", "0.5"});
    ASSERT_EQ(half.status, 0) << half.err;
    EXPECT_TRUE(half.err.empty()) << half.err;
    const auto bmp = ReadFile(dir / "half.bmp");
    using kovet::readLE;
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(readLE<std::int32_t>(bmp, 18), 408);
    EXPECT_EQ(readLE<std::int32_t>(bmp, 22), 528);
    EXPECT_EQ(readLE<std::uint16_t>(bmp, 28), 24) << "a 24-bit bitmap";

    const RunResult gif = Kovet({"render", kInvoice, "-o", (dir / "half.gif").string(), "--scale", "0.5"});
    ASSERT_EQ(gif.status, 0) << gif.err;
    EXPECT_TRUE(gif.err.empty()) << gif.err;
    const auto gifBytes = ReadFile(dir / "half.gif");
    ASSERT_GT(gifBytes.size(), 13u);
    EXPECT_EQ(std::string(gifBytes.begin(), gifBytes.begin() + 6), "GIF89a");
    EXPECT_EQ(readLE<std::uint16_t>(gifBytes, 6), 408);
    EXPECT_EQ(readLE<std::uint16_t>(gifBytes, 8), 528);
    EXPECT_EQ(gifBytes.back(), 0x3B) << "the trailer closes the file";

    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "odd.png").string(), "--scale", "0.3"}).status, 0);
    const auto odd = ReadFile(dir / "odd.png");
    EXPECT_EQ(be32(odd, 16), 244u); // trunc(816 x 0.3)
    EXPECT_EQ(be32(odd, 20), 316u); // trunc(1056 x 0.3)
}

TEST(RenderCommand, MetafileExportIsWalkedByEmfdump) {
    const TempDir dir;
    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "page.emf").string(), "--design"}).status, 0);
    const auto emf = ReadFile(dir / "page.emf");
    using kovet::readLE;
    EXPECT_EQ(readLE<std::uint32_t>(emf, 0), 1u);           // EMR_HEADER
    EXPECT_EQ(readLE<std::uint32_t>(emf, 40), 0x464D4520u); // " EMF"
    EXPECT_EQ(readLE<std::uint32_t>(emf, 48), emf.size());  // nBytes
    EXPECT_EQ(readLE<std::int32_t>(emf, 24), 0);            // rclFrame: the page in 0.01 mm
    EXPECT_EQ(readLE<std::int32_t>(emf, 32), 21590);
    EXPECT_EQ(readLE<std::int32_t>(emf, 36), 27940);

    const RunResult dump = Kovet({"emfdump", (dir / "page.emf").string()});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(dump.out.rfind("\n[Enhanced Metafile]\nTotal Size =\t\t" + std::to_string(emf.size()) + "\n", 0), 0u);
    EXPECT_NE(dump.out.find("\nszlDevice =\t\t1920\n"), std::string::npos);
    EXPECT_NE(dump.out.find("\nEMR_EXTTEXTOUTW\n"), std::string::npos);
    EXPECT_NE(dump.out.find("\nEMR_STRETCHDIBITS\n"), std::string::npos) << "the logo";
    EXPECT_NE(dump.out.find("\nEMR_ROUNDRECT\n"), std::string::npos);
    EXPECT_EQ(dump.out.find("EMR_EOF"), std::string::npos) << "the end record is not listed";
}

TEST(RenderCommand, PdfAndSvgAreVectorPagesOfThePageSize) {
    const TempDir dir;
    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "page.pdf").string()}).status, 0);
    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "page.svg").string(), "--no-shading"}).status, 0);
    const std::string svg = ReadText(dir / "page.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 816 1056\""), std::string::npos);

    const auto info = Tool("pdfinfo " + ShellQuote((dir / "page.pdf").string()));
    if (!info) GTEST_SKIP() << "poppler-utils are not installed";
    EXPECT_NE(info->find("612 x 792 pts"), std::string::npos) << *info;
    const auto text = Tool("pdftotext " + ShellQuote((dir / "page.pdf").string()) + " -");
    ASSERT_TRUE(text);
    for (const char* expected : {"INVOICE", "Northwind Supply Co.", "BILL TO", "Total due", "Thank you!"}) {
        EXPECT_NE(text->find(expected), std::string::npos) << expected;
    }
    // poppler rasterises the page at 48 dpi: half the page's pixels.
    ASSERT_TRUE(Tool("pdftoppm -r 48 -png -singlefile " + ShellQuote((dir / "page.pdf").string()) + " " +
                     ShellQuote((dir / "poppler").string())));
    const auto raster = ReadFile(dir / "poppler.png");
    EXPECT_EQ(be32(raster, 16), 408u);
    EXPECT_EQ(be32(raster, 20), 528u);
}

TEST(RenderCommand, UsageAndFailures) {
    const TempDir dir;
    const std::string out = (dir / "x.png").string();
    EXPECT_EQ(Kovet({"render", kInvoice}).status, 2);
    EXPECT_EQ(Kovet({"render", kInvoice, "-o", (dir / "x.tif").string()}).status, 2);
    EXPECT_EQ(Kovet({"render", kInvoice, "-o", out, "--scale", "0"}).status, 2);
    EXPECT_EQ(Kovet({"render", kInvoice, "-o", out, "--scale", "abc"}).status, 2);
    EXPECT_EQ(Kovet({"emfdump"}).status, 2);
    const RunResult missing = Kovet({"render", (dir / "none.kvt").string(), "-o", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(Kovet({"emfdump", (dir / "none.emf").string()}).status, 1);
}
