// Delphi binary form files built by hand: each group of value types in the textual notation,
// the object prefix flags, the forms stored as KVTData, and everything that is no such file.
// (Free Pascal's own streams and text are compared in tests/cli/dfm_test.cpp.)

#include "convert/DfmReader.h"

#include "DfmStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace kovet;
using kovet::test::DfmStream;

namespace {

std::string Text(const DfmStream& stream) {
    return ObjectResourceToText(stream.Bytes());
}

void ExpectInvalid(ConstBytes bytes, const std::string& what) {
    try {
        ObjectResourceToText(bytes);
        ADD_FAILURE() << what << ": converted";
    } catch (const EInvalidStreamFormat& error) {
        EXPECT_STREQ(error.what(), "Invalid stream format") << what;
    }
}

// A form with a value of every type, in a child object, lists and a collection.
DfmStream RichForm() {
    DfmStream s;
    s.Object("TForm1", "Form1").Prop("Caption").String("x").End();
    s.Prefix(3).Int16(2).Object("TPanel", "Panel1");
    s.Prop("List").Type(1).Int8(1).Int16(2).Int32(3).Int64(4).Extended(0xC000000000000000, 0x3FFF);
    s.String("s").LString("l").WString(u"w").Ident("i").Type(8).Type(9).Type(13);
    s.Binary({1, 2}).Set({"a"}).Type(15).U32(0).Type(16).U64(0).Type(17).U64(0).End();
    s.Prop("Items").Type(14).Type(1).Prop("A").Int8(1).End().Int8(5).Type(1).End().End();
    s.Prop("V").Type(0).End().End().End();
    return s;
}

} // namespace

TEST(DfmText, IntegersStringsAndWords) {
    DfmStream s;
    s.Object("TForm1", "Form1");
    s.Prop("A").Int8(-128).Prop("B").Int16(-32768).Prop("C").Int32(INT32_MIN).Prop("D").Int64(INT64_MIN);
    s.Prop("Caption").String("It's\t\xFC").Prop("Empty").String("").Prop("Long").LString(std::string(300, 'x'));
    s.Prop("Hint").WString(u"\u00e9t\u00e9 \U0001F600'").Prop("NoHint").WString(u"");
    s.Prop("Align").Ident("alClient").Prop("F").Type(8).Prop("T").Type(9).Prop("P").Type(13).Prop("V").Type(0);
    s.End().End();
    EXPECT_EQ(Text(s), "object Form1: TForm1\n"
                       "  A = -128\n"
                       "  B = -32768\n"
                       "  C = -2147483648\n"
                       "  D = -9223372036854775808\n"
                       "  Caption = 'It''s'#9#252\n"
                       "  Empty = ''\n"
                       "  Long = '" +
                           std::string(300, 'x') +
                           "'\n"
                           "  Hint = #233't'#233' '#55357#56832''''\n"
                           "  NoHint = ''\n"
                           "  Align = alClient\n"
                           "  F = False\n"
                           "  T = True\n"
                           "  P = nil\n"
                           "  V = Null\n"
                           "end\n");
}

TEST(DfmText, SetsListsAndBinaryDataIndentedWithTheirObject) {
    std::vector<std::uint8_t> data;
    for (std::uint8_t i = 0; i <= 32; ++i)
        data.push_back(i);
    DfmStream s;
    s.Object("TForm1", "Form1").End().Object("TPanel", "Panel1");
    s.Prop("Anchors").Set({"akLeft", "akTop"}).Prop("None").Set({});
    s.Prop("Items").Type(1).Int8(1).String("a").Type(1).Ident("x").End().Type(1).End().End();
    s.Prop("Empty").Type(1).End();
    s.Prop("Data").Binary(data).Prop("NoData").Binary({});
    s.End().End().End();
    EXPECT_EQ(Text(s), "object Form1: TForm1\n"
                       "  object Panel1: TPanel\n"
                       "    Anchors = [akLeft, akTop]\n"
                       "    None = []\n"
                       "    Items = (\n"
                       "      1\n"
                       "      'a'\n"
                       "      (\n"
                       "        x\n"
                       "      )\n"
                       "      (      )\n"
                       "    )\n"
                       "    Empty = (    )\n"
                       "    Data = {\n"
                       "      000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
                       "      20\n"
                       "    }\n"
                       "    NoData = {\n"
                       "    }\n"
                       "  end\n"
                       "end\n");
}

