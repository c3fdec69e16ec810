#include "platform/EmfCanvas.h"

#include "platform/emf/EmfRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace kovet;

namespace {

// Every UTF-16 unit 7 pixels wide, every cell 16 high.
class FixedMetrics : public TextMetrics {
public:
    TSize Extent(const TFont&, std::string_view text) override { return {7 * std::int32_t(text.size()), 16}; }
    std::vector<std::int32_t> Advances(const TFont&, std::u16string_view text) override {
        return std::vector<std::int32_t>(text.size(), 7);
    }
};

class EmfCanvasTest : public testing::Test {
protected:
    FixedMetrics metrics;
    EmfCanvas canvas{TSize{816, 1056}, metrics};
    std::vector<EmfRecord> records;

    const std::vector<EmfRecord>& Finish() {
        records.clear();
        for (const EmfRecord& r : EmfRecords(canvas.Finish()))
            records.push_back(r);
        return records;
    }

    std::vector<ConstBytes> All(std::uint32_t type) const {
        std::vector<ConstBytes> found;
        for (const EmfRecord& r : records) {
            if (r.Type == type) found.push_back(r.Bytes);
        }
        return found;
    }

    ConstBytes One(std::uint32_t type) const {
        const auto found = All(type);
        EXPECT_EQ(found.size(), 1u) << "records of type " << type;
        return found.empty() ? ConstBytes{} : found.front();
    }

    // Record types without the object and attribute records, to see what was drawn.
    std::vector<std::uint32_t> DrawingTypes() const {
        static const std::set<std::uint32_t> state = {EMR_CREATEPEN,
                                                      EMR_CREATEBRUSHINDIRECT,
                                                      EMR_EXTCREATEFONTINDIRECTW,
                                                      EMR_SELECTOBJECT,
                                                      EMR_DELETEOBJECT,
                                                      EMR_SETBKMODE,
                                                      EMR_SETBKCOLOR,
                                                      EMR_SETROP2,
                                                      EMR_SETTEXTCOLOR,
                                                      EMR_SETTEXTALIGN};
        std::vector<std::uint32_t> types;
        for (const EmfRecord& r : records) {
            if (!state.count(r.Type)) types.push_back(r.Type);
        }
        return types;
    }

    std::vector<std::uint32_t> Types() const {
        std::vector<std::uint32_t> types;
        for (const EmfRecord& r : records)
            types.push_back(r.Type);
        return types;
    }
};

enum Kind { kPen, kBrush, kFont };

Kind StockKind(std::uint32_t index) {
    if (index <= NULL_BRUSH || index == DC_BRUSH) return kBrush;
    if ((index >= WHITE_PEN && index <= NULL_PEN) || index == DC_PEN) return kPen;
    return kFont;
}

// Plays the object records as a device context would and fails on misuse: a handle
// created twice or outside the header's handle count, a deleted or unknown handle
// selected, an object deleted while the context (or a saved state of it) holds it, and
// objects still alive at the end.
void CheckObjectUse(const std::vector<EmfRecord>& records) {
    const std::uint32_t handles = EmrHeader::Handles.get(records.front().Bytes);
    std::map<std::uint32_t, Kind> live;
    std::array<std::uint32_t, 3> selected{};
    std::vector<std::array<std::uint32_t, 3>> saved;
    const auto held = [&](std::uint32_t h) {
        if (std::ranges::find(selected, h) != selected.end()) return true;
        return std::ranges::any_of(saved, [&](const auto& s) { return std::ranges::find(s, h) != s.end(); });
    };
    for (const EmfRecord& r : records) {
        const std::uint32_t h = readLE<std::uint32_t>(r.Bytes, 8);
        switch (r.Type) {
        case EMR_CREATEPEN:
        case EMR_CREATEBRUSHINDIRECT:
        case EMR_EXTCREATEFONTINDIRECTW:
            EXPECT_TRUE(h > 0 && h < handles) << "handle " << h;
            EXPECT_FALSE(live.count(h)) << "handle " << h << " created twice";
            live[h] = r.Type == EMR_CREATEPEN ? kPen : r.Type == EMR_CREATEBRUSHINDIRECT ? kBrush : kFont;
            break;
        case EMR_SELECTOBJECT:
            if (IsStockObjectHandle(h)) {
                selected[StockKind(h & ~ENHMETA_STOCK_OBJECT)] = h;
            } else {
                ASSERT_TRUE(live.count(h)) << "selecting dead handle " << h;
                selected[live[h]] = h;
            }
            break;
        case EMR_DELETEOBJECT:
            EXPECT_TRUE(live.count(h)) << "deleting dead handle " << h;
            EXPECT_FALSE(held(h)) << "deleting handle " << h << " while it is selected";
            live.erase(h);
            break;
        case EMR_SAVEDC: saved.push_back(selected); break;
        case EMR_RESTOREDC:
            ASSERT_FALSE(saved.empty());
            selected = saved.back();
            saved.pop_back();
            break;
        }
    }
    EXPECT_TRUE(live.empty()) << live.size() << " objects never deleted";
    EXPECT_TRUE(saved.empty());
}

} // namespace

