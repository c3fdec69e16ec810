#include "convert/DelphiImport.h"
#include "convert/FormTools.h"
#include "convert/NewObjects.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kovet {
namespace {

// A form's objects by type, each with its place; fields also by name, format and flags.
struct Forms : ::testing::Test {
    TKVT form;
    TKVTDefaults defaults;
    FixedTextMetrics metrics;

    TKVTFile& list() { return form.KVTFile(); }

    Bytes addField(const std::string& name, std::int16_t left, std::int16_t top, std::uint8_t format = lfoText,
                   bool readOnly = false, std::uint8_t alignment = 0) {
        std::vector<std::uint8_t> field(kFieldSize);
        FieldRec::Name.set(field, name);
        FieldRec::Left.set(field, left);
        FieldRec::Top.set(field, top);
        FieldRec::Width.set(field, 200);
        FieldRec::Height.set(field, 30);
        FieldRec::Format.set(field, format);
        FieldRec::ReadOnly.set(field, readOnly ? 1 : 0);
        FieldRec::Alignment.set(field, alignment);
        FieldRec::FontName.set(field, "Arial");
        FieldRec::FontSize.set(field, 10);
        return list().Fields.Add(field);
    }
    Bytes addText(const std::string& text, std::int16_t left, std::int16_t top, std::uint8_t alignment) {
        std::vector<std::uint8_t> record(std::size_t(TextItemSize(text.size())));
        ItemHeader::ItemSize.set(record, TextItemSize(text.size()));
        TextRec::Text.set(record, text);
        TextRec::Left.set(record, left);
        TextRec::Top.set(record, top);
        TextRec::Width.set(record, 300);
        TextRec::Alignment.set(record, alignment);
        TextRec::FontSize.set(record, 10);
        return list().Texts.Add(record);
    }
    void addFrame(std::int16_t top) {
        std::vector<std::uint8_t> frame(kFrameSize);
        FrameRec::Top.set(frame, top);
        list().Frames.Add(frame);
    }
    std::vector<std::int16_t> tops() {
        std::vector<std::int16_t> result;
        for (std::int32_t i = 1; i < list().Count(); ++i)
            result.push_back(ObjectRec::Top.get(list().Items(i)));
        return result;
    }
    // The width FixedTextMetrics gives a ten-point text.
    static std::int16_t widthOf(const std::string& text) { return std::int16_t(6 * text.size()); }
};

TEST_F(Forms, DataProcedureHasALinePerFieldInDocumentOrder) {
    addField("Total", 0, 300, lfoDollar, true);
    addFrame(10);
    addField("Name", 0, 100, lfoText);
    addField("Paid", 0, 0, lfoCheckbox);
    addField("Kind", 0, 0, lfoComboBox, true);
    const std::vector<std::string> expected = {"procedure TForm1.GetKVTData;",
                                               "begin",
                                               "  with KVTImage1 do",
                                               "  begin",
                                               "    FieldByName('total').AsDouble:= ",
                                               "    //FieldByName('name').AsString:= ",
                                               "    //FieldByName('paid').AsBoolean:= ",
                                               "    FieldByName('kind').AsString:= ",
                                               "  end;",
                                               "end;"};
    EXPECT_EQ(GetDataLines(list()), expected);
    EXPECT_EQ(FieldNameLines(list()), (std::vector<std::string>{"Total", "Name", "Paid", "Kind"}));

    TKVT empty;
    EXPECT_EQ(GetDataLines(empty.KVTFile()).size(), 6u);
    EXPECT_TRUE(CrLfText(FieldNameLines(empty.KVTFile())).empty());
    const std::vector<std::uint8_t> text = CrLfText({"a", "b"});
    EXPECT_EQ(std::string(text.begin(), text.end()), "a\r\nb\r\n");
}

TEST_F(Forms, AccessorsFollowTheFormat) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {lfoReal, "AsDouble:= "},     {lfoPctNS, "AsDouble:= "},   {lfoInteger, "AsInteger:= "},
        {lfoDate, "AsDateTime:= "},   {lfoMTime, "AsDateTime:= "}, {lfoCheckbox, "AsBoolean:= "},
        {lfoMemo, "AsStringList:= "}, {lfoPhone, "AsString:= "},   {lfoCustom, "AsString:= "},
        {lfoComboBox, "AsString:= "}, {200, "AsString:= "}};
    for (const auto& [format, accessor] : cases)
        EXPECT_EQ(GetDataAccessor(format), accessor) << format;
}

