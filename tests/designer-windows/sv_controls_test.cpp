// The designer's own integer and colour boxes: what can be typed, what they show and what they
// read back.
#include "widgets/Application.h"
#include "widgets/TsvColorBox.h"
#include "widgets/TsvEdit.h"

#include <QLineEdit>

using namespace kovet;

TEST(TsvColorBox, ListsTheSixteenNamesSortedAndShowsOtherColoursAsHex) {
    TsvColorBox box;
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    EXPECT_EQ(items,
              QStringList({"clAqua", "clBlack", "clBlue", "clFuchsia", "clGray", "clGreen", "clLime", "clMaroon",
                           "clNavy", "clOlive", "clPurple", "clRed", "clSilver", "clTeal", "clWhite", "clYellow"}));
    EXPECT_TRUE(box.isEditable());
    box.SetColor(clNavy);
    EXPECT_EQ(box.currentText(), "clNavy");
    box.SetColor(0x00AAFFFF);
    EXPECT_EQ(box.currentText(), "$00AAFFFF");
    EXPECT_EQ(box.Color(), 0x00AAFFFFu);
    box.SetColor(0x80000005);
    EXPECT_EQ(box.currentText(), "$80000005");
}

TEST(TsvColorBox, ReadsNamesAndNumbersBackAndNamesWhatIsNoColour) {
    const struct {
        const char* text;
        std::optional<TColor> color;
    } cases[] = {
        {"clRed", clRed},    {" clnavy ", clNavy},   {"$00AAFFFF", 0x00AAFFFF},
        {"$ff", 0xFF},       {"0x0000FF00", clLime}, {"255", 255},
        {"-1", 0xFFFFFFFF},  {"red", std::nullopt},  {"$1FFFFFFFF", std::nullopt},
        {"$", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TsvColorBox::TextColor(c.text), c.color) << c.text;
    TsvColorBox box;
    box.setEditText("reddish");
    EXPECT_EQ(box.Color(), std::nullopt);
    EXPECT_TRUE(box.Problem().contains("\"reddish\" is not a colour")) << box.Problem().toStdString();
}

TEST(TsvEdit, TakesOnlyNumberKeysShowsZeroAndReportsEnter) {
    TsvEdit edit;
    EXPECT_EQ(edit.text(), "0");
    int enters = 0;
    edit.OnReturn = [&](TKVTEdit&) { ++enters; };
    edit.clear();
    QTest::keyClicks(&edit, "a-1x2.6 b");
    EXPECT_EQ(edit.text(), "-12.6");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(edit.Number(), -13);
    EXPECT_EQ(edit.text(), "-13");
    edit.SetNumber(2147483647);
    EXPECT_EQ(edit.text(), "2147483647");
    edit.setText("99999999999999999999999");
    EXPECT_EQ(edit.Number(), 9223372036854774784);
}
