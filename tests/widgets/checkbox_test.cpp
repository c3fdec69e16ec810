#include "Application.h"

#include "display/KVTCheckBox.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace kovet {
namespace {

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        for (int i = 0; i < 3; ++i) {
            boxes[i] = new TKVTCheckBox(&window);
            boxes[i]->move(0, 20 * i);
        }
        other = new QLineEdit(&window);
        other->move(0, 70);
        test::ShowActive(window);
        // Activation focused the first box; each test focuses what it needs.
        other->setFocus(Qt::TabFocusReason);
    }

    QWidget window;
    std::array<TKVTCheckBox*, 3> boxes{};
    QLineEdit* other = nullptr;
};

TEST_F(CheckBoxTest, ClickTogglesAndTakesTheFocus) {
    TKVTCheckBox& box = *boxes[0];
    int changes = 0, clicks = 0;
    box.OnChange = [&](TKVTCheckBox&) { ++changes; };
    box.OnClick = [&](TKVTCheckBox&) { ++clicks; };
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 7));
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(box.hasFocus());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 7));
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 2);

    box.AllowUncheck = false;
    QTest::keyClick(&box, Qt::Key_Space);
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(changes, 3);
}

TEST_F(CheckBoxTest, CheckingUnchecksTheRestOfAPositiveGroup) {
    for (auto* box : boxes)
        box->GroupIndex = 4;
    boxes[0]->SetChecked(true);
    boxes[1]->SetChecked(true);
    EXPECT_FALSE(boxes[0]->Checked());
    EXPECT_TRUE(boxes[1]->Checked());
    boxes[2]->Click();
    EXPECT_FALSE(boxes[1]->Checked());
    EXPECT_TRUE(boxes[2]->Checked());
    boxes[2]->SetChecked(false);
    EXPECT_FALSE(boxes[0]->Checked() || boxes[1]->Checked());

    for (auto* box : boxes) {
        box->GroupIndex = 0;
        box->SetChecked(true);
    }
    EXPECT_TRUE(boxes[0]->Checked() && boxes[1]->Checked() && boxes[2]->Checked());
}

TEST_F(CheckBoxTest, CheckOnEnterChecksWhenFocused) {
    TKVTCheckBox& box = *boxes[1];
    box.CheckOnEnter = true;
    box.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(box.Checked());

    TKVTCheckBox& clicked = *boxes[2];
    clicked.CheckOnEnter = true;
    QTest::mouseClick(&clicked, Qt::LeftButton, {}, QPoint(5, 7));
    EXPECT_TRUE(clicked.Checked());
}

TEST_F(CheckBoxTest, AcceleratorOfTheCaptionFocuses) {
    boxes[1]->SetCaption("&Paid");
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(boxes[1]->hasFocus());
    EXPECT_FALSE(boxes[1]->Checked());
}

TEST_F(CheckBoxTest, EnterMovesOnAndFiresOnReturn) {
    TKVTCheckBox& box = *boxes[0];
    int returns = 0;
    box.OnReturn = [&](TKVTCheckBox&) { ++returns; };
    box.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_FALSE(box.hasFocus());
    EXPECT_EQ(returns, 1);
    EXPECT_FALSE(box.Checked());
}

TEST(CheckBoxCaptionTest, AcceleratorMarksAreDropped) {
    EXPECT_EQ(StripAccelerators("&Save"), "Save");
    EXPECT_EQ(StripAccelerators("A&&B"), "A&B");
    EXPECT_EQ(StripAccelerators("tail&"), "tail");
    EXPECT_EQ(StripAccelerators(""), "");
}

TEST(CheckBoxSizeTest, AutoSizeFitsTheCaption) {
    TKVTCheckBox box;
    EXPECT_EQ(box.size(), QSize(97, 15));
    box.SetAutoSize(true);
    EXPECT_EQ(box.size(), QSize(13, 13));
    box.SetCaption("&Paid");
    const QFontMetrics metrics = box.fontMetrics();
    EXPECT_EQ(box.height(), metrics.height() + 2);
    EXPECT_EQ(box.width(), metrics.height() + metrics.horizontalAdvance("Paid") + 6);
}

// Pixels of the 13 x 13 box of a default-sized check box: it lies at (0, 1).
class CheckBoxPaintTest : public ::testing::TestWithParam<TCheckStyle> {
protected:
    static QImage Render(TCheckStyle style, bool checked) {
        TKVTCheckBox box;
        box.SetCheckStyle(style);
        box.SetMarkColor(clRed);
        box.SetChecked(checked);
        return box.grab().toImage();
    }
    static QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y + 1); }
};

TEST_P(CheckBoxPaintTest, BoxBorderAndMark) {
    const TCheckStyle style = GetParam();
    const QImage off = Render(style, false);
    const QImage on = Render(style, true);

    // Box colour inside, no mark while unchecked.
    EXPECT_EQ(At(off, 6, 6), ToQColor(clWhite));
    EXPECT_EQ(At(off, 3, 9), ToQColor(clWhite));
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_NE(At(off, x, y), ToQColor(clRed)) << x << "," << y;
    EXPECT_EQ(At(on, 6, 6), ToQColor(clRed));

    // Sunken border along the middle of each edge.
    if (style == csFlatThickCross) {
        EXPECT_EQ(At(off, 0, 6), ToQColor(clWhite));
        EXPECT_EQ(At(off, 1, 6), ToQColor(clWhite));
    } else {
        EXPECT_EQ(At(off, 0, 6), ToQColor(clBtnShadow));
        EXPECT_EQ(At(off, 6, 0), ToQColor(clBtnShadow));
        EXPECT_EQ(At(off, 1, 6), ToQColor(clBlack));
        EXPECT_EQ(At(off, 6, 1), ToQColor(clBlack));
        EXPECT_EQ(At(off, 11, 6), ToQColor(clBtnFace));
        EXPECT_EQ(At(off, 6, 11), ToQColor(clBtnFace));
    }
    // The control colour around the box.
    EXPECT_EQ(off.pixelColor(13, 7), ToQColor(clBtnFace));
}

INSTANTIATE_TEST_SUITE_P(Styles, CheckBoxPaintTest,
                         ::testing::Values(csThickCross, csTick, csThinCross, csRadio, csHeavyTick, csFlatThickCross));

TEST(CheckBoxMarksTest, EveryStyleDrawsItsOwnMark) {
    std::set<std::vector<bool>> marks;
    for (int style = csThickCross; style <= csFlatThickCross; ++style) {
        TKVTCheckBox box;
        box.SetCheckStyle(TCheckStyle(style));
        box.SetMarkColor(clRed);
        box.SetChecked(true);
        const QImage image = box.grab().toImage();
        std::vector<bool> mark;
        for (int y = 1; y < 14; ++y)
            for (int x = 0; x < 13; ++x)
                mark.push_back(image.pixelColor(x, y) == ToQColor(clRed));
        marks.insert(mark);
    }
    // The flat style's mark is the thick cross without the border.
    EXPECT_EQ(marks.size(), 5u);
}

TEST(CheckBoxColourTest, FocusColourWhileFocused) {
    QWidget window;
    auto* box = new TKVTCheckBox(&window);
    test::ShowActive(window);
    box->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->grab().toImage().pixelColor(6, 7), ToQColor(clAqua));
    box->clearFocus();
    EXPECT_EQ(box->grab().toImage().pixelColor(6, 7), ToQColor(clWhite));
}

} // namespace
} // namespace kovet
