#include "document/OldKvt.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace kovet;

namespace {

// Legacy files are built here byte by byte at the offsets of the old format, so a wrong
// offset in the legacy layouts shows as a wrong converted value.
using ByteVec = std::vector<std::uint8_t>;

void Put16(ByteVec& b, std::size_t at, std::int16_t value) {
    b[at] = std::uint8_t(std::uint16_t(value) & 0xFF);
    b[at + 1] = std::uint8_t(std::uint16_t(value) >> 8);
}

struct LegacyPage {
    std::int16_t count = 0;
    std::uint8_t paper = 1, borderThickness = 0, borderStyle = 0;
    std::int16_t width = 800, height = 1035;
    std::uint8_t version = 3, revision = 0, orientation = 0;
};

ByteVec HeaderBytes(const LegacyPage& p) {
    ByteVec b(99, 0);
    Put16(b, 0, p.count);
    b[2] = p.paper;
    b[3] = p.borderThickness;
    b[4] = p.borderStyle;
    Put16(b, 5, p.width);
    Put16(b, 7, p.height);
    b[9] = p.version;
    b[10] = p.revision;
    b[11] = p.orientation;
    for (std::size_t i = 12; i < 99; ++i)
        b[i] = 0x02; // unused tail, must be ignored
    return b;
}

ByteVec ObjectBytes(std::uint8_t type, std::int16_t left, std::int16_t top, std::int16_t width, std::int16_t height) {
    ByteVec b(25, 0);
    b[0] = type;
    Put16(b, 1, left);
    Put16(b, 3, top);
    Put16(b, 5, width);
    Put16(b, 7, height);
    return b;
}

ByteVec TextObject(std::int16_t textNo, std::int16_t fontNo, std::uint8_t style, std::uint8_t size, std::uint8_t color,
                   std::uint8_t angle, std::int16_t fontHeight) {
    ByteVec b = ObjectBytes(2, 11, 12, 13, 14);
    Put16(b, 9, textNo);
    Put16(b, 11, fontNo);
    b[13] = style;
    b[14] = size;
    b[15] = color;
    b[16] = angle;
    Put16(b, 17, fontHeight);
    return b;
}

ByteVec FieldObject(std::int16_t nameNo, std::int16_t fontNo, std::uint8_t style, std::uint8_t size, std::uint8_t color,
                    std::uint8_t format, std::int16_t fontHeight) {
    ByteVec b = ObjectBytes(6, 21, 22, 23, 24);
    Put16(b, 9, nameNo);
    Put16(b, 11, fontNo);
    b[13] = style;
    b[14] = size;
    b[15] = color;
    b[16] = 0x77; // unused by fields
    b[17] = format;
    Put16(b, 18, fontHeight);
    return b;
}

ByteVec FrameObject(std::uint8_t type, std::uint8_t outerStyle, std::uint8_t innerStyle, std::uint8_t innerColor,
                    std::uint8_t outerColor, std::uint8_t thickness, std::int16_t roundness) {
    ByteVec b = ObjectBytes(type, 31, 32, 33, 34);
    b[9] = outerStyle;
    b[10] = innerStyle;
    b[11] = innerColor;
    b[12] = outerColor;
    b[13] = thickness;
    Put16(b, 14, roundness);
    return b;
}

ByteVec LineObject(std::uint8_t style, std::uint8_t angle, std::uint8_t color, std::uint8_t thickness) {
    ByteVec b = ObjectBytes(4, 41, 42, 43, 44);
    b[9] = style;
    b[10] = angle;
    b[11] = color;
    b[12] = thickness;
    return b;
}

ByteVec LegacyFile(LegacyPage page, const std::vector<ByteVec>& objects, std::string_view strings = {}) {
    page.count = std::int16_t(objects.size());
    ByteVec file = HeaderBytes(page);
    for (const ByteVec& o : objects)
        file.insert(file.end(), o.begin(), o.end());
    file.insert(file.end(), strings.begin(), strings.end());
    return file;
}

TOldKVT Loaded(const ByteVec& bytes) {
    TOldKVT old;
    old.SetKVTData(bytes);
    return old;
}

// Converts and returns the target's records.
struct Converted {
    TKVT form;
    std::vector<std::pair<std::string, std::int32_t>> progress;
    TKVTFile& file() { return form.KVTFile(); }
    ConstBytes rec(std::int32_t i) { return std::as_const(form.KVTFile()).Items(i); }
};

void Convert(const ByteVec& bytes, Converted& out) {
    const TOldKVT old = Loaded(bytes);
    ConvertOldKVT(old, out.form, [&](std::string_view m, std::int32_t p) { out.progress.emplace_back(m, p); });
}

} // namespace