TEST(DfmText, CollectionsWithAndWithoutOrderValues) {
    DfmStream s;
    s.Object("TForm1", "Form1").Prop("Columns").Type(14);
    s.Type(1).Prop("Width").Int8(10).End();
    s.Int8(3).Type(1).End();
    s.Int16(-200).Type(1).Prop("Title").String("x").End();
    s.Int32(70000).Type(1).End();
    s.End();
    s.Prop("Empty").Type(14).End().End().End();
    EXPECT_EQ(Text(s), "object Form1: TForm1\n"
                       "  Columns = <  \n"
                       "    item\n"
                       "      Width = 10\n"
                       "    end  \n"
                       "    item[3]\n"
                       "    end  \n"
                       "    item[-200]\n"
                       "      Title = 'x'\n"
                       "    end  \n"
                       "    item[70000]\n"
                       "    end>\n"
                       "  Empty = <>\n"
                       "end\n");
}

TEST(DfmText, FloatsAsPascalWritesThem) {
    DfmStream s;
    s.Object("TForm1", "Form1");
    s.Prop("Half").Extended(0xC000000000000000, 0x3FFF).Prop("Tenth").Extended(0xCCCCCCCCCCCCCCCD, 0x3FFB);
    s.Prop("MinusZero").Extended(0, 0x8000).Prop("Tiny").Extended(1, 0);
    s.Prop("Huge").Extended(0xFFFFFFFFFFFFFFFF, 0x7FFE);
    s.Prop("Inf").Extended(0x8000000000000000, 0x7FFF).Prop("MinusInf").Extended(0x8000000000000000, 0xFFFF);
    s.Prop("NaN").Extended(0xC000000000000000, 0x7FFF).Prop("Unnormal").Extended(0x4000000000000000, 0x3FFF);
    s.Prop("Single").Type(15).U32(0x3FC00000).Prop("Date").Type(17).U64(0x40E5F90800000000);
    s.Prop("Money").Type(16).U64(123400);
    s.End().End();
    EXPECT_EQ(Text(s), "object Form1: TForm1\n"
                       "  Half =  1.50000000000000000000E+0000\n"
                       "  Tenth =  1.00000000000000000001E-0001\n"
                       "  MinusZero = -0.00000000000000000000E+0000\n"
                       "  Tiny =  3.64519953188247460253E-4951\n"
                       "  Huge =  1.18973149535723176502E+4932\n"
                       "  Inf =                          +Inf\n"
                       "  MinusInf =                          -Inf\n"
                       "  NaN =                           Nan\n"
                       "  Unnormal =                           Nan\n"
                       "  Single =  1.50000000000000000000E+0000s\n"
                       "  Date =  4.50002500000000000000E+0004d\n"
                       "  Money = 123400c\n"
                       "end\n");
}

TEST(DfmText, PrefixFlagsPositionsAndNesting) {
    DfmStream s("A LONGER RESOURCE NAME");
    s.Prefix(1).Object("TForm2", "Form2").End();
    s.Prefix(4).Object("TFrame1", "Frame1").End().End();
    s.Prefix(3).Int16(300).Object("TLabel", "Label1").End().End();
    s.Prefix(2).Int8(-1).Object("TLabel", "Label2").End().End();
    s.Prefix(5).Object("TFrame2", "Both").End().End();
    s.Object("TTimer", "").Prop("Interval").Int8(5).End();
    s.Object("TShape", "Inner").End().End();
    s.End();
    s.End().Raw("whatever follows");
    EXPECT_EQ(Text(s), "inherited Form2: TForm2\n"
                       "  inline Frame1: TFrame1\n"
                       "  end\n"
                       "  inherited Label1: TLabel[300]\n"
                       "  end\n"
                       "  object Label2: TLabel[-1]\n"
                       "  end\n"
                       "  inherited Both: TFrame2\n"
                       "  end\n"
                       "  object TTimer\n"
                       "    Interval = 5\n"
                       "    object Inner: TShape\n"
                       "    end\n"
                       "  end\n"
                       "end\n");
}

