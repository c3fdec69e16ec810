#pragma once

// TdlgTest: "Kovet Field Editor", where the designer's user fills in the open form as its end
// users will. It shows a copy of the form in the run-time widget, so nothing done here reaches
// the document: values typed, saved to and loaded from field data files, printed, exported as
// a metafile, a GIF picture or a PDF page, and the page seen at five scales.

#include "display/KVTImage.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QMenu;
class QScrollArea;

namespace kovet::designer {

class DesignerCore;
class Prompts;

class TdlgTest : public QDialog {
public:
    // The Scale menu's items, in the menu's order.
    enum class Scale : std::uint8_t { ScreenWidth, ScreenHeight, Percent150, Percent100, Percent75 };

    // View > Test KVT Editing, the Test button and F6: the window on a copy of the open form,
    // maximized and modal, gone when it closes. Its file dialogs and messages are asked of
    // `prompts`; Qt's prompts show them over the window while it is open, and over `parent`
    // (the main window) again afterwards.
    static void Run(DesignerCore& core, Prompts& prompts, QWidget* parent);

    // A window on a copy of `form`, with empty fields and the page at the screen's width.
    TdlgTest(const TKVT& form, Prompts& prompts, QWidget* parent = nullptr);

    TKVTImage& Image() { return *image_; }
    // The file "Save field data" writes without asking; empty when there is none.
    const std::string& FieldFile() const { return fieldFile_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* item(QMenu* menu, const char* name, const QString& caption, std::function<void()> run);
    void buildFileMenu(QMenu* menu);
    void buildScaleMenu(QMenu* menu);
    // Runs a File command; what fails is reported and the window stays open.
    void run(const std::function<void()>& command);

    void print();
    void loadFields();
    void saveFields();
    void saveFieldsAs();
    void exportMetafile();
    void exportGif();
    void exportPdf();
    // The page as a PDF form that any PDF reader fills in, holding the values typed so far.
    void exportFillablePdf();

    // Checks the item, shows or hides the scroll bars, and sizes the image for the scale.
    void applyScale(Scale scale);

    Prompts& prompts_;
    QScrollArea* scroll_;
    TKVTImage* image_;
    std::array<QAction*, 5> scaleItems_{};
    Scale scale_ = Scale::ScreenWidth;
    std::string fieldFile_;
};

} // namespace kovet::designer
