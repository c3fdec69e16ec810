#include "DesignerCore.h"

#include "convert/NewObjects.h"
#include "convert/RtfExport.h"
#include "convert/TextImport.h"

#include "display/FillablePdf.h"
#include "display/PageExport.h"
#include "display/SvgExport.h"
#include "document/OldKvt.h"
#include "document/OpenForm.h"
#include "platform/QtTextMetrics.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <QDir>
#include <QPrinter>

#include <algorithm>
#include <cstdlib>

namespace kovet::designer {
namespace {

const TFileDialog kOpenDialog{"Open / Import File",
                              "kvt",
                              {{"Kovet Files", "*.kvt"},
                               {"Bitmap Files", "*.bmp"},
                               {"GIF Files", "*.gif"},
                               {"Text Files", "*.txt"},
                               {"Metafiles", "*.emf"},
                               {"All Files", "*.*"}},
                              {}};

// The save filter of the original, then the page exports added since.
constexpr const char* kFillablePdfFiles = "Fillable PDF Files";
const TFileDialog kSaveDialog{"Save KVT File",
                              "kvt",
                              {{"KVT Files", "*.kvt"},
                               {"Bitmap Files", "*.bmp"},
                               {"Metafiles", "*.emf"},
                               {"Gif Files", "*.gif"},
                               {"Rich Text Files", "*.rtf"},
                               {"PDF Files", "*.pdf"},
                               {kFillablePdfFiles, "*.pdf"},
                               {"PNG Files", "*.png"},
                               {"SVG Files", "*.svg"}},
                              {}};

// The drawing state of a window's metafile imports starts with the platform's default font.
TWordImportState platformDrawingState() {
    const TDefaultFont font = PlatformDefaultFont();
    return TWordImportState(font.Name, font.Size);
}

// The page's picture as the metafile and picture exports write it.
TPageRenderOptions pageExportOptions(const TDesignView& view) {
    return {1.0, view.ImbeddedFields, true};
}

std::string historyText(const std::vector<std::string>& history) {
    std::string text;
    for (const std::string& name : history)
        text += name + "\r\n";
    return text;
}

} // namespace

DesignerCore::DesignerCore(Prompts& prompts, std::filesystem::path configFolder)
    : prompts_(prompts), configFolder_(std::move(configFolder)), wordImport_(platformDrawingState()) {
    form_.Designing = true;
    form_.Shading = true;
}

void DesignerCore::Start() {
    try {
        if (const std::string message = defaults_.Load(configFolder_ / kDefaultsFileName); !message.empty())
            prompts_.Inform(message);
    } catch (const Exception& error) {
        prompts_.ShowError(error.what());
    }
    loadHistory();
    TakeSnapshot();
}

void DesignerCore::OpenCommandLine(const std::string& name) {
    if (OpenFile(name)) {
        setCurrentFile(name);
        AddToHistory(name);
    }
    TakeSnapshot();
    changed();
}

bool DesignerCore::MayClose() {
    return AskSaveChanges() != TAnswer::Cancel;
}

void DesignerCore::Finish(bool maximized) {
    saveHistory();
    DefaultsRec::StartMaximized.set(defaults_.Record, maximized ? 1 : 0);
    try {
        std::filesystem::create_directories(configFolder_);
        defaults_.Save(configFolder_ / kDefaultsFileName);
    } catch (const std::exception& error) {
        prompts_.ShowError(error.what());
    }
}

void DesignerCore::New() {
    if (AskSaveChanges() == TAnswer::Cancel) return;
    form_.KVTFile().Clear();
    setCurrentFile(kUntitled);
    replaced();
    TakeSnapshot();
}

void DesignerCore::OpenImport() {
    if (AskSaveChanges() == TAnswer::Cancel) return;
    const std::optional<std::string> chosen = prompts_.OpenFileName(kOpenDialog);
    if (!chosen) return;
    const bool form = OpenFile(*chosen);
    if (form) {
        setCurrentFile(*chosen);
        AddToHistory(*chosen);
    }
    TakeSnapshot();
    replaced();
}

void DesignerCore::Revert() {
    if (prompts_.Confirm("Revert to last saved?", false) != TAnswer::Yes) return;
    OpenFile(currentFile_);
    TakeSnapshot();
    replaced();
}

void DesignerCore::OpenFromHistory(const std::string& name) {
    std::error_code error;
    if (!std::filesystem::exists(name, error)) {
        prompts_.Inform("File not found: " + name);
        return;
    }
    if (AskSaveChanges() == TAnswer::Cancel) return;
    if (OpenFile(name)) {
        setCurrentFile(name);
        AddToHistory(name);
    }
    TakeSnapshot();
    replaced();
}

void DesignerCore::OpenLast() {
    // The first entry's caption before any file was opened.
    OpenFromHistory(history_.empty() ? std::string("History1") : history_.front());
}

void DesignerCore::Save() {
    if (currentFile_ == kUntitled) {
        SaveAs();
        return;
    }
    SaveFile(currentFile_);
    TakeSnapshot();
}

void DesignerCore::SaveAs() {
    TFileDialog dialog = kSaveDialog;
    dialog.Preset = currentFile_;
    const std::optional<TChosenFile> chosen = prompts_.ChooseSaveFile(dialog);
    if (!chosen) return;
    const bool fillable =
        chosen->Filter < dialog.Filters.size() && dialog.Filters[chosen->Filter].Description == kFillablePdfFiles;
    if (SaveFile(chosen->Name, fillable)) {
        setCurrentFile(chosen->Name);
        AddToHistory(chosen->Name);
    }
    TakeSnapshot();
}

void DesignerCore::Print() {
    selection_.Clear();
    changed();
    const TPrintChoices choices = PrintChoices();
    QPrinter printer(QPrinter::HighResolution);
    SetupDesignPrinter(printer, form_, choices);
    if (!prompts_.ChoosePrinter(printer)) return;
    PrintDesign(printer, form_, choices, "Kovet: " + currentFile_);
}

bool DesignerCore::OpenFile(const std::string& name) {
    std::error_code error;
    if (!std::filesystem::exists(name, error)) return false;
    const std::string extension = LowerExtension(name);
    if (extension == ".txt") {
        ImportTextFile(name);
        return false;
    }
    if (extension == ".emf") {
        ImportMetafile(name, 1.0f);
        return false;
    }
    if (extension == ".bmp" || extension == ".gif") {
        QImage picture;
        if (!picture.load(QString::fromStdString(name))) throw EFileError("Cannot read the picture \"" + name + "\"");
        backPicture_ = picture;
        changed();
        return false;
    }
    if (extension != ".kvt") return false;

    const std::vector<std::uint8_t> bytes = ReadWholeFile(name);
    if (bytes.empty()) return false;
    if (IsCurrentFormFile(bytes)) {
        try {
            LoadFormRecords(bytes, form_.KVTFile());
        } catch (...) {
            replaced();
            throw;
        }
        replaced();
        return true;
    }
    if (prompts_.Warn("This KVT was created with an older version.  Convert it?") != TAnswer::Yes) return false;
    prompts_.ShowStatus("Converting Objects..");
    try {
        TOldKVT legacy;
        TBytesStream stream(bytes);
        legacy.LoadFromStream(stream);
        ConvertOldKVT(legacy, form_, [this](std::string_view message, std::int32_t percent) {
            prompts_.ShowProgress(std::string(message), percent);
        });
    } catch (...) {
        prompts_.HideStatus();
        replaced();
        throw;
    }
    prompts_.HideStatus();
    replaced();
    return true;
}

bool DesignerCore::SaveFile(const std::string& name, bool fillable) {
    const std::string extension = LowerExtension(name);
    if (extension == ".kvt") {
        form_.SaveToFile(name);
        return true;
    }
    if (extension == ".rtf") {
        ExportRtf(name);
        return false;
    }
    // The page as the surface shows it, fields as placeholders while they are shown.
    const TPageRenderOptions options = pageExportOptions(view_);
    if (extension == ".pdf" && fillable) {
        ExportFillablePageToFile(form_, name, options);
    } else if (extension == ".svg") {
        ExportPageSvgToFile(form_, name, options);
    } else if (const std::optional<TPageFormat> format = PageFormatForFileName(name)) {
        ExportPageToFile(form_, name, *format, options);
    }
    return false;
}

void DesignerCore::ImportTextFile(const std::string& name) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(name);
    Edit("Import text", [&] {
        QtTextMetrics metrics;
        ImportTextLines(form_, defaults_, bytes, metrics);
    });
}

