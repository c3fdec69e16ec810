#include "ToolCommands.h"

#include "EditCommands.h"

#include "convert/DelphiImport.h"
#include "convert/DfmReader.h"
#include "convert/FormTools.h"
#include "platform/QtTextMetrics.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

namespace kovet::designer {
namespace {

const TFileDialog kTextFileDialog{"Save Text File", "txt", {{"Text Files", "*.txt"}, {"All Files", "*.*"}}, {}};

// Asks for a text file and writes the lines into it with CR LF ends; Cancel writes nothing.
void saveLines(Prompts& prompts, const TFileDialog& dialog, const std::vector<std::string>& lines) {
    const std::optional<std::string> chosen = prompts.SaveFileName(dialog);
    if (chosen) WriteFileAtomically(*chosen, CrLfText(lines));
}

// One undo step over the whole form that leaves nothing selected.
void editForm(DesignerCore& core, const std::string& label, const std::function<void(TKVTFile&)>& body) {
    core.Edit(label, [&] {
        core.Selection().Clear();
        body(core.Form().KVTFile());
    });
}

} // namespace

void ImportDelphiForm(DesignerCore& core, Prompts& prompts) {
    const std::optional<std::string> chosen =
        prompts.OpenFileName({"Import KVTLabels from delphi form", "dfm", {{"Delphi Form Files", "*.dfm"}}, {}});
    if (!chosen) return;
    // Read only: a form that may not be written imports as well.
    const std::string notation = ObjectResourceToText(ReadWholeFile(*chosen));
    QtTextMetrics metrics;
    editForm(core, "Import Fields",
             [&](TKVTFile& list) { ImportDelphiFields(list, core.Defaults(), notation, metrics); });
}

void GenerateGetData(DesignerCore& core, Prompts& prompts) {
    saveLines(prompts, kTextFileDialog, GetDataLines(core.Form().KVTFile()));
}

void SaveFieldNames(DesignerCore& core, Prompts& prompts) {
    TFileDialog dialog = kTextFileDialog;
    dialog.Title = "Save Field Strings";
    saveLines(prompts, dialog, FieldNameLines(core.Form().KVTFile()));
}

void OptimizeForm(DesignerCore& core, Prompts& prompts) {
    if (core.Form().KVTFile().Count() == 0) return;
    prompts.ShowStatus("Optimizing KVT");
    try {
        editForm(core, "Optimize", [&](TKVTFile& list) {
            kovet::OptimizeForm(list,
                                [&](const char* message, int percent) { prompts.ShowProgress(message, percent); });
        });
    } catch (...) {
        prompts.HideStatus();
        throw;
    }
    prompts.HideStatus();
}

void DeleteAllFields(DesignerCore& core) {
    SelectAllFields(core);
    core.Edit("Delete Fields", [&] { DeleteSelection(core); });
}

void ChangeFieldFonts(DesignerCore& core, Prompts& prompts) {
    const TDefaultFont platform = PlatformDefaultFont();
    TFontChoice start;
    start.Name = Windows1252ToUtf8(platform.Name);
    start.Size = platform.Size;
    start.Height = FontHeightForSize(platform.Size);
    const std::optional<TFontChoice> chosen = prompts.ChooseFont(start);
    if (!chosen) return;
    const TRecordFont font{Utf8ToWindows1252(chosen->Name), chosen->Style, std::uint8_t(chosen->Size), chosen->Height,
                           chosen->Color};
    QtTextMetrics metrics;
    editForm(core, "Change Field Fonts", [&](TKVTFile& list) { kovet::ChangeFieldFonts(list, font, metrics); });
}

void AutosizeAllText(DesignerCore& core) {
    QtTextMetrics metrics;
    editForm(core, "Autosize All Text", [&](TKVTFile& list) { kovet::AutosizeAllText(list, metrics); });
}

void AutosizeAllFields(DesignerCore& core) {
    QtTextMetrics metrics;
    editForm(core, "Autosize All Fields", [&](TKVTFile& list) { kovet::AutosizeAllFields(list, metrics); });
}

} // namespace kovet::designer
