#pragma once

// TfmMain: the designer's main window. Its menus, button bar, keyboard command table, the one
// tab with the design surface and the status bar turn the user's actions into calls of the
// core, and show what the core holds. Each command first leaves the scaled preview (but the
// preview's own), and a command that fails says so in a message box.

#include "designer/core/DesignerCore.h"
#include "designer/core/SurfaceMouse.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QScrollArea;
class QTabBar;
class QToolBar;

namespace kovet::designer {

class DesignSurface;
class TdlgOptions;
class TdlgTabOrder;
class TfmAlign;
class TfmProp;

inline constexpr char kWindowCaption[] = "Kovet 5.5";

class MainWindow : public QMainWindow {
public:
    MainWindow(DesignerCore& core, Prompts& prompts, QWidget* parent = nullptr);

    // The file the command line names, opened when the window is first shown.
    void SetCommandLineFile(std::string name) { commandLineFile_ = std::move(name); }
    // Where the bundled user guide lies (its "Contents" anchor is opened by Help).
    void SetGuide(std::string indexFile) { guide_ = std::move(indexFile); }
    // A line in the status bar that goes by itself (a failed file-type registration).
    void ShowNote(const QString& note);

    // Runs a command as every command of the window runs: the scaled preview left first
    // (unless `keepPreview`), a failure reported.
    void Run(const std::function<void()>& command, bool keepPreview = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Menus and their items (MainMenus.cpp).
    void buildMenus();
    void buildSurfaceMenu();
    // The Add menu's items, named with the prefix, on a menu.
    void addMenu(QMenu* menu, const char* prefix);
    void buildButtons();
    void buildCommandTable();
    QAction* command(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys,
                     std::function<void()> run);
    QAction* later(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys = {});
    QAction* toggle(QMenu* menu, const char* name, const QString& caption, bool on, std::function<void(bool)> run);
    void setEditShortcuts(bool on);
    void scrollBy(int dx, int dy);
    void openHelp();
    void showAbout();

    void setPreview(bool on);
    void redraw();
    void showCounts();
    void showFileTab();
    void showHistory();
    void showUndo();

    DesignerCore& core_;
    Prompts& prompts_;
    SurfaceMouse mouse_;
    DesignSurface* surface_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QToolBar* buttons_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    std::array<QAction*, 8> reopen_{};
    QAction* scaledPreview_ = nullptr;
    QAction* undo_ = nullptr;
    TfmAlign* align_ = nullptr;
    TfmProp* properties_ = nullptr;
    TdlgOptions* options_ = nullptr;
    TdlgTabOrder* tabOrder_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* scaleButton_ = nullptr;
    // The edit commands and the shortcuts they hold while the window is active.
    std::vector<std::pair<QAction*, QKeySequence>> editShortcuts_;
    std::string commandLineFile_;
    std::string guide_;
    bool shown_ = false;
};

} // namespace kovet::designer
