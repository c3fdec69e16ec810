#include "PropertyPages.h"

#include "widgets/TsvColorBox.h"
#include "widgets/TsvEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <optional>
#include <type_traits>

namespace kovet::designer {

namespace {

const QStringList kPapers = {"Legal", "Letter", "A3", "A4", "A5"};
const QStringList kOrientations = {"Portrait", "Landscape"};
const QStringList kPenStyles = {"Solid", "Dashed", "Dotted", "Clear"};
const QStringList kLineStyles = {"Solid", "Dashed", "Dotted"};
const QStringList kFillStyles = {"Clear", "Solid", "Diagonal", "Hash"};
const QStringList kTextAlignments = {"Left", "Right", "Centered", "Justified"};
const QStringList kFieldAlignments = {"Left", "Right", "Center"};
const QStringList kLineAngles = {"0", "45", "90", "135"};
// Index = the stored format.
const QStringList kFormats = {"Text",     "Real",      "Integer", "Dollar", "Percent",  "PctNS",    "Date",
                              "FullDate", "ShortDate", "Time",    "MTime",  "Phone",    "Social",   "ZipCode",
                              "PhoneExt", "VisaMC",    "Amex",    "Custom", "Checkbox", "ComboBox", "Memo"};
constexpr int kMaxText = 255;
constexpr int kMaxName = 40;
constexpr int kNumberWidth = 90;

// The memo shows lines as the records keep them, broken by CR LF.
QString memoText(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}
std::string recordLines(const QString& text) {
    return QString(text).replace("\n", "\r\n").toStdString();
}

// One page: a caption and a control on each line, in two columns when the page is long.
class PageLayout {
public:
    PageLayout(QWidget* page, int rowsPerColumn) : grid_(new QGridLayout(page)), rows_(rowsPerColumn) {}

    template <typename W> W* Add(W* control, const char* name, const QString& caption) {
        control->setObjectName(name);
        // Numbers are short: their boxes leave the width to the lists.
        if constexpr (std::is_same_v<W, TsvEdit>) control->setMaximumWidth(kNumberWidth);
        if (!caption.isEmpty()) {
            auto* label = new QLabel(caption);
            label->setBuddy(control);
            grid_->addWidget(label, row_, column_);
        }
        grid_->addWidget(control, row_, column_ + 1);
        next();
        return control;
    }
    // A control and its button on one line.
    void AddPair(QWidget* control, QWidget* button, const char* name, const QString& caption) {
        auto* pair = new QWidget;
        auto* line = new QHBoxLayout(pair);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(control, 1);
        line->addWidget(button);
        control->setObjectName(name);
        auto* label = new QLabel(caption);
        label->setBuddy(control);
        grid_->addWidget(label, row_, column_);
        grid_->addWidget(pair, row_, column_ + 1);
        next();
    }
    void Finish() { grid_->setRowStretch(grid_->rowCount(), 1); }

private:
    void next() {
        if (++row_ < rows_) return;
        row_ = 0;
        column_ += 2;
    }

