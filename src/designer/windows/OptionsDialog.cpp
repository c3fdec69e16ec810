#include "OptionsDialog.h"

#include "PropertyPages.h"

#include "display/KVTEdit.h"
#include "widgets/TsvColorBox.h"
#include "widgets/TsvEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace kovet::designer {

namespace {

struct SizeBox {
    TsvEdit* ObjectPages::*Box;
    std::int32_t TOptionValues::*Value;
};

constexpr std::array<SizeBox, 6> kSizeBoxes = {{
    {&ObjectPages::fr_Height, &TOptionValues::FrameHeight},
    {&ObjectPages::fr_Width, &TOptionValues::FrameWidth},
    {&ObjectPages::li_Height, &TOptionValues::LineHeight},
    {&ObjectPages::li_Width, &TOptionValues::LineWidth},
    {&ObjectPages::el_Height, &TOptionValues::EllipseHeight},
    {&ObjectPages::el_Width, &TOptionValues::EllipseWidth},
}};

QCheckBox* check(QLayout* layout, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    layout->addWidget(box);
    return box;
}

QPushButton* button(QLayout* layout, const char* name, const QString& caption) {
    auto* made = new QPushButton(caption);
    made->setObjectName(name);
    layout->addWidget(made);
    return made;
}

} // namespace

TdlgOptions::TdlgOptions(DesignerCore& core, Prompts& prompts, QWidget* parent)
    : QDialog(parent), core_(core), prompts_(prompts), pages_(std::make_unique<ObjectPages>(PagesFor::Options)) {
    setObjectName("dlgOptions");
    setWindowTitle("Options");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget;
    tabs->setObjectName("pcOptions");
    tabs->addTab(buildGeneral(), "&General");
    tabs->addTab(buildDefaults(), "&Defaults");
    layout->addWidget(tabs);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    QPushButton* ok = button(buttons, "btnOK", "OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TdlgOptions::accept);
    connect(button(buttons, "btnCancel", "&Cancel"), &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    connect(button(buttons, "btnDefaults", "Restore De&faults"), &QPushButton::clicked, this,
            &TdlgOptions::restoreDefaults);

    for (const ColorButton& chooser : pages_->ColorButtons) {
        connect(chooser.Button, &QPushButton::clicked, this, [this, box = chooser.Box] {
            const std::optional<TColor> shown = box->Color();
            if (const std::optional<std::uint32_t> chosen = prompts_.ChooseColor(shown.value_or(clBlack)))
                box->SetColor(*chosen);
        });
    }
    connect(pages_->tx_Font, &QPushButton::clicked, this, [this] { chooseFont(values_.Objects.Text.Font); });
    connect(pages_->fd_Font, &QPushButton::clicked, this, [this] { chooseFont(values_.Objects.Field.Font); });
}

TdlgOptions::~TdlgOptions() = default;

QWidget* TdlgOptions::buildGeneral() {
    auto* general = new QWidget;
    general->setObjectName("General");
    auto* layout = new QVBoxLayout(general);
    auto* rulers = new QGroupBox("Display rulers using:");
    auto* rulerLayout = new QHBoxLayout(rulers);
    units_ = new QButtonGroup(this);
    const std::array<std::pair<const char*, const char*>, 3> units = {
        {{"ckPixels", "Pixels"}, {"ckInches", "Inches"}, {"ckMM", "Millimeters"}}};
    for (std::size_t i = 0; i < units.size(); ++i) {
        auto* radio = new QRadioButton(units[i].second);
        radio->setObjectName(units[i].first);
        rulerLayout->addWidget(radio);
        units_->addButton(radio, int(i));
    }
    layout->addWidget(rulers);
    ckStartMaximized_ = check(layout, "ckStartMaximized", "Start maximized");
    ckColor_ = check(layout, "ckColor", "Print in color");
    ckShading_ = check(layout, "ckShading", "Print with shading");
    ckExactDPI_ = check(layout, "ckExactDPI", "Print exact DPI");
    ckExactMargins_ = check(layout, "ckExactMargins", "Print exact margins");
    auto* scale = new QHBoxLayout;
    auto* caption = new QLabel("Scale for MS-Word metafiles");
    eMS_ = new TKVTEdit;
    eMS_->setObjectName("eMS");
    eMS_->SetOptions(SuperOption(soShowZero));
    eMS_->SetDigits(0);
    eMS_->SetDecimals(2);
    eMS_->SetFormat(lfoReal);
    eMS_->UseFocusColor = false;
    caption->setBuddy(eMS_);
    scale->addWidget(caption);
    scale->addWidget(eMS_);
    layout->addLayout(scale);
    layout->addStretch();
    return general;
}

QWidget* TdlgOptions::buildDefaults() {
    auto* pages = new QTabWidget;
    pages->setObjectName("pcDefaults");
    pages->addTab(pages_->Page, "Page");
    pages->addTab(pages_->Text, "Text");
    pages->addTab(pages_->Frame, "Frames");
    pages->addTab(pages_->Line, "Lines");
    pages->addTab(pages_->Ellipse, "Ellipses");
    pages->addTab(pages_->Field, "Fields");
    return pages;
}

bool TdlgOptions::EditOptions() {
    return exec() == QDialog::Accepted;
}

void TdlgOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    working_ = core_.Defaults();
    load();
}

void TdlgOptions::load() {
    values_ = ReadOptions(working_);
    if (QAbstractButton* unit = units_->button(values_.RulerUnits)) {
        unit->setChecked(true);
    } else {
        // A unit this version does not know: none is shown, and none is stored unless chosen.
        units_->setExclusive(false);
        for (QAbstractButton* other : units_->buttons())
            other->setChecked(false);
        units_->setExclusive(true);
    }
    ckStartMaximized_->setChecked(values_.StartMaximized);
    ckColor_->setChecked(values_.PrintInColor);
    ckShading_->setChecked(values_.PrintShading);
    ckExactDPI_->setChecked(values_.PrintExactDPI);
    ckExactMargins_->setChecked(values_.PrintExactMargins);
    eMS_->SetValue(values_.WordScale);
    pages_->Show(values_.Objects);
    for (const SizeBox& size : kSizeBoxes)
        ((*pages_).*size.Box)->SetNumber(values_.*size.Value);
}

void TdlgOptions::restoreDefaults() {
    working_.Reset();
    load();
}

bool TdlgOptions::read() {
    if (units_->checkedId() >= 0) values_.RulerUnits = units_->checkedId();
    values_.StartMaximized = ckStartMaximized_->isChecked();
    values_.PrintInColor = ckColor_->isChecked();
    values_.PrintShading = ckShading_->isChecked();
    values_.PrintExactDPI = ckExactDPI_->isChecked();
    values_.PrintExactMargins = ckExactMargins_->isChecked();
    eMS_->Commit();
    values_.WordScale = eMS_->Value();
    for (const SizeBox& size : kSizeBoxes)
        values_.*size.Value = std::int32_t(((*pages_).*size.Box)->Number());
    for (const PropertyControl& control : pages_->Controls) {
        if (const QString problem = control.Read(values_.Objects); !problem.isEmpty()) {
            prompts_.ShowError(problem.toStdString());
            return false;
        }
    }
    return true;
}

void TdlgOptions::accept() {
    // A colour box that names no colour keeps the dialog open, for the user to mend or cancel.
    if (!read()) return;
    StoreOptions(working_, values_);
    core_.Defaults() = working_;
    QDialog::accept();
}

void TdlgOptions::chooseFont(TFontChoice& font) {
    if (const std::optional<TFontChoice> chosen = prompts_.ChooseFont(font)) font = *chosen;
}

} // namespace kovet::designer
