// Word-processor forms given as enhanced metafiles: which records become which objects, the
// values scaled and the ones taken as they are, the drawing state records and its life across
// imports, and bytes that are no metafile.
#include "MetafileBuilder.h"

#include "convert/WordImport.h"
#include "platform/RecordingCanvas.h"
#include "storage/Text1252.h"

#include <gtest/gtest.h>

using namespace kovet;
using kovet::test::MetafileBuilder;

namespace {

class WordImport : public testing::Test {
protected:
    // Imports behind the objects already there; returns the records it added.
    std::vector<std::vector<std::uint8_t>> Import(const MetafileBuilder& emf, float scale = 1.0f) {
        const std::int32_t before = form.KVTFile().Count();
        ImportMetafile(form, defaults, state, emf.Finish(), scale, metrics);
        std::vector<std::vector<std::uint8_t>> added;
        for (std::int32_t i = before; i < form.KVTFile().Count(); ++i) {
            const ConstBytes r = form.KVTFile().Items(i);
            added.emplace_back(r.begin(), r.end());
        }
        return added;
    }
    // The one object an import of these records adds.
    std::vector<std::uint8_t> ImportOne(const MetafileBuilder& emf, float scale = 1.0f) {
        auto added = Import(emf, scale);
        EXPECT_EQ(added.size(), 1u);
        return added.empty() ? std::vector<std::uint8_t>{} : added.front();
    }
    static std::int32_t Type(ConstBytes r) { return ItemHeader::ItemType.get(r); }

