#pragma once

// The designer without its windows: the one open form and everything around it (its file
// name, the snapshot that tells unsaved changes, the recent files, the copy and undelete
// buffers, the background picture, the selection, the defaults record, the view switches)
// and every file command. Windows turn events into calls of this class and repaint when it
// says that something changed; questions and dialogs go through Prompts.

#include "DesignView.h"
#include "Prompts.h"
#include "Selection.h"
#include "UndoHistory.h"

#include "convert/WordImport.h"
#include "document/Defaults.h"
#include "document/KVTFile.h"

#include <QImage>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kovet::designer {

// The name of a document that was never opened or saved as a form file.
inline constexpr char kUntitled[] = "untitled.kvt";
inline constexpr char kHistoryFileName[] = "history.dat";
inline constexpr std::size_t kHistoryLength = 8;
// The metafile a paste of a word-processor form leaves in the temporary folder.
inline constexpr char kPastedMetafileName[] = "kvtemp.emf";
inline constexpr char kNoClipboardMetafileMessage[] = "Unsupported clipboard format: the clipboard holds no metafile.";

class DesignerCore {
public:
    // `configFolder` holds "kovet.def" and "history.dat"; it is created when missing.
    DesignerCore(Prompts& prompts, std::filesystem::path configFolder);

    // Start-up: the defaults file (a version that does not match is reset and said), the
    // recent files, the snapshot of the empty document.
    void Start();
    // The file named on the command line, when the window is first shown.
    void OpenCommandLine(const std::string& name);
    // Whether the program may close: unsaved changes are offered for saving, Cancel keeps it.
    bool MayClose();
    // Shut-down: writes the recent files and the defaults (with "Start maximized").
    void Finish(bool maximized);

    TKVT& Form() { return form_; }
    const std::string& CurrentFile() const { return currentFile_; }
    const std::vector<std::string>& History() const { return history_; }
    TSelection& Selection() { return selection_; }
    TKVTDefaults& Defaults() { return defaults_; }
    TKVTFile& ClipList() { return clipList_; }
    TKVTFile& UndeleteList() { return undeleteList_; }
    const QImage& BackPicture() const { return backPicture_; }
    const TDesignView& View() const { return view_; }
    const std::filesystem::path& ConfigFolder() const { return configFolder_; }
    // What the metafile imports of this window have left: pen, fill, font, current point.
    TWordImportState& WordImportState() { return wordImport_; }

    // File commands.
    void New();
    void OpenImport();
    void Revert();
    void OpenFromHistory(const std::string& name);
    // F5: the first recent file.
    void OpenLast();
    void Save();
    void SaveAs();
    void Print();

    // Opens or imports a file by its extension; true only when it was loaded as a form.
    bool OpenFile(const std::string& name);
    // Saves or exports the document by the extension; true only for a form file. A ".pdf"
    // that is `fillable` gets the page's fields as empty form fields that any PDF reader fills in.
    bool SaveFile(const std::string& name, bool fillable = false);
    // Appends one text object per line of a text file.
    void ImportTextFile(const std::string& name);
    // The objects a word-processor form's metafile draws, at the scale, after "Clear existing
    // objects?" (Yes clears the form first); one step for undo, whatever part of it was done
    // before a failure included.
    void ImportMetafile(const std::string& name, float scale);
    // Tools > Paste MS-Word Form with the metafile the clipboard held (empty when it held
    // none): the metafile is written as "kvtemp.emf" in the temporary folder and imported at
    // the Word scale of the options.
    void PasteWordForm(ConstBytes clipboardMetafile);
    // The form as an RTF document holding the page's enhanced metafile, replacing the file
    // safely.
    void ExportRtf(const std::string& name);

    TAnswer AskSaveChanges();
    void TakeSnapshot();
    bool IsModified();
    void AddToHistory(const std::string& name);

    // The one door for changes of the document: runs `body`, and when the document's bytes
    // differ afterwards, refreshes the selection, records the step for undo, reports it and
    // says the document changed. A mergeable step (a nudge) extends the previous one of the
    // same label and selection.
    void Edit(const std::string& label, const std::function<void()>& body, bool mergeable = false);
    // The selection alone changed.
    void SelectionChanged();

    // Undo and redo of the steps that went through Edit; the document's bytes and the
    // selection come back exactly. New, Open and Revert start a new history.
    bool CanUndo() const { return undo_.CanUndo(); }
    bool CanRedo() const { return undo_.CanRedo(); }
    std::string UndoLabel() const { return undo_.UndoLabel(); }
    std::string RedoLabel() const { return undo_.RedoLabel(); }
    void Undo();
    void Redo();

    // View menu switches.
    void SetRulers(bool on);
    void SetBitmap(bool on);
    void SetImbeddedFields(bool on);

    // The print choices of the defaults record.
    TPrintChoices PrintChoices();

    // The document, the selection or the view changed: the windows paint again.
    std::function<void()> OnChanged;
    // The document's name changed.
    std::function<void()> OnFileChanged;
    // The recent files changed.
    std::function<void()> OnHistoryChanged;
    // A change went through the door.
    std::function<void(const TUndoStep& step)> OnEdited;

private:
    void changed();
    void setCurrentFile(const std::string& name);
    // The whole document was replaced (opened, reverted, new): the selection goes.
    void replaced();
    void restore(const std::vector<std::uint8_t>& bytes, const std::vector<std::int32_t>& selected);
    std::vector<std::int32_t> selectedIDs() const;
    void loadHistory();
    void saveHistory();

    Prompts& prompts_;
    std::filesystem::path configFolder_;
    TKVT form_;
    std::string currentFile_ = kUntitled;
    std::vector<std::uint8_t> snapshot_;
    std::vector<std::string> history_;
    TKVTFile clipList_, undeleteList_;
    QImage backPicture_;
    TSelection selection_;
    TKVTDefaults defaults_;
    TWordImportState wordImport_;
    TDesignView view_;
    UndoHistory undo_;
};

} // namespace kovet::designer
