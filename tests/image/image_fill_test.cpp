// Filling a form in with the mouse and the keyboard, as a user does.

#include "ImageTestSupport.h"

#include "display/FieldFormat.h"
#include "display/KVTCheckBox.h"
#include "display/KVTEdit.h"
#include "display/KVTImage.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>

#include <string>
#include <vector>

using namespace kovet;
using namespace kovet::test;

namespace {

// An image showing `form` at its natural size, shown so that editors can take the focus.
struct ShownImage {
    explicit ShownImage(const TKVT& form) {
        image.SetKVT(form);
        image.resize(816, 1056);
        ShowActive(image);
    }
    explicit ShownImage(const std::string& file) {
        image.LoadFromFile(file);
        image.resize(816, 1056);
        ShowActive(image);
    }
    void click(const TKVTField& field, int dx = 3) {
        QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(field.ScreenRect.Left + dx, field.ScreenRect.Top + 3));
    }
    void click(const std::string& name, int dx = 3) { click(*image.FieldByName(name), dx); }
    QWidget* editor() const { return image.Editor(); }
    std::string current() const { return image.CurrentField() ? image.CurrentField()->Name : ""; }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(editor(), key, modifiers); }
    void type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    TKVTImage image;
};

void AddTabOrderFields(TKVT& form) {
    AddFields(form, {{.Name = "A", .Box = {10, 10, 110, 30}, .TabOrder = 1},
                     {.Name = "B", .Box = {10, 40, 110, 60}, .TabOrder = 2},
                     {.Name = "E", .Box = {10, 70, 110, 90}, .TabOrder = 5},
                     {.Name = "Locked", .Box = {10, 100, 110, 120}, .TabOrder = 3, .ReadOnly = true},
                     {.Name = "Off", .Box = {10, 130, 110, 150}, .TabOrder = -1}});
}

} // namespace

TEST(ImageFill, ClickOpensTheEditorOfTheFieldsFormatOverItsBox) {
    ShownImage shown(kInvoice);
    shown.click("InvoiceNo");
    ASSERT_NE(dynamic_cast<TKVTEdit*>(shown.editor()), nullptr);
    EXPECT_EQ(shown.current(), "InvoiceNo");
    const TRect& box = shown.image.FieldByName("InvoiceNo")->ScreenRect;
    EXPECT_EQ(shown.editor()->x(), box.Left);
    EXPECT_EQ(shown.editor()->width(), box.Width());

    shown.click("Terms");
    EXPECT_NE(dynamic_cast<QComboBox*>(shown.editor()), nullptr);
    shown.click("Notes");
    EXPECT_NE(dynamic_cast<QPlainTextEdit*>(shown.editor()), nullptr);
    shown.click("Paid");
    EXPECT_NE(dynamic_cast<TKVTCheckBox*>(shown.editor()), nullptr);
}

TEST(ImageFill, TypedValuesAreWrittenBackAndShownFormatted) {
    ShownImage shown(kInvoice);
    shown.click("Shipping");
    shown.type("12a34,.5");
    shown.key(Qt::Key_Tab);
    TKVTField& shipping = *shown.image.FieldByName("Shipping");
    EXPECT_DOUBLE_EQ(shipping.AsDouble(), 1234.5);
    EXPECT_EQ(shipping.DisplayText(), "$1,234.50");

    shown.click("InvoiceDate");
    shown.type("123199");
    shown.key(Qt::Key_Tab);
    const TDateParts date = DecodeDateTime(shown.image.FieldByName("InvoiceDate")->AsDateTime());
    EXPECT_EQ(date.Year, 1999);
    EXPECT_EQ(date.Month, 12);
    EXPECT_EQ(date.Day, 31);
    EXPECT_EQ(shown.image.FieldByName("InvoiceDate")->DisplayText(), "12/31/99");

    shown.click("Phone");
    shown.type("5551234567");
    shown.key(Qt::Key_Escape);
    EXPECT_EQ(shown.editor(), nullptr) << "Escape closes the editor";
    EXPECT_EQ(shown.image.FieldByName("Phone")->AsString(), "(555)123-4567") << "and keeps the typed text";

    shown.click("Terms");
    shown.type("Net 30");
    shown.key(Qt::Key_Return);
    EXPECT_EQ(shown.image.FieldByName("Terms")->AsString(), "Net 30");

    shown.click("Notes");
    shown.type("First line");
    shown.key(Qt::Key_Return);
    EXPECT_EQ(shown.current(), "Notes") << "Enter in a memo starts a new line";
    shown.type("Second line");
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.image.FieldByName("Notes")->AsStringList(),
              (std::vector<std::string>{"First line", "Second line"}));
}