    TKVT form;
    TKVTDefaults defaults;
    FixedTextMetrics metrics;
    TWordImportState state{"MS Sans Serif", 8};
};

TEST_F(WordImport, TheStateStartsWithABlackPenAWhiteFillAndThePlatformFont) {
    EXPECT_EQ(state.PenWidth, 1);
    EXPECT_EQ(state.PenColor, clBlack);
    EXPECT_EQ(state.PenStyle, psSolid);
    EXPECT_EQ(state.FillColor, clWhite);
    EXPECT_TRUE(state.FillSolid);
    EXPECT_EQ(state.FontName, "MS Sans Serif");
    EXPECT_EQ(state.FontSize, 8);
    EXPECT_EQ(state.FontHeight, -11);
    EXPECT_EQ(state.FontStyle, 0);
    EXPECT_EQ(state.Current, (TPoint{0, 0}));
    EXPECT_EQ(state.Scale, 0.0f);
}

TEST_F(WordImport, RectanglesBecomeFramesOnePixelLargerThanEllipsesOfTheSameBox) {
    MetafileBuilder emf;
    emf.Pen(PS_DASH, 3, 0x123456).Record(EMR_SETBKMODE, {TRANSPARENT}).Record(EMR_SETBKCOLOR, {0x00ABCDEF});
    emf.Box(EMR_RECTANGLE, {100, 200, 400, 300}).Box(EMR_ELLIPSE, {100, 200, 400, 300});
    const auto added = Import(emf, 0.5f);
    ASSERT_EQ(added.size(), 2u);
    const auto& frame = added[0];
    const auto& ellipse = added[1];
    ASSERT_EQ(Type(frame), kvtFrameType);
    ASSERT_EQ(Type(ellipse), kvtEllipseType);

    EXPECT_EQ(FrameRec::Left.get(frame), 50);
    EXPECT_EQ(FrameRec::Top.get(frame), 100);
    EXPECT_EQ(FrameRec::Width.get(frame), 151);
    EXPECT_EQ(FrameRec::Height.get(frame), 51);
    EXPECT_EQ(FrameRec::OuterColor.get(frame), 0x123456u);
    EXPECT_EQ(FrameRec::OuterStyle.get(frame), psDashed);
    EXPECT_EQ(FrameRec::Thickness.get(frame), 3);
    EXPECT_EQ(FrameRec::InnerColor.get(frame), 0xABCDEFu);
    EXPECT_EQ(FrameRec::InnerStyle.get(frame), fsClear);
    EXPECT_EQ(FrameRec::Roundness.get(frame), FrameRec::Roundness.get(defaults.Frame()));

    EXPECT_EQ(EllipseRec::Left.get(ellipse), 50);
    EXPECT_EQ(EllipseRec::Top.get(ellipse), 100);
    EXPECT_EQ(EllipseRec::Width.get(ellipse), 150);
    EXPECT_EQ(EllipseRec::Height.get(ellipse), 50);
    EXPECT_EQ(EllipseRec::OuterColor.get(ellipse), 0x123456u);
    EXPECT_EQ(EllipseRec::OuterStyle.get(ellipse), psDashed);
    EXPECT_EQ(EllipseRec::Thickness.get(ellipse), 1) << "an ellipse's outline is always one pixel";
    EXPECT_EQ(EllipseRec::InnerColor.get(ellipse), 0xABCDEFu);
    EXPECT_EQ(EllipseRec::InnerStyle.get(ellipse), fsClear);
}

TEST_F(WordImport, ARoundRectanglesCornerIsNotScaledWhileItsBoxIs) {
    const auto frame = ImportOne(MetafileBuilder().RoundRect({100, 200, 300, 400}, 40, 30), 0.33f);
    ASSERT_EQ(Type(frame), kvtFrameType);
    EXPECT_EQ(FrameRec::Left.get(frame), 33);
    EXPECT_EQ(FrameRec::Top.get(frame), 66);
    EXPECT_EQ(FrameRec::Width.get(frame), 99 - 33 + 1);
    EXPECT_EQ(FrameRec::Height.get(frame), 132 - 66 + 1);
    EXPECT_EQ(FrameRec::Roundness.get(frame), 40);
}

TEST_F(WordImport, PenStylesAndBackgroundModesSetTheOutlineAndTheFill) {
    const struct {
        std::uint32_t penStyle;
        std::int32_t bkMode;
        std::uint8_t outer, inner;
    } cases[] = {
        {PS_SOLID, OPAQUE, psSolid, fsSolid},
        {PS_DOT, TRANSPARENT, psDotted, fsClear},
        {PS_DASH, OPAQUE, psDashed, fsSolid},
        // Any other pen style leaves the style as it was; any other mode clears the fill.
        {PS_NULL, 0, psDashed, fsClear},
        {PS_GEOMETRIC | PS_DOT, OPAQUE, psDashed, fsSolid},
    };
    for (const auto& c : cases) {
        const auto frame = ImportOne(MetafileBuilder()
                                         .Pen(c.penStyle, 2, clRed)
                                         .Record(EMR_SETBKMODE, {c.bkMode})
                                         .Box(EMR_RECTANGLE, {0, 0, 9, 9}));
        EXPECT_EQ(FrameRec::OuterStyle.get(frame), c.outer) << c.penStyle;
        EXPECT_EQ(FrameRec::InnerStyle.get(frame), c.inner) << c.bkMode;
    }
}

TEST_F(WordImport, LinesStartAtTheCurrentPointWhichOnlyAMoveMoves) {
    MetafileBuilder emf;
    emf.Pen(PS_DOT, 258, clBlue).MoveTo(100, 100).LineTo(300, 100).LineTo(100, 400);
    emf.MoveTo(0, 500).LineTo(200, 200);
    const auto lines = Import(emf, 0.5f);
    ASSERT_EQ(lines.size(), 3u);
    const float defaultAngle = LineRec::Angle.get(defaults.Line());

    // Both lines after the first move start at the moved-to point.
    for (const auto& line : {lines[0], lines[1]}) {
        ASSERT_EQ(Type(line), kvtLineType);
        EXPECT_EQ(LineRec::Left.get(line), 50);
        EXPECT_EQ(LineRec::Top.get(line), 50);
        EXPECT_EQ(LineRec::Color.get(line), clBlue);
        EXPECT_EQ(LineRec::Thickness.get(line), 2) << "the low byte of the pen width";
        EXPECT_EQ(LineRec::Style.get(line), psDotted);
    }
    // Horizontal: the default angle.
    EXPECT_EQ(LineRec::Width.get(lines[0]), 100);
    EXPECT_EQ(LineRec::Height.get(lines[0]), 0);
    EXPECT_EQ(LineRec::Angle.get(lines[0]), defaultAngle);
    // Straight down: the height is the larger, so upright.
    EXPECT_EQ(LineRec::Width.get(lines[1]), 0);
    EXPECT_EQ(LineRec::Height.get(lines[1]), 150);
    EXPECT_EQ(LineRec::Angle.get(lines[1]), 90.0f);
    // Drawn upward: a negative height keeps the default angle.
    EXPECT_EQ(LineRec::Left.get(lines[2]), 0);
    EXPECT_EQ(LineRec::Top.get(lines[2]), 250);
    EXPECT_EQ(LineRec::Width.get(lines[2]), 100);
    EXPECT_EQ(LineRec::Height.get(lines[2]), -150);
    EXPECT_EQ(LineRec::Angle.get(lines[2]), defaultAngle);
    EXPECT_EQ(state.Current, (TPoint{0, 500})) << "kept unscaled";
}

TEST_F(WordImport, TextIsPlacedUnscaledWhileShapesAndFontsAreScaled) {
    MetafileBuilder emf;
    emf.Font(-32, 700, 1, u"Times New Roman").Box(EMR_RECTANGLE, {100, 200, 110, 210}).Text(100, 200, u"Name:");
    const auto added = Import(emf, 0.33f);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(FrameRec::Left.get(added[0]), 33);
    EXPECT_EQ(FrameRec::Top.get(added[0]), 66);

    const auto& text = added[1];
    ASSERT_EQ(Type(text), kvtTextType);
    EXPECT_EQ(TextRec::Left.get(text), 100);
    EXPECT_EQ(TextRec::Top.get(text), 200);
    EXPECT_EQ(TextRec::Text.get(text), "Name:");
    EXPECT_EQ(text.size(), 85u);
    EXPECT_EQ(ItemHeader::ItemSize.get(text), 85);
    EXPECT_EQ(TextRec::FontName.get(text), "Times New Roman");
    EXPECT_EQ(TextRec::FontSize.get(text), 7) << "24 points scaled";
    EXPECT_EQ(TextRec::FontHeight.get(text), -10) << "-32 pixels scaled";
    EXPECT_EQ(TextRec::FontStyle.get(text), fsBold | fsItalic) << "underline is not taken";
    EXPECT_EQ(TextRec::Angle.get(text), 0.0f);
    EXPECT_EQ(TextRec::FontColor.get(text), TextRec::FontColor.get(defaults.Text()));
    EXPECT_EQ(TextRec::Alignment.get(text), TextRec::Alignment.get(defaults.Text()));
    // Sized to its text in its font (7 points: 9 pixels, characters of 4).
    EXPECT_EQ(TextRec::Width.get(text), 5 * 4);
    EXPECT_EQ(TextRec::Height.get(text), 10);
}

TEST_F(WordImport, FontSizesRoundHalvesToEvenAndTheHeightFollowsTheSize) {
    const struct {
        std::int32_t lfHeight, size, height;
    } cases[] = {
        {-6, 4, -5},                   // 4.5 points
        {-2, 2, -3},                   // 1.5 points
        {-13, 10, -13},                // 9.75 points
        {-15, 11, -15},                // 11.25 points
        {-16, 12, -16}, {20, -15, 20}, // a cell height
    };
    for (const auto& c : cases) {
        Import(MetafileBuilder().Font(c.lfHeight, 400, 0, u"Arial"));
        EXPECT_EQ(state.FontSize, c.size) << c.lfHeight;
        EXPECT_EQ(state.FontHeight, c.height) << c.lfHeight;
    }
}

TEST_F(WordImport, OnlyWeight700IsBoldAndOnlyItalic1IsItalic) {
    const struct {
        std::int32_t weight;
        std::uint8_t italic;
        std::uint8_t style;
    } cases[] = {
        {700, 0, fsBold}, {600, 0, 0}, {800, 0, 0}, {400, 1, fsItalic}, {700, 2, fsBold}, {400, 255, 0},
    };
    for (const auto& c : cases) {
        Import(MetafileBuilder().Font(-13, c.weight, c.italic, u"Arial"));
        EXPECT_EQ(state.FontStyle, c.style) << c.weight << " " << int(c.italic);
    }
}

TEST_F(WordImport, TextsAndFaceNamesAreNarrowedByteByByteAndCut) {
    MetafileBuilder emf;
    emf.Font(-13, 400, 0, u"A very long face name of thirty-two");
    emf.Text(0, 0, std::u16string(300, u'x')).Text(0, 0, u"").Text(0, 0, u"caf\u00e9 \u20ac5");
    const auto texts = Import(emf);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(state.FontName, "A very long face name of thirty-") << "32 characters at most";
    EXPECT_EQ(TextRec::FontName.get(texts[0]), "A very long face name of") << "24 in the record";
    EXPECT_EQ(TextRec::Text.get(texts[0]), std::string(255, 'x'));
    EXPECT_EQ(texts[0].size(), 80u + 255u);
    EXPECT_EQ(TextRec::Text.get(texts[1]), "");
    EXPECT_EQ(texts[1].size(), 80u);
    // Characters above 255 give their two bytes; the count of characters still limits.
    EXPECT_EQ(TextRec::Text.get(texts[2]), "caf\xe9 \xac ");
}

TEST_F(WordImport, TheByteWalkSkipsLeadingZerosAndStopsAtTwoZerosInARow) {
    const auto narrow = [](std::initializer_list<std::uint8_t> bytes, std::size_t limit) {
        const std::vector<std::uint8_t> v(bytes);
        return NarrowUtf16Bytes(v, limit);
    };
    EXPECT_EQ(narrow({0, 0, 0, 'A', 0, 'B', 0}, 10), "AB");
    EXPECT_EQ(narrow({'A', 0, 0, 0, 'B', 0}, 10), "A");
    EXPECT_EQ(narrow({'A', 'B', 'C', 'D'}, 3), "ABC");
    EXPECT_EQ(narrow({'A', 0, 1, 'B'}, 10), "A\x01"
                                            "B");
    EXPECT_EQ(narrow({}, 10), "");
    const std::vector<std::uint8_t> many(600, 'z');
    EXPECT_EQ(NarrowUtf16Bytes(many, 1000).size(), 255u);
}

TEST_F(WordImport, TheStateCarriesOverFromOneImportToTheNext) {
    MetafileBuilder first;
    first.Pen(PS_DOT, 4, clGreen).Record(EMR_SETBKMODE, {TRANSPARENT}).Record(EMR_SETBKCOLOR, {int(clYellow)});
    first.Font(-16, 700, 0, u"Courier New").MoveTo(10, 20).Box(EMR_RECTANGLE, {0, 0, 5, 5});
    ASSERT_EQ(Import(first).size(), 1u);

    MetafileBuilder second;
    second.Box(EMR_RECTANGLE, {1, 1, 5, 5}).LineTo(30, 20).Text(5, 6, u"Hi");
    const auto added = Import(second, 0.5f);
    ASSERT_EQ(added.size(), 3u);
    EXPECT_EQ(form.KVTFile().Count(), 5) << "header, then both imports' objects";
    EXPECT_EQ(FrameRec::OuterStyle.get(added[0]), psDotted);
    EXPECT_EQ(FrameRec::Thickness.get(added[0]), 4);
    EXPECT_EQ(FrameRec::OuterColor.get(added[0]), clGreen);
    EXPECT_EQ(FrameRec::InnerColor.get(added[0]), clYellow);
    EXPECT_EQ(FrameRec::InnerStyle.get(added[0]), fsClear);
    EXPECT_EQ(LineRec::Left.get(added[1]), 5);
    EXPECT_EQ(LineRec::Top.get(added[1]), 10);
    EXPECT_EQ(TextRec::FontName.get(added[2]), "Courier New");
    EXPECT_EQ(TextRec::FontSize.get(added[2]), 6);
    EXPECT_EQ(TextRec::FontStyle.get(added[2]), fsBold);
    EXPECT_EQ(state.Scale, 0.5f);
}

TEST_F(WordImport, OtherRecordsAreIgnored) {
    MetafileBuilder emf;
    emf.Record(EMR_CREATEBRUSHINDIRECT, {1, BS_SOLID, int(clRed), 0}).Record(EMR_SELECTOBJECT, {1});
    emf.Record(EMR_SETTEXTCOLOR, {int(clRed)}).Record(EMR_POLYLINE16, {0, 0, 10, 10, 2, 0, 0x00050005});
    emf.Record(EMR_EXTTEXTOUTA, {0, 0, 10, 10});
    EXPECT_TRUE(Import(emf).empty());
    EXPECT_EQ(state.FillColor, clWhite);
    EXPECT_TRUE(state.FillSolid);
}

TEST_F(WordImport, BytesThatAreNoMetafileAreRefusedAndCutRecordsReadAsZero) {
    const std::vector<std::uint8_t> garbage = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 1, 2, 3};
    try {
        ImportMetafile(form, defaults, state, garbage, 1.0f, metrics);
        ADD_FAILURE() << "no error";
    } catch (const EWordImportError& error) {
        EXPECT_STREQ(error.what(), kNotAMetafileMessage);
    }
    EXPECT_THROW(ImportMetafile(form, defaults, state, {}, 1.0f, metrics), EWordImportError);
    EXPECT_EQ(form.KVTFile().Count(), 1) << "the header alone";