TEST(LegacyHeaderLoad, AStreamShorterThanTheHeaderChangesNothing) {
    TOldKVT old = Loaded(LegacyFile({}, {ObjectBytes(3, 1, 2, 3, 4)}, "a\r\n"));
    int changes = 0;
    old.OnChange = [&](TOldKVT&) { ++changes; };
    const auto header = old.Header;
    old.SetKVTData(ByteVec(98, 0x11));
    EXPECT_EQ(old.Header, header);
    EXPECT_EQ(old.Objects.Count(), 1);
    EXPECT_EQ(old.Strings, std::vector<std::string>{"a"});
    EXPECT_EQ(changes, 0);
}

TEST(LegacyHeaderLoad, VersionTwoRevisionZeroTakesTheLegacyPageSizeAndBecomesVersionThree) {
    LegacyPage page;
    page.version = 2;
    page.paper = 3;
    page.orientation = 1;
    page.width = 1000;
    page.height = 2000;
    const TOldKVT old = Loaded(LegacyFile(page, {}));
    EXPECT_EQ(OldHeaderRec::PageWidth.get(old.Header), 778);
    EXPECT_EQ(OldHeaderRec::PageHeight.get(old.Header), 1095);
    EXPECT_EQ(old.Header[9], 3);
    EXPECT_EQ(old.Header[10], 0);
    EXPECT_EQ(old.Header[11], 0);
}

TEST(LegacyHeaderLoad, AnOldHeaderWithARevisionIsKept) {
    LegacyPage page;
    page.version = 2;
    page.revision = 1;
    page.orientation = 1;
    page.width = 1000;
    page.height = 2000;
    const TOldKVT old = Loaded(LegacyFile(page, {}));
    EXPECT_EQ(OldHeaderRec::PageWidth.get(old.Header), 1000);
    EXPECT_EQ(OldHeaderRec::PageHeight.get(old.Header), 2000);
    EXPECT_EQ(old.Header[9], 2);
    EXPECT_EQ(old.Header[11], 1);
}

TEST(LegacyHeaderLoad, AZeroPageSideTakesBothSidesFromThePaperIndexButKeepsTheVersion) {
    const std::pair<std::uint8_t, std::pair<int, int>> cases[] = {
        {0, {800, 1320}}, {1, {800, 1035}}, {2, {1100, 1556}}, {3, {778, 1095}}, {4, {551, 778}}, {9, {800, 1035}},
    };
    for (const auto& [paper, size] : cases) {
        LegacyPage page;
        page.version = 3;
        page.paper = paper;
        page.width = 0;
        page.height = 500;
        const TOldKVT old = Loaded(LegacyFile(page, {}));
        EXPECT_EQ(OldHeaderRec::PageWidth.get(old.Header), size.first) << int(paper);
        EXPECT_EQ(OldHeaderRec::PageHeight.get(old.Header), size.second) << int(paper);
        EXPECT_EQ(old.Header[9], 3);
    }
}

TEST(LegacyObjectLoad, AnObjectCutShortIsDroppedAndLeavesNoStringTable) {
    ByteVec file = LegacyFile({}, {ObjectBytes(3, 1, 0, 0, 0), ObjectBytes(4, 2, 0, 0, 0), ObjectBytes(7, 3, 0, 0, 0)});
    file.resize(99 + 2 * 25 + 10);
    const TOldKVT old = Loaded(file);
    ASSERT_EQ(old.Objects.Count(), 2);
    TsvDynArray objects = old.Objects;
    EXPECT_EQ(objects.Items(1)[0], 4);
    EXPECT_TRUE(old.Strings.empty());
}

TEST(LegacyObjectLoad, ANegativeCountReadsNoObjectsAndTheRestAsStrings) {
    ByteVec file = HeaderBytes({});
    Put16(file, 0, -2);
    const std::string text = "one\r\ntwo\r\n";
    file.insert(file.end(), text.begin(), text.end());
    const TOldKVT old = Loaded(file);
    EXPECT_EQ(old.Objects.Count(), 0);
    EXPECT_EQ(old.Strings, (std::vector<std::string>{"one", "two"}));
}

