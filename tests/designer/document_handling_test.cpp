// The designer's file commands through its core: what each does to the document, its name,
// the snapshot that tells unsaved changes, and the recent files.
#include "DesignerFixture.h"
#include "FormObjects.h"

#include "display/PdfFormData.h"
#include "document/OldKvt.h"
#include "document/OpenForm.h"
#include "storage/Stream.h"

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

TEST_F(DesignerTest, OpenSaveAndTheUnsavedChangesQuestion) {
    core->Start();
    const std::string form = SavedForm("invoice.kvt");
    prompts.FileNames = {form};
    core->OpenImport();
    EXPECT_EQ(core->CurrentFile(), form);
    EXPECT_EQ(core->Form().KVTFile().Count(), 3);
    EXPECT_FALSE(core->IsModified());
    EXPECT_EQ(core->History(), std::vector<std::string>{form});

    core->Edit("Move", [&] { ObjectRec::Left.set(core->Form().KVTFile().Items(1), 20); });
    EXPECT_TRUE(core->IsModified());
    // Cancel keeps everything; No lets the command go on without saving.
    prompts.Answers = {TAnswer::Cancel, TAnswer::No};
    EXPECT_FALSE(core->MayClose());
    core->New();
    EXPECT_EQ(prompts.Questions,
              (std::vector<std::string>{"Save changes to " + form + "?", "Save changes to " + form + "?"}));
    EXPECT_EQ(core->CurrentFile(), "untitled.kvt");
    EXPECT_TRUE(core->Form().IsEmpty());
}

TEST_F(DesignerTest, SavingAnUntitledDocumentAsksForANameAndExportsKeepTheName) {
    core->Start();
    core->Edit("Add", [&] { core->Form().KVTFile().Frames.AddEmpty(); });
    // Save on an untitled document is Save As; an export keeps it untitled but saved.
    prompts.FileNames = {path("page.bmp")};
    core->Save();
    EXPECT_EQ(prompts.Dialogs.at(0).Title, "Save KVT File");
    EXPECT_EQ(prompts.Dialogs.at(0).Preset, "untitled.kvt");
    EXPECT_EQ(Read(path("page.bmp")).substr(0, 2), "BM");
    EXPECT_EQ(core->CurrentFile(), "untitled.kvt");
    EXPECT_FALSE(core->IsModified());
    EXPECT_TRUE(core->History().empty()) << "only form files enter the recent files";

    for (const char* name : {"page.pdf", "page.png", "page.svg", "page.emf", "page.gif"}) {
        prompts.FileNames = {path(name)};
        core->SaveAs();
        EXPECT_GT(fs::file_size(path(name)), 100u) << name;
    }
    prompts.FileNames = {path("form.kvt")};
    core->SaveAs();
    EXPECT_EQ(core->CurrentFile(), path("form.kvt"));
    EXPECT_EQ(core->History(), std::vector<std::string>{path("form.kvt")});
    core->Edit("Add", [&] { core->Form().KVTFile().Frames.AddEmpty(); });
    core->Save();
    TKVT saved;
    OpenFormFile(path("form.kvt"), saved);
    EXPECT_EQ(saved.KVTFile().Count(), 3);
}

TEST_F(DesignerTest, TheFillablePdfFilterGivesThePageItsFieldsAsFormFields) {
    core->Start();
    AddField(*core, "Customer", 1, 40, 40);
    AddField(*core, "Total", 2, 40, 80);
    const std::size_t pdfFilter = 5, fillableFilter = 6;
    prompts.FileNames = {path("plain.pdf"), path("fillable.pdf")};
    prompts.SaveFilters = {pdfFilter, fillableFilter};
    core->SaveAs();
    core->SaveAs();
    EXPECT_EQ(prompts.Dialogs.at(1).Filters.at(fillableFilter).Description, "Fillable PDF Files");
    EXPECT_EQ(core->CurrentFile(), "untitled.kvt") << "an export";

    const std::vector<std::uint8_t> plain = ReadWholeFile(path("plain.pdf"));
    EXPECT_THROW(ReadPdfFormValues(plain.data(), plain.size()), Exception) << "no form fields";
    const std::vector<std::uint8_t> fillable = ReadWholeFile(path("fillable.pdf"));
    std::vector<std::string> names;
    for (const TPdfFieldValue& field : ReadPdfFormValues(fillable.data(), fillable.size()))
        names.push_back(field.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Customer", "Total"}));
}

TEST_F(DesignerTest, ImportsAddToTheDocumentWithoutNamingIt) {
    core->Start();
    Write(dir / "lines.txt", "First line\r\n\r\nThird line\r\n");
    prompts.FileNames = {path("lines.txt")};
    core->OpenImport();
    TKVTFile& list = core->Form().KVTFile();
    ASSERT_EQ(list.Texts.Count(), 3);
    EXPECT_EQ(TextRec::Text.get(list.Texts.Items(0)), "First line");
    EXPECT_EQ(ItemHeader::ItemSize.get(list.Texts.Items(1)), 80) << "an empty line is an empty text";
    EXPECT_EQ(TextRec::Left.get(list.Texts.Items(2)), 50);
    EXPECT_EQ(TextRec::Top.get(list.Texts.Items(2)), 50 + 2 * (13 + 4));
    EXPECT_GT(TextRec::Width.get(list.Texts.Items(0)), 40) << "sized to its text";
    EXPECT_EQ(core->CurrentFile(), "untitled.kvt");
    EXPECT_FALSE(core->IsModified()) << "an import is taken as the state to compare with";

    // A picture goes under the form; a metafile import says it is not there yet.
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(path("back.bmp"))));
    prompts.FileNames = {path("back.bmp")};
    core->OpenImport();
    EXPECT_EQ(core->BackPicture().size(), QSize(20, 10));
    core->New();
    EXPECT_FALSE(core->BackPicture().isNull()) << "New keeps the background picture";
}