    QGridLayout* grid_;
    int rows_;
    int row_ = 0, column_ = 0;
};

QComboBox* list(const QStringList& items) {
    auto* box = new QComboBox;
    box->addItems(items);
    return box;
}

QComboBox* editableList(const QStringList& items) {
    QComboBox* box = list(items);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QPushButton* button(const char* name, const QString& caption) {
    auto* made = new QPushButton(caption);
    made->setObjectName(name);
    return made;
}

QCheckBox* check(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

QWidget* page(const char* name) {
    auto* made = new QWidget;
    made->setObjectName(name);
    return made;
}

// Each `at` is a generic lambda naming one member of the values, for reading and writing.
template <typename At> PropertyControl listControl(TProperty property, QComboBox* box, At at) {
    return {property, box, [box, at](const TObjectValues& v) { box->setCurrentIndex(int(at(v))); },
            [box, at](TObjectValues& v) {
                if (box->currentIndex() >= 0) at(v) = box->currentIndex();
                return QString();
            }};
}

template <typename At> PropertyControl integerControl(TProperty property, TsvEdit* edit, At at) {
    return {property, edit, [edit, at](const TObjectValues& v) { edit->SetNumber(at(v)); },
            [edit, at](TObjectValues& v) {
                at(v) = std::int32_t(edit->Number());
                return QString();
            }};
}

template <typename At> PropertyControl colorControl(TProperty property, TsvColorBox* box, At at) {
    return {property, box, [box, at](const TObjectValues& v) { box->SetColor(at(v)); },
            [box, at](TObjectValues& v) {
                const std::optional<TColor> color = box->Color();
                if (!color) return box->Problem();
                at(v) = *color;
                return QString();
            }};
}

template <typename At> PropertyControl checkControl(TProperty property, QCheckBox* box, At at) {
    return {property, box, [box, at](const TObjectValues& v) { box->setChecked(at(v)); },
            [box, at](TObjectValues& v) {
                at(v) = box->isChecked();
                return QString();
            }};
}

template <typename At> PropertyControl angleControl(TProperty property, QComboBox* box, At at) {
    return {property, box, [box, at](const TObjectValues& v) { box->setEditText(QString::number(double(at(v)))); },
            [box, at](TObjectValues& v) {
                at(v) = AngleFromText(box->currentText().toStdString());
                return QString();
            }};
}

} // namespace

ObjectPages::ObjectPages(PagesFor use) {
    const bool options = use == PagesFor::Options;
    const auto colorBox = [this](TsvColorBox*& box, const char* buttonName, TProperty property) {
        box = new TsvColorBox;
        QPushButton* chooser = button(buttonName, "...");
        chooser->setFixedWidth(chooser->fontMetrics().horizontalAdvance("...") + 16);
        chooser->setToolTip("Choose a colour");
        ColorButtons.push_back({chooser, box, property});
        return chooser;
    };
    const auto size = [](PageLayout& layout, TsvEdit*& height, TsvEdit*& width, const char* heightName,
                         const char* widthName) {
        height = layout.Add(new TsvEdit, heightName, "Height");
        width = layout.Add(new TsvEdit, widthName, "Width");
    };

    Page = page("Page");
    PageLayout pageLayout(Page, 8);
    pg_Paper = pageLayout.Add(list(kPapers), "pg_Paper", "Paper");
    pg_Orient = pageLayout.Add(list(kOrientations), "pg_Orient", "Orientation");
    pg_Thick = pageLayout.Add(new TsvEdit, "pg_Thick", "Border Thickness");
    pg_Style = pageLayout.Add(list(kPenStyles), "pg_Style", "Border Style");
    QPushButton* pageColor = colorBox(pg_Color, "pg_Colorbtn", TProperty::PageColor);
    pageLayout.AddPair(pg_Color, pageColor, "pg_Color", "Page Color");
    pageLayout.Finish();

    Text = page("Text");
    PageLayout textLayout(Text, 8);
    tx_Text = textLayout.Add(new QPlainTextEdit, "tx_Text", "Text");
    tx_Text->setTabChangesFocus(true);
    tx_Text->setFixedHeight(tx_Text->fontMetrics().lineSpacing() * 4 + 12);
    QObject::connect(tx_Text, &QPlainTextEdit::textChanged, tx_Text, [memo = tx_Text] {
        const QString text = memo->toPlainText();
        if (text.size() <= kMaxText) return;
        memo->setPlainText(text.left(kMaxText));
        memo->moveCursor(QTextCursor::End);
    });
    tx_Angle = textLayout.Add(editableList(options ? QStringList{"0", "90", "180"} : QStringList{"0", "90", "270"}),
                              "tx_Angle", "Angle");
    tx_Align = textLayout.Add(list(kTextAlignments), "tx_Align", "Alignment");
    tx_Autosize = textLayout.Add(check("", "Autosize"), "tx_Autosize", "");
    tx_Font = textLayout.Add(button("", "Font"), "tx_Font", "");
    textLayout.Finish();

    Frame = page("Frame");
    PageLayout frameLayout(Frame, 8);
    fr_InnerStyle = frameLayout.Add(list(kFillStyles), "fr_InnerStyle", "Inner Style");
    QPushButton* frameInner = colorBox(fr_InnerColor, "fr_InnerColorbtn", TProperty::FrameInnerColor);
    frameLayout.AddPair(fr_InnerColor, frameInner, "fr_InnerColor", "Inner Color");
    fr_OuterStyle = frameLayout.Add(list(kPenStyles), "fr_OuterStyle", "Outer Style");
    QPushButton* frameOuter = colorBox(fr_OuterColor, "fr_OuterColorbtn", TProperty::FrameOuterColor);
    frameLayout.AddPair(fr_OuterColor, frameOuter, "fr_OuterColor", "Outer Color");
    fr_Thick = frameLayout.Add(new TsvEdit, "fr_Thick", "Frame Thickness");
    fr_Corner = frameLayout.Add(new TsvEdit, "fr_Corner", "Frame Roundness");
    if (options) size(frameLayout, fr_Height, fr_Width, "fr_Height", "fr_Width");
    frameLayout.Finish();

    Line = page("Line");
    PageLayout lineLayout(Line, 8);
    QPushButton* lineColor = colorBox(li_Color, "li_Colorbtn", TProperty::LineColor);
    lineLayout.AddPair(li_Color, lineColor, "li_Color", "Color");
    li_Style = lineLayout.Add(list(kLineStyles), "li_Style", "Style");
    li_Thick = lineLayout.Add(new TsvEdit, "li_Thick", "Thickness");
    li_Angle = lineLayout.Add(editableList(kLineAngles), "li_Angle", "Angle");
    if (options) size(lineLayout, li_Height, li_Width, "li_Height", "li_Width");
    lineLayout.Finish();

    Ellipse = page("Ellipse");
    PageLayout ellipseLayout(Ellipse, 8);
    el_InnerStyle = ellipseLayout.Add(list(kFillStyles), "el_InnerStyle", "Inner Style");
    QPushButton* ellipseInner = colorBox(el_InnerColor, "el_InnerColorbtn", TProperty::EllipseInnerColor);
    ellipseLayout.AddPair(el_InnerColor, ellipseInner, "el_InnerColor", "Inner Color");
    el_OuterStyle = ellipseLayout.Add(list(kPenStyles), "el_OuterStyle", "Outer Style");
    QPushButton* ellipseOuter = colorBox(el_OuterColor, "el_OuterColorbtn", TProperty::EllipseOuterColor);
    ellipseLayout.AddPair(el_OuterColor, ellipseOuter, "el_OuterColor", "Outer Color");
    el_Thick = ellipseLayout.Add(new TsvEdit, "el_Thick", "Ellipse Thickness");
    if (options) size(ellipseLayout, el_Height, el_Width, "el_Height", "el_Width");
    ellipseLayout.Finish();

    Field = page("Field");
    PageLayout fieldLayout(Field, 11);
    fd_Name = fieldLayout.Add(new TKVTEdit, "fd_Name", "Name");
    fd_Name->SetOptions(SuperOption(soSpaceToUnderscore));
    fd_Name->SetMaxLength(kMaxName);
    fd_Name->UseFocusColor = false;
    fd_Align = fieldLayout.Add(list(kFieldAlignments), "fd_Align", "Alignment");
    fd_Format = fieldLayout.Add(list(kFormats), "fd_Format", "Format");
    fd_Tag = fieldLayout.Add(new TsvEdit, "fd_Tag", "Tag");
    fd_Maxlength = fieldLayout.Add(new TsvEdit, "fd_Maxlength", "MaxLength");
    fd_Groupindex = fieldLayout.Add(new TsvEdit, "fd_Groupindex", "GroupIdx");
    fd_Digits = fieldLayout.Add(new TsvEdit, "fd_Digits", "Digits");
    fd_Decimals = fieldLayout.Add(new TsvEdit, "fd_Decimals", "Decimals");
    fd_Helpcontext = fieldLayout.Add(new TsvEdit, "fd_Helpcontext", "HelpCtx");
    fd_Memospacing = fieldLayout.Add(new TsvEdit, "fd_Memospacing", "Memospc");
    QPushButton* ctlColor = colorBox(fd_CtlColor, "fd_CtlColorBtn", TProperty::FieldCtlColor);
    fieldLayout.AddPair(fd_CtlColor, ctlColor, "fd_CtlColor", "Ctl Color");
    fd_Readonly = fieldLayout.Add(check("", "Readonly"), "fd_Readonly", "");
    fd_Outline = fieldLayout.Add(check("", "Ctl outline"), "fd_Outline", "");
    fd_Border = fieldLayout.Add(check("", "Ctl border"), "fd_Border", "");
    fd_Showzero = fieldLayout.Add(check("", "Showzero"), "fd_Showzero", "");
    fd_Autoalign = fieldLayout.Add(check("", "Autoalign"), "fd_Autoalign", "");
    fd_Autoround = fieldLayout.Add(check("", "Autoround"), "fd_Autoround", "");
    fd_Autosize = fieldLayout.Add(check("", "Autosize"), "fd_Autosize", "");
    fd_Font = fieldLayout.Add(button("", "Font"), "fd_Font", "");
    fieldLayout.Finish();

    if (!options) {
        Logo = page("Logo");
        PageLayout logoLayout(Logo, 8);
        lo_Load = logoLayout.Add(button("", "Load Picture"), "lo_Load", "");
        lo_Clear = logoLayout.Add(button("", "Clear Picture"), "lo_Clear", "");
        lo_Scaled = logoLayout.Add(check("", "Scale to fit"), "lo_Scaled", "");
        lo_Type = logoLayout.Add(new QLabel, "lo_Type", "");
        lo_Size = logoLayout.Add(new QLabel, "lo_Size", "");
        logoLayout.Finish();
    }

    Controls = {
        listControl(
            TProperty::PaperSize, pg_Paper, [](auto& v) -> auto& { return v.Page.PaperSize; }),
        listControl(
            TProperty::Orientation, pg_Orient, [](auto& v) -> auto& { return v.Page.Orientation; }),
        integerControl(
            TProperty::PageThickness, pg_Thick, [](auto& v) -> auto& { return v.Page.Thickness; }),
        listControl(
            TProperty::PageStyle, pg_Style, [](auto& v) -> auto& { return v.Page.Style; }),
        colorControl(
            TProperty::PageColor, pg_Color, [](auto& v) -> auto& { return v.Page.Color; }),
        {TProperty::Text, tx_Text, [this](const TObjectValues& v) { tx_Text->setPlainText(memoText(v.Text.Text)); },
         [this](TObjectValues& v) {
             v.Text.Text = recordLines(tx_Text->toPlainText());
             return QString();
         }},
        angleControl(
            TProperty::TextAngle, tx_Angle, [](auto& v) -> auto& { return v.Text.Angle; }),
        listControl(
            TProperty::TextAlignment, tx_Align, [](auto& v) -> auto& { return v.Text.Alignment; }),
        checkControl(
            TProperty::TextAutosize, tx_Autosize, [](auto& v) -> auto& { return v.Text.Autosize; }),
        listControl(
            TProperty::FrameInnerStyle, fr_InnerStyle, [](auto& v) -> auto& { return v.Frame.InnerStyle; }),
        colorControl(
            TProperty::FrameInnerColor, fr_InnerColor, [](auto& v) -> auto& { return v.Frame.InnerColor; }),
        listControl(
            TProperty::FrameOuterStyle, fr_OuterStyle, [](auto& v) -> auto& { return v.Frame.OuterStyle; }),
        colorControl(
            TProperty::FrameOuterColor, fr_OuterColor, [](auto& v) -> auto& { return v.Frame.OuterColor; }),
        integerControl(
            TProperty::FrameThickness, fr_Thick, [](auto& v) -> auto& { return v.Frame.Thickness; }),
        integerControl(
            TProperty::FrameRoundness, fr_Corner, [](auto& v) -> auto& { return v.Frame.Roundness; }),
        colorControl(
            TProperty::LineColor, li_Color, [](auto& v) -> auto& { return v.Line.Color; }),
        listControl(
            TProperty::LineStyle, li_Style, [](auto& v) -> auto& { return v.Line.Style; }),
        integerControl(
            TProperty::LineThickness, li_Thick, [](auto& v) -> auto& { return v.Line.Thickness; }),
        angleControl(
            TProperty::LineAngle, li_Angle, [](auto& v) -> auto& { return v.Line.Angle; }),
        listControl(
            TProperty::EllipseInnerStyle, el_InnerStyle, [](auto& v) -> auto& { return v.Ellipse.InnerStyle; }),
        colorControl(
            TProperty::EllipseInnerColor, el_InnerColor, [](auto& v) -> auto& { return v.Ellipse.InnerColor; }),
        listControl(
            TProperty::EllipseOuterStyle, el_OuterStyle, [](auto& v) -> auto& { return v.Ellipse.OuterStyle; }),
        colorControl(
            TProperty::EllipseOuterColor, el_OuterColor, [](auto& v) -> auto& { return v.Ellipse.OuterColor; }),
        integerControl(
            TProperty::EllipseThickness, el_Thick, [](auto& v) -> auto& { return v.Ellipse.Thickness; }),
        {TProperty::FieldName, fd_Name, [this](const TObjectValues& v) { fd_Name->SetText(v.Field.Name); },
         [this](TObjectValues& v) {
             v.Field.Name = fd_Name->Text();
             return QString();
         }},
        listControl(
            TProperty::FieldAlignment, fd_Align, [](auto& v) -> auto& { return v.Field.Alignment; }),
        listControl(
            TProperty::FieldFormat, fd_Format, [](auto& v) -> auto& { return v.Field.Format; }),
        integerControl(
            TProperty::FieldTag, fd_Tag, [](auto& v) -> auto& { return v.Field.Tag; }),
        integerControl(
            TProperty::FieldMaxLength, fd_Maxlength, [](auto& v) -> auto& { return v.Field.MaxLength; }),
        integerControl(
            TProperty::FieldGroupIndex, fd_Groupindex, [](auto& v) -> auto& { return v.Field.GroupIndex; }),
        integerControl(
            TProperty::FieldDigits, fd_Digits, [](auto& v) -> auto& { return v.Field.Digits; }),
        integerControl(
            TProperty::FieldDecimals, fd_Decimals, [](auto& v) -> auto& { return v.Field.Decimals; }),
        integerControl(
            TProperty::FieldHelpContext, fd_Helpcontext, [](auto& v) -> auto& { return v.Field.HelpContext; }),
        integerControl(
            TProperty::FieldMemoSpacing, fd_Memospacing, [](auto& v) -> auto& { return v.Field.MemoSpacing; }),
        colorControl(
            TProperty::FieldCtlColor, fd_CtlColor, [](auto& v) -> auto& { return v.Field.CtlColor; }),
        checkControl(
            TProperty::FieldReadOnly, fd_Readonly, [](auto& v) -> auto& { return v.Field.ReadOnly; }),
        checkControl(
            TProperty::FieldOutline, fd_Outline, [](auto& v) -> auto& { return v.Field.Outline; }),
        checkControl(
            TProperty::FieldBorder, fd_Border, [](auto& v) -> auto& { return v.Field.Border; }),
        checkControl(
            TProperty::FieldShowZero, fd_Showzero, [](auto& v) -> auto& { return v.Field.ShowZero; }),
        checkControl(
            TProperty::FieldAutoAlign, fd_Autoalign, [](auto& v) -> auto& { return v.Field.AutoAlign; }),
        checkControl(
            TProperty::FieldAutoRound, fd_Autoround, [](auto& v) -> auto& { return v.Field.AutoRound; }),
        checkControl(
            TProperty::FieldAutoSize, fd_Autosize, [](auto& v) -> auto& { return v.Field.AutoSize; }),
    };
    if (!options)
        Controls.push_back(checkControl(
            TProperty::LogoScaled, lo_Scaled, [](auto& v) -> auto& { return v.Logo.Scaled; }));
}

void ObjectPages::Show(const TObjectValues& values, std::int32_t itemType) {
    for (const PropertyControl& control : Controls)
        if (itemType == 0 || PropertyType(control.Property) == itemType) control.Show(values);
    if (Logo == nullptr || (itemType != 0 && itemType != kvtLogoType)) return;
    lo_Type->setText(LogoTypeText(values.Logo.PictureType));
    lo_Size->setText(LogoSizeText(values.Logo.DataSize));
}

const PropertyControl* ObjectPages::Find(TProperty property) const {
    for (const PropertyControl& control : Controls)
        if (control.Property == property) return &control;
    return nullptr;
}

const PropertyControl* ObjectPages::Find(const QObject* widget) const {
    for (const PropertyControl& control : Controls)
        if (control.Control == widget) return &control;
    return nullptr;
}

QString LogoTypeText(std::int32_t pictureType) {
    switch (pictureType) {
    case ptEmpty: return "Type: Empty";
    case ptMetafile: return "Type: Metafile";
    case ptBitmap: return "Type: Bitmap";
    default: return QString("Type: %1").arg(pictureType);
    }
}

QString LogoSizeText(std::int32_t dataSize) {
    return QString("Size: %1").arg(dataSize);
}

} // namespace kovet::designer
