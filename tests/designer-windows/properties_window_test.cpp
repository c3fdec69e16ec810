// The properties window as the user meets it: its notebook following the selection, values
// applied when a box is left or confirmed with Enter, the field name's rules, Autoalign, the
// font, colour and picture buttons, and the text memo's Enter.
#include "designer/FormObjects.h"
#include "designer/ScriptedPrompts.h"
#include "designer/core/EditCommands.h"
#include "designer/windows/PropertiesWindow.h"
#include "widgets/Application.h"
#include "widgets/TsvColorBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextCursor>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;
using kovet::test::ShowActive;

namespace {

class PropertiesWindow : public ::testing::Test {
protected:
    PropertiesWindow()
        : core(prompts, (folder.path() + "/config").toStdString()),
          window(
              core, prompts, [](const std::function<void()>& command) { command(); }, &designer) {
        core.Start();
        // As the main window does: every change of the form or the selection is shown.
        core.OnChanged = [this] {
            if (window.isVisible()) window.Refresh();
        };
        core.OnEdited = [this](const TUndoStep& step) { labels.push_back(step.Label); };
        ShowActive(window);
    }

    template <typename W = QWidget> W* Child(const char* name) {
        W* found = window.findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::int32_t Add(std::int32_t type, std::int32_t x = 20, std::int32_t y = 20) {
        const std::int32_t id = AddObject(core, type, x, y);
        labels.clear();
        return id;
    }
    void Choose(std::initializer_list<std::int32_t> ids) {
        Select(core, ids);
        core.SelectionChanged();
    }
    QString Page() { return Child<QStackedWidget>("NB")->currentWidget()->objectName(); }

    // What the user does in a control: types over its text, leaves it, presses Enter, picks.
    void Type(const char* name, const QString& text) {
        QWidget* control = Child(name);
        control->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->clear();
        if (auto* box = qobject_cast<QComboBox*>(control)) box->lineEdit()->clear();
        QTest::keyClicks(control, text);
    }
    void Leave() { Child("all_Back")->setFocus(); }
    void Enter(const char* name) { QTest::keyClick(Child(name), Qt::Key_Return); }
    void Pick(const char* name, int index) {
        auto* box = Child<QComboBox>(name);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Near the left edge, where a check box has its box.
    void Click(const char* name) {
        auto* button = Child<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    ConstBytes Record(std::int32_t id) { return core.Form().KVTFile().FindByID(id); }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    DesignerCore core;
    QWidget designer;
    TfmProp window;
    std::vector<std::string> labels;
};

} // namespace

TEST_F(PropertiesWindow, IsAToolWindowOnTopWithItsNotebookPagesInOrder) {
    EXPECT_EQ(window.objectName(), "fmProp");
    EXPECT_EQ(window.windowTitle(), "Properties");
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    auto* book = Child<QStackedWidget>("NB");
    QStringList pages;
    for (int i = 0; i < book->count(); ++i)
        pages << book->widget(i)->objectName();
    EXPECT_EQ(pages, (QStringList{"Empty", "Page", "Text", "Frame", "Line", "Ellipse", "Field", "Logo"}));
    for (const char* name :
         {"all_Left",         "all_Top",        "all_Height",       "all_Width",      "labID",
          "labTab",           "pg_Paper",       "pg_Orient",        "pg_Thick",       "pg_Style",
          "pg_Color",         "pg_Colorbtn",    "tx_Text",          "tx_Angle",       "tx_Align",
          "tx_Autosize",      "tx_Font",        "fr_InnerStyle",    "fr_InnerColor",  "fr_InnerColorbtn",
          "fr_OuterStyle",    "fr_OuterColor",  "fr_OuterColorbtn", "fr_Thick",       "fr_Corner",
          "li_Color",         "li_Colorbtn",    "li_Style",         "li_Thick",       "li_Angle",
          "el_InnerStyle",    "el_InnerColor",  "el_InnerColorbtn", "el_OuterStyle",  "el_OuterColor",
          "el_OuterColorbtn", "el_Thick",       "fd_Name",          "fd_Align",       "fd_Format",
          "fd_Tag",           "fd_Maxlength",   "fd_Groupindex",    "fd_Digits",      "fd_Decimals",
          "fd_Helpcontext",   "fd_Memospacing", "fd_CtlColor",      "fd_CtlColorBtn", "fd_Readonly",
          "fd_Outline",       "fd_Border",      "fd_Showzero",      "fd_Autoalign",   "fd_Autoround",
          "fd_Autosize",      "fd_Font",        "lo_Load",          "lo_Clear",       "lo_Scaled",
          "lo_Type",          "lo_Size"})
        Child(name);
    EXPECT_EQ(Child<QPushButton>("all_Back")->text(), "To Back");
    EXPECT_EQ(Child<QPushButton>("all_Front")->text(), "To Front");
    EXPECT_EQ(Child<QPushButton>("all_Center")->text(), "Center");
    EXPECT_EQ(Child<QLabel>("labEnter")->text(), "Apply with <Enter> key");
    EXPECT_EQ(Child<QComboBox>("fd_Format")->count(), 21);
    EXPECT_EQ(Child<QComboBox>("fd_Format")->itemText(20), "Memo");
    EXPECT_EQ(Child<QComboBox>("tx_Angle")->itemText(2), "270");
    EXPECT_EQ(Child<QComboBox>("li_Angle")->itemText(3), "135");
    QStringList actions;
    for (const QAction* action : Child<QMenu>("MemoPopup")->actions())
        actions << action->text();
    EXPECT_EQ(actions, (QStringList{"Delete", "Cut", "Copy", "Paste", "Enter"}));
}

TEST_F(PropertiesWindow, ShowsThePageTheObjectOrNoPageForEachKindOfSelection) {
    const std::int32_t a = Add(kvtFieldType, 30, 40), b = Add(kvtFieldType, 30, 90), frame = Add(kvtFrameType);
    const auto enabled = [&](const char* name) { return Child(name)->isEnabled(); };
    const auto visible = [&](const char* name) { return Child(name)->isVisible(); };
    const auto text = [&](const char* name) { return Child<QLineEdit>(name)->text(); };
    const auto label = [&](const char* name) { return Child<QLabel>(name)->text(); };

    Choose({});
    EXPECT_EQ(Page(), "Page");
    EXPECT_FALSE(enabled("all_Left"));
    EXPECT_FALSE(enabled("all_Width"));
    EXPECT_EQ(text("all_Width"), QString::number(HeaderRec::PageWidth.get(core.Form().KVTFile().Items(0))));
    EXPECT_EQ(label("labID"), QString("ID:%1").arg(ItemHeader::ID.get(core.Form().KVTFile().Items(0))));
    EXPECT_FALSE(visible("labEnter"));

    Choose({b});
    EXPECT_EQ(Page(), "Field");
    EXPECT_TRUE(enabled("all_Left"));
    EXPECT_EQ(text("all_Top"), "90");
    EXPECT_EQ(label("labID"), QString::number(b));
    EXPECT_EQ(label("labTab"), QString("TAB:%1").arg(FieldRec::TabOrder.get(Record(b))));
    EXPECT_EQ(text("fd_Name"), QString::fromStdString(FieldRec::Name.get(Record(b))));
    EXPECT_TRUE(enabled("fd_Name"));
    EXPECT_FALSE(visible("labEnter"));

    Choose({a, b});
    EXPECT_EQ(Page(), "Field");
    EXPECT_EQ(text("all_Top"), "40");
    EXPECT_EQ(label("labID"), "");
    EXPECT_FALSE(enabled("fd_Name"));
    EXPECT_TRUE(visible("labEnter"));

    Choose({frame, a});
    EXPECT_EQ(Page(), "Empty");
    EXPECT_EQ(label("labTab"), "");
    EXPECT_TRUE(visible("labEnter"));
    EXPECT_TRUE(enabled("all_Left"));

    const std::int32_t logo = Add(kvtLogoType), other = Add(kvtLogoType, 200, 200);
    Choose({logo});
    EXPECT_EQ(Page(), "Logo");
    EXPECT_EQ(label("lo_Type"), "Type: Empty");
    EXPECT_EQ(label("lo_Size"), "Size: 0");
    EXPECT_TRUE(visible("lo_Load"));
    Choose({logo, other});
    EXPECT_FALSE(visible("lo_Load"));
}

TEST_F(PropertiesWindow, SeveralFramesTakeAThicknessOnlyWithEnter) {
    const std::int32_t a = Add(kvtFrameType), b = Add(kvtFrameType, 200, 200);
    Choose({a, b});
    const std::vector<std::uint8_t> before = core.Form().KVTData();
    Type("fr_Thick", "5");
    Leave();
    EXPECT_EQ(core.Form().KVTData(), before);
    EXPECT_EQ(Child<QLineEdit>("fr_Thick")->text(), "5") << "the box keeps what was typed";
    Child("fr_Thick")->setFocus();
    Enter("fr_Thick");
    EXPECT_EQ(FrameRec::Thickness.get(Record(a)), 5);
    EXPECT_EQ(FrameRec::Thickness.get(Record(b)), 5);
    EXPECT_EQ(labels, std::vector<std::string>{"Frame Thickness"});
}

TEST_F(PropertiesWindow, AFrameAndALineTakeEnterInLeftAndNothingElse) {
    const std::int32_t frame = Add(kvtFrameType, 30, 40), line = Add(kvtLineType, 60, 90);
    Choose({frame, line});
    EXPECT_EQ(Page(), "Empty");
    const std::vector<std::uint8_t> before = core.Form().KVTData();
    Type("all_Left", "12");
    Leave();
    EXPECT_EQ(core.Form().KVTData(), before);
    Type("all_Left", "120");
    Enter("all_Left");
    EXPECT_EQ(BoxOf(core, frame)[0], 120);
    EXPECT_EQ(BoxOf(core, line)[0], 120);
    EXPECT_EQ(BoxOf(core, line)[1], 90);
}

TEST_F(PropertiesWindow, ThePageTakesA4LandscapeAsListsChange) {
    Choose({});
    Pick("pg_Paper", 3);
    Pick("pg_Orient", 1);
    const ConstBytes header = core.Form().KVTFile().Items(0);
    EXPECT_EQ(HeaderRec::PageWidth.get(header), 1122);
    EXPECT_EQ(HeaderRec::PageHeight.get(header), 792);
    EXPECT_EQ(Child<QLineEdit>("all_Width")->text(), "1122");
    EXPECT_EQ(labels, (std::vector<std::string>{"Paper", "Orientation"}));
}

TEST_F(PropertiesWindow, TypedBlanksInANameBecomeUnderscoresAndAnotherFieldsNameIsRefused) {
    const std::int32_t total = Add(kvtFieldType), other = Add(kvtFieldType, 20, 80);
    Choose({total});
    Type("fd_Name", "Grand Total");
    Enter("fd_Name");
    EXPECT_EQ(FieldRec::Name.get(Record(total)), "Grand_Total");

    Choose({other});
    const std::string name = FieldRec::Name.get(Record(other));
    Type("fd_Name", "grand_total");
    Leave();
    EXPECT_EQ(prompts.Messages, std::vector<std::string>{"Duplicate field name"});
    EXPECT_EQ(FieldRec::Name.get(Record(other)), name);
    EXPECT_EQ(Child<QLineEdit>("fd_Name")->text(), QString::fromStdString(name)) << "the box shows the kept name";
}

TEST_F(PropertiesWindow, DollarWithAutoalignShowsAndStoresRight) {
    const std::int32_t field = Add(kvtFieldType);
    Choose({field});
    Click("fd_Autoalign");
    EXPECT_TRUE(FieldRec::AutoAlign.get(Record(field)) != 0);
    Pick("fd_Format", lfoDollar);
    EXPECT_EQ(FieldRec::Format.get(Record(field)), lfoDollar);
    EXPECT_EQ(FieldRec::Alignment.get(Record(field)), 1);
    EXPECT_EQ(Child<QComboBox>("fd_Align")->currentText(), "Right");
    // Unchecked, the alignment is the user's.
    Click("fd_Autoalign");
    Pick("fd_Align", 2);
    Pick("fd_Format", lfoText);
    EXPECT_EQ(FieldRec::Alignment.get(Record(field)), 2);
}

TEST_F(PropertiesWindow, ACancelledFontDialogGivesSeveralTextsTheFirstTextsFont) {
    const std::int32_t first = Add(kvtTextType), second = Add(kvtTextType, 20, 80);
    core.Edit("Font", [&] {
        const Bytes r = core.Form().KVTFile().FindByID(first);
        FontRec::FontName.set(r, "Courier New");
        FontRec::FontSize.set(r, 14);
        FontRec::FontHeight.set(r, -19);
    });
    Choose({first, second});
    prompts.Fonts = {std::nullopt};
    Click("tx_Font");
    ASSERT_EQ(prompts.FontsShown.size(), 1u);
    EXPECT_EQ(prompts.FontsShown[0].Name, "Courier New");
    for (const std::int32_t id : {first, second}) {
        EXPECT_EQ(FontRec::FontName.get(Record(id)), "Courier New");
        EXPECT_EQ(FontRec::FontSize.get(Record(id)), 14);
        EXPECT_EQ(FontRec::FontHeight.get(Record(id)), -19);
    }
}

TEST_F(PropertiesWindow, ColourBoxesTakeNamesAndNumbersAndSayWhatIsNoColour) {
    const std::int32_t line = Add(kvtLineType), field = Add(kvtFieldType, 20, 80);
    Choose({line});
    EXPECT_EQ(Child<TsvColorBox>("li_Color")->currentText(), "clBlack");
    Type("li_Color", "$000000FF");
    Enter("li_Color");
    EXPECT_EQ(LineRec::Color.get(Record(line)), clRed);
    EXPECT_EQ(Child<TsvColorBox>("li_Color")->currentText(), "clRed");

    Type("li_Color", "reddish");
    Leave();
    ASSERT_EQ(prompts.Errors.size(), 1u);
    EXPECT_NE(prompts.Errors[0].find("\"reddish\" is not a colour"), std::string::npos) << prompts.Errors[0];
    EXPECT_EQ(LineRec::Color.get(Record(line)), clRed);

    prompts.Colors = {0x00AAFFFF};
    Click("li_Colorbtn");
    EXPECT_EQ(prompts.ColorsShown, std::vector<std::uint32_t>{clRed});
    EXPECT_EQ(LineRec::Color.get(Record(line)), 0x00AAFFFFu);
    EXPECT_EQ(Child<TsvColorBox>("li_Color")->currentText(), "$00AAFFFF");

    // The control colour's button applies at once, like the others.
    Choose({field});
    prompts.Colors = {clYellow};
    Click("fd_CtlColorBtn");
    EXPECT_EQ(FieldRec::CtlColor.get(Record(field)), clYellow);
}

TEST_F(PropertiesWindow, TheMemoTakesItsTextWithEnterAndKeepsItsLines) {
    const std::int32_t text = Add(kvtTextType);
    Choose({text});
    auto* memo = Child<QPlainTextEdit>("tx_Text");
    memo->setFocus();
    memo->selectAll();
    QTest::keyClicks(memo, "Two");
    QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(memo, "lines");
    Leave();
    EXPECT_EQ(TextRec::Text.get(Record(text)), "Two\r\nlines");

    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "!");
    Enter("tx_Text");
    EXPECT_EQ(TextRec::Text.get(Record(text)), "Two\r\nlines!") << "Enter applies and adds no line";
}

TEST_F(PropertiesWindow, TheLogoButtonsLoadAndClearThePicture) {
    const std::int32_t logo = Add(kvtLogoType);
    Choose({logo});
    QFile bitmap(folder.path() + "/logo.bmp");
    ASSERT_TRUE(bitmap.open(QIODevice::WriteOnly));
    QByteArray bytes(58, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes[10] = 54;
    bytes[14] = 40;
    bytes[18] = 1;
    bytes[22] = 1;
    bytes[26] = 1;
    bytes[28] = 24;
    bitmap.write(bytes);
    bitmap.close();
    prompts.FileNames = {bitmap.fileName().toStdString()};
    Click("lo_Load");
    EXPECT_EQ(Child<QLabel>("lo_Type")->text(), "Type: Bitmap");
    EXPECT_EQ(Child<QLabel>("lo_Size")->text(), "Size: 58");
    Click("lo_Scaled");
    EXPECT_EQ(LogoRec::Scaled.get(Record(logo)), 1);
    Click("lo_Clear");
    EXPECT_EQ(Child<QLabel>("lo_Size")->text(), "Size: 0");
    EXPECT_EQ(Child<QLabel>("lo_Type")->text(), "Type: Bitmap");
    EXPECT_EQ(labels, (std::vector<std::string>{"Load Picture", "Scale to fit", "Clear Picture"}));
}
