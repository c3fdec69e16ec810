// The tab-order dialog as the user meets it: its controls, choosing and moving lines, sorting
// by position, OK renumbering the fields and Escape leaving them.
#include "designer/FormObjects.h"
#include "designer/ScriptedPrompts.h"
#include "designer/windows/TabOrderDialog.h"
#include "widgets/Application.h"
#include "widgets/TsvListbox.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

class TabOrderDialog : public ::testing::Test {
protected:
    TabOrderDialog() : core(prompts, (folder.path() + "/config").toStdString()) {
        core.Start();
        core.OnEdited = [this](const TUndoStep& step) { labels.push_back(step.Label); };
    }

    // Runs the dialog with `user` acting in it; `user` closes it.
    void Run(const std::function<void()>& user) {
        QTimer::singleShot(0, &dialog, user);
        dialog.EditTabOrder(core);
    }
    TsvListbox* list() { return dialog.findChild<TsvListbox*>("lbFields"); }
    QStringList Lines() {
        QStringList lines;
        for (int i = 0; i < list()->count(); ++i)
            lines << list()->item(i)->text();
        return lines;
    }
    void ChooseLine(int index) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(index)).center());
    }
    void Click(const char* name) { QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton); }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    DesignerCore core;
    TdlgTabOrder dialog;
    std::vector<std::string> labels;
};

} // namespace

TEST_F(TabOrderDialog, IsAModalToolWindowWithItsButtonsInKeyboardOrder) {
    EXPECT_EQ(dialog.objectName(), "dlgTabOrder");
    EXPECT_EQ(dialog.windowTitle(), "Edit Field Tab Order");
    EXPECT_EQ(dialog.windowType(), Qt::Tool);
    EXPECT_TRUE(dialog.isModal());
    ASSERT_NE(list(), nullptr);
    const std::pair<const char*, const char*> buttons[] = {{"btnTop", "&Top"},
                                                           {"btnUp", "&Up"},
                                                           {"btnDown", "&Down"},
                                                           {"btnBottom", "&Bottom"},
                                                           {"btnOK", "&OK"},
                                                           {"btnCancel", "&Cancel"},
                                                           {"btnSortByTop", "&Sort by top"}};
    QWidget* previous = list();
    for (const auto& [name, caption] : buttons) {
        auto* button = dialog.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), caption);
        EXPECT_EQ(button->isDefault(), std::string(name) == "btnOK") << name;
        QWidget* next = previous->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, button) << name;
        previous = button;
    }
}

TEST_F(TabOrderDialog, MovedLinesStayChosenAndOkRenumbersTheFieldsInTheirOrder) {
    const std::int32_t a = AddField(core,
                                    "Stra\xDF"
                                    "e",
                                    0);
    const std::int32_t b = AddField(core, "B", 1), c = AddField(core, "C", 2);
    QStringList shown, afterUp, afterTop;
    int chosenAfterUp = -2, chosenAfterTop = -2, lineHeight = 0;
    Run([&] {
        shown = Lines();
        lineHeight = list()->visualItemRect(list()->item(0)).height();
        ChooseLine(2);
        Click("btnUp");
        afterUp = Lines();
        chosenAfterUp = list()->ItemIndex();
        Click("btnTop");
        afterTop = Lines();
        chosenAfterTop = list()->ItemIndex();
        Click("btnOK");
    });
    EXPECT_EQ(shown, (QStringList{"Straße", "B", "C"}));
    EXPECT_EQ(lineHeight, 15);
    EXPECT_EQ(afterUp, (QStringList{"Straße", "C", "B"}));
    EXPECT_EQ(chosenAfterUp, 1);
    EXPECT_EQ(afterTop, (QStringList{"C", "Straße", "B"}));
    EXPECT_EQ(chosenAfterTop, 0);
    EXPECT_EQ(TabOrderOf(core, c), 0);
    EXPECT_EQ(TabOrderOf(core, a), 1);
    EXPECT_EQ(TabOrderOf(core, b), 2);
    EXPECT_EQ(labels, std::vector<std::string>{"Tab Order"});
    EXPECT_EQ(list()->count(), 0) << "the list is emptied after the dialog";
}

TEST_F(TabOrderDialog, SortByTopListsByTopThenLeftWithNoLineChosen) {
    const std::int32_t right = AddField(core, "Right", 0, 300, 100), left = AddField(core, "Left", 1, 10, 100);
    const std::int32_t high = AddField(core, "High", 2, 50, 40);
    QStringList sorted;
    int chosen = -2;
    Run([&] {
        ChooseLine(0);
        Click("btnSortByTop");
        sorted = Lines();
        chosen = list()->ItemIndex();
        // With no line chosen the moving buttons do nothing.
        Click("btnDown");
        Click("btnBottom");
        Click("btnOK");
    });
    EXPECT_EQ(sorted, (QStringList{"High", "Left", "Right"}));
    EXPECT_EQ(chosen, -1);
    EXPECT_EQ(TabOrderOf(core, high), 0);
    EXPECT_EQ(TabOrderOf(core, left), 1);
    EXPECT_EQ(TabOrderOf(core, right), 2);
}

TEST_F(TabOrderDialog, EscapeAfterRearrangingLeavesEveryField) {
    AddField(core, "A", 0, 0, 50);
    AddField(core, "B", 1, 0, 10);
    const std::vector<std::uint8_t> before = core.Form().KVTData();
    Run([&] {
        ChooseLine(0);
        Click("btnBottom");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(core.Form().KVTData(), before);
    EXPECT_TRUE(labels.empty());
    EXPECT_FALSE(dialog.isVisible());
}
