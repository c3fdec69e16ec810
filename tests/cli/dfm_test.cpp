// kovet dfm2txt and kovet extract. On Delphi form files written by Free Pascal's own component
// streaming (fpc/dfmproof.pas, compiled into the build when the test runs) the text is the one
// Free Pascal's ObjectResourceToText writes, byte for byte, and the stored forms come back
// whole; on hand-built files, the names of extracted forms and the refusals.

#include "CliRun.h"
#include "DfmStream.h"
#include "ExternalTool.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

using namespace clitest;
using kovet::test::DfmStream;
using kovet::test::Tool;

namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";

// A folder of the build holding the proof's files, made for the running test; nullopt when
// fpc is not installed.
std::optional<fs::path> FreePascalForms() {
    if (!Tool("fpc -iV")) return std::nullopt;
    const fs::path dir = fs::path(KOVET_FPC_WORK_DIR) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string source = std::string(KOVET_SOURCE_DIR) + "/tests/cli/fpc/dfmproof.pas";
    const std::string folder = ShellQuote(dir.string());
    if (!Tool("fpc -v0 -FE" + folder + " -FU" + folder + " " + ShellQuote(source)))
        throw std::runtime_error("fpc failed on dfmproof.pas");
    if (!Tool(ShellQuote((dir / "dfmproof").string()) + " " + ShellQuote(kInvoice) + " " + folder))
        throw std::runtime_error("dfmproof failed");
    return dir;
}

std::set<std::string> FileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

TEST(FreePascalProof, TextIsFreePascalsObjectResourceToText) {
    const auto dir = FreePascalForms();
    if (!dir) GTEST_SKIP() << "fpc (Free Pascal) is not installed; the proof against its streaming needs it";
    for (const std::string name : {"all-kinds", "inherited"}) {
        const std::string dfm = (*dir / (name + ".dfm")).string();
        const std::string expected = ReadText(*dir / (name + ".txt"));
        const RunResult r = Kovet({"dfm2txt", dfm});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, expected) << name;
        const fs::path out = *dir / (name + ".ours");
        EXPECT_EQ(Kovet({"dfm2txt", "-o", out.string(), dfm}).status, 0);
        EXPECT_EQ(ReadText(out), expected) << name;
    }
}

TEST(FreePascalProof, ExtractRecoversTheStoredForms) {
    const auto dir = FreePascalForms();
    if (!dir) GTEST_SKIP() << "fpc (Free Pascal) is not installed; the proof against its streaming needs it";
    const fs::path forms = *dir / "forms" / "new";
    const RunResult r = Kovet({"extract", (*dir / "all-kinds.dfm").string(), "-o", forms.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::uint8_t> invoice = ReadFile(kInvoice);
    EXPECT_EQ(r.out, "KVTImage2: " + (forms / "KVTImage2.kvt").string() + " (4 bytes)\nKVTImage1: " +
                         (forms / "KVTImage1.kvt").string() + " (" + std::to_string(invoice.size()) + " bytes)\n");
    EXPECT_EQ(FileNames(forms), (std::set<std::string>{"KVTImage1.kvt", "KVTImage2.kvt"}));
    EXPECT_EQ(ReadFile(forms / "KVTImage1.kvt"), invoice);
    EXPECT_EQ(ReadText(forms / "KVTImage2.kvt"), "tiny");
    EXPECT_EQ(Kovet({"info", (forms / "KVTImage1.kvt").string()}).status, 0);
}

TEST(DfmCommands, ExtractedFormsAreNamedWithinTheFolder) {
    const TempDir dir;
    DfmStream s;
    s.Object("TForm1", "Form1").End();
    for (const char* name : {"", "..", "../evil", "Dup", "Dup", "Dup-2", "Umlaut\xC3\xBC"})
        s.Object("TKVTImage", name).Prop("KVTData").Binary({'k'}).End().End();
    s.End();
    WriteFile(dir / "host.dfm", s.Bytes());
    const RunResult r = Kovet({"extract", (dir / "host.dfm").string(), "-o", (dir / "out").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FileNames(dir / "out"), (std::set<std::string>{"unnamed.kvt", "_...kvt", "_.._evil.kvt", "Dup.kvt",
                                                             "Dup-2.kvt", "Dup-2-2.kvt", "Umlaut__.kvt"}));
    EXPECT_EQ(FileNames(dir.path()), (std::set<std::string>{"host.dfm", "out"}));
}

TEST(DfmCommands, WhatIsNoBinaryFormIsRefused) {
    const TempDir dir;
    const std::string text = "object Form1: TForm1\r\n  Left = 0\r\nend\r\n";
    WriteFile(dir / "text.dfm", std::vector<std::uint8_t>(text.begin(), text.end()));
    std::vector<std::uint8_t> cut = DfmStream().Object("TForm1", "Form1").Prop("KVTData").Binary({1, 2, 3}).Bytes();
    WriteFile(dir / "cut.dfm", cut);
    for (const std::string& file : {(dir / "text.dfm").string(), (dir / "cut.dfm").string(), kInvoice}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"dfm2txt", file}, {"extract", file, "-o", (dir / "out").string()}}) {
            const RunResult r = Kovet(args);
            EXPECT_EQ(r.status, 1) << args[0] << " " << file;
            EXPECT_EQ(r.err, "kovet: Invalid stream format\n");
            EXPECT_EQ(r.out, "");
        }
    }
    WriteFile(dir / "plain.dfm", DfmStream().Object("TForm1", "Form1").End().End().Bytes());
    const RunResult r = Kovet({"extract", (dir / "plain.dfm").string(), "-o", (dir / "out").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovet: " + (dir / "plain.dfm").string() + ": no form stored in it (no KVTData property)\n");
    EXPECT_FALSE(fs::exists(dir / "out"));
}