TEST_F(Forms, OptimizeSortsTopToBottomStablyWithTheHeaderFirst) {
    addFrame(50);
    addField("a", 0, 10);
    addField("b", 0, 50);
    addField("c", 0, -5);
    addFrame(30);
    // The header moved behind the objects must come back to the front.
    list().Move(0, list().Count() - 1);
    std::vector<std::pair<std::string, int>> steps;
    OptimizeForm(list(), [&](const char* message, int percent) { steps.emplace_back(message, percent); });

    EXPECT_EQ(ItemHeader::ItemType.get(list().Items(0)), kvtHeaderType);
    EXPECT_EQ(tops(), (std::vector<std::int16_t>{-5, 10, 30, 50, 50}));
    // Of the two objects at 50 the frame came first and stays first.
    EXPECT_EQ(ItemHeader::ItemType.get(list().Items(4)), kvtFrameType);
    EXPECT_EQ(FieldRec::Name.get(list().Items(5)), "b");
    // Numbered afresh in the sorted order, as records appended one by one; the header sorted
    // by the zero at its Top, behind the object above the page.
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < list().Count(); ++i)
        ids.push_back(ItemHeader::ID.get(list().Items(i)));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{2, 1, 3, 4, 5, 6}));
    // Each percentage is told once, in its step.
    const std::vector<std::pair<std::string, int>> expected = {
        {"Calculating Offsets", 0},   {"Calculating Offsets", 16},  {"Calculating Offsets", 33},
        {"Calculating Offsets", 50},  {"Calculating Offsets", 66},  {"Calculating Offsets", 83},
        {"Reorganizing Objects", 0},  {"Reorganizing Objects", 16}, {"Reorganizing Objects", 33},
        {"Reorganizing Objects", 50}, {"Reorganizing Objects", 66}, {"Reorganizing Objects", 83}};
    EXPECT_EQ(steps, expected);

    TKVTFile empty;
    empty.Clear();
    OptimizeForm(empty, nullptr);
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(Forms, AutosizingKeepsRightEdgesAndLowersFieldNames) {
    const Bytes left = addText("Left", 10, 0, 0);
    const Bytes right = addText("Right", 10, 40, 1);
    AutosizeAllText(list(), metrics);
    EXPECT_EQ(TextRec::Autosize.get(left), 1);
    EXPECT_EQ(TextRec::Left.get(left), 10);
    EXPECT_EQ(TextRec::Width.get(left), widthOf("Left"));
    EXPECT_EQ(TextRec::Left.get(right) + TextRec::Width.get(right), 310);

    const Bytes editable = addField("Customer", 10, 0);
    const Bytes total = addField("Total", 10, 50, lfoDollar, true, 1);
    const Bytes check = addField("PAID", 10, 100, lfoCheckbox);
    FieldRec::AutoSize.set(editable, 1);
    AutosizeAllFields(list(), metrics);
    EXPECT_EQ(FieldRec::Name.get(editable), "customer");
    EXPECT_EQ(FieldRec::AutoSize.get(editable), 0);
    EXPECT_EQ(FieldRec::Width.get(editable), 200);
    EXPECT_EQ(FieldRec::Name.get(total), "total");
    EXPECT_EQ(FieldRec::Width.get(total), widthOf("XX-total"));
    EXPECT_EQ(FieldRec::Left.get(total) + FieldRec::Width.get(total), 210);
    EXPECT_EQ(FieldRec::AutoSize.get(check), 1);
    EXPECT_EQ(FieldRec::Left.get(check), 10);
}

TEST_F(Forms, ChangedFieldFontsRefitFieldsThatSizeThemselves) {
    const Bytes sized = addField("Amount", 0, 0);
    const Bytes fixed = addField("Note", 0, 40);
    FieldRec::AutoSize.set(sized, 1);
    ChangeFieldFonts(list(), {"Courier New with a name longer than 24", fsBold, 20, -27, 0x0000FF}, metrics);
    for (const Bytes field : {sized, fixed}) {
        EXPECT_EQ(FieldRec::FontName.get(field), "Courier New with a name ");
        EXPECT_EQ(FieldRec::FontStyle.get(field), fsBold);
        EXPECT_EQ(FieldRec::FontSize.get(field), 20);
        EXPECT_EQ(FieldRec::FontHeight.get(field), -27);
        EXPECT_EQ(FieldRec::FontColor.get(field), 0x0000FFu);
    }
    EXPECT_EQ(FieldRec::Width.get(sized), 13 * std::int16_t(std::string("XX-Amount").size()));
    EXPECT_EQ(FieldRec::Width.get(fixed), 200);
}

