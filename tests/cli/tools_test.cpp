// `kovet getdata`, `fields`, `optimize` and `import`: the designer's Tools commands on files.
#include "CliRun.h"
#include "DfmStream.h"
#include "FormFiles.h"

#include "document/Defaults.h"
#include "document/OpenForm.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

// A form with a frame low on the page, then a read-only field and an editable one above it.
fs::path toolsForm(const TempDir& dir) {
    TKVT form;
    std::vector<std::uint8_t> frame(kFrameSize);
    ObjectRec::Top.set(frame, 500);
    form.KVTFile().Frames.Add(frame);
    for (const auto& [name, top, readOnly] : {std::tuple{"Total", 300, 1}, std::tuple{"Name", 100, 0}}) {
        std::vector<std::uint8_t> field(kFieldSize);
        FieldRec::Name.set(field, name);
        FieldRec::Top.set(field, std::int16_t(top));
        FieldRec::Format.set(field, readOnly ? lfoDollar : lfoText);
        FieldRec::ReadOnly.set(field, std::uint8_t(readOnly));
        form.KVTFile().Fields.Add(field);
    }
    const fs::path file = dir / "form.kvt";
    form.KVTFile().SaveToFile(file);
    return file;
}

std::vector<std::int16_t> tops(const fs::path& file) {
    TKVT form;
    OpenFormFile(file.string(), form);
    std::vector<std::int16_t> result;
    for (std::int32_t i = 0; i < form.KVTFile().Count(); ++i)
        result.push_back(ItemHeader::ItemType.get(form.KVTFile().Items(i)) == kvtHeaderType
                             ? -1
                             : ObjectRec::Top.get(form.KVTFile().Items(i)));
    return result;
}

} // namespace

TEST(Tools, ProcedureAndFieldNamesComeOutAsTheDesignerWritesThem) {
    const TempDir dir;
    const fs::path form = toolsForm(dir);
    const RunResult getdata = Kovet({"getdata", form.string()});
    ASSERT_EQ(getdata.status, 0) << getdata.err;
    EXPECT_EQ(getdata.out, "procedure TForm1.GetKVTData;\r\nbegin\r\n  with KVTImage1 do\r\n  begin\r\n"
                           "    FieldByName('total').AsDouble:= \r\n    //FieldByName('name').AsString:= \r\n"
                           "  end;\r\nend;\r\n");
    const RunResult fields = Kovet({"fields", form.string(), "-o", (dir / "names.txt").string()});
    ASSERT_EQ(fields.status, 0) << fields.err;
    EXPECT_EQ(ReadText(dir / "names.txt"), "Total\r\nName\r\n");
    EXPECT_EQ(Kovet({"fields", (dir / "none.kvt").string()}).status, 1);
}