    // A text record whose string offset and count lie far beyond it, and a rectangle cut off
    // by the end of the bytes, behind its last record.
    std::vector<std::uint8_t> bytes =
        MetafileBuilder().Record(EMR_EXTTEXTOUTW, {5, 6, 7, 8, 0, 0, 0, 0, 0, 1000, 4000}).Finish();
    bytes.resize(bytes.size() - 20);
    const std::vector<std::uint8_t> rectangle = MetafileBuilder().Box(EMR_RECTANGLE, {10, 20, 30, 40}).Finish();
    bytes.insert(bytes.end(), rectangle.begin() + EmrHeader::kBaseSize, rectangle.begin() + EmrHeader::kBaseSize + 16);
    ImportMetafile(form, defaults, state, bytes, 1.0f, metrics);
    ASSERT_EQ(form.KVTFile().Count(), 3);
    EXPECT_EQ(TextRec::Text.get(form.KVTFile().Items(1)), "");
    EXPECT_EQ(TextRec::Left.get(form.KVTFile().Items(1)), 5);
    const ConstBytes frame = form.KVTFile().Items(2);
    EXPECT_EQ(FrameRec::Left.get(frame), 10);
    EXPECT_EQ(FrameRec::Top.get(frame), 20);
    EXPECT_EQ(FrameRec::Width.get(frame), -9) << "right and bottom were cut off: zero";
}

TEST_F(WordImport, HugeValuesKeepTheirLowPartInTheRecord) {
    const auto frame = ImportOne(MetafileBuilder().Box(EMR_RECTANGLE, {70000, -70000, 2147483647, 0}));
    EXPECT_EQ(FrameRec::Left.get(frame), std::int16_t(70000));
    EXPECT_EQ(FrameRec::Top.get(frame), std::int16_t(-70000));
    EXPECT_EQ(FrameRec::Width.get(frame), std::int16_t(std::int64_t(2147483647) - std::int16_t(70000) + 1));
    state.Scale = 1e30f;
    EXPECT_EQ(state.Scaled(5), 0) << "beyond any page";
}

} // namespace
