// The options dialog as the user meets it: every control loaded from the defaults record when
// it opens, OK and Enter storing them, Cancel, Escape and Restore Defaults followed by Cancel
// leaving the record as it was, the Word scale's range and the font and colour buttons.
#include "designer/ScriptedPrompts.h"
#include "designer/windows/OptionsDialog.h"
#include "display/KVTEdit.h"
#include "widgets/Application.h"
#include "widgets/TsvColorBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

class OptionsDialog : public ::testing::Test {
protected:
    OptionsDialog() : core(prompts, (folder.path() + "/config").toStdString()), dialog(core, prompts) { core.Start(); }

    // Runs the dialog with `user` acting in it; `user` closes it. Whether it ended with OK.
    bool Run(const std::function<void()>& user) {
        QTimer::singleShot(0, &dialog, user);
        return dialog.EditOptions();
    }
    template <typename W = QWidget> W* Child(const char* name) {
        W* found = dialog.findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Type(const char* name, const QString& text) {
        auto* edit = Child<QLineEdit>(name);
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    void Click(const char* name) { QTest::mouseClick(Child<QAbstractButton>(name), Qt::LeftButton); }
    auto Record() { return core.Defaults().Record; }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    DesignerCore core;
    TdlgOptions dialog;
};

} // namespace

TEST_F(OptionsDialog, OpensWithEveryControlLoadedFromTheRecord) {
    DefaultsRec::RulerUnits.set(core.Defaults().Record, 2);
    DefaultsRec::PrintExactMargins.set(core.Defaults().Record, 1);
    FrameRec::Thickness.set(core.Defaults().Frame(), 3);
    ObjectRec::Height.set(core.Defaults().Line(), 12);
    QStringList tabs, defaults;
    bool millimetres = false, margins = false, shading = false;
    QString scale, thickness, lineHeight, fieldFont, inner, name;
    Run([&] {
        auto* pages = Child<QTabWidget>("pcOptions");
        for (int i = 0; i < pages->count(); ++i)
            tabs << pages->tabText(i);
        auto* objects = Child<QTabWidget>("pcDefaults");
        for (int i = 0; i < objects->count(); ++i)
            defaults << objects->tabText(i);
        millimetres = Child<QRadioButton>("ckMM")->isChecked();
        margins = Child<QCheckBox>("ckExactMargins")->isChecked();
        shading = Child<QCheckBox>("ckShading")->isChecked();
        scale = Child<QLineEdit>("eMS")->text();
        thickness = Child<QLineEdit>("fr_Thick")->text();
        lineHeight = Child<QLineEdit>("li_Height")->text();
        inner = Child<TsvColorBox>("fr_InnerColor")->currentText();
        name = Child<QLineEdit>("fd_Name")->text();
        Click("btnCancel");
    });
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(tabs, (QStringList{"&General", "&Defaults"}));
    EXPECT_EQ(defaults, (QStringList{"Page", "Text", "Frames", "Lines", "Ellipses", "Fields"}));
    EXPECT_TRUE(millimetres);
    EXPECT_TRUE(margins);
    EXPECT_TRUE(shading);
    EXPECT_EQ(scale, "0.33");
    EXPECT_EQ(thickness, "3");
    EXPECT_EQ(lineHeight, "12");
    EXPECT_EQ(inner, "$00AAFFFF");
    EXPECT_EQ(name, "Field");
    EXPECT_EQ(Child<QPushButton>("btnCancel")->text(), "&Cancel");
    EXPECT_EQ(Child<QPushButton>("btnDefaults")->text(), "Restore De&faults");
}

TEST_F(OptionsDialog, CancelEscapeAndTheCloseBoxLeaveTheRecordAsItWas) {
    FrameRec::Thickness.set(core.Defaults().Frame(), 3);
    const auto before = Record();
    const std::function<void()> leaves[] = {[&] { Click("btnCancel"); },
                                            [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }, [&] { dialog.close(); }};
    for (const auto& leave : leaves) {
        EXPECT_FALSE(Run([&] {
            Type("fr_Thick", "7");
            Click("ckColor");
            Click("btnDefaults");
            leave();
        }));
        EXPECT_EQ(Record(), before);
    }
}

TEST_F(OptionsDialog, OkAndEnterStoreTheControlsWithTheWordScaleInRange) {
    EXPECT_TRUE(Run([&] {
        Type("fr_Thick", "7");
        Click("ckInches");
        Type("eMS", "2");
        Click("btnOK");
    }));
    EXPECT_EQ(FrameRec::Thickness.get(core.Defaults().Frame()), 7);
    EXPECT_EQ(DefaultsRec::RulerUnits.get(core.Defaults().Record), 1);
    EXPECT_FLOAT_EQ(DefaultsRec::WordScale.get(core.Defaults().Record), 1.0f);

    EXPECT_TRUE(Run([&] {
        Type("eMS", "0.01");
        QTest::keyClick(Child("eMS"), Qt::Key_Return);
    }));
    EXPECT_FLOAT_EQ(DefaultsRec::WordScale.get(core.Defaults().Record), 0.05f);

    // Restore Defaults, then OK: the built-in values.
    EXPECT_TRUE(Run([&] {
        Click("btnDefaults");
        Click("btnOK");
    }));
    EXPECT_EQ(FrameRec::Thickness.get(core.Defaults().Frame()), 1);
    EXPECT_FLOAT_EQ(DefaultsRec::WordScale.get(core.Defaults().Record), 0.33f);
}

TEST_F(OptionsDialog, FontAndColourButtonsSetTheirControlsForOk) {
    const TFontChoice font{"DejaVu Serif", clNavy, 12, 2, -16};
    prompts.Fonts = {font};
    prompts.Colors = {clTeal};
    Run([&] {
        Click("tx_Font");
        Click("li_Colorbtn");
        Click("btnOK");
    });
    EXPECT_EQ(prompts.FontsShown[0].Name, "Arial");
    EXPECT_EQ(prompts.ColorsShown, std::vector<std::uint32_t>{clBlack});
    const ConstBytes text = core.Defaults().Text();
    EXPECT_EQ(FontRec::FontName.get(text), "DejaVu Serif");
    EXPECT_EQ(FontRec::FontColor.get(text), clNavy);
    EXPECT_EQ(FontRec::FontSize.get(text), 12);
    EXPECT_EQ(FontRec::FontStyle.get(text), 2);
    EXPECT_EQ(FontRec::FontHeight.get(text), -16);
    EXPECT_EQ(LineRec::Color.get(core.Defaults().Line()), clTeal);
}

TEST_F(OptionsDialog, AColourBoxThatNamesNoColourKeepsTheDialogOpenOnOk) {
    const auto before = Record();
    bool openAfterOk = false;
    EXPECT_FALSE(Run([&] {
        auto* box = Child<TsvColorBox>("pg_Color");
        box->setEditText("paper white");
        Click("btnOK");
        openAfterOk = dialog.isVisible();
        Click("btnCancel");
    }));
    EXPECT_TRUE(openAfterOk);
    ASSERT_EQ(prompts.Errors.size(), 1u);
    EXPECT_NE(prompts.Errors[0].find("\"paper white\" is not a colour"), std::string::npos);
    EXPECT_EQ(Record(), before);
}