TEST_F(EmfCanvasTest, HeaderDescribesTheDrawingAndTheFile) {
    canvas.Rectangle(10, 20, 110, 70);
    canvas.Pen.Width = 4;
    canvas.MoveTo(300, 5);
    canvas.LineTo(400, 5);
    const auto& bytes = canvas.Finish();
    Finish();

    const ConstBytes header = records.front().Bytes;
    EXPECT_EQ(records.front().Type, EMR_HEADER);
    EXPECT_EQ(EmrRec::Size.get(header), 108u);
    EXPECT_EQ(EmrHeader::Bounds.get(header), (TRect{10, 3, 402, 69})); // the line widened by half its pen
    EXPECT_EQ(EmrHeader::Frame.get(header), (TRect{0, 0, 21590, 27940}));
    EXPECT_EQ(EmrHeader::Signature.get(header), ENHMETA_SIGNATURE);
    EXPECT_EQ(EmrHeader::Version.get(header), ENHMETA_VERSION);
    EXPECT_EQ(EmrHeader::TotalBytes.get(header), bytes.size());
    EXPECT_EQ(EmrHeader::Records.get(header), records.size());
    EXPECT_EQ(EmrHeader::Handles.get(header), 4u); // the metafile, a brush and two pens at once
    // The reference device is exactly 96 pixels per inch, so that players map the frame
    // onto exactly the page's pixels.
    EXPECT_EQ(EmrHeader::Device.get(header), (TSize{1920, 1440}));
    EXPECT_EQ(EmrHeader::Millimeters.get(header), (TSize{508, 381}));
    EXPECT_EQ(EmrHeader::Micrometers.get(header), (TSize{508000, 381000}));

    const EmfRecord& eof = records.back();
    EXPECT_EQ(eof.Type, EMR_EOF);
    EXPECT_EQ(eof.Offset + eof.Bytes.size(), bytes.size());
    EXPECT_EQ(readLE<std::uint32_t>(eof.Bytes, eof.Bytes.size() - 4), eof.Size);
    for (const EmfRecord& r : records)
        EXPECT_EQ(r.Size % 4, 0u) << "type " << r.Type;
}

TEST_F(EmfCanvasTest, EmptyPictureHasEmptyBounds) {
    Finish();
    EXPECT_EQ(Types(), (std::vector<std::uint32_t>{EMR_HEADER, EMR_EOF}));
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{0, 0, -1, -1}));
    EXPECT_EQ(EmrHeader::Handles.get(records.front().Bytes), 1u);
}

TEST_F(EmfCanvasTest, ShapeBoxesAreStoredInclusive) {
    canvas.Rectangle(10, 20, 110, 70);
    canvas.RoundRect(5, 6, 50, 60, 8, 9);
    canvas.Ellipse(100, 110, 120, 130);
    Finish();
    EXPECT_EQ(DrawingTypes(),
              (std::vector<std::uint32_t>{EMR_HEADER, EMR_RECTANGLE, EMR_ROUNDRECT, EMR_ELLIPSE, EMR_EOF}));
    EXPECT_EQ(EmrBox::Box.get(One(EMR_RECTANGLE)), (TRect{10, 20, 109, 69}));
    EXPECT_EQ(EmrRoundRect::Box.get(One(EMR_ROUNDRECT)), (TRect{5, 6, 49, 59}));
    EXPECT_EQ(EmrRoundRect::Corner.get(One(EMR_ROUNDRECT)), (TSize{8, 9}));
    EXPECT_EQ(EmrBox::Box.get(One(EMR_ELLIPSE)), (TRect{100, 110, 119, 129}));
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{5, 6, 119, 129}));
}

