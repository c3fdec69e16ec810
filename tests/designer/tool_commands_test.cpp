#include "DesignerFixture.h"
#include "FormObjects.h"

#include "designer/core/EditCommands.h"
#include "designer/core/ToolCommands.h"

namespace kovet::designer::test {
namespace {

class Tools : public DesignerTest {
protected:
    Tools() { core->Start(); }

    std::int32_t fieldCount() { return core->Form().KVTFile().Fields.Count(); }
};

TEST_F(Tools, TextFilesAreWrittenWithCrLfOnlyWhenAFileIsChosen) {
    AddField(*core, "Total", 1);
    FieldRec::ReadOnly.set(core->Form().KVTFile().Fields.Items(0), 1);
    prompts.FileNames = {path("getdata.txt"), std::nullopt, path("names.txt")};
    GenerateGetData(*core, prompts);
    EXPECT_EQ(Read(path("getdata.txt")), "procedure TForm1.GetKVTData;\r\nbegin\r\n  with KVTImage1 do\r\n  begin\r\n"
                                         "    FieldByName('total').AsString:= \r\n  end;\r\nend;\r\n");
    SaveFieldNames(*core, prompts);
    SaveFieldNames(*core, prompts);
    EXPECT_EQ(Read(path("names.txt")), "Total\r\n");
    ASSERT_EQ(prompts.Dialogs.size(), 3u);
    EXPECT_EQ(prompts.Dialogs[0].Title, "Save Text File");
    EXPECT_EQ(prompts.Dialogs[2].Title, "Save Field Strings");
    EXPECT_EQ(prompts.Dialogs[2].DefaultExtension, "txt");
    EXPECT_FALSE(core->CanUndo());
}

TEST_F(Tools, OptimizeIsOneUndoStepInsideTheStatusWindow) {
    AddFrame(*core, {0, 300, 10, 10});
    AddField(*core, "a", 1, 0, 100);
    Select(*core, {AddFrame(*core, {0, 5, 10, 10})});
    const std::vector<std::uint8_t> before = core->Form().KVTData();
    OptimizeForm(*core, prompts);
    EXPECT_EQ(BoxOf(*core, ItemHeader::ID.get(core->Form().KVTFile().Items(1)))[1], 5);
    EXPECT_EQ(core->Selection().Count(), 0);
    EXPECT_EQ(prompts.Statuses.front(), "show Optimizing KVT");
    EXPECT_EQ(prompts.Statuses.back(), "hide");
    EXPECT_EQ(core->UndoLabel(), "Optimize");
    core->Undo();
    EXPECT_EQ(core->Form().KVTData(), before);
}

TEST_F(Tools, DeletedFieldsComeBackWithUndelete) {
    AddFrame(*core, {0, 0, 10, 10});
    AddField(*core, "a", 1);
    AddField(*core, "b", 2);
    DeleteAllFields(*core);
    EXPECT_EQ(fieldCount(), 0);
    EXPECT_EQ(core->Form().KVTFile().Frames.Count(), 1);
    Undelete(*core);
    EXPECT_EQ(fieldCount(), 2);
    core->Undo();
    core->Undo();
    EXPECT_EQ(fieldCount(), 2);
}

TEST_F(Tools, AutosizeCommandsAreUndoable) {
    AddField(*core, "Total", 1);
    AutosizeAllFields(*core);
    EXPECT_EQ(FieldRec::Name.get(core->Form().KVTFile().Fields.Items(0)), "total");
    EXPECT_EQ(core->UndoLabel(), "Autosize All Fields");
    core->Undo();
    EXPECT_EQ(FieldRec::Name.get(core->Form().KVTFile().Fields.Items(0)), "Total");
}

TEST_F(Tools, FieldFontsChangeOnlyWhenTheDialogIsConfirmed) {
    AddField(*core, "Total", 1);
    prompts.Fonts = {std::nullopt, TFontChoice{"Courier New", 0x0000FF, 12, fsItalic, -16}};
    ChangeFieldFonts(*core, prompts);
    EXPECT_FALSE(core->CanUndo());
    ChangeFieldFonts(*core, prompts);
    const ConstBytes field = core->Form().KVTFile().Fields.Items(0);
    EXPECT_EQ(FieldRec::FontName.get(field), "Courier New");
    EXPECT_EQ(FieldRec::FontSize.get(field), 12);
    EXPECT_EQ(FieldRec::FontHeight.get(field), -16);
    EXPECT_EQ(FieldRec::FontStyle.get(field), fsItalic);
    EXPECT_EQ(FieldRec::FontColor.get(field), 0x0000FFu);
    EXPECT_EQ(core->UndoLabel(), "Change Field Fonts");
    // The dialog starts from the platform's default font.
    ASSERT_EQ(prompts.FontsShown.size(), 2u);
    EXPECT_FALSE(prompts.FontsShown[0].Name.empty());
    EXPECT_GT(prompts.FontsShown[0].Size, 0);
}

} // namespace
} // namespace kovet::designer::test