TEST(ImageFill, TabAndShiftTabFollowTheTabOrderAndWrapAround) {
    TKVT form;
    AddTabOrderFields(form);
    ShownImage shown(form);
    shown.click("B");
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.current(), "E") << "read-only and unreachable fields are skipped";
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.current(), "A") << "from the highest back to the lowest";
    shown.key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(shown.current(), "E") << "Shift+Tab from the lowest wraps to the highest";
    shown.key(Qt::Key_Return);
    EXPECT_EQ(shown.current(), "A") << "Enter moves on like Tab";

    shown.click("Off");
    EXPECT_EQ(shown.current(), "Off") << "a field outside the tab order can be clicked";
    QWidget* editor = shown.editor();
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.editor(), editor) << "Tab from it does nothing";

    shown.click("Locked");
    EXPECT_EQ(shown.current(), "Off") << "a click on a read-only field opens nothing";
    EXPECT_EQ(shown.editor(), editor);
}

TEST(ImageFill, EqualTabOrdersOpenTheEarlierField) {
    TKVT form;
    AddFields(form, {{.Name = "Current", .Box = {10, 10, 110, 30}, .TabOrder = 2},
                     {.Name = "First3", .Box = {10, 40, 110, 60}, .TabOrder = 3},
                     {.Name = "Second3", .Box = {10, 70, 110, 90}, .TabOrder = 3}});
    ShownImage shown(form);
    shown.click("Current");
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.current(), "First3");
}

TEST(ImageFill, EventsComeInTheirOrder) {
    TKVT form;
    AddFields(form, {{.Name = "A", .Box = {10, 10, 110, 30}, .TabOrder = 1},
                     {.Name = "B", .Box = {10, 40, 110, 60}, .TabOrder = 2}});
    ShownImage shown(form);
    std::vector<std::string> events;
    shown.image.OnFieldControlCreate = [&](TKVTImage&, TKVTField& f, QWidget*&) {
        events.push_back("create " + f.Name);
    };
    shown.image.OnFieldChange = [&](TKVTImage&, TKVTField& f, QWidget*) { events.push_back("change " + f.Name); };
    shown.image.OnFieldExit = [&](TKVTImage&, TKVTField& f) {
        events.push_back("exit " + f.Name + "=" + f.AsString());
    };
    shown.click("A");
    shown.type("x");
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(events, (std::vector<std::string>{"create A", "change A", "exit A=x", "create B"}));
}

TEST(ImageFill, ACreateHandlerMayReplaceTheEditor) {
    TKVT form;
    AddFields(form, {{.Name = "A", .TabOrder = 1}});
    ShownImage shown(form);
    QLineEdit* replacement = nullptr;
    shown.image.OnFieldControlCreate = [&](TKVTImage& image, TKVTField&, QWidget*& control) {
        replacement = new QLineEdit(&image);
        control = replacement;
    };
    bool exited = false;
    shown.image.OnFieldExit = [&](TKVTImage&, TKVTField&) { exited = true; };
    shown.click("A");
    EXPECT_EQ(shown.editor(), replacement);
    QTest::keyClicks(replacement, "typed");
    shown.key(Qt::Key_Escape);
    EXPECT_TRUE(exited);
    EXPECT_EQ(shown.image.FieldByName("A")->AsString(), "") << "only an edit of the field's kind is read back";
}

TEST(ImageFill, CheckBoxesToggleOnTheirBoxAndActAsRadioButtonsInAGroup) {
    TKVT form;
    AddFields(form, {{.Name = "Wide", .Format = lfoCheckbox, .Box = {10, 10, 210, 30}, .TabOrder = 1},
                     {.Name = "R1", .Format = lfoCheckbox, .Box = {10, 40, 30, 60}, .TabOrder = 2, .GroupIndex = 4},
                     {.Name = "R2", .Format = lfoCheckbox, .Box = {10, 70, 30, 90}, .TabOrder = 3, .GroupIndex = 4},
                     {.Name = "R3", .Format = lfoCheckbox, .Box = {10, 100, 30, 120}, .TabOrder = 4, .GroupIndex = 4},
                     {.Name = "Free", .Format = lfoCheckbox, .Box = {10, 130, 30, 150}, .TabOrder = 5}});
    ShownImage shown(form);
    TKVTImage& image = shown.image;
    shown.click("Wide", 40);
    EXPECT_EQ(shown.editor(), nullptr) << "beyond the 15-pixel box nothing happens";
    shown.click("Wide", 5);
    shown.key(Qt::Key_Tab);
    EXPECT_TRUE(image.FieldByName("Wide")->AsBoolean()) << "one click checks";

    image.FieldByName("Free")->SetAsBoolean(true);
    shown.click("R1");
    shown.click("R2");
    shown.click("R3");
    shown.click("Wide", 5);
    shown.key(Qt::Key_Escape);
    EXPECT_FALSE(image.FieldByName("R1")->AsBoolean());
    EXPECT_FALSE(image.FieldByName("R2")->AsBoolean());
    EXPECT_TRUE(image.FieldByName("R3")->AsBoolean());
    EXPECT_TRUE(image.FieldByName("Free")->AsBoolean()) << "group 0 is not a group";
    EXPECT_FALSE(image.FieldByName("Wide")->AsBoolean()) << "a second click unchecks";
}