TEST_F(EmfCanvasTest, FillRectIsANullPenRectangleThatCopiesPixels) {
    canvas.Pen.Mode = TPenMode::pmXor;
    canvas.Rectangle(0, 0, 10, 10);
    canvas.FillRect({20, 30, 40, 50});
    canvas.Rectangle(0, 0, 10, 10);
    Finish();

    const auto rects = All(EMR_RECTANGLE);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(EmrBox::Box.get(rects[1]), (TRect{20, 30, 40, 50}));
    std::vector<std::int32_t> rops;
    for (ConstBytes r : All(EMR_SETROP2))
        rops.push_back(EmrValue::Mode.get(r));
    EXPECT_EQ(rops, (std::vector<std::int32_t>{R2_XORPEN, R2_COPYPEN, R2_XORPEN}));

    // The pen before the fill is the stock null pen; the rectangles around it use a real one.
    std::vector<std::uint32_t> penSelections;
    for (const EmfRecord& r : records) {
        if (r.Type == EMR_SELECTOBJECT && IsStockObjectHandle(EmrValue::Object.get(r.Bytes)))
            penSelections.push_back(EmrValue::Object.get(r.Bytes));
    }
    EXPECT_EQ(penSelections.front(), StockObjectHandle(NULL_PEN));
    EXPECT_EQ(All(EMR_CREATEPEN).size(), 2u);
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{0, 0, 39, 49}));
    CheckObjectUse(records);
}

TEST_F(EmfCanvasTest, ObjectsAreCreatedOnlyWhenTheCurrentOneDiffers) {
    canvas.Rectangle(0, 0, 10, 10);
    canvas.Ellipse(0, 0, 10, 10);
    canvas.Pen.Color = clRed;
    canvas.Rectangle(0, 0, 10, 10);
    Finish();

    EXPECT_EQ(All(EMR_CREATEPEN).size(), 2u);
    EXPECT_EQ(All(EMR_CREATEBRUSHINDIRECT).size(), 1u);
    // The red pen: created, selected, and only then the black one deleted.
    const auto pens = All(EMR_CREATEPEN);
    const std::uint32_t black = EmrCreatePen::Handle.get(pens[0]), red = EmrCreatePen::Handle.get(pens[1]);
    EXPECT_NE(black, red);
    EXPECT_EQ(EmrCreatePen::Color.get(pens[1]), clRed);
    auto at = std::ranges::find_if(records, [&](const EmfRecord& r) { return r.Bytes.data() == pens[1].data(); });
    ASSERT_NE(at, records.end());
    EXPECT_EQ((at + 1)->Type, EMR_SELECTOBJECT);
    EXPECT_EQ(EmrValue::Object.get((at + 1)->Bytes), red);
    EXPECT_EQ((at + 2)->Type, EMR_DELETEOBJECT);
    EXPECT_EQ(EmrValue::Object.get((at + 2)->Bytes), black);
    CheckObjectUse(records);
}

TEST_F(EmfCanvasTest, SavedStatesKeepTheirObjectsUntilRestored) {
    canvas.Font.Name = "Courier New";
    canvas.TextOut(0, 0, "a");
    canvas.Rectangle(0, 0, 10, 10);
    canvas.SaveState();
    canvas.IntersectClipRect({1, 2, 3, 4});
    canvas.Pen.Color = clBlue;
    canvas.Brush.Style = TBrushStyle::bsFDiagonal;
    canvas.Font.Height = 20;
    canvas.TextOut(0, 0, "b");
    canvas.Ellipse(0, 0, 10, 10);
    canvas.RestoreState();
    canvas.Rectangle(0, 0, 10, 10); // the restored context holds the black pen again
    canvas.SaveState();             // left open: closed at the end
    canvas.Pen.Color = clGreen;
    canvas.Rectangle(0, 0, 10, 10);
    Finish();

    EXPECT_EQ(All(EMR_CREATEPEN).size(), 4u);
    EXPECT_EQ(All(EMR_SAVEDC).size(), 2u);
    EXPECT_EQ(All(EMR_RESTOREDC).size(), 2u);
    EXPECT_EQ(EmrBox::Box.get(One(EMR_INTERSECTCLIPRECT)), (TRect{1, 2, 3, 4}));
    for (ConstBytes r : All(EMR_RESTOREDC))
        EXPECT_EQ(EmrValue::Relative.get(r), -1);
    CheckObjectUse(records);
}

