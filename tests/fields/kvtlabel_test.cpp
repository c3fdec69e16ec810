// The value side of a field: display texts, notifications, the check box group rule,
// auto-size and the set-up from a field record.
#include "display/FieldFormat.h"
#include "display/KVTLabel.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace kovet {
namespace {

// Seven pixels a byte, sixteen high: enough to see what was measured.
class FixedMetrics : public TextMetrics {
public:
    TSize Extent(const TFont&, std::string_view text) override {
        Measured.emplace_back(text);
        return {std::int32_t(7 * text.size()), 16};
    }
    std::vector<std::int32_t> Advances(const TFont&, std::u16string_view text) override {
        return std::vector<std::int32_t>(text.size(), 7);
    }
    std::vector<std::string> Measured;
};

class KVTLabelTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(KVTLabelTest, DisplayTextFollowsFormatAndValue) {
    TKVTLabel label;
    label.SetOptions(LabOption(rloAutoAlign));
    label.SetFormat(lfoReal);
    label.SetValue(1234.5);
    EXPECT_EQ(label.DisplayText(), "1234.50");
    EXPECT_EQ(label.Alignment(), TAlignment::taRightJustify);

    label.SetFormat(lfoTime);
    label.SetValue(EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(label.DisplayText(), "02:05pm");
    EXPECT_EQ(label.Alignment(), TAlignment::taLeftJustify);

    label.SetFormat(lfoCheckbox);
    EXPECT_EQ(label.DisplayText(), "");
    label.SetChecked(true);
    EXPECT_EQ(label.DisplayText(), "X");

    label.SetStringValue("(555)123-4567");
    label.SetFormat(lfoPhone);
    EXPECT_EQ(label.DisplayText(), "(555)123-4567");
    // Auto-align leaves the string formats alone.
    label.SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(label.Alignment(), TAlignment::taCenter);
}

TEST_F(KVTLabelTest, DigitsZeroBecomesFifteenOnFirstNumberText) {
    TKVTLabel label;
    label.SetDigits(0);
    EXPECT_EQ(label.Digits(), 0); // a text field does no numeric formatting
    label.SetFormat(lfoReal);
    EXPECT_EQ(label.Digits(), 15);
    label.SetFormat(lfoText);
    EXPECT_EQ(label.Digits(), 15);
}

TEST_F(KVTLabelTest, NotificationsAfterEveryChange) {
    TKVTLabel label;
    int data = 0, repaints = 0;
    label.OnDataChange = [&](TKVTLabel&) { ++data; };
    label.OnRepaint = [&](TKVTLabel&) { ++repaints; };
    label.SetValue(1);
    label.SetStringValue("a");
    label.SetChecked(false);
    label.SetLines({"x", "y"});
    label.AppendLine("z");
    label.ClearLines();
    EXPECT_EQ(data, 6);
    EXPECT_EQ(repaints, 0);
    label.SetOptions(LabOption(rloShowZero));
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetFormat(lfoReal);
    label.SetDecimals(3);
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(data, 6);
}

TEST_F(KVTLabelTest, CheckingOneOfAGroupUnchecksTheOthers) {
    std::array<TKVTLabel, 4> boxes;
    TKVTLabelSiblings siblings;
    std::array<int, 4> data{}, repaints{};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i].SetFormat(lfoCheckbox);
        boxes[i].GroupIndex = i < 3 ? 4 : 0;
        boxes[i].Siblings = &siblings;
        boxes[i].OnDataChange = [&data, i](TKVTLabel&) { ++data[i]; };
        boxes[i].OnRepaint = [&repaints, i](TKVTLabel&) { ++repaints[i]; };
        siblings.push_back(&boxes[i]);
    }
    boxes[0].SetChecked(true);
    boxes[1].SetChecked(true); // group 4: unchecks box 0
    boxes[3].SetChecked(true); // group 0: independent
    EXPECT_FALSE(boxes[0].Checked());
    EXPECT_TRUE(boxes[1].Checked());
    EXPECT_FALSE(boxes[2].Checked());
    EXPECT_TRUE(boxes[3].Checked());
    EXPECT_EQ(boxes[0].DisplayText(), "");
    EXPECT_EQ(data[0], 2);
    EXPECT_EQ(repaints[0], 1);
    EXPECT_EQ(repaints[2], 0); // an unchecked member is left alone

    boxes[2].SetChecked(true);
    EXPECT_FALSE(boxes[1].Checked());
    EXPECT_TRUE(boxes[3].Checked());
    boxes[2].SetChecked(false); // unchecking never touches the others
    EXPECT_FALSE(boxes[1].Checked());

    // A group index 0 box checks without touching anyone.
    boxes[1].SetChecked(true);
    boxes[3].SetChecked(true);
    EXPECT_TRUE(boxes[1].Checked());
}

TEST_F(KVTLabelTest, AutoSizeFitsTheDisplayText) {
    FixedMetrics metrics;
    TKVTLabel label;
    label.Metrics = &metrics;
    label.Left = 100;
    label.SetFormat(lfoReal);
    label.SetOptions(LabOption(rloAutoSize));
    EXPECT_EQ(metrics.Measured.back(), " "); // an empty text measures as one blank
    EXPECT_EQ(label.Width, 15);
    EXPECT_EQ(label.Height, 16);
    label.SetValue(1234.5);
    EXPECT_EQ(label.Width, 49);

    // Right-aligned: the right edge stays where it was.
    label.SetOptions(LabOption(rloAutoSize) | LabOption(rloAutoAlign));
    const std::int32_t right = label.Left + label.Width;
    label.SetValue(123456.5);
    EXPECT_EQ(label.Width, 63);
    EXPECT_EQ(label.Left + label.Width, right);

    label.Loading = true;
    label.SetValue(1);
    EXPECT_EQ(label.Width, 63);
    label.Loading = false;

    label.SetFormat(lfoCheckbox);
    label.SetChecked(true);
    EXPECT_EQ(label.Width, 15);

    label.SetFormat(lfoText);
    label.SetStringValue("a\tb");
    EXPECT_EQ(label.Width, 8 * 7 + 7); // "a" expanded to the first tab stop, then "b"

    label.SetFormat(lfoMemo);
    EXPECT_EQ(label.Options() & LabOption(rloAutoSize), 0);
}

