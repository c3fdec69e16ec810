#include "Application.h"

#include "display/FieldFormat.h"
#include "display/KVTEdit.h"
#include "platform/QtCanvas.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

namespace kovet {
namespace {

// A window with the edit under test and a second control to move the focus to; it records
// the keys that reach it from its children.
class EditWindow : public QWidget {
public:
    EditWindow() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit = new TKVTEdit(this));
        layout->addWidget(next = new QLineEdit(this));
    }
    void Enter() { edit->setFocus(Qt::TabFocusReason); }
    void Leave() { next->setFocus(Qt::TabFocusReason); }

    TKVTEdit* edit;
    QLineEdit* next;
    std::vector<int> keysSeen;

protected:
    void keyPressEvent(QKeyEvent* event) override { keysSeen.push_back(event->key()); }
};

class EditTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ShowActive(window);
        // Activation focused the edit; each test enters it itself.
        window.Leave();
    }
    // Focuses the edit, types over its selected text, and leaves it.
    void TypeAndLeave(const QString& keys) {
        window.Enter();
        QTest::keyClicks(edit, keys);
        window.Leave();
    }

    EditWindow window;
    TKVTEdit* edit = window.edit;
};

TEST_F(EditTest, DollarShowsCurrencyAndIsEditedAsPlainDigits) {
    edit->SetFormat(lfoDollar);
    edit->SetValue(1234.5);
    EXPECT_EQ(edit->Text(), "$1,234.50");
    EXPECT_EQ(edit->Alignment(), TAlignment::taRightJustify);

    window.Enter();
    EXPECT_EQ(edit->Text(), "1234.50");
    EXPECT_EQ(edit->selectedText(), edit->text());

    QTest::keyClicks(edit, "9a,8.5 x");
    EXPECT_EQ(edit->Text(), "98.5");
    window.Leave();
    EXPECT_DOUBLE_EQ(edit->Value(), 98.5);
    EXPECT_EQ(edit->Text(), "$98.50");
    EXPECT_EQ(edit->palette().color(QPalette::Text), ToQColor(clWindowText));
}

TEST_F(EditTest, NegativeDollarSurvivesAnotherCommit) {
    edit->SetFormat(lfoDollar);
    TypeAndLeave("-12");
    EXPECT_DOUBLE_EQ(edit->Value(), -12);
    EXPECT_EQ(edit->palette().color(QPalette::Text), ToQColor(clMaroon));
    edit->Commit();
    EXPECT_DOUBLE_EQ(edit->Value(), -12);
    window.Enter();
    EXPECT_EQ(edit->Text(), "-12.00");
    window.Leave();
    TypeAndLeave("3");
    EXPECT_EQ(edit->palette().color(QPalette::Text), ToQColor(clWindowText));
}

TEST_F(EditTest, PercentIsTypedAsHundredths) {
    edit->SetFormat(lfoPercent);
    edit->SetDecimals(1);
    TypeAndLeave("12.5");
    EXPECT_DOUBLE_EQ(edit->Value(), 0.125);
    EXPECT_EQ(edit->Text(), "12.5%");
}

TEST_F(EditTest, EmptyNumberCommitsAsZeroAndStaysEmptyWithoutShowZero) {
    edit->SetFormat(lfoInteger);
    edit->SetValue(7);
    window.Enter();
    QTest::keyClick(edit, Qt::Key_Backspace);
    window.Leave();
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(edit->Text(), "");

    edit->SetOptions(edit->Options() | SuperOption(soShowZero));
    edit->Commit();
    EXPECT_EQ(edit->Text(), "0");
}

TEST_F(EditTest, MinimumAndMaximumClampTypedNumbers) {
    edit->SetOptions(edit->Options() | SuperOption(soMinMaxUsed));
    edit->MinValue = -5;
    edit->MaxValue = 100;
    edit->SetFormat(lfoInteger);
    TypeAndLeave("150");
    EXPECT_EQ(edit->Value(), 100);
    TypeAndLeave("-50");
    EXPECT_EQ(edit->Value(), -5);
}