TEST_F(EmfCanvasTest, UnmatchedRestoreIsIgnored) {
    canvas.RestoreState();
    canvas.SetMapMode(MM_TEXT);
    Finish();
    EXPECT_EQ(Types(), (std::vector<std::uint32_t>{EMR_HEADER, EMR_SETMAPMODE, EMR_EOF}));
    EXPECT_EQ(EmrValue::Mode.get(One(EMR_SETMAPMODE)), MM_TEXT);
}

TEST_F(EmfCanvasTest, PensCarryStyleWidthColourAndMode) {
    const std::pair<TPenStyle, std::uint32_t> styles[] = {{TPenStyle::psSolid, PS_SOLID},
                                                          {TPenStyle::psDash, PS_DASH},
                                                          {TPenStyle::psDot, PS_DOT},
                                                          {TPenStyle::psClear, PS_NULL}};
    for (const auto& [style, code] : styles) {
        (void)code;
        canvas.Pen.Style = style;
        canvas.MoveTo(0, 0);
        canvas.LineTo(5, 5);
    }
    canvas.Pen.Width = 0;
    canvas.Pen.Color = clBtnShadow;
    canvas.Pen.Mode = TPenMode::pmNotXor;
    canvas.LineTo(9, 9);
    Finish();

    const auto pens = All(EMR_CREATEPEN);
    ASSERT_EQ(pens.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(EmrCreatePen::Style.get(pens[i]), styles[i].second);
    EXPECT_EQ(EmrCreatePen::Width.get(pens[4]), 1);
    EXPECT_EQ(EmrCreatePen::Color.get(pens[4]), ColorToRGB(clBtnShadow));
    const auto rops = All(EMR_SETROP2);
    ASSERT_EQ(rops.size(), 2u);
    EXPECT_EQ(EmrValue::Mode.get(rops[0]), R2_COPYPEN);
    EXPECT_EQ(EmrValue::Mode.get(rops[1]), R2_NOTXORPEN);
}

TEST_F(EmfCanvasTest, BrushesAndTheBackgroundFollowTheBrush) {
    canvas.Brush = {clWindow, TBrushStyle::bsSolid};
    canvas.Rectangle(0, 0, 5, 5);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.Brush = {clRed, TBrushStyle::bsClear};
    canvas.Rectangle(0, 0, 5, 5);
    canvas.Brush = {clRed, TBrushStyle::bsFDiagonal};
    canvas.Rectangle(0, 0, 5, 5);
    canvas.Brush = {clBlue, TBrushStyle::bsDiagCross};
    canvas.Rectangle(0, 0, 5, 5);
    Finish();

    const auto brushes = All(EMR_CREATEBRUSHINDIRECT);
    ASSERT_EQ(brushes.size(), 4u);
    EXPECT_EQ(EmrCreateBrush::Style.get(brushes[0]), BS_SOLID);
    EXPECT_EQ(EmrCreateBrush::Color.get(brushes[0]), ColorToRGB(clWindow));
    EXPECT_EQ(EmrCreateBrush::Style.get(brushes[1]), BS_NULL);
    EXPECT_EQ(EmrCreateBrush::Style.get(brushes[2]), BS_HATCHED);
    EXPECT_EQ(EmrCreateBrush::Hatch.get(brushes[2]), HS_FDIAGONAL);
    EXPECT_EQ(EmrCreateBrush::Color.get(brushes[2]), clRed);
    EXPECT_EQ(EmrCreateBrush::Hatch.get(brushes[3]), HS_DIAGCROSS);

    std::vector<std::int32_t> modes;
    for (ConstBytes r : All(EMR_SETBKMODE))
        modes.push_back(EmrValue::Mode.get(r));
    // Only the solid brush makes the background opaque; hatches keep their gaps transparent.
    EXPECT_EQ(modes, (std::vector<std::int32_t>{OPAQUE, TRANSPARENT}));
    std::vector<std::uint32_t> colours;
    for (ConstBytes r : All(EMR_SETBKCOLOR))
        colours.push_back(EmrValue::Color.get(r));
    EXPECT_EQ(colours, (std::vector<std::uint32_t>{ColorToRGB(clWindow)}));
}

TEST_F(EmfCanvasTest, TextRecordsCarryFontStringAndAdvances) {
    canvas.Font.Name = "Times New Roman";
    canvas.Font.Height = -16;
    canvas.Font.Style = fsBoldBit | fsUnderlineBit | fsStrikeOutBit;
    canvas.Font.Color = clNavy;
    canvas.Font.CharSet = 0;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.TextOut(20, 30, "Gr\xC3\xBC\xC3\x9F \xF0\x9D\x84\x9E"); // "Grüß " and a character outside the BMP
    canvas.Font.Style = fsItalicBit;
    canvas.TextOut(20, 60, "x");
    canvas.TextOut(20, 60, "");
    Finish();

    const auto fonts = All(EMR_EXTCREATEFONTINDIRECTW);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(EmrRec::Size.get(fonts[0]), EmrCreateFont::kSize);
    EXPECT_EQ(EmrCreateFont::Height.get(fonts[0]), -16);
    EXPECT_EQ(EmrCreateFont::Weight.get(fonts[0]), FW_BOLD);
    EXPECT_EQ(EmrCreateFont::Italic.get(fonts[0]), 0);
    EXPECT_EQ(EmrCreateFont::Underline.get(fonts[0]), 1);
    EXPECT_EQ(EmrCreateFont::StrikeOut.get(fonts[0]), 1);
    EXPECT_EQ(EmrCreateFont::CharSet.get(fonts[0]), 0);
    EXPECT_EQ(ReadFaceName(fonts[0]), u"Times New Roman");
    EXPECT_EQ(EmrCreateFont::Weight.get(fonts[1]), FW_NORMAL);
    EXPECT_EQ(EmrCreateFont::Italic.get(fonts[1]), 1);

    EXPECT_EQ(EmrValue::Color.get(One(EMR_SETTEXTCOLOR)), clNavy);
    EXPECT_EQ(EmrValue::Object.get(One(EMR_SETTEXTALIGN)), TA_TOP | TA_LEFT | TA_NOUPDATECP);
    EXPECT_EQ(EmrValue::Mode.get(One(EMR_SETBKMODE)), TRANSPARENT);

    const auto texts = All(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 2u); // the empty one writes nothing
    const ConstBytes text = texts[0];
    EXPECT_EQ(ReadTextW(text), u"Gr\u00FC\u00DF \U0001D11E");
    EXPECT_EQ(ReadTextDx(text), std::vector<std::int32_t>(7, 7));
    EXPECT_EQ(EmrExtTextOut::Reference.get(text), (TPoint{20, 30}));
    EXPECT_EQ(EmrExtTextOut::Options.get(text), 0u);
    EXPECT_EQ(EmrExtTextOut::Rect.get(text), (TRect{0, 0, -1, -1}));
    EXPECT_EQ(EmrExtTextOut::GraphicsMode.get(text), GM_COMPATIBLE);
    EXPECT_NEAR(EmrExtTextOut::XScale.get(text), 26.458, 0.001);
    EXPECT_EQ(EmrExtTextOut::Bounds.get(text), (TRect{20, 30, 68, 45}));
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{20, 30, 68, 75}));
}