void DesignerCore::ImportMetafile(const std::string& name, float scale) {
    wordImport_.Scale = scale;
    const bool clear = prompts_.Confirm("Clear existing objects?", false) == TAnswer::Yes;
    Edit("Import metafile", [&] {
        if (clear) form_.Clear();
        selection_.Clear();
        QtTextMetrics metrics;
        kovet::ImportMetafile(form_, defaults_, wordImport_, ReadWholeFile(name), scale, metrics);
    });
}

void DesignerCore::PasteWordForm(ConstBytes clipboardMetafile) {
    if (clipboardMetafile.empty()) {
        prompts_.ShowError(kNoClipboardMetafileMessage);
        return;
    }
    const std::filesystem::path file = std::filesystem::path(QDir::tempPath().toStdString()) / kPastedMetafileName;
    WriteFileAtomically(file, clipboardMetafile);
    ImportMetafile(file.string(), DefaultsRec::WordScale.get(defaults_.Record));
}

void DesignerCore::ExportRtf(const std::string& name) {
    std::vector<TDrawProblem> problems;
    const std::vector<std::uint8_t> metafile = ExportPage(form_, TPageFormat::Emf, pageExportOptions(view_), problems);
    WriteFileAtomically(name, RtfDocument(metafile));
}

TAnswer DesignerCore::AskSaveChanges() {
    if (!IsModified()) return TAnswer::No;
    const TAnswer answer = prompts_.Confirm("Save changes to " + currentFile_ + "?", true);
    if (answer == TAnswer::Yes) Save();
    return answer;
}

