// kovet fill and kovet print, run as a user runs them.

#include "CliRun.h"
#include "ExternalTool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

using namespace clitest;
using kovet::test::Tool;

namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";
} // namespace

TEST(FillCommand, DumpShowsEveryFieldsDisplayTextInFieldOrder) {
    const RunResult r =
        Kovet({"fill", kInvoice, "--set", "CustomerName=Zoë Ådahl", "--set", "Shipping=1234.5", "--set", "TaxRate=8.25",
               "--set", "InvoiceDate=7/4/26", "--set", "Paid=X", "--set", "Notes=one\\ntwo", "--dump"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("InvoiceNo\t\n", 0), 0u) << "the first field comes first";
    EXPECT_EQ(Dumped(r.out, "CustomerName"), "Zoë Ådahl");
    EXPECT_EQ(Dumped(r.out, "Shipping"), "$1,234.50");
    EXPECT_EQ(Dumped(r.out, "TaxRate"), "8.25%");
    EXPECT_EQ(Dumped(r.out, "InvoiceDate"), "07/04/26");
    EXPECT_EQ(Dumped(r.out, "Paid"), "X");
    EXPECT_EQ(Dumped(r.out, "Notes"), "one\\ntwo");
    EXPECT_EQ(Dumped(r.out, "Subtotal"), "") << "untouched fields are empty";
}

TEST(FillCommand, FieldDataRoundTripsThroughAFile) {
    const TempDir dir;
    const std::string kvf = (dir / "values.kvf").string();
    ASSERT_EQ(
        Kovet({"fill", kInvoice, "--set", "CustomerName=Zoë", "--set", "TaxRate=12.5", "--set", "Paid=X", "-o", kvf})
            .status,
        0);
    const std::string text = ReadText(kvf);
    EXPECT_NE(text.find("\x01"
                        "CustomerName\r\nZo\xEB\r\n"),
              std::string::npos)
        << "Windows-1252, CR LF";
    EXPECT_NE(text.find("\x01TaxRate\r\n0.125\r\n"), std::string::npos) << "numbers as values, not as shown";
    EXPECT_EQ(text.find("\x01Subtotal"), std::string::npos) << "read-only fields are not saved";

    const RunResult back = Kovet({"fill", kInvoice, "--data", kvf, "--dump"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Dumped(back.out, "CustomerName"), "Zoë");
    EXPECT_EQ(Dumped(back.out, "TaxRate"), "12.50%");
    EXPECT_EQ(Dumped(back.out, "Paid"), "X");
}

TEST(FillCommand, ABatchOfDataFilesPrintsOnePageEach) {
    if (!Tool("pdfinfo -v")) GTEST_SKIP() << "poppler-utils not installed";
    const TempDir dir;
    for (const std::string name : {"Ada", "Grace"}) {
        ASSERT_EQ(
            Kovet({"fill", kInvoice, "--set", "CustomerName=" + name, "-o", (dir / (name + ".kvf")).string()}).status,
            0);
    }
    const std::string pdf = (dir / "batch.pdf").string();
    const RunResult r = Kovet(
        {"fill", kInvoice, "--data", (dir / "Ada.kvf").string(), "--data", (dir / "Grace.kvf").string(), "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto info = Tool("pdfinfo " + pdf);
    ASSERT_TRUE(info);
    EXPECT_NE(info->find("Pages:           2"), std::string::npos) << *info;
    const auto text = Tool("pdftotext " + pdf + " -");
    ASSERT_TRUE(text);
    const std::size_t ada = text->find("Ada"), grace = text->find("Grace");
    ASSERT_NE(ada, std::string::npos);
    ASSERT_NE(grace, std::string::npos);
    EXPECT_LT(ada, grace) << "pages in the order of the data files";
}

TEST(FillCommand, PictureOutputsAndOptions) {
    const TempDir dir;
    ASSERT_EQ(Kovet({"fill", kInvoice, "--set", "CustomerName=Ada", "-o", (dir / "page.png").string()}).status, 0);
    EXPECT_GT(ReadFile(dir / "page.png").size(), 1000u);
    ASSERT_EQ(
        Kovet({"fill", kInvoice, "-o", (dir / "page.emf").string(), "--print-options", "kvtForm,kvtFields"}).status, 0);
    const RunResult dump = Kovet({"emfdump", (dir / "page.emf").string()});
    EXPECT_EQ(dump.status, 0) << dump.err;
}

TEST(FillCommand, MistakesAreReported) {
    const TempDir dir;
    EXPECT_EQ(Kovet({"fill"}).status, 2);
    EXPECT_EQ(Kovet({"fill", kInvoice, "--set", "novalue"}).status, 2);
    EXPECT_EQ(Kovet({"fill", kInvoice, "--print-options", "kvtNothing"}).status, 2);
    EXPECT_EQ(Kovet({"fill", kInvoice, "-o", (dir / "page.txt").string()}).status, 2);
    EXPECT_EQ(Kovet({"fill", kInvoice, "--data", "a.kvf", "--data", "b.kvf", "-o", (dir / "x.kvf").string()}).status, 2)
        << "only a PDF holds several pages";

    const RunResult unknown = Kovet({"fill", kInvoice, "--set", "Nobody=1", "--dump"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err.rfind("kovet: no field is named Nobody\n", 0), 0u) << unknown.err;
    const RunResult missing = Kovet({"fill", kInvoice, "--data", (dir / "missing.kvf").string(), "--dump"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.empty());
    const std::string pdf = (dir / "batch.pdf").string();
    EXPECT_EQ(Kovet({"fill", kInvoice, "--data", (dir / "missing.kvf").string(), "-o", pdf}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "a failed batch leaves no document";
    EXPECT_EQ(Kovet({"print", kInvoice, "--printer", "no-such-printer"}).status, 1);
    const RunResult unwritable = Kovet({"fill", kInvoice, "-o", (dir / "no-such-folder" / "x.pdf").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("no-such-folder/x.pdf"), std::string::npos) << unwritable.err;
    EXPECT_EQ(unwritable.err.find("printer"), std::string::npos) << unwritable.err;
}

TEST(FillCommand, ValuesAreTakenAsTypedIntoTheirFields) {
    const RunResult r = Kovet({"fill",  kInvoice,
                               "--set", "TaxRate=8.25%",
                               "--set", "Shipping=$1,012.50",
                               "--set", "UnitPrice1=(3)",
                               "--set", "Qty1=12",
                               "--set", "DueDate=12/24/2026",
                               "--set", "DatePaid=03/27",
                               "--set", "Phone=5551234567",
                               "--set", "Zip=12345",
                               "--set", "CardNumber=4111 1111 1111 1111",
                               "--set", "Paid=yes",
                               "--dump"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Dumped(r.out, "TaxRate"), "8.25%");
    EXPECT_EQ(Dumped(r.out, "Shipping"), "$1,012.50");
    EXPECT_EQ(Dumped(r.out, "UnitPrice1"), "($3.00)");
    EXPECT_EQ(Dumped(r.out, "Qty1"), "12");
    EXPECT_EQ(Dumped(r.out, "DueDate"), "12/24/26");
    EXPECT_EQ(Dumped(r.out, "DatePaid"), "03/27");
    EXPECT_EQ(Dumped(r.out, "Phone"), "(555)123-4567");
    EXPECT_EQ(Dumped(r.out, "CardNumber"), "4111-1111-1111-1111");
    EXPECT_EQ(Dumped(r.out, "Paid"), "X");
    const RunResult unchecked = Kovet({"fill", kInvoice, "--set", "Paid=OFF", "--dump"});
    EXPECT_EQ(Dumped(unchecked.out, "Paid"), "");
}

TEST(FillCommand, ValuesThatDoNotParseAreNamedAndStopTheCommandUnlessLenient) {
    const TempDir dir;
    const std::string out = (dir / "values.kvf").string();
    const std::vector<std::string> bad = {
        "fill",  kInvoice,     "--set", "TaxRate=lots",       "--set", "DueDate=2/30/26",
        "--set", "Paid=maybe", "--set", "Phone=555-CALL-NOW", "--set", "CustomerName=Ada",
        "-o",    out};
    const RunResult strict = Kovet(bad);
    EXPECT_EQ(strict.status, 1);
    for (const char* named : {"kovet: TaxRate: 'lots' is not a number", "kovet: DueDate: '2/30/26' is not a date",
                              "kovet: Paid: 'maybe' is not a check mark", "kovet: Phone: '555-CALL-NOW' does not fit"})
        EXPECT_NE(strict.err.find(named), std::string::npos) << named << "\n" << strict.err;
    EXPECT_FALSE(fs::exists(out));

    std::vector<std::string> lenient = bad;
    lenient.push_back("--lenient");
    const RunResult r = Kovet(lenient);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("TaxRate"), std::string::npos);
    EXPECT_NE(ReadText(out).find("\x01"
                                 "CustomerName\r\nAda\r\n"),
              std::string::npos)
        << "the values that parse go in";
}

TEST(FillCommand, FieldDataGoesToStandardOutputAndPagesComeOutInColour) {
    const RunResult r = Kovet({"fill", kInvoice, "--set", "CustomerName=Ada", "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\x01"
                         "CustomerName\r\nAda\r\n"),
              std::string::npos);

    // The sample's title bar is navy: a page printed in grey would show no colour at all.
    const TempDir dir;
    ASSERT_EQ(Kovet({"fill", kInvoice, "-o", (dir / "page.pdf").string()}).status, 0);
    if (!Tool("pdftoppm -v")) GTEST_SKIP() << "poppler-utils not installed";
    ASSERT_TRUE(Tool("pdftoppm -r 24 -singlefile " + ShellQuote((dir / "page.pdf").string()) + " " +
                     ShellQuote((dir / "page").string())));
    const std::vector<std::uint8_t> ppm = ReadFile(dir / "page.ppm");
    std::size_t coloured = 0;
    // "P6\nW H\n255\n", then RGB triples.
    std::size_t at = 0;
    for (int newlines = 0; newlines < 3 && at < ppm.size(); ++at)
        newlines += ppm[at] == '\n';
    for (; at + 2 < ppm.size(); at += 3)
        coloured += ppm[at] != ppm[at + 1] || ppm[at + 1] != ppm[at + 2];
    EXPECT_GT(coloured, 100u);

    ASSERT_EQ(Kovet({"fill", kInvoice, "-o", (dir / "page.svg").string()}).status, 0);
    EXPECT_NE(ReadText(dir / "page.svg").find("<svg"), std::string::npos);
}