TEST_F(EmfCanvasTest, LongFaceNamesKeepTheirTerminator) {
    canvas.Font.Name = std::string(40, 'F');
    canvas.TextOut(0, 0, "a");
    Finish();
    EXPECT_EQ(ReadFaceName(One(EMR_EXTCREATEFONTINDIRECTW)), std::u16string(31, u'F'));
}

TEST_F(EmfCanvasTest, MalformedUtf8BecomesReplacementCharacters) {
    canvas.TextOut(0, 0, "a\xFF\xE2\x82z\xC3");
    Finish();
    EXPECT_EQ(ReadTextW(One(EMR_EXTTEXTOUTW)), u"a\uFFFD\uFFFD\uFFFDz\uFFFD");
}

TEST_F(EmfCanvasTest, JustificationWidensTheFirstBlanks) {
    canvas.SetTextJustification(6, 4);
    canvas.TextOut(0, 0, "a b c d e f");
    canvas.SetTextJustification(-3, 2);
    canvas.TextOut(0, 20, "a b c");
    canvas.SetTextJustification(0, 0);
    canvas.TextOut(0, 40, "a b");
    Finish();

    const auto texts = All(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(ReadTextDx(texts[0]), (std::vector<std::int32_t>{7, 9, 7, 9, 7, 8, 7, 8, 7, 7, 7}));
    EXPECT_EQ(ReadTextDx(texts[1]), (std::vector<std::int32_t>{7, 5, 7, 6, 7}));
    EXPECT_EQ(ReadTextDx(texts[2]), (std::vector<std::int32_t>{7, 7, 7}));
    EXPECT_EQ(EmrExtTextOut::Bounds.get(texts[0]).Right, 0 + 11 * 7 + 6 - 1);
}

TEST_F(EmfCanvasTest, GivenAdvancesAreWrittenAsTheyAreAndOverrideTheJustification) {
    canvas.SetTextJustification(6, 1);
    canvas.SetTextAdvances({3, -2, 40, 0, 5});
    EXPECT_EQ(canvas.TextWidth("a b\U0001D11E"), 46); // the clef is two UTF-16 units
    canvas.TextOut(10, 0, "a b\U0001D11E");
    canvas.TextOut(10, 20, "a b"); // the advances do not fit: the metrics and justification decide
    Finish();
    const auto texts = All(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(ReadTextDx(texts[0]), (std::vector<std::int32_t>{3, -2, 40, 0, 5}));
    EXPECT_EQ(EmrExtTextOut::Bounds.get(texts[0]).Right, 10 + 46 - 1);
    EXPECT_EQ(ReadTextDx(texts[1]), (std::vector<std::int32_t>{7, 13, 7}));
}

TEST_F(EmfCanvasTest, TextRectClipsAndFillsWithASolidBrush) {
    canvas.Brush = {clYellow, TBrushStyle::bsSolid};
    canvas.TextRect({10, 10, 30, 20}, 12, 8, "clipped");
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.TextRect({10, 10, 30, 20}, 12, 8, "clipped");
    Finish();

    const auto texts = All(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(EmrExtTextOut::Options.get(texts[0]), ETO_CLIPPED | ETO_OPAQUE);
    EXPECT_EQ(EmrExtTextOut::Rect.get(texts[0]), (TRect{10, 10, 30, 20}));
    EXPECT_EQ(EmrExtTextOut::Bounds.get(texts[0]), (TRect{10, 10, 29, 19}));
    EXPECT_EQ(EmrExtTextOut::Options.get(texts[1]), ETO_CLIPPED);
    EXPECT_EQ(EmrExtTextOut::Bounds.get(texts[1]), (TRect{12, 10, 29, 19}));
}

TEST_F(EmfCanvasTest, RotatedTextBoundsTurnAboutTheTopLeftCorner) {
    canvas.Font.Escapement = 900; // reads upwards
    canvas.TextOut(20, 100, "abc");
    Finish();
    EXPECT_EQ(EmrCreateFont::Escapement.get(One(EMR_EXTCREATEFONTINDIRECTW)), 900);
    EXPECT_EQ(EmrCreateFont::Orientation.get(One(EMR_EXTCREATEFONTINDIRECTW)), 900);
    EXPECT_EQ(EmrExtTextOut::Bounds.get(One(EMR_EXTTEXTOUTW)), (TRect{20, 79, 35, 99}));
}

TEST_F(EmfCanvasTest, LinesAndPolylines) {
    canvas.MoveTo(5, 6);
    canvas.LineTo(50, 60);
    const TPoint small[] = {{1, 2}, {30, 40}, {-5, 7}};
    canvas.Polyline(small);
    const TPoint large[] = {{1, 2}, {70000, 5}};
    canvas.Polyline(large);
    canvas.Polyline(std::span<const TPoint>(large, 1));
    Finish();

    EXPECT_EQ(DrawingTypes(), (std::vector<std::uint32_t>{EMR_HEADER, EMR_MOVETOEX, EMR_LINETO, EMR_POLYLINE16,
                                                          EMR_POLYLINE, EMR_EOF}));
    EXPECT_EQ(EmrPoint::Point.get(One(EMR_MOVETOEX)), (TPoint{5, 6}));
    EXPECT_EQ(EmrPoint::Point.get(One(EMR_LINETO)), (TPoint{50, 60}));
    EXPECT_EQ(ReadPolyPoints(One(EMR_POLYLINE16)), (std::vector<TPoint>{{1, 2}, {30, 40}, {-5, 7}}));
    EXPECT_EQ(EmrPoly::Bounds.get(One(EMR_POLYLINE16)), (TRect{-5, 2, 30, 40}));
    EXPECT_EQ(ReadPolyPoints(One(EMR_POLYLINE)), (std::vector<TPoint>{{1, 2}, {70000, 5}}));
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{-5, 2, 70000, 60}));
}

TEST_F(EmfCanvasTest, PolyPolygonsSetTheFillModeAndDropDegeneratePolygons) {
    const std::vector<std::vector<TPoint>> polygons = {{{0, 0}, {10, 0}, {10, 10}}, {{3, 3}}, {{20, 20}, {30, 25}}};
    canvas.PolyPolygon(polygons, TPolyFillMode::Winding);
    canvas.PolyPolygon(polygons, TPolyFillMode::Winding);
    canvas.PolyPolygon(std::vector<std::vector<TPoint>>{{{0, 0}, {100000, 0}, {0, 5}}}, TPolyFillMode::Alternate);
    canvas.PolyPolygon(std::vector<std::vector<TPoint>>{{{1, 1}}}, TPolyFillMode::Alternate);
    Finish();

    std::vector<std::int32_t> modes;
    for (ConstBytes r : All(EMR_SETPOLYFILLMODE))
        modes.push_back(EmrValue::Mode.get(r));
    EXPECT_EQ(modes, (std::vector<std::int32_t>{WINDING, ALTERNATE}));
    const auto small = All(EMR_POLYPOLYGON16);
    ASSERT_EQ(small.size(), 2u);
    EXPECT_EQ(EmrPolyPoly::Polys.get(small[0]), 2u);
    EXPECT_EQ(EmrPolyPoly::Count.get(small[0]), 5u);
    EXPECT_EQ(ReadPolyPolygons(small[0]),
              (std::vector<std::vector<TPoint>>{{{0, 0}, {10, 0}, {10, 10}}, {{20, 20}, {30, 25}}}));
    EXPECT_EQ(ReadPolyPolygons(One(EMR_POLYPOLYGON)).front().at(1), (TPoint{100000, 0}));
}

TEST_F(EmfCanvasTest, StretchDIBitsCarriesTheBitmap) {
    std::vector<std::uint8_t> info(40 + 8); // 1-bit, 2 palette entries, 3 x 5 bottom-up
    writeLE<std::uint32_t>(info, 0, 40);
    writeLE<std::int32_t>(info, 4, 3);
    writeLE<std::int32_t>(info, 8, 5);
    info[46] = 0x77;
    const std::vector<std::uint8_t> bits(20, 0xA5);
    canvas.StretchDIBits({100, 200, 130, 240}, {1, 0, 3, 2}, TDib{info, bits});
    writeLE<std::int32_t>(info, 8, -5); // top-down
    canvas.StretchDIBits({0, 0, 3, 5}, {1, 0, 3, 2}, TDib{info, bits});
    canvas.StretchDIBits({0, 0, 3, 5}, {1, 0, 3, 2}, TDib{{}, bits}); // no bitmap header: nothing to draw
    Finish();

    const auto blits = All(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 2u);
    const ConstBytes r = blits[0];
    EXPECT_EQ(EmrStretchDIBits::Bounds.get(r), (TRect{100, 200, 129, 239}));
    EXPECT_EQ(EmrStretchDIBits::XDest.get(r), 100);
    EXPECT_EQ(EmrStretchDIBits::YDest.get(r), 200);
    EXPECT_EQ(EmrStretchDIBits::CxDest.get(r), 30);
    EXPECT_EQ(EmrStretchDIBits::CyDest.get(r), 40);
    EXPECT_EQ(EmrStretchDIBits::XSrc.get(r), 1);
    EXPECT_EQ(EmrStretchDIBits::YSrc.get(r), 3); // the top two rows of five are the last two from the bottom
    EXPECT_EQ(EmrStretchDIBits::CxSrc.get(r), 2);
    EXPECT_EQ(EmrStretchDIBits::CySrc.get(r), 2);
    EXPECT_EQ(EmrStretchDIBits::Usage.get(r), DIB_RGB_COLORS);
    EXPECT_EQ(EmrStretchDIBits::Rop.get(r), SRCCOPY);
    const TDib dib = ReadStretchDIBitsDib(r);
    ASSERT_EQ(dib.Info.size(), info.size());
    EXPECT_EQ(dib.Info[46], 0x77);
    EXPECT_TRUE(std::ranges::equal(dib.Bits, bits));
    EXPECT_EQ(EmrStretchDIBits::YSrc.get(blits[1]), 0);
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{0, 0, 129, 239}));
}

