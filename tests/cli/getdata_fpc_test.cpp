// The procedure `kovet getdata` writes compiles as Object Pascal: with its right-hand sides
// filled in mechanically, against a stub of the host form (fpc/getdatastub.pas).
#include "CliRun.h"
#include "ExternalTool.h"
#include "FormFiles.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace clitest;
using kovet::test::Tool;

TEST(FreePascalProof, DataProcedureCompilesInAHostForm) {
    if (!Tool("fpc -iV")) GTEST_SKIP() << "fpc (Free Pascal) is not installed; compiling the procedure needs it";
    const fs::path dir = fs::path(KOVET_FPC_WORK_DIR) / "getdata";
    fs::remove_all(dir);
    fs::create_directories(dir);

    // A field of every accessor, read-only ones ready to complete and an editable one commented.
    TKVT form;
    const std::uint8_t formats[] = {lfoText, lfoReal, lfoInteger, lfoDate, lfoCheckbox, lfoMemo, lfoComboBox};
    for (const std::uint8_t format : formats) {
        std::vector<std::uint8_t> field(kFieldSize);
        FieldRec::Name.set(field, "Field" + std::to_string(format));
        FieldRec::Format.set(field, format);
        FieldRec::ReadOnly.set(field, format == lfoText ? 0 : 1);
        form.KVTFile().Fields.Add(field);
    }
    form.KVTFile().SaveToFile(dir / "form.kvt");
    const RunResult r = Kovet({"getdata", (dir / "form.kvt").string(), "-o", (dir / "written.txt").string()});
    ASSERT_EQ(r.status, 0) << r.err;

    const std::pair<std::string, std::string> values[] = {{"AsString:= ", "'x';"},   {"AsDouble:= ", "1.5;"},
                                                          {"AsInteger:= ", "2;"},    {"AsDateTime:= ", "0;"},
                                                          {"AsBoolean:= ", "True;"}, {"AsStringList:= ", "nil;"}};
    std::istringstream lines(ReadText(dir / "written.txt"));
    std::string procedure, line;
    int completed = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (const auto& [accessor, value] : values) {
            if (line.find("//") == std::string::npos && line.ends_with(accessor)) {
                line += value;
                ++completed;
            }
        }
        procedure += line + "\n";
    }
    EXPECT_EQ(completed, 6);
    const std::vector<std::uint8_t> bytes(procedure.begin(), procedure.end());
    WriteFile(dir / "getdata.inc", bytes);
    const std::string folder = ShellQuote(dir.string());
    const std::string stub = ShellQuote(std::string(KOVET_SOURCE_DIR) + "/tests/cli/fpc/getdatastub.pas");
    EXPECT_TRUE(Tool("fpc -Mdelphi -v0 -Fi" + folder + " -FE" + folder + " -FU" + folder + " " + stub)) << procedure;
}
