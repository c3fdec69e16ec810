// The main window's commands: the menus, the button bar and the keyboard command table that
// no menu shows. Items whose commands come with later versions are there, disabled.

#include "AboutBox.h"
#include "AlignPalette.h"
#include "Clipboard.h"
#include "DesignSurface.h"
#include "Icons.h"
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "PropertiesWindow.h"
#include "TabOrderDialog.h"
#include "TestFillWindow.h"

#include "designer/core/AlignCommands.h"
#include "designer/core/EditCommands.h"
#include "designer/core/ToolCommands.h"

#include <QDesktopServices>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace kovet::designer {

QAction* MainWindow::command(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys,
                             std::function<void()> run) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [this, run] { Run(run); });
    if (menu != nullptr)
        menu->addAction(action);
    else
        addAction(action);
    return action;
}

QAction* MainWindow::later(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys) {
    QAction* action = command(menu, name, caption, keys, [] {});
    action->setEnabled(false);
    return action;
}

QAction* MainWindow::toggle(QMenu* menu, const char* name, const QString& caption, bool on,
                            std::function<void(bool)> run) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(on);
    connect(action, &QAction::toggled, this, [this, run](bool checked) { Run([&] { run(checked); }); });
    menu->addAction(action);
    return action;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    command(file, "mNew", "&New", QKeySequence("Ctrl+N"), [this] { core_.New(); });
    command(file, "mOpen", "&Open / Import", QKeySequence("Ctrl+O"), [this] { core_.OpenImport(); });
    command(file, "mRevert", "Re&vert", {}, [this] { core_.Revert(); });
    QMenu* reopen = file->addMenu("&Reopen");
    reopen->menuAction()->setObjectName("mReopen");
    for (std::size_t k = 0; k < reopen_.size(); ++k) {
        QAction* entry = reopen->addAction(QString("History%1").arg(k + 1));
        entry->setObjectName(QString("mHistory%1").arg(k + 1));
        entry->setVisible(false);
        connect(entry, &QAction::triggered, this,
                [this, entry] { Run([&] { core_.OpenFromHistory(entry->text().toStdString()); }); });
        reopen_[k] = entry;
    }
    command(file, "mSave", "&Save", QKeySequence("Ctrl+S"), [this] { core_.Save(); });
    command(file, "mSaveAs", "Save &As / Export", {}, [this] { core_.SaveAs(); });
    command(file, "mSaveAll", "Save A&ll", {}, [this] { core_.Save(); })->setVisible(false);
    command(file, "mClose", "&Close", {}, [this] { core_.New(); });
    command(file, "mCloseAll", "Clos&e All", {}, [this] { core_.New(); })->setVisible(false);
    command(file, "mPrint", "&Print", QKeySequence("Ctrl+P"), [this] { core_.Print(); });
    command(file, "mExit", "E&xit", {}, [this] { close(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    undo_ = command(edit, "mUndo", "&Undo", QKeySequence("Alt+Backspace"), [this] { core_.Undo(); });
    redo_ = command(edit, "mRedo", "&Redo", QKeySequence("Ctrl+Y"), [this] { core_.Redo(); });
    edit->addSeparator();
    const struct {
        const char* name;
        const char* caption;
        const char* keys;
        std::function<void()> run;
    } editCommands[] = {
        {"mUndelete", "Undelete", "Ctrl+Z", [this] { Undelete(core_); }},
        {"mCut", "Cu&t", "Ctrl+X", [this] { Cut(core_), PublishRecords(core_.ClipList(), core_.Form()); }},
        {"mCopy", "&Copy", "Ctrl+C", [this] { Copy(core_), PublishRecords(core_.ClipList(), core_.Form()); }},
        {"mPaste", "&Paste", "Ctrl+V",
         [this] {
             TakeForeignRecords(core_.ClipList());
             Paste(core_);
         }},
        {"mDelete", "&Delete", "Del", [this] { Delete(core_); }},
        {"mSelectAll", "Select &All", "Ctrl+A", [this] { SelectAll(core_); }},
    };
    for (const auto& item : editCommands)
        editShortcuts_.emplace_back(command(edit, item.name, item.caption, {}, item.run), QKeySequence(item.keys));
    command(edit, "mTabOrder", "Field Tab &Order", {}, [this] { tabOrder_->EditTabOrder(core_); });
    command(edit, "mSelectAllText", "Select all &Text", {}, [this] { SelectAllText(core_); });
    command(edit, "mSelectAllFields", "Select All &Fields", {}, [this] { SelectAllFields(core_); });
    QMenu* view = menuBar()->addMenu("&View");
    toggle(view, "mButtonBar", "Button Bar", true, [this](bool on) { buttons_->setVisible(on); });
    toggle(view, "mStatusBar", "Status Bar", true, [this](bool on) { statusBar()->setVisible(on); });
    toggle(view, "mRulers", "&Rulers", true, [this](bool on) { core_.SetRulers(on); });
    toggle(view, "mBitmap", "&Bitmap", true, [this](bool on) { core_.SetBitmap(on); });
    toggle(view, "mImbeddedFields", "Imbedded Fields", true, [this](bool on) { core_.SetImbeddedFields(on); });
    scaledPreview_ = new QAction("&Scaled Preview", this);
    scaledPreview_->setObjectName("mScaledPreview");
    scaledPreview_->setCheckable(true);
    connect(scaledPreview_, &QAction::triggered, this, [this] {
        // The check mark has already flipped: it says what the user asked for.
        const bool on = scaledPreview_->isChecked();
        scaledPreview_->setChecked(!on);
        Run([this, on] { setPreview(on); }, true);
    });
    view->addAction(scaledPreview_);
    command(view, "mTestEditing", "&Test KVT Editing", {}, [this] { TdlgTest::Run(core_, prompts_, this); });
    command(view, "mProperties", "&Properties", QKeySequence("F11"), [this] { properties_->Toggle(); });
    command(view, "mAlign", "&Align", QKeySequence("F12"), [this] { align_->Toggle(); });

    QMenu* tools = menuBar()->addMenu("&Tools");
    command(tools, "mOptimize", "&Optimize KVT", {}, [this] { OptimizeForm(core_, prompts_); });
    command(tools, "mDeleteFields", "Delete &Fields", {}, [this] { DeleteAllFields(core_); });
    command(tools, "mSavefieldstr", "&Save field strings", {}, [this] { SaveFieldNames(core_, prompts_); });
    command(tools, "mFieldFonts", "&Change field fonts", {}, [this] { ChangeFieldFonts(core_, prompts_); });
    command(tools, "mAutosizeAllText", "Autosize All Text", {}, [this] { AutosizeAllText(core_); });
    command(tools, "mAutosizeAllFields", "Autosize All Fields", {}, [this] { AutosizeAllFields(core_); });
    command(tools, "mKVTLabelsAsFields", "&Import Fields from delphi form", {},
            [this] { ImportDelphiForm(core_, prompts_); });
    command(tools, "mPasteAsMetafile", "Paste MS-&Word Form", {}, [this] { core_.PasteWordForm(ClipboardMetafile()); });
    command(tools, "mGetData", "Generate Getdata procedure", {}, [this] { GenerateGetData(core_, prompts_); });
    // Kept in the menu as it always was; it does nothing.
    command(tools, "mDetectBitmap", "Detect Bitmap", {}, [] {});

    command(nullptr, "mOptions", "Op&tions", {}, [this] {
        if (options_->EditOptions()) redraw();
    });
    menuBar()->addAction(findChild<QAction*>("mOptions"));

    QMenu* help = menuBar()->addMenu("&Help");
    command(help, "mHelpTopics", "Help &Topics", QKeySequence("F1"), [this] { openHelp(); });
    command(help, "mSearchHelp", "&Search for help on..", {}, [this] { openHelp(); });
    command(help, "mContents", "&Contents", {}, [this] { openHelp(); });
    command(help, "mAbout", "&About..", {}, [this] { showAbout(); });
}

void MainWindow::addMenu(QMenu* menu, const char* prefix) {
    const std::pair<const char*, std::int32_t> kinds[] = {{"Text", kvtTextType}, {"Frame", kvtFrameType},
                                                          {"Line", kvtLineType}, {"Ellipse", kvtEllipseType},
                                                          {"Logo", kvtLogoType}, {"Field", kvtFieldType}};
    for (const auto& [kind, type] : kinds) {
        command(menu, (prefix + std::string(kind)).c_str(), kind, {}, [this, type = type] {
            mouse_.StartPlacing(type);
            surface_->ShowMouse();
        });
    }
}

void MainWindow::buildSurfaceMenu() {
    // The right button's menu acts on the selection as it is.
    auto* menu = new QMenu(this);
    menu->setObjectName("pmSurface");
    command(menu, "pProperties", "&Properties", {}, [this] { properties_->Toggle(); });
    QMenu* add = menu->addMenu("&Add");
    add->menuAction()->setObjectName("pAdd");
    addMenu(add, "p");
    command(menu, "pBringToFront", "Bring to &Front", {}, [this] { BringToFront(core_); });
    command(menu, "pSendToBack", "Send to &Back", {}, [this] { SendToBack(core_); });
    command(menu, "pCenterToPage", "&Center to page", {}, [this] { CenterOnPage(core_); });
    command(menu, "pTabOrder", "&Field Tab Order", {}, [this] { tabOrder_->EditTabOrder(core_); });
    QMenu* align = menu->addMenu("A&lign");
    align->menuAction()->setObjectName("pAlign");
    const struct {
        const char* name;
        const char* caption;
        void (*run)(DesignerCore&);
    } alignments[] = {{"pLeftEdges", "Left Edges", AlignLefts},
                      {"pRightEdges", "Right Edges", AlignRights},
                      {"pTopEdges", "Top Edges", AlignTops},
                      {"pBottomEdges", "Bottom Edges", AlignBottoms},
                      {"pSpaceHorizontally", "Space Horizontally", SpaceHorizontally},
                      {"pSpaceVertically", "Space Vertically", SpaceVertically}};
    for (const auto& alignment : alignments)
        command(align, alignment.name, alignment.caption, {}, [this, run = alignment.run] { run(core_); });
    surface_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(surface_, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& at) { menu->popup(surface_->mapToGlobal(at)); });
}

void MainWindow::buildButtons() {
    buttons_ = addToolBar("Buttons");
    buttons_->setObjectName("tbButtons");
    buttons_->setMovable(false);
    buttons_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const auto button = [this](const char* name, const char* icon, const QString& caption, const char* action) {
        QAction* from = findChild<QAction*>(action);
        auto* made = new QAction(DesignerIcon(icon), caption, this);
        made->setObjectName(name);
        made->setEnabled(from->isEnabled());
        connect(made, &QAction::triggered, from, &QAction::trigger);
        buttons_->addAction(made);
        return made;
    };
    button("btnNew", "document-new", "New", "mNew");
    button("btnOpen", "document-open", "Open", "mOpen");
    button("btnClose", "document-close", "Close", "mClose");
    button("btnSave", "document-save", "Save", "mSave");
    button("btnPrint", "document-print", "Print", "mPrint");
    buttons_->addSeparator();
    // "Add" drops down the Add menu: the next press on the page places the object.
    auto* objects = new QMenu(this);
    objects->setObjectName("mAddMenu");
    addMenu(objects, "a");
    auto* add = new QToolButton;
    add->setObjectName("btnAdd");
    add->setText("Add");
    add->setIcon(DesignerIcon("list-add"));
    add->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    add->setMenu(objects);
    add->setPopupMode(QToolButton::InstantPopup);
    buttons_->addWidget(add);
    button("btnProperties", "document-properties", "Properties", "mProperties");
    button("btnAlign", "format-justify-left", "Align", "mAlign");
    scaleButton_ = button("btnScale", "zoom-fit-best", "Scale", "mScaledPreview");
    buttons_->addSeparator();
    button("btnTest", "document-edit", "Test", "mTestEditing");
    button("btnHelp", "help-contents", "Help", "mContents");
    button("btnExit", "application-exit", "Exit", "mExit");
}

void MainWindow::buildCommandTable() {
    command(nullptr, "cmdProperties", "Properties", QKeySequence("Ctrl+Return"), [this] { properties_->Toggle(); });
    command(nullptr, "cmdScrollUp", "Scroll up", QKeySequence("PgUp"), [this] { scrollBy(0, -8); });
    command(nullptr, "cmdScrollDown", "Scroll down", QKeySequence("PgDown"), [this] { scrollBy(0, 8); });
    command(nullptr, "cmdScrollLeft", "Scroll left", QKeySequence("Ctrl+PgUp"), [this] { scrollBy(-8, 0); });
    command(nullptr, "cmdScrollRight", "Scroll right", QKeySequence("Ctrl+PgDown"), [this] { scrollBy(8, 0); });
    command(nullptr, "cmdOpenLast", "Open Last KVT", QKeySequence("F5"), [this] { core_.OpenLast(); });
    const struct {
        const char* name;
        const char* keys;
        std::function<void()> run;
    } moves[] = {
        {"cmdNudgeLeft", "Ctrl+Left", [this] { NudgeSelection(core_, -1, 0); }},
        {"cmdNudgeRight", "Ctrl+Right", [this] { NudgeSelection(core_, 1, 0); }},
        {"cmdNudgeUp", "Ctrl+Up", [this] { NudgeSelection(core_, 0, -1); }},
        {"cmdNudgeDown", "Ctrl+Down", [this] { NudgeSelection(core_, 0, 1); }},
        {"cmdJumpLeft", "Shift+Ctrl+Left", [this] { NudgeSelection(core_, -8, 0); }},
        {"cmdJumpRight", "Shift+Ctrl+Right", [this] { NudgeSelection(core_, 8, 0); }},
        {"cmdJumpUp", "Shift+Ctrl+Up", [this] { NudgeSelection(core_, 0, -8); }},
        {"cmdJumpDown", "Shift+Ctrl+Down", [this] { NudgeSelection(core_, 0, 8); }},
        {"cmdNarrower", "Shift+Left", [this] { ResizeSelection(core_, -1, 0); }},
        {"cmdWider", "Shift+Right", [this] { ResizeSelection(core_, 1, 0); }},
        {"cmdShorter", "Shift+Up", [this] { ResizeSelection(core_, 0, -1); }},
        {"cmdTaller", "Shift+Down", [this] { ResizeSelection(core_, 0, 1); }},
        {"cmdPrevious", "Left", [this] { SelectPrevious(core_); }},
        {"cmdPreviousUp", "Up", [this] { SelectPrevious(core_); }},
        {"cmdNext", "Right", [this] { SelectNext(core_); }},
        {"cmdNextDown", "Down", [this] { SelectNext(core_); }},
    };
    for (const auto& move : moves)
        command(nullptr, move.name, move.name, QKeySequence(move.keys), move.run);
    command(nullptr, "cmdTestFields", "Test Fields", QKeySequence("F6"),
            [this] { TdlgTest::Run(core_, prompts_, this); });
}

void MainWindow::setEditShortcuts(bool on) {
    for (const auto& [action, keys] : editShortcuts_)
        action->setShortcut(on ? keys : QKeySequence());
}

void MainWindow::openHelp() {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(guide_));
    url.setFragment("Contents");
    if (guide_.empty() || !QDesktopServices::openUrl(url))
        prompts_.Inform("The user guide cannot be shown: " +
                        (guide_.empty() ? std::string("it is not installed") : guide_));
}

void MainWindow::showAbout() {
    AboutBox(this).exec();
}

} // namespace kovet::designer