// A Delphi form's notation with the labels of the tests below.
constexpr char kNotation[] = "object Form1: TForm1\n"
                             "  Left = 200\n"
                             "  Font.Height = -11\n"
                             "  object Total: TKVTLabel\n"
                             "    Left = 10\n"
                             "    Top = 20\n"
                             "    Width = 100\n"
                             "    Height = 17\n"
                             "    Font.Height = -11\n"
                             "    Font.Name = 'Courier New'\n"
                             "    Font.Style = [fsBold, fsUnderline]\n"
                             "    Alignment = taRightJustify\n"
                             "    Format = lfoDollar\n"
                             "    TabOrder = 4\n"
                             "    Tag = 7\n"
                             "  end\n"
                             "  object Button1: TButton\n"
                             "    Left = 1\n"
                             "  end\n"
                             "  object Paid: TKovetChk\n"
                             "    Format = lfoDate\n"
                             "    Options = [rloAutoSize, rloShowZero]\n"
                             "    Constraints.MaxWidth = 200\n"
                             "  end\n"
                             "  inherited Paid: TKVTControl\r\n"
                             "    Top = x1\r\n"
                             "    Width = 50\r\n"
                             "    Height = 17\r\n"
                             "    Font.Height = -30\r\n"
                             "    Constraints.MaxWidth = 200\r\n"
                             "    Format = lfoAmex\r\n"
                             "  end\n"
                             "end\n";

TEST_F(Forms, DelphiLabelsBecomeFields) {
    addFrame(0);
    ASSERT_EQ(ImportDelphiFields(list(), defaults, kNotation, metrics), 3);
    ASSERT_EQ(list().Fields.Count(), 3);
    const ConstBytes total = list().Fields.Items(0);
    EXPECT_EQ(FieldRec::Name.get(total), "Total");
    EXPECT_EQ(FieldRec::Top.get(total), 20);
    EXPECT_EQ(FieldRec::FontHeight.get(total), -11);
    EXPECT_EQ(FieldRec::FontSize.get(total), 8); // 11 x 72 / 96 = 8.25
    EXPECT_EQ(FieldRec::FontName.get(total), "Courier New");
    EXPECT_EQ(FieldRec::FontStyle.get(total) & (fsBold | fsUnderline | fsItalic), fsBold | fsUnderline);
    EXPECT_EQ(FieldRec::Format.get(total), lfoDollar);
    EXPECT_EQ(FieldRec::TabOrder.get(total), 4);
    EXPECT_EQ(FieldRec::Tag.get(total), 7);
    // Right-aligned: sized to "XX-Total" and moved so that the right edge stays at 110.
    EXPECT_EQ(FieldRec::Alignment.get(total), 1);
    EXPECT_EQ(FieldRec::Width.get(total), 5 * std::int16_t(std::string("XX-Total").size()));
    EXPECT_EQ(FieldRec::Left.get(total) + FieldRec::Width.get(total), 110);

    // A check box whatever its format says; its options set show-zero and autosize, which
    // sizes it to its name whatever width its lines gave.
    const ConstBytes paid = list().Fields.Items(1);
    EXPECT_EQ(FieldRec::Format.get(paid), lfoCheckbox);
    EXPECT_EQ(FieldRec::ShowZero.get(paid), 1);
    EXPECT_EQ(FieldRec::AutoSize.get(paid), 1);
    EXPECT_EQ(FieldRec::Left.get(paid), 0);
    std::vector<std::uint8_t> fitted(paid.begin(), paid.end());
    FitFieldToFont(fitted, metrics);
    EXPECT_EQ(FieldRec::Width.get(paid), FieldRec::Width.get(fitted));
    EXPECT_NE(FieldRec::Width.get(paid), 200);
    EXPECT_EQ(FieldRec::TabOrder.get(paid), FieldRec::TabOrder.get(defaults.Field()));

    // An inherited component is named by its own name, so names repeat; the last line
    // holding a key wins, a value that is no number gives 0, a card format maps to its own.
    const ConstBytes inherited = list().Fields.Items(2);
    EXPECT_EQ(FieldRec::Name.get(inherited), "Paid");
    EXPECT_EQ(FieldRec::Top.get(inherited), 0);
    EXPECT_EQ(FieldRec::Width.get(inherited), 200);
    EXPECT_EQ(FieldRec::Height.get(inherited), 17); // not the font's height line
    EXPECT_EQ(FieldRec::Format.get(inherited), lfoAmex);
    EXPECT_EQ(FieldRec::FontName.get(inherited), FieldRec::FontName.get(defaults.Field()));
}

} // namespace
} // namespace kovet