struct MaskedCase {
    TKVTFieldFormat Format;
    const char* Keys;
    const char* Shown; // the text after leaving the edit
    double Value;      // the committed value; -1 for formats without a value
};

class MaskedTypingTest : public EditTest, public ::testing::WithParamInterface<MaskedCase> {};

TEST_P(MaskedTypingTest, TypedDigitsFillTheMask) {
    const MaskedCase& c = GetParam();
    edit->SetFormat(c.Format);
    TypeAndLeave(QString::fromLatin1(c.Keys));
    EXPECT_EQ(edit->Text(), c.Shown);
    if (c.Value >= 0) {
        EXPECT_DOUBLE_EQ(edit->Value(), c.Value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MaskedTypingTest,
    ::testing::Values(MaskedCase{lfoFullDate, "12311999", "12/31/1999", *EncodeDate(1999, 12, 31)},
                      MaskedCase{lfoFullDate, "12/31/1999", "12/31/1999", *EncodeDate(1999, 12, 31)},
                      MaskedCase{lfoDate, "134599", "", 0},
                      MaskedCase{lfoShortDate, "0705", "07/05", *EncodeDate(2005, 7, 1)},
                      MaskedCase{lfoShortDate, "07/05", "07/05", *EncodeDate(2005, 7, 1)},
                      MaskedCase{lfoShortDate, "07", "", 0},
                      MaskedCase{lfoTime, "0205pm", "02:05pm", EncodeTime(14, 5, 0, 0)},
                      MaskedCase{lfoMTime, "140530", "14:05:30", EncodeTime(14, 5, 30, 0)},
                      MaskedCase{lfoPhone, "5551234567", "(555)123-4567", -1},
                      MaskedCase{lfoPhoneExt, "55512345671234", "(555)123-4567 x1234", -1},
                      MaskedCase{lfoSocial, "123a456789", "123-45-6789", -1}, MaskedCase{lfoPhone, "", "", -1}));

TEST_F(EditTest, AnotherWindowOrAPopUpTakingTheKeyboardLeavesHalfTypedValuesAlone) {
    const std::pair<TKVTFieldFormat, const char*> halves[] = {{lfoFullDate, "1231"}, {lfoDollar, "12."}};
    for (const auto& [format, half] : halves) {
        edit->SetFormat(format);
        window.Enter();
        QTest::keyClicks(edit, half);
        for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason), in(QEvent::FocusIn, reason);
            QApplication::sendEvent(edit, &out);
            QApplication::sendEvent(edit, &in);
        }
        QTest::keyClicks(edit, format == lfoDollar ? "5" : "1999");
        window.Leave();
        EXPECT_DOUBLE_EQ(edit->Value(), format == lfoDollar ? 12.5 : *EncodeDate(1999, 12, 31)) << half;
    }
}

TEST_F(EditTest, PartlyTypedMaskKeepsBlanksAsSpaces) {
    edit->SetFormat(lfoZipCode);
    TypeAndLeave("123");
    EXPECT_EQ(edit->Text(), "123  -    ");
}

TEST_F(EditTest, AssignedTextFillsShortSectionsFromTheRight) {
    edit->SetFormat(lfoDate);
    edit->SetText("7/5/99");
    EXPECT_EQ(edit->displayText(), " 7/ 5/99");
    edit->SetText("123199");
    EXPECT_EQ(edit->Text(), "12/31/99");
    edit->SetText(edit->Text());
    EXPECT_EQ(edit->Text(), "12/31/99");
}

TEST_F(EditTest, CustomMaskUsesTheMaskedEditNotation) {
    edit->SetCustomMask(">LL\\-0000;0;_");
    edit->SetFormat(lfoCustom);
    TypeAndLeave("ab12345");
    EXPECT_EQ(edit->displayText(), "AB-1234");
    EXPECT_EQ(edit->Text(), "AB1234"); // literals not saved
}

