// What every command of kovet shares: help, version, named usage errors, refusing files that
// are no form, and "-" for standard output.

#include "CliRun.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace

TEST(Conventions, HelpAndVersion) {
    const RunResult version = Kovet({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("kovet ", 0), 0u);
    const RunResult help = Kovet({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"info", "convert", "render", "emfdump", "dfm2txt", "extract", "fill", "print"}) {
        EXPECT_NE(help.out.find(std::string("kovet ") + command + " "), std::string::npos) << command;
        const RunResult own = Kovet({command, "--help"});
        EXPECT_EQ(own.status, 0) << command;
        EXPECT_EQ(own.out.rfind(std::string("Usage: kovet ") + command + " ", 0), 0u) << own.out;
        EXPECT_NE(own.out.find("--help"), std::string::npos) << command;
    }
}

TEST(Conventions, UsageErrorsSayWhatWasWrong) {
    const TempDir dir;
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"bogus"}, "kovet: unknown command 'bogus'"},
        {{}, "kovet: missing command"},
        {{"render", kInvoice, "-o", "x.png", "--scale", "big"}, "kovet: --scale needs a number"},
        {{"render", kInvoice, "-o", "x.jpg"}, "kovet: cannot write .jpg; use .bmp, .emf, .gif, .png, .pdf or .svg"},
        {{"info", "--xml", kInvoice}, "kovet: unknown option --xml"},
        {{"info"}, "kovet: missing FORM"},
        {{"convert", kInvoice, "-o"}, "kovet: missing value after '-o'"},
        {{"extract", kInvoice}, "kovet: missing -o DIR"},
        {{"fill", kInvoice, "--print-options", "kvtForm,kvtNothing"}, "kovet: unknown print option 'kvtNothing'"},
    };
    for (const auto& c : cases) {
        const RunResult r = Kovet(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(firstLine(r.err), c.message);
        EXPECT_NE(r.err.find("\nusage: kovet"), std::string::npos) << r.err;
    }
}

TEST(Conventions, FilesThatAreNoFormAreRefusedByEveryCommand) {
    const TempDir dir;
    WriteFile(dir / "letter.kvt", std::vector<std::uint8_t>(std::begin("Dear customer,\nthank you."),
                                                            std::end("Dear customer,\nthank you.") - 1));
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    png.resize(300, 0);
    WriteFile(dir / "picture.kvt", png);
    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "page.emf").string()}).status, 0);
    for (const std::string name : {"letter.kvt", "picture.kvt", "page.emf"}) {
        const std::string file = (dir / name).string();
        for (const std::vector<std::string>& args : {std::vector<std::string>{"info", file},
                                                     {"info", "--json", file},
                                                     {"convert", file, "-o", (dir / "out.kvt").string()},
                                                     {"render", file, "-o", (dir / "out.png").string()},
                                                     {"fill", file, "--dump"}}) {
            const RunResult r = Kovet(args);
            EXPECT_EQ(r.status, 1) << args[0] << " " << name;
            EXPECT_EQ(r.err, "kovet: " + file + ": not a form file\n");
            EXPECT_EQ(r.out, "");
        }
    }
    EXPECT_FALSE(fs::exists(dir / "out.kvt"));
    EXPECT_FALSE(fs::exists(dir / "out.png"));

    const RunResult notEmf = Kovet({"emfdump", kInvoice});
    EXPECT_EQ(notEmf.status, 1);
    EXPECT_EQ(notEmf.err, "kovet: " + kInvoice + ": not an enhanced metafile\n");
}

TEST(Conventions, TextOutputsGoToStandardOutputOrAFile) {
    const TempDir dir;
    const std::string out = (dir / "info.txt").string();
    const RunResult toFile = Kovet({"info", kInvoice, "-o", out});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(ReadText(out), Kovet({"info", kInvoice, "-o", "-"}).out);

    ASSERT_EQ(Kovet({"render", kInvoice, "-o", (dir / "page.emf").string()}).status, 0);
    const RunResult dump = Kovet({"emfdump", (dir / "page.emf").string(), "-o", (dir / "dump.txt").string()});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(ReadText(dir / "dump.txt"), Kovet({"emfdump", (dir / "page.emf").string()}).out);
}

// A value of kovet's own that reads like one of Qt's options stays kovet's.
TEST(Conventions, QtSeesNoneOfTheArguments) {
    const TempDir dir;
    const std::string data = "\x01"
                             "CustomerName\r\nAda\r\n";
    WriteFile(dir / "-platform", std::vector<std::uint8_t>(data.begin(), data.end()));
    const RunResult r =
        Kovet({"fill", kInvoice, "--data", "-platform", "--dump"}, "cd " + ShellQuote(dir.path().string()));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("CustomerName\tAda\n"), std::string::npos);
}
