#include "TestFillWindow.h"

#include "QtPrompts.h"

#include "designer/core/DesignerCore.h"
#include "display/PageExport.h"
#include "platform/QtCanvas.h"
#include "storage/Stream.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenuBar>
#include <QPrinter>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kovet::designer {

namespace {

const TFileDialog kOpenFieldDialog{"Open Field File", "kvf", {{"Kovet field file", "*.kvf"}, {"All files", "*.*"}}, {}};
const TFileDialog kSaveFieldDialog{"Save Field File", "kvf", {{"Kovet field file", "*.kvf"}, {"All files", "*.*"}}, {}};
const TFileDialog kMetafileDialog{"Export metafile", "emf", {{"Metafiles", "*.emf"}}, {}};
// The GIF dialog of old offered "emf" as its extension when it wrote nothing; now that it
// writes a GIF, a name typed without one gets ".gif".
const TFileDialog kGifDialog{"Export GIF", "gif", {{"GIF files", "*.gif"}}, {}};
const TFileDialog kPdfDialog{"Export PDF", "pdf", {{"PDF files", "*.pdf"}}, {}};
const TFileDialog kFillablePdfDialog{"Export fillable PDF", "pdf", {{"PDF files", "*.pdf"}}, {}};

constexpr TKVTDisplayOptions kNatural = OptionBit<TKVTDisplayOptions>(kvtAutosize);
constexpr TKVTDisplayOptions kScaled =
    OptionBit<TKVTDisplayOptions>(kvtCenter) | OptionBit<TKVTDisplayOptions>(kvtScale);

// The image's sizes are reckoned from the scroll box's outer size less a border of this width
// on each side; the box draws exactly such a border, so what is left is its inside.
constexpr int kBorder = 2;

} // namespace

void TdlgTest::Run(DesignerCore& core, Prompts& prompts, QWidget* parent) {
    TdlgTest window(core.Form(), prompts, parent);
    // A dialog parented to the main window could open behind this maximized one.
    auto* shown = dynamic_cast<QtPrompts*>(&prompts);
    if (shown != nullptr) shown->SetParent(&window);
    window.exec();
    if (shown != nullptr) shown->SetParent(parent);
}

TdlgTest::TdlgTest(const TKVT& form, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      prompts_(prompts), scroll_(new QScrollArea), image_(new TKVTImage) {
    setObjectName("dlgTest");
    setWindowTitle("Kovet Field Editor");

    scroll_->setObjectName("ScrollBox1");
    scroll_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scroll_->setLineWidth(kBorder);
    QPalette shadow = scroll_->viewport()->palette();
    shadow.setColor(QPalette::Window, ToQColor(clBtnShadow));
    scroll_->viewport()->setPalette(shadow);

    image_->setObjectName("KVTImage1");
    image_->SetDisplayOptions(kNatural);
    image_->PrintTitle = "KVT Form";
    image_->SaveReadOnlyFields = false;
    image_->SetKVT(form);
    scroll_->setWidget(image_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* menus = new QMenuBar;
    buildFileMenu(menus->addMenu("&File"));
    buildScaleMenu(menus->addMenu("&Scale"));
    layout->setMenuBar(menus);
    layout->addWidget(scroll_);

    applyScale(Scale::ScreenWidth);
    scroll_->installEventFilter(this);
    setWindowState(Qt::WindowMaximized);
}

bool TdlgTest::eventFilter(QObject* watched, QEvent* event) {
    // The screen scales and 75 % take their sizes from the scroll box.
    if (watched == scroll_ && event->type() == QEvent::Resize) applyScale(scale_);
    return QDialog::eventFilter(watched, event);
}

QAction* TdlgTest::item(QMenu* menu, const char* name, const QString& caption, std::function<void()> run) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, std::move(run));
    return action;
}

void TdlgTest::buildFileMenu(QMenu* menu) {
    item(menu, "mPrint", "&Print", [this] { run([this] { print(); }); });
    menu->addSeparator();
    item(menu, "mClearfields", "&Clear field data", [this] { run([this] { image_->Reload(); }); });
    item(menu, "mLoadFields", "&Load field data", [this] { run([this] { loadFields(); }); });
    item(menu, "mSaveFields", "&Save field data", [this] { run([this] { saveFields(); }); });
    item(menu, "mSavefieldsAs", "Save field data &As", [this] { run([this] { saveFieldsAs(); }); });
    menu->addSeparator();
    item(menu, "mExportmetafile", "Export metafile", [this] { run([this] { exportMetafile(); }); });
    item(menu, "mExportGIF", "Export GIF", [this] { run([this] { exportGif(); }); });
    item(menu, "mExportPDF", "Export PDF", [this] { run([this] { exportPdf(); }); });
    item(menu, "mExportFillablePDF", "Export fillable PDF", [this] { run([this] { exportFillablePdf(); }); });
    menu->addSeparator();
    item(menu, "mClose", "&Close", [this] { reject(); });
}