TEST_F(KVTLabelTest, AsIntegerRoundsAndSaturates) {
    TKVTField field;
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 3},
        {-2.5, -3},
        {2.4, 2},
        {1e10, std::numeric_limits<std::int32_t>::max()},
        {-1e10, std::numeric_limits<std::int32_t>::min()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [value, integer] : cases) {
        field.SetAsDouble(value);
        EXPECT_EQ(field.AsInteger(), integer) << value;
    }
}

std::vector<std::uint8_t> FieldRecord() {
    std::vector<std::uint8_t> r(kFieldSize);
    ItemHeader::ID.set(r, 42);
    FieldRec::Left.set(r, 10);
    FieldRec::Top.set(r, 20);
    FieldRec::Width.set(r, 80);
    FieldRec::Height.set(r, 18);
    FieldRec::FontStyle.set(r, fsBold);
    FieldRec::FontSize.set(r, 10);
    FieldRec::FontName.set(r, "Arial");
    FieldRec::FontHeight.set(r, -13);
    FieldRec::FontColor.set(r, clNavy);
    FieldRec::Alignment.set(r, 3);
    FieldRec::Name.set(r, "Caf\xE9");
    FieldRec::Format.set(r, lfoDollar);
    FieldRec::GroupIndex.set(r, 2);
    FieldRec::Digits.set(r, 0);
    FieldRec::Decimals.set(r, 1);
    FieldRec::MemoSpacing.set(r, 5);
    FieldRec::TabOrder.set(r, -1);
    FieldRec::MaxLength.set(r, 12);
    FieldRec::HelpContext.set(r, 77);
    FieldRec::ReadOnly.set(r, 0);
    FieldRec::AutoRound.set(r, 1);
    FieldRec::ShowZero.set(r, 1);
    FieldRec::CtlBorder.set(r, 0);
    FieldRec::CtlOutline.set(r, 1);
    FieldRec::CtlColor.set(r, clYellow);
    FieldRec::Tag.set(r, -5);
    return r;
}

TEST_F(KVTLabelTest, FieldTakesTheRecordSettings) {
    const std::vector<std::uint8_t> record = FieldRecord();
    TKVTField field;
    field.SetStringValue("old");
    field.SetValue(9);
    field.AssignFromRecord(record, 120);
    EXPECT_EQ(field.RecordID, 42);
    EXPECT_EQ(field.Name, "Caf\u00E9");
    EXPECT_EQ(field.Format(), lfoDollar);
    EXPECT_EQ(field.Options(), LabOption(rloAutoRound) | LabOption(rloShowZero));
    EXPECT_EQ(field.Alignment(), TAlignment::taLeftJustify); // code 3
    EXPECT_EQ(field.Digits(), 15);
    EXPECT_EQ(field.Decimals(), 1);
    EXPECT_EQ(field.GroupIndex, 2);
    EXPECT_EQ(field.MemoSpacing, 5);
    EXPECT_EQ(field.TabOrder, -1);
    EXPECT_EQ(field.MaxLength, 12);
    EXPECT_EQ(field.HelpContext, 77);
    EXPECT_FALSE(field.ReadOnly);
    EXPECT_FALSE(field.CtlBorder);
    EXPECT_TRUE(field.CtlOutline);
    EXPECT_EQ(field.CtlColor, clYellow);
    EXPECT_EQ(field.Tag, -5);
    EXPECT_EQ(field.Font.Name, "Arial");
    EXPECT_EQ(field.Font.Style, fsBold);
    EXPECT_EQ(field.Font.Color, clNavy);
    EXPECT_EQ(field.Font.Height, -16); // 10 pt at 120 pixels per inch
    EXPECT_EQ(field.ScreenFontHeight, -13);
    EXPECT_EQ(field.ScreenRect, (TRect{10, 20, 90, 38}));
    EXPECT_EQ(field.Left, 10);
    EXPECT_EQ(field.Width, 80);
    EXPECT_EQ(field.StringValue(), "");
    EXPECT_EQ(field.Value(), 0);
    EXPECT_EQ(field.DisplayText(), "$0.0"); // ShowZero

    std::vector<std::uint8_t> memo = record;
    FieldRec::Format.set(memo, lfoMemo);
    FieldRec::AutoSize.set(memo, 1);
    FieldRec::Alignment.set(memo, 2);
    FieldRec::FontSize.set(memo, 11);
    field.AssignFromRecord(memo, 96);
    EXPECT_EQ(field.Options() & LabOption(rloAutoSize), 0);
    EXPECT_EQ(field.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(field.Font.Height, -14);
}

TEST_F(KVTLabelTest, RecordWithAnUnknownFormatShowsItsString) {
    std::vector<std::uint8_t> record = FieldRecord();
    FieldRec::Format.set(record, 200);
    TKVTField field;
    field.AssignFromRecord(record, 96);
    field.SetStringValue("text");
    EXPECT_EQ(field.DisplayText(), "text");
    // A record cut short reads as zeros.
    field.AssignFromRecord(std::span(record).first(30), 96);
    EXPECT_EQ(field.Name, "");
    EXPECT_EQ(field.Format(), lfoText);
}

} // namespace
} // namespace kovet