TEST(LegacyObjectLoad, LoadingReplacesTheObjectsAndFiresOnChangeOnce) {
    TOldKVT old = Loaded(LegacyFile({}, {ObjectBytes(3, 0, 0, 0, 0), ObjectBytes(3, 0, 0, 0, 0)}));
    int changes = 0;
    old.OnChange = [&](TOldKVT& sender) {
        EXPECT_EQ(&sender, &old);
        ++changes;
    };
    old.SetKVTData(LegacyFile({}, {ObjectBytes(4, 0, 0, 0, 0)}));
    EXPECT_EQ(old.Objects.Count(), 1);
    EXPECT_EQ(changes, 1);
}

TEST(LegacyStringTable, LinesEndAtCrLfOrCrLf) {
    const auto lines = [](std::string_view text) { return Loaded(LegacyFile({}, {}, text)).Strings; };
    using V = std::vector<std::string>;
    EXPECT_EQ(lines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(lines("a\r\n"), (V{"a"}));
    EXPECT_EQ(lines("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(lines("\n\r"), (V{"", ""}));
    EXPECT_EQ(lines("\r\r\n"), (V{"", ""}));
    EXPECT_EQ(lines(""), V{});
    EXPECT_EQ(lines(std::string_view("a\r\nb\0c\r\n", 9)), (V{"a", "b"}));
    EXPECT_EQ(lines("\xE9t\xE9"), (V{"\xE9t\xE9"}));
}

TEST(LegacySave, NoObjectsWritesNothing) {
    TOldKVT old = Loaded(LegacyFile({}, {}, "kept\r\n"));
    EXPECT_TRUE(old.KVTData().empty());
}

TEST(LegacySave, WritesCountHeaderObjectsAndCrLfLines) {
    const ByteVec text = TextObject(0, 1, 1, 10, 9, 0, 13);
    const ByteVec line = LineObject(1, 2, 3, 4);
    TOldKVT old = Loaded(LegacyFile({}, {text, line}, "Hello\nArial"));
    old.Header[0] = 0x55; // a stale count is replaced by the number of objects
    old.Header[1] = 0x55;

    ByteVec expected = LegacyFile({}, {text, line}, "Hello\r\nArial\r\n");
    EXPECT_EQ(old.KVTData(), expected);
    EXPECT_EQ(old.Header[0], 2);
    EXPECT_EQ(old.Header[1], 0);
}

TEST(LegacyLookups, StringNumbersOutsideTheTableGiveErrorText) {
    const TOldKVT old = Loaded(LegacyFile({}, {}, "zero\r\none\r\n"));
    EXPECT_EQ(old.GetString(0), "zero");
    EXPECT_EQ(old.GetString(1), "one");
    EXPECT_EQ(old.GetString(2), "ERROR 2");
    EXPECT_EQ(old.GetString(-1), "ERROR -1");
    EXPECT_EQ(old.GetString(-32768), "ERROR -32768");
}

TEST(LegacyLookups, ColourNumbers) {
    const std::uint32_t expected[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0xAAFFFF};
    for (std::uint8_t n = 0; n < 17; ++n)
        EXPECT_EQ(TOldKVT::GetColor(n), expected[n]) << int(n);
    EXPECT_EQ(TOldKVT::GetColor(17), 0u);
    EXPECT_EQ(TOldKVT::GetColor(255), 0u);
}

TEST(LegacyConversion, HeaderCopiesThePageAndIsOtherwiseZero) {
    LegacyPage page;
    page.version = 2;
    page.paper = 3;
    page.borderThickness = 2;
    page.borderStyle = 1;
    ByteVec file = LegacyFile(page, {});
    file[11] = 1; // the version-2 repair resets the orientation
    Converted c;
    Convert(file, c);
    ASSERT_EQ(c.file().Count(), 1);
    const ConstBytes h = c.rec(0);
    ASSERT_EQ(h.size(), std::size_t(kHeaderSize));
    std::array<std::uint8_t, kHeaderSize> expected{};
    const Bytes e(expected);
    ItemHeader::Stamp.set(e, ItemHeader::StampValue);
    ItemHeader::ID.set(e, 1);
    ItemHeader::ItemType.set(e, kvtHeaderType);
    ItemHeader::ItemSize.set(e, kHeaderSize);
    HeaderRec::PageColor.set(e, 0xFFFFFF);
    HeaderRec::BorderThickness.set(e, 2);
    HeaderRec::BorderStyle.set(e, 1);
    HeaderRec::PageWidth.set(e, 778);
    HeaderRec::PageHeight.set(e, 1095);
    HeaderRec::PaperSize.set(e, kvtA4);
    HeaderRec::Version.set(e, 5);
    HeaderRec::SubVersion.set(e, 1);
    HeaderRec::Signature.set(e, HeaderRec::SignatureValue);
    EXPECT_TRUE(std::equal(h.begin(), h.end(), expected.begin()));
}

TEST(LegacyConversion, ReplacesTheTargetRecordsWithoutFiringOnChange) {
    Converted c;
    c.file().Frames.AddEmpty();
    int changes = 0;
    c.form.OnChange = [&](TKVT&) { ++changes; };
    Convert(LegacyFile({}, {LineObject(0, 0, 0, 1)}), c);
    ASSERT_EQ(c.file().Count(), 2);
    EXPECT_EQ(c.file().Frames.Count(), 0);
    EXPECT_EQ(c.file().Lines.Count(), 1);
    EXPECT_EQ(changes, 0);
}

TEST(LegacyConversion, AFileShorterThanTheHeaderGivesAZeroPage) {
    Converted c;
    Convert(ByteVec(50, 0x33), c);
    ASSERT_EQ(c.file().Count(), 1);
    EXPECT_EQ(HeaderRec::PageWidth.get(c.rec(0)), 0);
    EXPECT_EQ(HeaderRec::PageHeight.get(c.rec(0)), 0);
    EXPECT_EQ(HeaderRec::PaperSize.get(c.rec(0)), 0);
    EXPECT_EQ(HeaderRec::Version.get(c.rec(0)), 5);
}

TEST(LegacyConversion, UnknownTypesAreSkippedWithoutUsingAnID) {
    Converted c;
    Convert(LegacyFile({}, {FrameObject(3, 0, 0, 0, 0, 1, 0), ObjectBytes(1, 0, 0, 0, 0),
                            FrameObject(8, 0, 0, 0, 0, 1, 0), ObjectBytes(0, 0, 0, 0, 0), ObjectBytes(9, 0, 0, 0, 0),
                            FrameObject(5, 0, 0, 0, 0, 1, 0), LineObject(0, 0, 0, 1)}),
            c);
    ASSERT_EQ(c.file().Count(), 5);
    const std::int32_t types[] = {kvtHeaderType, kvtFrameType, kvtFrameType, kvtFrameType, kvtLineType};
    for (std::int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(ItemHeader::ID.get(c.rec(i)), i + 1);
        EXPECT_EQ(ItemHeader::ItemType.get(c.rec(i)), types[i]);
    }
}

TEST(LegacyConversion, ProgressIsReportedBeforeEveryObjectWithATruncatedPercentage) {
    std::vector<ByteVec> objects(7, ObjectBytes(1, 0, 0, 0, 0));
    Converted c;
    Convert(LegacyFile({}, objects), c);
    const std::int32_t percents[] = {0, 14, 28, 42, 57, 71, 85};
    ASSERT_EQ(c.progress.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(c.progress[i].first, "Converting Objects..");
        EXPECT_EQ(c.progress[i].second, percents[i]);
    }
}

TEST(LegacyConversion, ATextTakesItsStringsColourAndAngle) {
    const std::string font30(30, 'F');
    const std::string text300(300, 'x');
    Converted c;
    Convert(LegacyFile({},
                       {TextObject(1, 0, 5, 12, 16, 1, -17), TextObject(2, 3, 0, 8, 4, 2, 10),
                        TextObject(7, -1, 0, 8, 200, 3, 10)},
                       "Arial\r\nHello\r\n" + text300 + "\r\n" + font30 + "\r\n"),
            c);
    ASSERT_EQ(c.file().Count(), 4);

    const ConstBytes t = c.rec(1);
    EXPECT_EQ(ItemHeader::ItemType.get(t), kvtTextType);
    EXPECT_EQ(ItemHeader::ItemSize.get(t), 85);
    ASSERT_EQ(t.size(), 85u);
    EXPECT_EQ(TextRec::Left.get(t), 11);
    EXPECT_EQ(TextRec::Top.get(t), 12);
    EXPECT_EQ(TextRec::Width.get(t), 13);
    EXPECT_EQ(TextRec::Height.get(t), 14);
    EXPECT_EQ(TextRec::Text.get(t), "Hello");
    EXPECT_EQ(TextRec::FontName.get(t), "Arial");
    EXPECT_EQ(TextRec::FontStyle.get(t), 5);
    EXPECT_EQ(TextRec::FontSize.get(t), 12);
    EXPECT_EQ(TextRec::FontHeight.get(t), -17);
    EXPECT_EQ(TextRec::FontColor.get(t), 0xAAFFFFu);
    EXPECT_EQ(TextRec::Angle.get(t), 180.0f);
    EXPECT_EQ(TextRec::Alignment.get(t), 0);
    EXPECT_EQ(TextRec::Autosize.get(t), 0);

    const ConstBytes cut = c.rec(2);
    EXPECT_EQ(TextRec::Text.get(cut), std::string(255, 'x'));
    EXPECT_EQ(ItemHeader::ItemSize.get(cut), 80 + 255);
    EXPECT_EQ(TextRec::FontName.get(cut), std::string(24, 'F'));
    EXPECT_EQ(TextRec::FontColor.get(cut), 0x800000u);
    EXPECT_EQ(TextRec::Angle.get(cut), 360.0f);

    const ConstBytes missing = c.rec(3);
    EXPECT_EQ(TextRec::Text.get(missing), "ERROR 7");
    EXPECT_EQ(TextRec::FontName.get(missing), "ERROR -1");
    EXPECT_EQ(ItemHeader::ItemSize.get(missing), 87);
    EXPECT_EQ(TextRec::FontColor.get(missing), 0u);
    EXPECT_EQ(TextRec::Angle.get(missing), 0.0f);
}

TEST(LegacyConversion, AFieldTakesItsNameFontAndFormatAndNothingElse) {
    const std::string name50(50, 'N');
    Converted c;
    Convert(LegacyFile({}, {FieldObject(0, 1, 2, 9, 12, lfoDollar, -15)}, name50 + "\r\nCourier New\r\n"), c);
    ASSERT_EQ(c.file().Count(), 2);
    const ConstBytes f = c.rec(1);
    ASSERT_EQ(f.size(), std::size_t(kFieldSize));

    std::array<std::uint8_t, kFieldSize> expected{};
    const Bytes e(expected);
    ItemHeader::Stamp.set(e, ItemHeader::StampValue);
    ItemHeader::ID.set(e, 2);
    ItemHeader::ItemType.set(e, kvtFieldType);
    ItemHeader::ItemSize.set(e, kFieldSize);
    FieldRec::Left.set(e, 21);
    FieldRec::Top.set(e, 22);
    FieldRec::Width.set(e, 23);
    FieldRec::Height.set(e, 24);
    FieldRec::Name.set(e, std::string(40, 'N'));
    FieldRec::FontName.set(e, "Courier New");
    FieldRec::FontStyle.set(e, 2);
    FieldRec::FontSize.set(e, 9);
    FieldRec::FontColor.set(e, 0xFF0000);
    FieldRec::Format.set(e, lfoDollar);
    FieldRec::FontHeight.set(e, -15);
    EXPECT_TRUE(std::equal(f.begin(), f.end(), expected.begin()));
    EXPECT_EQ(FieldRec::Name.get(f), std::string(40, 'N'));
    EXPECT_EQ(FieldRec::Format.get(f), lfoDollar);
    EXPECT_EQ(FieldRec::FontHeight.get(f), -15);
}

TEST(LegacyConversion, FramesAndEllipsesTakeStylesColoursAndThickness) {
    ByteVec ellipse = FrameObject(7, 2, 1, 11, 5, 3, 0);
    Put16(ellipse, 14, 99); // roundness means nothing to an ellipse
    Converted c;
    Convert(LegacyFile({}, {FrameObject(5, 1, 2, 10, 13, 4, 12), ellipse}), c);
    ASSERT_EQ(c.file().Count(), 3);

    const ConstBytes f = c.rec(1);
    EXPECT_EQ(ItemHeader::ItemType.get(f), kvtFrameType);
    EXPECT_EQ(ItemHeader::ItemSize.get(f), kFrameSize);
    EXPECT_EQ(FrameRec::Left.get(f), 31);
    EXPECT_EQ(FrameRec::Height.get(f), 34);
    EXPECT_EQ(FrameRec::OuterStyle.get(f), 1);
    EXPECT_EQ(FrameRec::InnerStyle.get(f), 2);
    EXPECT_EQ(FrameRec::InnerColor.get(f), 0x00FF00u);
    EXPECT_EQ(FrameRec::OuterColor.get(f), 0xFF00FFu);
    EXPECT_EQ(FrameRec::Thickness.get(f), 4);
    EXPECT_EQ(FrameRec::Roundness.get(f), 12);

    const ConstBytes e = c.rec(2);
    ASSERT_EQ(e.size(), std::size_t(kEllipseSize));
    std::array<std::uint8_t, kEllipseSize> expected{};
    const Bytes x(expected);
    ItemHeader::Stamp.set(x, ItemHeader::StampValue);
    ItemHeader::ID.set(x, 3);
    ItemHeader::ItemType.set(x, kvtEllipseType);
    ItemHeader::ItemSize.set(x, kEllipseSize);
    EllipseRec::Left.set(x, 31);
    EllipseRec::Top.set(x, 32);
    EllipseRec::Width.set(x, 33);
    EllipseRec::Height.set(x, 34);
    EllipseRec::OuterStyle.set(x, 2);
    EllipseRec::InnerStyle.set(x, 1);
    EllipseRec::InnerColor.set(x, 0x00FFFF);
    EllipseRec::OuterColor.set(x, 0x800080);
    EllipseRec::Thickness.set(x, 3);
    EXPECT_TRUE(std::equal(e.begin(), e.end(), expected.begin()));
}

TEST(LegacyConversion, LinesTakeStyleColourThicknessAndAngle) {
    Converted c;
    Convert(LegacyFile({}, {LineObject(2, 0, 8, 3), LineObject(0, 1, 0, 1), LineObject(0, 2, 0, 1),
                            LineObject(0, 3, 0, 1), LineObject(0, 4, 0, 1)}),
            c);
    ASSERT_EQ(c.file().Count(), 6);
    const ConstBytes l = c.rec(1);
    EXPECT_EQ(ItemHeader::ItemSize.get(l), kLineSize);
    EXPECT_EQ(LineRec::Left.get(l), 41);
    EXPECT_EQ(LineRec::Top.get(l), 42);
    EXPECT_EQ(LineRec::Width.get(l), 43);
    EXPECT_EQ(LineRec::Height.get(l), 44);
    EXPECT_EQ(LineRec::Style.get(l), 2);
    EXPECT_EQ(LineRec::Color.get(l), 0xC0C0C0u);
    EXPECT_EQ(LineRec::Thickness.get(l), 3);
    const float angles[] = {0.0f, 90.0f, 45.0f, 135.0f, 0.0f};
    for (std::int32_t i = 0; i < 5; ++i)
        EXPECT_EQ(LineRec::Angle.get(c.rec(i + 1)), angles[i]) << i;
}

TEST(LegacyConversion, TheResultIsAFormThatSavesAndLoads) {
    Converted c;
    Convert(LegacyFile({}, {TextObject(0, 1, 0, 10, 0, 0, 13), FieldObject(2, 1, 0, 10, 0, lfoDate, 13)},
                       "Name:\r\nArial\r\nName\r\n"),
            c);
    const std::vector<std::uint8_t> bytes = c.form.KVTData();
    EXPECT_TRUE(IsCurrentFormFile(bytes));
    TKVT reloaded;
    reloaded.SetKVTData(bytes);
    EXPECT_EQ(reloaded.KVTFile().Count(), 3);
    EXPECT_TRUE(reloaded.FieldExists("name"));
}

TEST(FormFileRecognition, CurrentVersionAtByte40OrInTheOlderEncodingAtByte30) {
    const auto with = [](std::size_t size, std::size_t at, std::uint8_t value) {
        ByteVec b(size, 0);
        if (at < size) b[at] = value;
        return IsCurrentFormFile(b);
    };
    EXPECT_FALSE(IsCurrentFormFile({}));
    EXPECT_TRUE(with(266, 40, 5));
    EXPECT_TRUE(with(266, 40, 4));
    EXPECT_TRUE(with(266, 40, 200));
    EXPECT_FALSE(with(266, 40, 3));
    EXPECT_TRUE(with(266, 30, 4));
    EXPECT_TRUE(with(266, 30, 19));
    EXPECT_FALSE(with(266, 30, 3));
    EXPECT_FALSE(with(266, 30, 20));
    EXPECT_TRUE(with(31, 30, 5));
    EXPECT_FALSE(with(40, 30, 2));
    EXPECT_FALSE(IsCurrentFormFile(LegacyFile({}, {LineObject(0, 0, 0, 1)}, "x\r\n")));
}
