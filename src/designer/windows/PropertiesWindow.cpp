#include "PropertiesWindow.h"

#include "PropertyPages.h"
#include "ToolWindows.h"

#include "designer/core/EditCommands.h"
#include "display/KVTEdit.h"
#include "widgets/TsvColorBox.h"
#include "widgets/TsvEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <optional>

namespace kovet::designer {

namespace {

// The notebook's pages, in order; index 0 is the empty page of a mixed selection.
constexpr std::int32_t kPageTypes[] = {0,           kvtHeaderType,  kvtTextType,  kvtFrameType,
                                       kvtLineType, kvtEllipseType, kvtFieldType, kvtLogoType};

int pageIndex(std::int32_t itemType) {
    for (int i = 1; i < int(std::size(kPageTypes)); ++i)
        if (kPageTypes[i] == itemType) return i;
    return 0;
}

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Edits apply what was typed when they are left; lists and check boxes apply when changed.
bool isTypedInto(const QObject* control) {
    if (const auto* box = qobject_cast<const QComboBox*>(control)) return box->isEditable();
    return qobject_cast<const QLineEdit*>(control) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(control) != nullptr;
}

} // namespace

TfmProp::TfmProp(DesignerCore& core, Prompts& prompts, Runner run, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), core_(core), prompts_(prompts), run_(std::move(run)),
      pages_(std::make_unique<ObjectPages>(PagesFor::Properties)) {
    setObjectName("fmProp");
    setWindowTitle("Properties");
    buildTop();
    book_ = new QStackedWidget;
    book_->setObjectName("NB");
    auto* empty = new QWidget;
    empty->setObjectName("Empty");
    for (QWidget* page :
         {empty, pages_->Page, pages_->Text, pages_->Frame, pages_->Line, pages_->Ellipse, pages_->Field, pages_->Logo})
        book_->addWidget(page);
    static_cast<QVBoxLayout*>(layout())->addWidget(book_, 1);
    buildMemoPopup();
    connectControls();
}

TfmProp::~TfmProp() = default;

void TfmProp::buildTop() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    layout->addLayout(top);
    const std::array<std::pair<const char*, const char*>, 4> boxes = {
        {{"all_Left", "Left"}, {"all_Top", "Top"}, {"all_Height", "Height"}, {"all_Width", "Width"}}};
    const std::array<std::pair<TProperty, std::int32_t TPropertyValues::*>, 4> values = {
        {{TProperty::Left, &TPropertyValues::Left},
         {TProperty::Top, &TPropertyValues::Top},
         {TProperty::Height, &TPropertyValues::Height},
         {TProperty::Width, &TPropertyValues::Width}}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto* box = new TsvEdit;
        box->setObjectName(boxes[i].first);
        box->setMaximumWidth(80);
        auto* label = new QLabel(boxes[i].second);
        label->setBuddy(box);
        top->addWidget(label, 0, int(i));
        top->addWidget(box, 1, int(i));
        position_[i] = {box, values[i].first, values[i].second};
    }
    const std::array<std::pair<const char*, const char*>, 3> buttons = {
        {{"all_Back", "To Back"}, {"all_Front", "To Front"}, {"all_Center", "Center"}}};
    const std::array<void (*)(DesignerCore&), 3> commands = {SendToBack, BringToFront, CenterOnPage};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* button = new QPushButton(buttons[i].second);
        button->setObjectName(buttons[i].first);
        top->addWidget(button, 2, int(i));
        connect(button, &QPushButton::clicked, this,
                [this, command = commands[i]] { runButton([this, command] { command(core_); }); });
    }
    labID_ = new QLabel;
    labID_->setObjectName("labID");
    labTab_ = new QLabel;
    labTab_->setObjectName("labTab");
    labEnter_ = new QLabel("Apply with <Enter> key");
    labEnter_->setObjectName("labEnter");
    labEnter_->setTextFormat(Qt::PlainText);
    top->addWidget(labID_, 3, 0);
    top->addWidget(labTab_, 3, 1);
    top->addWidget(labEnter_, 3, 2, 1, 2);
}