TEST(ImageFill, FieldsFollowTheScaledAndCentredPage) {
    ShownImage shown(kInvoice);
    shown.image.resize(600, 528);
    shown.image.SetDisplayOptions(OptionBit<TKVTDisplayOptions>(kvtScale) | OptionBit<TKVTDisplayOptions>(kvtCenter));
    const TRect r = shown.image.GetDrawRect(true);
    EXPECT_EQ(r.Left, 96);
    EXPECT_EQ(r.Right, 504);
    const TKVTField& field = *shown.image.FieldByName("InvoiceNo");
    EXPECT_EQ(field.ScreenRect.Left, field.Left / 2 + 96);
    EXPECT_EQ(field.ScreenRect.Top, field.Top / 2);
    shown.click("InvoiceNo");
    EXPECT_EQ(shown.current(), "InvoiceNo");
}

TEST(ImageFill, PassingThroughAFieldKeepsItsValue) {
    TKVT form;
    AddFields(form, {{.Name = "Amount", .Format = lfoDollar, .TabOrder = 1},
                     {.Name = "Born", .Format = lfoDate, .Box = {10, 40, 110, 60}, .TabOrder = 2},
                     {.Name = "Choice", .Format = lfoComboBox, .Box = {10, 70, 110, 90}, .TabOrder = 3},
                     {.Name = "Notes", .Format = lfoMemo, .Box = {10, 100, 210, 160}, .TabOrder = 4}});
    FieldRec::MaxLength.set(form.KVTFile().Fields.Items(0), 6);
    ShownImage shown(form);
    TKVTImage& image = shown.image;
    image.FieldByName("Amount")->SetAsDouble(1234.5678);
    image.FieldByName("Born")->SetAsDateTime(*EncodeDate(1950, 1, 1));
    image.FieldByName("Choice")->SetAsStringList({"Net 30", "Net 60"});
    image.FieldByName("Choice")->SetAsString("Cash");
    image.FieldByName("Notes")->SetAsStringList({"one", "two"});
    shown.click("Amount");
    for (int i = 0; i < 4; ++i)
        shown.key(Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(image.FieldByName("Amount")->AsDouble(), 1234.5678) << "not cut to the typing limit, not rounded";
    EXPECT_EQ(DecodeDateTime(image.FieldByName("Born")->AsDateTime()).Year, 1950) << "not read back as 2050";
    EXPECT_EQ(image.FieldByName("Choice")->AsString(), "Cash");
    EXPECT_EQ(image.FieldByName("Choice")->ItemIndex, -1) << "a text that is no item selects none";
    EXPECT_EQ(image.FieldByName("Notes")->AsStringList(), (std::vector<std::string>{"one", "two"}));

    shown.click("Amount");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    shown.type("999");
    EXPECT_EQ(static_cast<QLineEdit*>(shown.editor())->text().size(), 7) << "typing stops at the limit";
}

TEST(ImageFill, OpeningAFilledFieldReportsAChangeBeforeTheEditorIsAnnounced) {
    TKVT form;
    AddFields(form, {{.Name = "A", .TabOrder = 1}});
    ShownImage shown(form);
    shown.image.FieldByName("A")->SetAsString("filled");
    std::vector<std::string> events;
    shown.image.OnFieldChange = [&](TKVTImage&, TKVTField&, QWidget* control) {
        events.push_back(control != nullptr ? "change" : "change without editor");
    };
    shown.image.OnFieldControlCreate = [&](TKVTImage&, TKVTField&, QWidget*&) { events.push_back("create"); };
    shown.click("A");
    EXPECT_EQ(events, (std::vector<std::string>{"change", "create"}));
}

TEST(ImageFill, AnExitHandlerMayOpenAnotherFieldOrRebuildTheFields) {
    TKVT form;
    AddFields(form, {{.Name = "A", .Box = {10, 10, 110, 30}, .TabOrder = 1},
                     {.Name = "B", .Box = {10, 40, 110, 60}, .TabOrder = 2},
                     {.Name = "C", .Box = {10, 70, 110, 90}, .TabOrder = 3}});
    ShownImage shown(form);
    TKVTImage& image = shown.image;
    image.OnFieldExit = [](TKVTImage& sender, TKVTField& field) {
        if (field.Name == "A") sender.OpenField(sender.FieldByName("C"));
    };
    shown.click("A");
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.current(), "C") << "the handler's choice stands";
    ASSERT_NE(shown.editor(), nullptr);

    image.OnFieldExit = [](TKVTImage& sender, TKVTField&) { sender.Reload(); };
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.editor(), nullptr);
    shown.click("B");
    image.OnFieldExit = nullptr;
    EXPECT_EQ(shown.current(), "B") << "the image is still usable";
}