TEST_F(EmfCanvasTest, BottomUpSourceRowsCountFromTheBottom) {
    std::vector<std::uint8_t> info(40);
    writeLE<std::uint32_t>(info, 0, 40);
    writeLE<std::int32_t>(info, 8, 10);
    std::vector<std::uint8_t> core(12); // an OS/2 core header: 16-bit height at offset 6
    writeLE<std::uint32_t>(core, 0, 12);
    writeLE<std::int16_t>(core, 6, 8);
    canvas.StretchDIBits({0, 0, 4, 4}, {0, 0, 4, 2}, TDib{info, {}});
    canvas.StretchDIBits({0, 0, 4, 4}, {0, 6, 4, 8}, TDib{core, {}});
    Finish();
    const auto blits = All(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(EmrStretchDIBits::YSrc.get(blits[0]), 8);
    EXPECT_EQ(EmrStretchDIBits::YSrc.get(blits[1]), 0);
}

TEST_F(EmfCanvasTest, ExtremeCoordinatesSaturate) {
    constexpr std::int32_t lo = INT32_MIN, hi = INT32_MAX;
    canvas.Pen.Width = hi;
    canvas.Rectangle(lo, lo, lo, lo);
    canvas.Ellipse(hi, hi, lo, lo);
    canvas.MoveTo(lo, lo);
    canvas.LineTo(hi, hi);
    const TPoint points[] = {{lo, hi}, {hi, lo}};
    canvas.Polyline(points);
    canvas.Font.Escapement = 450;
    canvas.SetTextJustification(hi, 1);
    canvas.TextOut(hi, hi, "a b");
    canvas.TextRect({lo, lo, hi, hi}, lo, lo, "x");
    std::vector<std::uint8_t> info(40);
    writeLE<std::int32_t>(info, 8, hi);
    canvas.StretchDIBits({lo, lo, hi, hi}, {lo, lo, hi, hi}, TDib{info, {}});
    Finish();
    EXPECT_EQ(EmrBox::Box.get(One(EMR_RECTANGLE)), (TRect{lo, lo, lo, lo}));
    EXPECT_EQ(EmrHeader::Bounds.get(records.front().Bytes), (TRect{lo, lo, hi, hi}));
    EXPECT_EQ(EmrStretchDIBits::CxDest.get(One(EMR_STRETCHDIBITS)), hi);
}

TEST_F(EmfCanvasTest, FinishingTwiceGivesTheSameBytesAndLaterDrawingIsDropped) {
    canvas.Rectangle(0, 0, 5, 5);
    const std::vector<std::uint8_t> first = canvas.Finish();
    canvas.Pen.Color = clRed;
    canvas.Rectangle(0, 0, 50, 50);
    canvas.TextOut(0, 0, "late");
    canvas.StretchDIBits({0, 0, 1, 1}, {0, 0, 1, 1}, TDib{first, first});
    EXPECT_EQ(canvas.Finish(), first);
}