void DesignerCore::TakeSnapshot() {
    snapshot_ = form_.KVTData();
}

bool DesignerCore::IsModified() {
    const std::vector<std::uint8_t> now = form_.KVTData();
    // A form of its header alone is not worth a question, whatever was done to the header,
    // unless it held objects when it was saved: deleting them all is a change.
    if (now.size() <= std::size_t(kHeaderSize) && snapshot_.size() <= std::size_t(kHeaderSize)) return false;
    return now != snapshot_;
}

void DesignerCore::AddToHistory(const std::string& name) {
    const auto found =
        std::find_if(history_.begin(), history_.end(), [&](const std::string& entry) { return SameText(entry, name); });
    if (found == history_.begin() && found != history_.end()) return;
    if (found != history_.end())
        std::rotate(history_.begin(), found, found + 1);
    else
        history_.insert(history_.begin(), name);
    if (history_.size() > kHistoryLength) history_.resize(kHistoryLength);
    if (OnHistoryChanged) OnHistoryChanged();
}

void DesignerCore::Edit(const std::string& label, const std::function<void()>& body, bool mergeable) {
    std::vector<std::uint8_t> before = form_.KVTData();
    const std::vector<std::int32_t> selectedBefore = selectedIDs();
    const auto finish = [&] {
        std::vector<std::uint8_t> after = form_.KVTData();
        if (after == before) {
            // A command that only selected still shows it.
            if (selectedIDs() != selectedBefore) changed();
            return;
        }
        selection_.Refresh(form_.KVTFile());
        TUndoStep step{label, std::move(before), std::move(after), selectedBefore, selectedIDs(), mergeable};
        if (OnEdited) OnEdited(step);
        undo_.Record(std::move(step));
        changed();
    };
    try {
        body();
    } catch (...) {
        // What the body did before it failed stays, and is a change like any other.
        finish();
        throw;
    }
    finish();
}

void DesignerCore::SelectionChanged() {
    changed();
}

void DesignerCore::Undo() {
    if (!undo_.CanUndo()) return;
    const TUndoStep& step = undo_.Undo();
    restore(step.Before, step.SelectedBefore);
}

void DesignerCore::Redo() {
    if (!undo_.CanRedo()) return;
    const TUndoStep& step = undo_.Redo();
    restore(step.After, step.SelectedAfter);
}

void DesignerCore::restore(const std::vector<std::uint8_t>& bytes, const std::vector<std::int32_t>& selected) {
    TBytesStream stream(bytes);
    form_.KVTFile().LoadFromStream(stream);
    selection_.Clear();
    for (const std::int32_t id : selected)
        selection_.SelectObject(form_.KVTFile(), id);
    changed();
}

std::vector<std::int32_t> DesignerCore::selectedIDs() const {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < selection_.Count(); ++i)
        ids.push_back(selection_.ID(i));
    return ids;
}

void DesignerCore::SetRulers(bool on) {
    view_.Rulers = on;
    changed();
}

void DesignerCore::SetBitmap(bool on) {
    view_.Bitmap = on;
    changed();
}

void DesignerCore::SetImbeddedFields(bool on) {
    view_.ImbeddedFields = on;
    form_.Designing = on;
    changed();
}

TPrintChoices DesignerCore::PrintChoices() {
    return {DefaultsRec::PrintInColor.get(defaults_.Record) != 0, DefaultsRec::PrintShading.get(defaults_.Record) != 0,
            DefaultsRec::PrintExactDPI.get(defaults_.Record) != 0,
            DefaultsRec::PrintExactMargins.get(defaults_.Record) != 0};
}

void DesignerCore::changed() {
    view_.Units = TRulerUnits(std::min<std::uint8_t>(DefaultsRec::RulerUnits.get(defaults_.Record), 2));
    if (OnChanged) OnChanged();
}

void DesignerCore::setCurrentFile(const std::string& name) {
    currentFile_ = name;
    if (OnFileChanged) OnFileChanged();
}

void DesignerCore::replaced() {
    selection_.Clear();
    undo_.Clear();
    changed();
}

void DesignerCore::loadHistory() {
    history_.clear();
    try {
        const std::filesystem::path file = configFolder_ / kHistoryFileName;
        std::error_code error;
        if (std::filesystem::exists(file, error)) {
            for (std::string& line : TextFileLines(ReadWholeFile(file)))
                if (!line.empty()) history_.push_back(std::move(line));
        }
    } catch (const Exception& error) {
        prompts_.ShowError(error.what());
    }
    if (history_.size() > kHistoryLength) history_.resize(kHistoryLength);
    if (OnHistoryChanged) OnHistoryChanged();
}

void DesignerCore::saveHistory() {
    try {
        std::filesystem::create_directories(configFolder_);
        const std::string text = historyText(history_);
        WriteFileAtomically(configFolder_ / kHistoryFileName,
                            {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    } catch (const std::exception& error) {
        prompts_.ShowError(error.what());
    }
}

} // namespace kovet::designer