TEST_F(DesignerTest, UnsavedChangesAreWhatTheBytesSayWithTheMendedComparison) {
    core->Start();
    // A form of its header alone never asks.
    core->Edit("Colour", [&] { HeaderRec::PageColor.set(core->Form().KVTFile().Items(0), 0x123456); });
    EXPECT_FALSE(core->IsModified());
    // Deleting the last objects of a saved form is a change.
    const std::string form = SavedForm("two.kvt");
    prompts.FileNames = {form};
    core->OpenImport();
    core->Edit("Delete", [&] {
        core->Form().KVTFile().Delete(2);
        core->Form().KVTFile().Delete(1);
    });
    EXPECT_TRUE(core->IsModified());
    // A form far beyond 65,520 bytes compares by its content.
    prompts.Answers = {TAnswer::No};
    core->New();
    core->Edit("Many", [&] {
        for (int i = 0; i < 2000; ++i)
            core->Form().KVTFile().Frames.AddEmpty();
    });
    core->TakeSnapshot();
    EXPECT_FALSE(core->IsModified());
}

TEST_F(DesignerTest, LegacyFormsAreConvertedOnlyWhenTheUserAgrees) {
    core->Start();
    std::vector<std::uint8_t> legacy(kOldHeaderSize);
    legacy[9] = 3; // version
    writeLE<std::int16_t>(legacy, 5, 800);
    writeLE<std::int16_t>(legacy, 7, 1035);
    Write(dir / "old.kvt", std::string(legacy.begin(), legacy.end()));
    prompts.Answers = {TAnswer::No};
    prompts.FileNames = {path("old.kvt")};
    core->OpenImport();
    EXPECT_EQ(prompts.Questions.back(), "This KVT was created with an older version.  Convert it?");
    EXPECT_EQ(core->CurrentFile(), "untitled.kvt");

    prompts.Answers = {TAnswer::Yes};
    prompts.FileNames = {path("old.kvt")};
    core->OpenImport();
    EXPECT_EQ(core->CurrentFile(), path("old.kvt"));
    EXPECT_EQ(HeaderRec::Version.get(core->Form().KVTFile().Items(0)), 5);
    EXPECT_EQ(prompts.Statuses.front(), "show Converting Objects..");
    EXPECT_EQ(prompts.Statuses.back(), "hide");
}

TEST_F(DesignerTest, AFormThatFailsToLoadLeavesNoRecordsAndNoName) {
    core->Start();
    std::string bytes = Read(SavedForm("bad.kvt"));
    bytes[kHeaderSize + 8] = 0; // the second record's type
    Write(dir / "bad.kvt", bytes);
    prompts.FileNames = {path("bad.kvt")};
    EXPECT_THROW(core->OpenImport(), Exception);
    EXPECT_EQ(core->Form().KVTFile().Count(), 0);
    EXPECT_EQ(core->CurrentFile(), "untitled.kvt");
    EXPECT_TRUE(core->History().empty());
}

TEST_F(DesignerTest, RecentFilesKeepEightMostRecentFirstAcrossRuns) {
    std::string history;
    for (int i = 1; i <= 9; ++i)
        history += path("form" + std::to_string(i) + ".kvt") + "\r\n";
    Write(dir / "config" / "history.dat", history);
    core->Start();
    ASSERT_EQ(core->History().size(), 8u);
    // The third entry, asked for in other letter case, moves to the top as it was stored.
    const std::string third = core->History()[2];
    SavedForm("form3.kvt");
    std::string upper = third;
    upper.replace(upper.size() - 9, 5, "FORM3");
    fs::rename(third, upper);
    core->OpenFromHistory(upper);
    EXPECT_EQ(core->History().front(), third);
    EXPECT_EQ(core->History().size(), 8u);
    core->Finish(false);
    const std::string written = Read(dir / "config" / "history.dat");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 8);

    DesignerCore fresh(prompts, dir / "empty-config");
    fresh.Start();
    fresh.OpenLast();
    EXPECT_EQ(prompts.Messages.back(), "File not found: History1");
}

TEST_F(DesignerTest, DefaultsOfAnotherVersionAreResetAndWrittenBackAtExit) {
    std::string record(kDefaultsSize, '\0');
    record[889] = 4;
    Write(dir / "config" / "kovet.def", record);
    core->Start();
    EXPECT_EQ(prompts.Messages, std::vector<std::string>{"Defaults have been reset due to newer record version"});
    core->Finish(true);
    const std::string written = Read(dir / "config" / "kovet.def");
    ASSERT_EQ(written.size(), kDefaultsSize);
    EXPECT_EQ(written[889], 5);
    EXPECT_EQ(written[752], 1) << "start maximized follows the window";
}

TEST_F(DesignerTest, EveryChangeGoesThroughOneDoorThatSeesItsBytes) {
    core->Start();
    std::vector<TUndoStep> steps;
    core->OnEdited = [&](const TUndoStep& step) { steps.push_back(step); };
    core->Edit("Nothing", [] {});
    core->Edit("Add frame", [&] { core->Form().KVTFile().Frames.AddEmpty(); });
    ASSERT_EQ(steps.size(), 1u) << "a step that changed nothing is no step";
    EXPECT_EQ(steps[0].Label, "Add frame");
    EXPECT_EQ(steps[0].Before.size() + kFrameSize, steps[0].After.size());
}
