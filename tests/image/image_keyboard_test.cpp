// The keyboard between editors: the image keeps it when an editor closes, so that Tab, Enter
// and their Shift forms go on from the current field, and an editor opened below the visible
// part of a scroll area is scrolled into view.

#include "ImageTestSupport.h"

#include "display/KVTImage.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>

#include <string>
#include <vector>

using namespace kovet;
using namespace kovet::test;

namespace {

// A window holding the image at its page size in a scroll area of `view`, and a line edit
// that can take the focus away from it. Keys go where the user's keys would: to the window's
// focus widget.
struct FormWindow {
    explicit FormWindow(const std::vector<FieldSpec>& fields, QSize view = {500, 400}) {
        TKVT form;
        AddFields(form, fields);
        image->SetDisplayOptions(OptionBit<TKVTDisplayOptions>(kvtAutosize));
        image->SetKVT(form);
        scroll->setWidget(image);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(other);
        layout->addWidget(scroll);
        window.resize(view);
        ShowActive(window);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void click(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }
    void click(const std::string& name) {
        const TRect& box = image->FieldByName(name)->ScreenRect;
        click(image, {box.Left + 3, box.Top + 3});
    }
    // The field whose editor is open and holds the keyboard; empty when none does.
    std::string typingIn() const {
        QWidget* editor = image->Editor();
        if (editor == nullptr || QApplication::focusWidget() != editor) return "";
        return image->CurrentField()->Name;
    }
    bool imageHasKeyboard() const { return QApplication::focusWidget() == image && image->Editor() == nullptr; }

    QWidget window;
    QLineEdit* other = new QLineEdit;
    QScrollArea* scroll = new QScrollArea;
    TKVTImage* image = new TKVTImage;
};

const std::vector<FieldSpec> kThreeFields = {{.Name = "A", .Box = {10, 10, 110, 30}, .TabOrder = 1},
                                             {.Name = "B", .Box = {10, 40, 110, 60}, .TabOrder = 2},
                                             {.Name = "C", .Box = {10, 70, 110, 90}, .TabOrder = 3}};

} // namespace

TEST(ImageKeyboard, TabEnterAndTheirShiftFormsGoOnFromTheCurrentFieldHoweverItsEditorClosed) {
    FormWindow shown(kThreeFields);
    shown.click("A");
    shown.key(Qt::Key_Escape);
    EXPECT_TRUE(shown.imageHasKeyboard()) << "after Escape";
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.typingIn(), "B");

    shown.image->LoadFieldStrings(std::vector<std::string>{"\1A", "loaded"});
    EXPECT_TRUE(shown.imageHasKeyboard()) << "after loading field data";
    shown.key(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(shown.typingIn(), "A");

    shown.image->Editor()->clearFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.imageHasKeyboard()) << "after the editor lost the focus to no widget";
    shown.key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(shown.typingIn(), "C") << "back from the first field wraps round to the last";
    shown.key(Qt::Key_Escape);
    shown.key(Qt::Key_Enter);
    EXPECT_EQ(shown.typingIn(), "A") << "and on from the last to the first";
}

TEST(ImageKeyboard, WithNoCurrentFieldTabOpensTheFirstFieldInTabOrderAndShiftTabTheLast) {
    FormWindow shown({{.Name = "Third", .Box = {10, 10, 110, 30}, .TabOrder = 3},
                      {.Name = "First", .Box = {10, 40, 110, 60}, .TabOrder = 1},
                      {.Name = "Locked", .Box = {10, 70, 110, 90}, .TabOrder = 0, .ReadOnly = true},
                      {.Name = "Off", .Box = {10, 100, 110, 120}, .TabOrder = -1},
                      {.Name = "Second", .Box = {10, 130, 110, 150}, .TabOrder = 2}});
    shown.click(shown.image, {400, 400});
    EXPECT_TRUE(shown.imageHasKeyboard()) << "a click beside the fields gives the image the keyboard";
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.typingIn(), "First");

    shown.image->Reload();
    ASSERT_EQ(shown.image->CurrentField(), nullptr);
    EXPECT_TRUE(shown.imageHasKeyboard());
    shown.key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(shown.typingIn(), "Third");
}

TEST(ImageKeyboard, TheImageTakesNoFocusThatTheUserGaveElsewhere) {
    FormWindow shown(kThreeFields);
    shown.click("A");
    shown.click(shown.image, {400, 400});
    EXPECT_EQ(shown.typingIn(), "A") << "a click beside the fields leaves the open editor typing";

    shown.click(shown.other, {5, 5});
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.image->Editor(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), shown.other);

    shown.click(shown.image, {400, 400});
    shown.key(Qt::Key_Tab);
    EXPECT_EQ(shown.typingIn(), "B") << "a click on the image hands it the keyboard back, at the current field";
}

TEST(ImageKeyboard, AnEditorOpenedOutsideTheScrolledViewIsScrolledIntoIt) {
    FormWindow shown({{.Name = "Top", .Box = {10, 10, 110, 30}, .TabOrder = 1},
                      {.Name = "FarDown", .Box = {650, 980, 790, 1000}, .TabOrder = 2},
                      {.Name = "Big", .Format = lfoMemo, .Box = {300, 400, 780, 900}, .TabOrder = 3}},
                     {300, 250});
    const QWidget* viewport = shown.scroll->viewport();
    const auto editorInView = [&] {
        const QWidget* editor = shown.image->Editor();
        return QRect(editor->mapTo(viewport, QPoint(0, 0)), editor->size());
    };
    shown.click("Top");
    shown.key(Qt::Key_Tab);
    ASSERT_EQ(shown.typingIn(), "FarDown");
    EXPECT_TRUE(viewport->rect().contains(editorInView())) << "the whole editor, not only its text cursor";

    shown.key(Qt::Key_Tab);
    ASSERT_EQ(shown.typingIn(), "Big");
    EXPECT_TRUE(viewport->rect().contains(editorInView().topLeft())) << "an editor larger than the view from its start";
}
