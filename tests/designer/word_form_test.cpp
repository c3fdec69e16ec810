// Word-processor forms in the designer: opening a metafile, pasting one, the question about
// the objects already there, undo, the drawing state the window keeps, and the RTF export.
#include "DesignerFixture.h"

#include "convert/MetafileBuilder.h"
#include "display/PageExport.h"
#include "platform/emf/EmfRecords.h"
#include "storage/Stream.h"

#include <QDir>

#include <cstdlib>

namespace kovet::designer::test {
namespace {

using kovet::test::MetafileBuilder;

class WordForm : public DesignerTest {
protected:
    WordForm() {
        // The pasted metafile goes to the temporary folder: one of this test's own.
        ::setenv("TMPDIR", dir.c_str(), 1);
        core->Start();
    }
    ~WordForm() override { ::unsetenv("TMPDIR"); }

    std::string Metafile(const std::string& name, const MetafileBuilder& emf) {
        const std::vector<std::uint8_t> bytes = emf.Finish();
        Write(path(name), std::string(bytes.begin(), bytes.end()));
        return path(name);
    }
    // A frame at (100, 200) to (299, 299) and a text at (100, 200).
    static MetafileBuilder FrameAndText() {
        MetafileBuilder emf;
        emf.Box(EMR_RECTANGLE, {100, 200, 299, 299}).Text(100, 200, u"Name:");
        return emf;
    }
    std::int32_t Count() { return core->Form().KVTFile().Count(); }
    ConstBytes Item(std::int32_t i) { return core->Form().KVTFile().Items(i); }
};

TEST_F(WordForm, OpeningAMetafileAsksWhetherToClearAndImportsAtFullScale) {
    prompts.FileNames = {SavedForm("form.kvt")};
    core->OpenImport();
    ASSERT_EQ(Count(), 3);
    const std::string emf = Metafile("word.emf", FrameAndText());

    prompts.FileNames = {emf};
    prompts.Answers = {TAnswer::No};
    core->OpenImport();
    EXPECT_EQ(prompts.Questions, std::vector<std::string>{"Clear existing objects?"});
    ASSERT_EQ(Count(), 5) << "behind the objects there were";
    EXPECT_EQ(ObjectRec::Left.get(Item(3)), 100);
    EXPECT_EQ(ObjectRec::Top.get(Item(3)), 200);
    EXPECT_EQ(ObjectRec::Width.get(Item(3)), 200);
    EXPECT_EQ(TextRec::Text.get(Item(4)), "Name:");
    EXPECT_EQ(core->WordImportState().Scale, 1.0f);

    EXPECT_EQ(core->CurrentFile(), path("form.kvt")) << "an import keeps the form's name";

    prompts.Answers = {TAnswer::Yes};
    EXPECT_FALSE(core->OpenFile(emf));
    ASSERT_EQ(Count(), 3) << "the header and the metafile's objects alone";
    EXPECT_EQ(ItemHeader::ItemType.get(Item(1)), kvtFrameType);
    EXPECT_EQ(ItemHeader::ItemType.get(Item(2)), kvtTextType);
}

TEST_F(WordForm, AnImportIsOneStepThatUndoTakesBackWhole) {
    core->OpenFile(SavedForm("form.kvt"));
    const std::vector<std::uint8_t> before = core->Form().KVTData();
    const std::string emf = Metafile("word.emf", FrameAndText());

    prompts.Answers = {TAnswer::Yes};
    core->ImportMetafile(emf, 0.5f);
    const std::vector<std::uint8_t> after = core->Form().KVTData();
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(ObjectRec::Left.get(Item(1)), 50);
    EXPECT_EQ(ObjectRec::Left.get(Item(2)), 100) << "text is placed unscaled";
    EXPECT_EQ(core->Selection().Count(), 0);
    EXPECT_EQ(core->UndoLabel(), "Import metafile");

    core->Undo();
    EXPECT_EQ(core->Form().KVTData(), before) << "the cleared objects come back too";
    EXPECT_FALSE(core->CanUndo());
    core->Redo();
    EXPECT_EQ(core->Form().KVTData(), after);
}

TEST_F(WordForm, TheDrawingStateLastsFromOneImportToTheNext) {
    const TWordImportState& state = core->WordImportState();
    EXPECT_FALSE(state.FontName.empty()) << "the platform's default font";
    EXPECT_GT(state.FontSize, 0);

    MetafileBuilder first;
    first.Pen(PS_DOT, 2, clRed).Font(-16, 700, 0, u"Courier New").MoveTo(10, 20);
    prompts.Answers = {TAnswer::No, TAnswer::Yes};
    core->ImportMetafile(Metafile("first.emf", first), 1.0f);
    core->ImportMetafile(Metafile("second.emf", MetafileBuilder().LineTo(50, 20).Text(0, 0, u"x")), 1.0f);
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(ObjectRec::Left.get(Item(1)), 10);
    EXPECT_EQ(LineRec::Style.get(Item(1)), psDotted);
    EXPECT_EQ(LineRec::Color.get(Item(1)), clRed);
    EXPECT_EQ(TextRec::FontName.get(Item(2)), "Courier New");
    EXPECT_EQ(TextRec::FontStyle.get(Item(2)), fsBold);
}

TEST_F(WordForm, AFileThatIsNoMetafileIsReportedAndAddsNothing) {
    Write(path("fake.emf"), "GIF89a not a metafile");
    prompts.Answers = {TAnswer::No};
    EXPECT_THROW(core->OpenFile(path("fake.emf")), EWordImportError);
    EXPECT_EQ(Count(), 1);
    EXPECT_FALSE(core->CanUndo());
}

TEST_F(WordForm, APastedFormIsKeptAsKvtempAndImportedAtTheWordScale) {
    // Nothing on the clipboard: said, and nothing asked or changed.
    core->PasteWordForm({});
    EXPECT_EQ(prompts.Errors, std::vector<std::string>{kNoClipboardMetafileMessage});
    EXPECT_TRUE(prompts.Questions.empty());
    EXPECT_FALSE(core->CanUndo());

    const std::vector<std::uint8_t> emf = FrameAndText().Finish();
    prompts.Answers = {TAnswer::No};
    core->PasteWordForm(emf);
    const fs::path kept = fs::path(QDir::tempPath().toStdString()) / "kvtemp.emf";
    EXPECT_EQ(kept.parent_path(), dir);
    EXPECT_EQ(ReadWholeFile(kept), emf) << "left on disk";
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(ObjectRec::Left.get(Item(1)), 33) << "the default Word scale, 0.33";
    EXPECT_EQ(ObjectRec::Top.get(Item(1)), 66);
    EXPECT_EQ(ObjectRec::Left.get(Item(2)), 100);

    DefaultsRec::WordScale.set(core->Defaults().Record, 0.5f);
    prompts.Answers = {TAnswer::Yes};
    core->PasteWordForm(emf);
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(ObjectRec::Left.get(Item(1)), 50);
}

TEST_F(WordForm, SavingAsRtfWritesThePagesMetafileInHex) {
    core->OpenFile(SavedForm("form.kvt"));
    const std::string rtf = path("form.rtf");
    EXPECT_FALSE(core->SaveFile(rtf)) << "an export keeps the form's name";

    std::vector<std::string> lines;
    std::string text = Read(rtf);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_GT(lines.size(), 12u);
    EXPECT_EQ(lines.front(), R"({\rtf1)");
    EXPECT_EQ(lines[10], R"(\picwgoal12000\pichgoal15525 )");
    EXPECT_EQ(lines.back(), "} } } } } } }");
    std::vector<std::uint8_t> picture;
    for (std::size_t i = 11; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 128u);
        for (std::size_t k = 0; k + 1 < lines[i].size(); k += 2)
            picture.push_back(std::uint8_t(std::stoi(lines[i].substr(k, 2), nullptr, 16)));
    }
    std::vector<TDrawProblem> problems;
    EXPECT_EQ(picture, ExportPage(core->Form(), TPageFormat::Emf, {1.0, true, true}, problems))
        << "the whole metafile, from its first byte";
}

} // namespace
} // namespace kovet::designer::test