TEST(EditMaskTest, TranslatesPositionsLiteralsAndSections) {
    const TEditMask date = ParseEditMask("!99/99/99;1; ");
    EXPECT_EQ(date.InputMask, "00/00/00; ");
    EXPECT_TRUE(date.LeadingBlanks);
    EXPECT_TRUE(date.SaveLiterals);
    EXPECT_EQ(date.Blank, u' ');

    const TEditMask ext = ParseEditMask(R"(!\(999\)999\-9999 \x9999;1; )");
    EXPECT_EQ(ext.InputMask, R"((000)000-0000 \x0000; )");

    const TEditMask plain = ParseEditMask("<>0a#;0");
    EXPECT_EQ(plain.InputMask, "!9n#;_");
    EXPECT_FALSE(plain.SaveLiterals);
    EXPECT_FALSE(plain.LeadingBlanks);

    EXPECT_EQ(ParseEditMask("").InputMask, "");
    EXPECT_EQ(ParseEditMask(";1;_").InputMask, "");
    EXPECT_EQ(ParseEditMask("\\").InputMask, "");
}

TEST_F(EditTest, EnterMovesOnAndCommits) {
    int returns = 0;
    edit->OnReturn = [&](TKVTEdit&) { ++returns; };
    edit->SetFormat(lfoReal);
    window.Enter();
    QTest::keyClicks(edit, "3.5");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(window.next->hasFocus());
    EXPECT_DOUBLE_EQ(edit->Value(), 3.5);
    EXPECT_EQ(returns, 1);
    EXPECT_TRUE(window.keysSeen.empty());
}

TEST_F(EditTest, EnterWithoutEnterToTabCommitsAndReachesTheParent) {
    int returns = 0;
    edit->OnReturn = [&](TKVTEdit&) { ++returns; };
    edit->SetOptions(edit->Options() & ~SuperOption(soEnterToTab));
    edit->SetFormat(lfoInteger);
    window.Enter();
    QTest::keyClicks(edit, "42");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->Value(), 42);
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(window.keysSeen, std::vector<int>{Qt::Key_Return});
}

TEST_F(EditTest, EscapeIsLeftToTheParent) {
    window.Enter();
    QTest::keyClicks(edit, "x");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(window.keysSeen, std::vector<int>{Qt::Key_Escape});
    EXPECT_EQ(edit->Text(), "x");
}

TEST_F(EditTest, SpacesFollowTheSpaceOptions) {
    window.Enter();
    QTest::keyClicks(edit, "a b");
    EXPECT_EQ(edit->Text(), "a b");

    edit->SetOptions(edit->Options() & ~SuperOption(soAllowspaces));
    edit->clear();
    QTest::keyClicks(edit, "a b");
    EXPECT_EQ(edit->Text(), "ab");

    edit->SetOptions(edit->Options() | SuperOption(soSpaceToUnderscore));
    edit->clear();
    QTest::keyClicks(edit, "a b");
    EXPECT_EQ(edit->Text(), "a_b");
}

TEST_F(EditTest, BackgroundFollowsFocusAndReadOnlyGrey) {
    edit->SetColor(clYellow);
    window.Enter();
    EXPECT_EQ(edit->palette().color(QPalette::Base), ToQColor(clAqua));
    window.Leave();
    EXPECT_EQ(edit->palette().color(QPalette::Base), ToQColor(clYellow));

    edit->setReadOnly(true);
    edit->grab();
    EXPECT_EQ(edit->palette().color(QPalette::Base), ToQColor(clBtnFace));
    edit->setReadOnly(false);
    edit->grab();
    EXPECT_EQ(edit->palette().color(QPalette::Base), ToQColor(clYellow));
}

TEST_F(EditTest, ChangingFormatKeepsTheValue) {
    edit->SetValue(*EncodeDate(1999, 12, 31));
    edit->SetFormat(lfoFullDate);
    EXPECT_EQ(edit->Text(), "12/31/1999");
    EXPECT_DOUBLE_EQ(edit->Value(), *EncodeDate(1999, 12, 31));
}

} // namespace
} // namespace kovet
