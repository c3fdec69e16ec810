#include "MainWindow.h"

#include "AlignPalette.h"
#include "DesignSurface.h"
#include "OptionsDialog.h"
#include "PropertiesWindow.h"
#include "TabOrderDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace kovet::designer {

MainWindow::MainWindow(DesignerCore& core, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), core_(core), prompts_(prompts), mouse_(core) {
    setObjectName("fmMain");
    setWindowTitle(kWindowCaption);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(0);
    tabs_ = new QTabBar;
    tabs_->setObjectName("tabFiles");
    tabs_->addTab(QString::fromStdString(core_.CurrentFile()));
    layout->addWidget(tabs_);
    scroll_ = new QScrollArea;
    scroll_->setObjectName("sbDesign");
    scroll_->setBackgroundRole(QPalette::Base);
    scroll_->setStyleSheet("QScrollArea { background: white; }");
    scroll_->horizontalScrollBar()->setSingleStep(16);
    scroll_->verticalScrollBar()->setSingleStep(16);
    surface_ = new DesignSurface(core_, mouse_);
    surface_->OnPointer = [this](int x, int y) { panels_[0]->setText(QString("Coords: %1,%2").arg(x).arg(y)); };
    // As in other editors, a double click brings up the properties of what it selected (the
    // page's, on empty paper).
    surface_->OnDoubleClick = [this] {
        properties_->show();
        properties_->raise();
    };
    scroll_->setWidget(surface_);
    layout->addWidget(scroll_);
    setCentralWidget(central);

    const std::array<int, 4> widths = {150, 150, 150, 50};
    const std::array<const char*, 4> texts = {"Coords: 0,0", "Objects: 0", "KVT Size: 0", ""};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(texts[i]);
        panels_[i]->setObjectName(QString("pnlStatus%1").arg(i + 1));
        panels_[i]->setFixedWidth(widths[i]);
        statusBar()->addWidget(panels_[i]);
    }
    statusBar()->setObjectName("sbStatus");

    // The palette's buttons run their commands directly, the preview staying as it is.
    align_ = new TfmAlign(
        core_, [this](const std::function<void()>& command) { Run(command, true); }, this);
    properties_ = new TfmProp(
        core_, prompts_, [this](const std::function<void()>& command) { Run(command, true); }, this);
    options_ = new TdlgOptions(core_, prompts_, this);
    tabOrder_ = new TdlgTabOrder(this);
    buildMenus();
    buildSurfaceMenu();
    buildButtons();
    buildCommandTable();

    core_.OnChanged = [this] { redraw(); };
    core_.OnFileChanged = [this] { showFileTab(); };
    core_.OnHistoryChanged = [this] { showHistory(); };
    showHistory();
    // Shift is held as the window's key events say, wherever the keyboard is.
    QCoreApplication::instance()->installEventFilter(this);

    // A client area of 632 x 404, centred; the defaults may ask for a maximized window.
    resize(632,
           404 + menuBar()->sizeHint().height() + buttons_->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (DefaultsRec::StartMaximized.get(core_.Defaults().Record) != 0) setWindowState(Qt::WindowMaximized);
    redraw();
}

void MainWindow::ShowNote(const QString& note) {
    statusBar()->showMessage(note, 10000);
}

void MainWindow::Run(const std::function<void()>& command, bool keepPreview) {
    if (!keepPreview) setPreview(false);
    try {
        command();
    } catch (const std::exception& error) {
        // What the command changed before it failed is shown with the message.
        redraw();
        prompts_.ShowError(error.what());
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The properties window passes Shift on too, for the next press on the surface.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        (isActiveWindow() || properties_->isActiveWindow())) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The Shift key's own events carry the state from before them.
        const bool shift = key->key() == Qt::Key_Shift ? event->type() == QEvent::KeyPress
                                                       : key->modifiers().testFlag(Qt::ShiftModifier);
        mouse_.SetShiftDown(shift);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (commandLineFile_.empty()) return;
    // Once the window is up, so that questions about the file have it as their parent.
    QTimer::singleShot(0, this, [this] { Run([this] { core_.OpenCommandLine(commandLineFile_); }); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    Run([&] { mayClose = core_.MayClose(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    core_.Finish(isMaximized());
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The edit keys act on the form only while this window is active: in the properties
    // window and the dialogs they edit text.
    if (event->type() == QEvent::ActivationChange) setEditShortcuts(isActiveWindow());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (surface_->Preview()) surface_->SetPreview(true, scroll_->viewport()->size());
}

void MainWindow::setPreview(bool on) {
    if (on == surface_->Preview()) return;
    scaledPreview_->setChecked(on);
    scaleButton_->setText(on ? "Normal" : "Scale");
    const Qt::ScrollBarPolicy bars = on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    scroll_->setHorizontalScrollBarPolicy(bars);
    scroll_->setVerticalScrollBarPolicy(bars);
    if (on) core_.Selection().Clear();
    surface_->SetPreview(on, scroll_->viewport()->size());
    showCounts();
}

void MainWindow::redraw() {
    surface_->Redraw();
    showCounts();
    showUndo();
    if (properties_->isVisible()) properties_->Refresh();
}

void MainWindow::showUndo() {
    const std::string undo = core_.UndoLabel(), redo = core_.RedoLabel();
    undo_->setText(undo.empty() ? QString("&Undo") : QString::fromStdString("&Undo " + undo));
    undo_->setEnabled(core_.CanUndo());
    redo_->setText(redo.empty() ? QString("&Redo") : QString::fromStdString("&Redo " + redo));
    redo_->setEnabled(core_.CanRedo());
}

void MainWindow::showCounts() {
    TKVTFile& list = core_.Form().KVTFile();
    panels_[1]->setText(QString("Objects: %1").arg(list.Count()));
    panels_[2]->setText(QString("Size: %1").arg(list.TotalSize()));
    panels_[3]->clear();
}

void MainWindow::showFileTab() {
    tabs_->setTabText(0, QString::fromStdString(core_.CurrentFile()));
}

void MainWindow::showHistory() {
    const std::vector<std::string>& history = core_.History();
    for (std::size_t k = 0; k < reopen_.size(); ++k) {
        const bool shown = k < history.size();
        reopen_[k]->setVisible(shown);
        if (shown) reopen_[k]->setText(QString::fromStdString(history[k]));
    }
}

void MainWindow::scrollBy(int dx, int dy) {
    scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->value() + dx);
    scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->value() + dy);
}

} // namespace kovet::designer