void TdlgTest::buildScaleMenu(QMenu* menu) {
    auto* group = new QActionGroup(this);
    const std::pair<const char*, const char*> items[] = {{"mScreenWidth", "Screen &Width"},
                                                         {"mScreenHeight", "Screen &Height"},
                                                         {"m150", "150 %"},
                                                         {"m100", "100 %"},
                                                         {"m75", "75 %"}};
    for (std::size_t i = 0; i < scaleItems_.size(); ++i) {
        const auto scale = static_cast<Scale>(i);
        QAction* action = item(menu, items[i].first, items[i].second, [this, scale] { applyScale(scale); });
        action->setCheckable(true);
        group->addAction(action);
        scaleItems_[i] = action;
    }
}

void TdlgTest::run(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        prompts_.ShowError(error.what());
    }
}

void TdlgTest::print() {
    QPrinter printer(QPrinter::HighResolution);
    // Set up first, so that the print dialog starts from the image's paper and copies.
    image_->SetupPrinter(printer);
    if (prompts_.ChoosePrinter(printer)) image_->PrintDocument(printer);
}

void TdlgTest::loadFields() {
    const std::optional<std::string> name = prompts_.OpenFileName(kOpenFieldDialog);
    if (!name) return;
    const std::vector<std::string> notes = image_->LoadFieldData(*name);
    fieldFile_ = *name;
    if (notes.empty()) return;
    std::string message = "Some values were longer than their fields hold:";
    for (const std::string& note : notes)
        message += "\n" + note;
    prompts_.Inform(message);
}

void TdlgTest::saveFields() {
    if (fieldFile_.empty())
        saveFieldsAs();
    else
        image_->SaveFieldData(fieldFile_);
}

void TdlgTest::saveFieldsAs() {
    TFileDialog dialog = kSaveFieldDialog;
    dialog.Preset = fieldFile_;
    const std::optional<std::string> name = prompts_.SaveFileName(dialog);
    if (!name) {
        fieldFile_.clear();
        return;
    }
    fieldFile_ = *name;
    image_->SaveFieldData(fieldFile_);
}

void TdlgTest::exportMetafile() {
    if (const std::optional<std::string> name = prompts_.SaveFileName(kMetafileDialog)) image_->ExportMetafile(*name);
}

void TdlgTest::exportGif() {
    const std::optional<std::string> name = prompts_.SaveFileName(kGifDialog);
    if (!name) return;
    const TRect page = image_->PageRect();
    QImage picture = NewPagePicture({page.Right, page.Bottom});
    {
        // The canvas's painter must end before the picture is encoded.
        QtCanvas canvas(picture);
        image_->PrintPage(canvas, page);
    }
    WriteFileAtomically(*name, ImageToGif(picture));
}

void TdlgTest::exportPdf() {
    if (const std::optional<std::string> name = prompts_.SaveFileName(kPdfDialog)) image_->ExportPdf(*name);
}

void TdlgTest::exportFillablePdf() {
    if (const std::optional<std::string> name = prompts_.SaveFileName(kFillablePdfDialog))
        image_->ExportFillablePdf(*name);
}

void TdlgTest::applyScale(Scale scale) {
    scale_ = scale;
    scaleItems_[std::size_t(scale)]->setChecked(true);
    const bool horizontal = scale != Scale::ScreenWidth && scale != Scale::ScreenHeight;
    const bool vertical = scale != Scale::ScreenHeight;
    scroll_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // The natural size is 100 %; the other scales go on from it.
    image_->SetDisplayOptions(kNatural);

    const TRect page = image_->PageRect();
    // The inside of the scroll box, scroll bars included.
    const QSize client = scroll_->size() - QSize(2 * kBorder, 2 * kBorder);
    QSize size;
    switch (scale) {
    case Scale::Percent100: return;
    case Scale::ScreenHeight: size = client; break;
    case Scale::ScreenWidth:
        // A form without a page has nothing to fit.
        size = {client.width(),
                page.Right > 0 ? int(std::trunc(double(page.Bottom) * client.width() / page.Right)) : 0};
        break;
    case Scale::Percent75: size = {client.width() - 4, int(std::trunc(page.Bottom * 0.75))}; break;
    case Scale::Percent150: size = {int(std::trunc(page.Right * 1.5)), int(std::trunc(page.Bottom * 1.5))}; break;
    }
    image_->SetDisplayOptions(kScaled);
    image_->resize(size);
}

} // namespace kovet::designer