TEST(Tools, OptimizeOrdersTheObjectsTopDown) {
    const TempDir dir;
    const fs::path form = toolsForm(dir);
    const RunResult r = Kovet({"optimize", form.string(), "-o", (dir / "out.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(tops(dir / "out.kvt"), (std::vector<std::int16_t>{-1, 100, 300, 500}));
    EXPECT_EQ(Kovet({"optimize", form.string()}).status, 2);
}

TEST(Tools, ImportMakesANewFormOrGoesBehindAnother) {
    const TempDir dir;
    const std::string lines = "Name:\r\nAddress\ncaf\xC3\xA9\n";
    WriteFile(dir / "lines.txt", std::vector<std::uint8_t>(lines.begin(), lines.end()));
    const RunResult fresh = Kovet({"import", (dir / "lines.txt").string(), "-o", (dir / "new.kvt").string()});
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    TKVT imported;
    OpenFormFile((dir / "new.kvt").string(), imported);
    ASSERT_EQ(imported.KVTFile().Texts.Count(), 3);
    EXPECT_EQ(TextRec::Text.get(imported.KVTFile().Texts.Items(2)), "caf\xE9");
    EXPECT_GT(TextRec::Width.get(imported.KVTFile().Texts.Items(0)), 0);

    // Behind the objects of an existing form, which itself stays as it was.
    const fs::path form = toolsForm(dir);
    const std::vector<std::uint8_t> before = ReadFile(form);
    const RunResult into =
        Kovet({"import", (dir / "lines.txt").string(), "--into", form.string(), "-o", (dir / "into.kvt").string()});
    ASSERT_EQ(into.status, 0) << into.err;
    EXPECT_EQ(ReadFile(form), before);
    EXPECT_EQ(tops(dir / "into.kvt").size(), 7u);

    // New objects from a defaults file: its text font.
    TKVTDefaults defaults;
    TextRec::FontName.set(defaults.Text(), "Courier New");
    defaults.Save(dir / "kovet.def");
    const RunResult styled = Kovet({"import", (dir / "lines.txt").string(), "--defaults", (dir / "kovet.def").string(),
                                    "-o", (dir / "styled.kvt").string()});
    ASSERT_EQ(styled.status, 0) << styled.err;
    TKVT courier;
    OpenFormFile((dir / "styled.kvt").string(), courier);
    EXPECT_EQ(TextRec::FontName.get(courier.KVTFile().Texts.Items(0)), "Courier New");
}

TEST(Tools, ImportTakesMetafileDrawingsAndDelphiLabels) {
    const TempDir dir;
    const RunResult emf = Kovet({"import", std::string(KOVET_SOURCE_DIR) + "/tests/data/emf/wine-gdi32.emf", "--scale",
                                 "0.5", "-o", (dir / "emf.kvt").string()});
    ASSERT_EQ(emf.status, 0) << emf.err;
    TKVT drawing;
    OpenFormFile(dir / "emf.kvt", drawing);
    EXPECT_EQ(drawing.KVTFile().Frames.Count(), 2);
    EXPECT_EQ(drawing.KVTFile().Ellipses.Count(), 1);
    EXPECT_EQ(drawing.KVTFile().Lines.Count(), 1);
    EXPECT_EQ(drawing.KVTFile().Texts.Count(), 2);
    EXPECT_EQ(FrameRec::Left.get(drawing.KVTFile().Frames.Items(1)), 65); // 130 at half scale

    kovet::test::DfmStream dfm;
    dfm.Object("TForm1", "Form1").End();
    dfm.Object("TKVTLabel", "Total").Prop("Left").Int16(300).Prop("Font.Height").Int8(-11).End().End();
    dfm.End();
    WriteFile(dir / "form.dfm", dfm.Bytes());
    const RunResult labels = Kovet({"import", (dir / "form.dfm").string(), "-o", (dir / "dfm.kvt").string()});
    ASSERT_EQ(labels.status, 0) << labels.err;
    TKVT fields;
    OpenFormFile(dir / "dfm.kvt", fields);
    ASSERT_EQ(fields.KVTFile().Fields.Count(), 1);
    EXPECT_EQ(FieldRec::Name.get(fields.KVTFile().Fields.Items(0)), "Total");
    EXPECT_EQ(FieldRec::Left.get(fields.KVTFile().Fields.Items(0)), 300);
    EXPECT_EQ(FieldRec::FontSize.get(fields.KVTFile().Fields.Items(0)), 8);

    const RunResult text = Kovet({"import", (dir / "form.dfm").string(), "-o", (dir / "x.kvt").string()},
                                 "printf 'object A: TKVTLabel\nend\n' > " + ShellQuote((dir / "form.dfm").string()));
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.err, "kovet: Invalid stream format\n");
}

TEST(Tools, ImportRefusesWhatItCannotUse) {
    const TempDir dir;
    const fs::path form = toolsForm(dir);
    const RunResult kind = Kovet({"import", form.string(), "-o", (dir / "out.kvt").string()});
    EXPECT_EQ(kind.status, 2);
    EXPECT_NE(kind.err.find("kovet: cannot import .kvt; use .emf, .dfm or .txt"), std::string::npos) << kind.err;
    WriteFile(dir / "lines.txt", std::vector<std::uint8_t>{'a', '\n'});
    const RunResult scale = Kovet({"import", (dir / "lines.txt").string(), "--scale", "2", "-o", "x.kvt"});
    EXPECT_EQ(scale.status, 2);
    EXPECT_NE(scale.err.find("--scale applies to metafiles"), std::string::npos) << scale.err;
    WriteFile(dir / "old.def", std::vector<std::uint8_t>(40, 0));
    const RunResult defaults = Kovet({"import", (dir / "lines.txt").string(), "--defaults", (dir / "old.def").string(),
                                      "-o", (dir / "out.kvt").string()});
    EXPECT_EQ(defaults.status, 1);
    EXPECT_NE(defaults.err.find("old.def"), std::string::npos) << defaults.err;
    EXPECT_FALSE(fs::exists(dir / "out.kvt"));
}