void TfmProp::buildMemoPopup() {
    QPlainTextEdit* memo = pages_->tx_Text;
    memoPopup_ = new QMenu(this);
    memoPopup_->setObjectName("MemoPopup");
    connect(memoPopup_->addAction("Delete"), &QAction::triggered, memo,
            [memo] { memo->textCursor().removeSelectedText(); });
    connect(memoPopup_->addAction("Cut"), &QAction::triggered, memo, &QPlainTextEdit::cut);
    connect(memoPopup_->addAction("Copy"), &QAction::triggered, memo, &QPlainTextEdit::copy);
    connect(memoPopup_->addAction("Paste"), &QAction::triggered, memo, &QPlainTextEdit::paste);
    QAction* enter = memoPopup_->addAction("Enter");
    // Shown in the menu; the memo itself turns the key into this item (see eventFilter).
    enter->setShortcut(QKeySequence(Qt::Key_Return));
    connect(enter, &QAction::triggered, this, [this] { apply(TProperty::Text, true); });
    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo, &QWidget::customContextMenuRequested, this,
            [this, memo](const QPoint& at) { memoPopup_->popup(memo->mapToGlobal(at)); });
}

void TfmProp::connectControls() {
    for (const PositionBox& box : position_)
        box.Box->installEventFilter(this);
    for (const PropertyControl& control : pages_->Controls) {
        control.Control->installEventFilter(this);
        const TProperty property = control.Property;
        if (auto* box = qobject_cast<QComboBox*>(control.Control)) {
            connect(box, &QComboBox::activated, this, [this, property] {
                followFormat();
                apply(property, false);
            });
        } else if (auto* check = qobject_cast<QCheckBox*>(control.Control)) {
            connect(check, &QCheckBox::clicked, this, [this, property] {
                followFormat();
                apply(property, false);
            });
        }
    }
    for (const ColorButton& button : pages_->ColorButtons)
        connect(button.Button, &QPushButton::clicked, this, [this, &button] { chooseColor(button); });
    connect(pages_->tx_Font, &QPushButton::clicked, this, [this] { chooseFont(TProperty::TextFont); });
    connect(pages_->fd_Font, &QPushButton::clicked, this, [this] { chooseFont(TProperty::FieldFont); });
    connect(pages_->lo_Load, &QPushButton::clicked, this,
            [this] { runButton([this, id = values_.ID] { LoadLogoPicture(core_, prompts_, id); }); });
    connect(pages_->lo_Clear, &QPushButton::clicked, this,
            [this] { runButton([this, id = values_.ID] { ClearLogoPicture(core_, id); }); });
}

void TfmProp::Toggle() {
    setVisible(!isVisible());
}

void TfmProp::showEvent(QShowEvent* event) {
    PlaceBesideOwner(*this, TToolEdge::Top);
    QWidget::showEvent(event);
    Refresh();
}

void TfmProp::Refresh() {
    loading_ = true;
    values_ = ReadProperties(core_);
    const TSelectionKind kind = values_.Kind;
    labTab_->clear();
    labEnter_->setVisible(kind == TSelectionKind::OneType || kind == TSelectionKind::Mixed);
    for (const PositionBox& box : position_) {
        box.Box->setEnabled(kind != TSelectionKind::Nothing);
        box.Box->SetNumber(values_.*box.Value);
    }
    if (kind == TSelectionKind::Nothing)
        labID_->setText(QString("ID:%1").arg(values_.ID));
    else if (kind == TSelectionKind::One)
        labID_->setText(QString::number(values_.ID));
    else
        labID_->clear();
    book_->setCurrentIndex(pageIndex(values_.ItemType));
    if (values_.ItemType != 0) pages_->Show(values_.Object, values_.ItemType);
    if (values_.ItemType == kvtFieldType) labTab_->setText(QString("TAB:%1").arg(values_.TabOrder));
    pages_->fd_Name->setEnabled(kind == TSelectionKind::One);
    pages_->lo_Load->setVisible(kind != TSelectionKind::OneType);
    loading_ = false;
}