TEST(DfmText, AnythingButABinaryFormFileIsAnInvalidStreamFormat) {
    const auto bytes = [](std::string_view text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
    ExpectInvalid({}, "empty");
    ExpectInvalid(bytes("object Form1: TForm1\r\n  Left = 0\r\nend\r\n"), "a text form");
    ExpectInvalid(bytes("TPF0\x06TForm1\x05"
                        "Form1"),
                  "no resource header");
    std::vector<std::uint8_t> otherType = DfmStream().Object("TForm1", "Form1").End().End().Bytes();
    otherType[1] = 11;
    ExpectInvalid(otherType, "resource type 11");
    ExpectInvalid(DfmStream().Bytes(), "nothing behind the signature");
    std::vector<std::uint8_t> signature = DfmStream().Object("TForm1", "Form1").End().End().Bytes();
    signature[signature.size() - 16] = '1';
    ExpectInvalid(signature, "TPF1");

    const auto withValue = [](const std::function<void(DfmStream&)>& value) {
        DfmStream s;
        s.Object("TForm1", "Form1").Prop("P");
        value(s);
        return s.End().End().Bytes();
    };
    for (const std::uint8_t type : {20, 21, 22, 255})
        ExpectInvalid(withValue([&](DfmStream& s) { s.Type(type); }), "value type " + std::to_string(type));
    ExpectInvalid(withValue([](DfmStream& s) { s.Type(10).U32(0xFFFFFFFF).U32(0); }), "binary length");
    ExpectInvalid(withValue([](DfmStream& s) { s.Type(12).U32(0x7FFFFFFF).Raw("abc"); }), "string length");
    ExpectInvalid(withValue([](DfmStream& s) { s.Type(18).U32(0x80000001).Raw("abcd"); }), "wide string count");
    ExpectInvalid(withValue([](DfmStream& s) { s.Type(14).Int8(1).Int8(2).End().End(); }),
                  "order value without a list marker");
    ExpectInvalid(withValue([](DfmStream& s) { s.Type(14).Ident("x").Type(1).End().End(); }), "order value ident");
    DfmStream position;
    position.Prefix(2).Extended(0, 0).Object("TForm1", "Form1").End().End();
    ExpectInvalid(position.Bytes(), "a float as position");
}

TEST(DfmText, EveryCutOffStreamIsAnInvalidStreamFormat) {
    const std::vector<std::uint8_t> whole = RichForm().Bytes();
    ASSERT_NO_THROW(ObjectResourceToText(whole));
    for (std::size_t size = 0; size < whole.size(); ++size)
        ExpectInvalid(ConstBytes(whole).first(size), "cut at " + std::to_string(size));
}

TEST(DfmText, NestingIsBounded) {
    const auto lists = [](int depth) {
        DfmStream s;
        s.Object("TForm1", "Form1").Prop("P");
        for (int i = 0; i < depth; ++i)
            s.Type(1);
        for (int i = 0; i < depth; ++i)
            s.End();
        return s.End().End().Bytes();
    };
    EXPECT_NO_THROW(ObjectResourceToText(lists(kMaxDfmDepth - 1)));
    ExpectInvalid(lists(kMaxDfmDepth), "lists one level too deep");
    ExpectInvalid(lists(200000), "lists far too deep");

    const auto objects = [](int depth) {
        DfmStream s;
        for (int i = 0; i < depth; ++i)
            s.Object("TPanel", "P").End();
        for (int i = 0; i < depth; ++i)
            s.End();
        return s.Bytes();
    };
    EXPECT_NO_THROW(ObjectResourceToText(objects(kMaxDfmDepth)));
    ExpectInvalid(objects(kMaxDfmDepth + 1), "objects one level too deep");
    ExpectInvalid(objects(200000), "objects far too deep");

    // Deep lists of one-byte values make a text many times the stream: it is bounded.
    DfmStream wide;
    wide.Object("TForm1", "Form1").Prop("P");
    for (int i = 0; i < kMaxDfmDepth - 1; ++i)
        wide.Type(1);
    for (int i = 0; i < 1000; ++i)
        wide.Type(8);
    for (int i = 0; i < kMaxDfmDepth - 1; ++i)
        wide.End();
    const std::vector<std::uint8_t> bytes = wide.End().End().Bytes();
    const std::size_t size = ObjectResourceToText(bytes).size();
    EXPECT_GT(size, 100 * bytes.size());
    EXPECT_THROW(ObjectResourceToText(bytes, size / 2), Exception);
    EXPECT_EQ(ObjectResourceToText(bytes, size).size(), size);
}

TEST(DfmEmbeddedForms, BinaryKVTDataPropertiesWithTheirComponents) {
    DfmStream s;
    s.Object("TForm1", "Form1").Prop("KVTData").Binary({1}).End();
    s.Object("TKVTImage", "KVTImage1").Prop("kvtdata").Binary({2, 2}).Prop("KVTDataX").Binary({9}).End().End();
    s.Object("TKVTImage", "KVTImage2").Prop("KVT.KVTData").Binary({3}).Prop("Other.KVTData").String("text");
    s.Prop("Pages").Type(14).Type(1).Prop("KVTData").Binary({4}).End().End().End().End();
    s.End();
    const std::vector<std::uint8_t> bytes = s.Bytes();
    const std::vector<EmbeddedForm> forms = FindEmbeddedForms(bytes);
    ASSERT_EQ(forms.size(), 4u);
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> expected = {
        {"Form1", {1}}, {"KVTImage1", {2, 2}}, {"KVTImage2", {3}}, {"KVTImage2", {4}}};
    for (std::size_t i = 0; i < forms.size(); ++i) {
        EXPECT_EQ(forms[i].Component, expected[i].first);
        EXPECT_EQ(std::vector<std::uint8_t>(forms[i].Data.begin(), forms[i].Data.end()), expected[i].second);
    }
    EXPECT_THROW(FindEmbeddedForms(ConstBytes(bytes).first(bytes.size() - 1)), EInvalidStreamFormat);
}