bool TfmProp::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<TProperty> property = propertyOf(watched);
    // Shift+Enter starts a new line of the memo.
    const bool newLine = watched == pages_->tx_Text && isEnter(event) &&
                         static_cast<QKeyEvent*>(event)->modifiers().testFlag(Qt::ShiftModifier);
    if (property && isEnter(event) && !newLine) {
        apply(*property, true);
        // Enter in the memo is its popup's "Enter", not a new line.
        return watched == pages_->tx_Text;
    }
    if (property && event->type() == QEvent::FocusOut && isTypedInto(watched) &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        apply(*property, false);
    return QWidget::eventFilter(watched, event);
}

std::optional<TProperty> TfmProp::propertyOf(const QObject* control) const {
    for (const PositionBox& box : position_)
        if (box.Box == control) return box.Property;
    if (const PropertyControl* found = pages_->Find(control)) return found->Property;
    return std::nullopt;
}

void TfmProp::apply(TProperty property, bool withEnter) {
    // A message shown while applying takes the keyboard from the control: that is no second
    // apply.
    if (loading_ || applying_) return;
    // Several objects take a value only with Enter: until then the control keeps what it shows.
    if (!withEnter && values_.Kind != TSelectionKind::Nothing && values_.Kind != TSelectionKind::One) return;
    QString problem = read(property);
    // The page takes every one of its values at once.
    if (values_.Kind == TSelectionKind::Nothing)
        for (const PropertyControl& control : pages_->Controls)
            if (PropertyType(control.Property) == kvtHeaderType && problem.isEmpty()) problem = read(control.Property);
    if (values_.ItemType == kvtLogoType) read(TProperty::LogoScaled);
    if (values_.ItemType == kvtFieldType) read(TProperty::FieldAutoAlign);
    {
        const QScopedValueRollback busy(applying_, true);
        if (!problem.isEmpty())
            prompts_.ShowError(problem.toStdString());
        else
            run_([&] { ApplyProperty(core_, prompts_, property, values_, withEnter); });
    }
    Refresh();
}

QString TfmProp::read(TProperty property) {
    for (const PositionBox& box : position_) {
        if (box.Property != property) continue;
        values_.*box.Value = std::int32_t(box.Box->Number());
        return {};
    }
    const PropertyControl* control = pages_->Find(property);
    return control != nullptr ? control->Read(values_.Object) : QString();
}

// With "Autoalign" checked the alignment box follows the format; the core stores it with the
// change that moved it.
void TfmProp::followFormat() {
    if (loading_ || !pages_->fd_Autoalign->isChecked()) return;
    pages_->fd_Align->setCurrentIndex(AutoAlignment(pages_->fd_Format->currentIndex()));
}

void TfmProp::chooseFont(TProperty property) {
    position_[0].Box->setFocus();
    TFontChoice& font = property == TProperty::TextFont ? values_.Object.Text.Font : values_.Object.Field.Font;
    // A cancelled dialog still gives its font, the first object's: several objects get it.
    if (const std::optional<TFontChoice> chosen = prompts_.ChooseFont(font)) font = *chosen;
    apply(property, true);
}

void TfmProp::chooseColor(const ColorButton& button) {
    position_[0].Box->setFocus();
    const std::optional<TColor> shown = button.Box->Color();
    if (!shown) {
        prompts_.ShowError(button.Box->Problem().toStdString());
        return;
    }
    const std::optional<std::uint32_t> chosen = prompts_.ChooseColor(*shown);
    if (!chosen) return;
    button.Box->SetColor(*chosen);
    apply(button.Property, true);
}

void TfmProp::runButton(const std::function<void()>& command) {
    position_[0].Box->setFocus();
    run_(command);
    Refresh();
}

} // namespace kovet::designer
