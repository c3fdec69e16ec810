#include "platform/emf/EmfPlayer.h"

#include "platform/Dib.h"
#include "platform/RecordingCanvas.h"
#include "platform/emf/EmfRecords.h"
#include "platform/emf_libemf_sample.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

using namespace kovet;

namespace {

// Logs every call with the state it was drawn with. Text cells are 6 pixels per byte wide
// and 20 pixels high, whatever the font.
class LogCanvas : public Canvas {
public:
    struct Call {
        std::string Op;
        std::vector<std::int32_t> Args;
        std::string Text;
        TPen Pen;
        TBrush Brush;
        TFont Font;
        std::vector<std::vector<TPoint>> Points; // Polyline: one list; PolyPolygon: one per polygon
        TPolyFillMode FillMode = TPolyFillMode::Alternate;
        TDib Dib;
    };
    std::vector<Call> Calls;

    std::vector<Call> Find(const std::string& op) const {
        std::vector<Call> found;
        for (const Call& c : Calls) {
            if (c.Op == op) found.push_back(c);
        }
        return found;
    }
    std::vector<std::string> Ops() const {
        std::vector<std::string> ops;
        for (const Call& c : Calls)
            ops.push_back(c.Op);
        return ops;
    }

    void FillRect(const TRect& r) override { Log("FillRect", {r.Left, r.Top, r.Right, r.Bottom}); }
    void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override {
        Log("Rectangle", {l, t, r, b});
    }
    void RoundRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                   std::int32_t h) override {
        Log("RoundRect", {l, t, r, b, w, h});
    }
    void Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override {
        Log("Ellipse", {l, t, r, b});
    }
    void MoveTo(std::int32_t x, std::int32_t y) override { Log("MoveTo", {x, y}); }
    void LineTo(std::int32_t x, std::int32_t y) override { Log("LineTo", {x, y}); }
    void Polyline(std::span<const TPoint> points) override {
        Log("Polyline", {}).Points = {std::vector<TPoint>(points.begin(), points.end())};
    }
    void PolyPolygon(std::span<const std::vector<TPoint>> polygons, TPolyFillMode mode) override {
        Call& c = Log("PolyPolygon", {});
        c.Points.assign(polygons.begin(), polygons.end());
        c.FillMode = mode;
    }
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override { Log("TextOut", {x, y}).Text = text; }
    void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text) override {
        Log("TextRect", {clip.Left, clip.Top, clip.Right, clip.Bottom, x, y}).Text = text;
    }
    TSize TextExtent(std::string_view text) override { return {std::int32_t(6 * text.size()), 20}; }
    void SetTextJustification(std::int32_t extra, std::int32_t count) override {
        Log("SetTextJustification", {extra, count});
    }
    void StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) override {
        Log("StretchDIBits",
            {dest.Left, dest.Top, dest.Right, dest.Bottom, source.Left, source.Top, source.Right, source.Bottom})
            .Dib = dib;
    }
    void SaveState() override { Log("SaveState", {}); }
    void RestoreState() override { Log("RestoreState", {}); }
    void IntersectClipRect(const TRect& r) override { Log("IntersectClipRect", {r.Left, r.Top, r.Right, r.Bottom}); }

private:
    Call& Log(std::string op, std::vector<std::int32_t> args) {
        Calls.push_back({std::move(op), std::move(args), {}, Pen, Brush, Font, {}, {}, {}});
        return Calls.back();
    }
};

using Args = std::vector<std::int32_t>;

std::int32_t Bits(float f) {
    return std::bit_cast<std::int32_t>(f);
}
std::int32_t Pack16(std::int16_t x, std::int16_t y) {
    return std::int32_t(std::uint16_t(x) | std::uint32_t(std::uint16_t(y)) << 16);
}

// Builds a metafile record by record. The default header describes a reference device of
// 96 pixels per inch and a frame of one inch square, so that a 96 x 96 destination shows
// reference pixels one to one.
class EmfBuilder {
public:
    explicit EmfBuilder(TRect frame = {0, 0, 2540, 2540}, std::uint16_t handles = 8) {
        bytes_.resize(EmrHeader::kBaseSize);
        EmrRec::Type.set(bytes_, EMR_HEADER);
        EmrRec::Size.set(bytes_, std::uint32_t(EmrHeader::kBaseSize));
        EmrHeader::Frame.set(bytes_, frame);
        EmrHeader::Signature.set(bytes_, ENHMETA_SIGNATURE);
        EmrHeader::Version.set(bytes_, ENHMETA_VERSION);
        EmrHeader::Handles.set(bytes_, handles);
        EmrHeader::Device.set(bytes_, {960, 960});
        EmrHeader::Millimeters.set(bytes_, {254, 254});
    }

    EmfBuilder& Add(std::uint32_t type, const Args& words) {
        std::vector<std::uint8_t> payload(4 * words.size());
        for (std::size_t i = 0; i < words.size(); ++i)
            writeLE(Bytes(payload), 4 * i, words[i]);
        return AddBytes(type, payload);
    }
    EmfBuilder& AddBytes(std::uint32_t type, const std::vector<std::uint8_t>& payload) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + 8 + payload.size());
        writeLE(Bytes(bytes_), at, type);
        writeLE(Bytes(bytes_), at + 4, std::uint32_t(8 + payload.size()));
        std::copy(payload.begin(), payload.end(), bytes_.begin() + std::ptrdiff_t(at + 8));
        return *this;
    }
    // Raw bytes behind the records, for damaged metafiles.
    EmfBuilder& Append(const Args& words) {
        for (std::int32_t w : words) {
            bytes_.resize(bytes_.size() + 4);
            writeLE(Bytes(bytes_), bytes_.size() - 4, w);
        }
        return *this;
    }
    std::vector<std::uint8_t> Finish() {
        Add(EMR_EOF, {0, 16, 20});
        EmrHeader::TotalBytes.set(bytes_, std::uint32_t(bytes_.size()));
        return bytes_;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

LogCanvas Play(const std::vector<std::uint8_t>& emf, TRect dest = {0, 0, 96, 96}) {
    LogCanvas canvas;
    EXPECT_TRUE(PlayEnhMetafile(canvas, emf, dest));
    return canvas;
}

// The one call of a kind, checked to be alone.
LogCanvas::Call Only(const LogCanvas& canvas, const std::string& op) {
    const auto found = canvas.Find(op);
    EXPECT_EQ(found.size(), 1u) << op;
    return found.empty() ? LogCanvas::Call{} : found.front();
}

// An EXTTEXTOUTW record's parameters (after iType and nSize), advances optional.
std::vector<std::uint8_t> TextW(TPoint at, std::u16string text, std::uint32_t options, TRect rect,
                                const Args& dx = {}) {
    const std::size_t stringAt = EmrExtTextOut::kSize, dxAt = stringAt + ((2 * text.size() + 3) & ~std::size_t(3));
    std::vector<std::uint8_t> r(dxAt + 4 * dx.size());
    EmrExtTextOut::GraphicsMode.set(r, GM_COMPATIBLE);
    EmrExtTextOut::Reference.set(r, at);
    EmrExtTextOut::Chars.set(r, std::uint32_t(text.size()));
    EmrExtTextOut::StringOffset.set(r, std::uint32_t(stringAt));
    EmrExtTextOut::Options.set(r, options);
    EmrExtTextOut::Rect.set(r, rect);
    EmrExtTextOut::DxOffset.set(r, dx.empty() ? 0u : std::uint32_t(dxAt));
    for (std::size_t i = 0; i < text.size(); ++i)
        writeLE(Bytes(r), stringAt + 2 * i, std::uint16_t(text[i]));
    for (std::size_t i = 0; i < dx.size(); ++i)
        writeLE(Bytes(r), dxAt + 4 * i, dx[i]);
    return {r.begin() + 8, r.end()};
}

std::vector<std::uint8_t> FontRecord(std::int32_t height, std::int32_t weight, std::u16string face) {
    std::vector<std::uint8_t> r(EmrCreateFont::kSize);
    EmrCreateFont::Handle.set(r, 3);
    EmrCreateFont::Height.set(r, height);
    EmrCreateFont::Weight.set(r, weight);
    for (std::size_t i = 0; i < face.size(); ++i)
        writeLE(Bytes(r), EmrCreateFont::kFaceName + 2 * i, std::uint16_t(face[i]));
    return {r.begin() + 8, r.end()};
}

} // namespace

TEST(EmfPlayerMapping, TheFrameCoversTheDestination) {
    // Anisotropic window of 1000 units over the one-inch frame; a box over the whole window.
    const auto emf = EmfBuilder()
                         .Add(EMR_SETMAPMODE, {MM_ANISOTROPIC})
                         .Add(EMR_SETWINDOWEXTEX, {1000, 1000})
                         .Add(EMR_SETVIEWPORTEXTEX, {96, 96})
                         .Add(EMR_RECTANGLE, {0, 0, 999, 999})
                         .Finish();
    EXPECT_EQ(Only(Play(emf, {10, 20, 106, 116}), "Rectangle").Args, (Args{10, 20, 106, 116}));
    EXPECT_EQ(Only(Play(emf, {0, 0, 192, 48}), "Rectangle").Args, (Args{0, 0, 192, 48}));

    // A frame that does not start at 0: its top-left corner lands on the destination's.
    const auto shifted = EmfBuilder({1270, 1270, 3810, 3810}).Add(EMR_RECTANGLE, {48, 48, 143, 143}).Finish();
    EXPECT_EQ(Only(Play(shifted, {10, 20, 106, 116}), "Rectangle").Args, (Args{10, 20, 106, 116}));
}

TEST(EmfPlayerMapping, WindowAndViewportOriginsAndExtents) {
    const auto emf = EmfBuilder()
                         .Add(EMR_SETMAPMODE, {MM_ANISOTROPIC})
                         .Add(EMR_SETWINDOWORGEX, {100, 100})
                         .Add(EMR_SETWINDOWEXTEX, {200, 200})
                         .Add(EMR_SETVIEWPORTORGEX, {10, 10})
                         .Add(EMR_SETVIEWPORTEXTEX, {48, 48})
                         .Add(EMR_RECTANGLE, {100, 100, 299, 299})
                         .Add(EMR_SCALEVIEWPORTEXTEX, {2, 1, 1, 2})
                         .Add(EMR_RECTANGLE, {100, 100, 299, 299})
                         .Finish();
    const auto rects = Play(emf).Find("Rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].Args, (Args{10, 10, 58, 58}));
    EXPECT_EQ(rects[1].Args, (Args{10, 10, 106, 34}));
}

TEST(EmfPlayerMapping, IsotropicUnitsStaySquare) {
    const auto emf = EmfBuilder()
                         .Add(EMR_SETMAPMODE, {MM_ISOTROPIC})
                         .Add(EMR_SETWINDOWEXTEX, {100, 50})
                         .Add(EMR_SETVIEWPORTEXTEX, {96, 96})
                         .Add(EMR_RECTANGLE, {0, 0, 99, 49})
                         .Finish();
    EXPECT_EQ(Only(Play(emf), "Rectangle").Args, (Args{0, 0, 96, 48}));
}

TEST(EmfPlayerMapping, MetricModesPointTheYAxisUp) {
    const auto emf = EmfBuilder()
                         .Add(EMR_SETMAPMODE, {MM_LOMETRIC})
                         .Add(EMR_MOVETOEX, {0, 0})
                         .Add(EMR_LINETO, {254, -254}) // one inch right and down
                         .Add(EMR_SETMAPMODE, {MM_TWIPS})
                         .Add(EMR_MOVETOEX, {0, -720})
                         .Add(EMR_LINETO, {1440, -720})
                         .Finish();
    const LogCanvas canvas = Play(emf);
    EXPECT_EQ(canvas.Find("MoveTo")[0].Args, (Args{0, 0}));
    EXPECT_EQ(canvas.Find("LineTo")[0].Args, (Args{96, 96}));
    EXPECT_EQ(canvas.Find("MoveTo")[1].Args, (Args{0, 48}));
    EXPECT_EQ(canvas.Find("LineTo")[1].Args, (Args{96, 48}));
}

TEST(EmfPlayerMapping, WorldTransformsScaleTranslateAndTurn) {
    const auto emf = EmfBuilder({0, 0, 2540, 2540})
                         .Add(EMR_SETWORLDTRANSFORM, {Bits(2), 0, 0, Bits(2), Bits(5), Bits(5)})
                         .Add(EMR_CREATEPEN, {1, PS_SOLID, 3, 0, 0})
                         .Add(EMR_SELECTOBJECT, {1})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_MODIFYWORLDTRANSFORM, {Bits(1), 0, 0, Bits(1), Bits(1), 0, MWT_LEFTMULTIPLY})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_MODIFYWORLDTRANSFORM, {0, 0, 0, 0, 0, 0, MWT_IDENTITY})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_SETWORLDTRANSFORM, {0, Bits(1), Bits(-1), 0, 0, 0}) // a quarter turn
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Finish();
    const LogCanvas canvas = Play(emf, {10, 20, 106, 116});
    const auto rects = canvas.Find("Rectangle");
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].Args, (Args{15, 25, 35, 45}));
    EXPECT_EQ(rects[0].Pen.Width, 6);
    EXPECT_EQ(rects[1].Args, (Args{17, 25, 37, 45}));
    EXPECT_EQ(rects[2].Args, (Args{10, 20, 20, 30}));
    EXPECT_EQ(rects[2].Pen.Width, 3);
    // Turned, the box is a polygon: (0,0) (10,0) (10,10) (0,10) become (0,0) (0,10) (-10,10) (-10,0).
    const auto turned = Only(canvas, "PolyPolygon");
    EXPECT_EQ(turned.Points, (std::vector<std::vector<TPoint>>{{{10, 20}, {10, 30}, {0, 30}, {0, 20}}}));
}

TEST(EmfPlayerState, RestoreDcBringsBackObjectsMappingAndClip) {
    const auto emf = EmfBuilder()
                         .Add(EMR_SAVEDC, {})
                         .Add(EMR_SELECTOBJECT, {std::int32_t(StockObjectHandle(NULL_PEN))})
                         .Add(EMR_SELECTOBJECT, {std::int32_t(StockObjectHandle(GRAY_BRUSH))})
                         .Add(EMR_SETMAPMODE, {MM_ANISOTROPIC})
                         .Add(EMR_SETVIEWPORTEXTEX, {2, 2})
                         .Add(EMR_INTERSECTCLIPRECT, {0, 0, 20, 20})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_RESTOREDC, {-1})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Finish();
    const LogCanvas canvas = Play(emf);
    EXPECT_EQ(canvas.Ops(), (std::vector<std::string>{"SaveState", "SaveState", "IntersectClipRect", "Rectangle",
                                                      "RestoreState", "Rectangle", "RestoreState"}));
    EXPECT_EQ(canvas.Calls[2].Args, (Args{0, 0, 40, 40}));
    EXPECT_EQ(canvas.Calls[3].Args, (Args{0, 0, 20, 20}));
    EXPECT_EQ(canvas.Calls[3].Pen.Style, TPenStyle::psClear);
    EXPECT_EQ(canvas.Calls[3].Brush.Color, clGray);
    EXPECT_EQ(canvas.Calls[5].Args, (Args{0, 0, 10, 10}));
    EXPECT_EQ(canvas.Calls[5].Pen.Style, TPenStyle::psSolid);
    EXPECT_EQ(canvas.Calls[5].Brush.Color, clWhite);
}

TEST(EmfPlayerState, AbsoluteRestoreAndUnbalancedSavesLeaveTheCanvasBalanced) {
    const auto emf = EmfBuilder()
                         .Add(EMR_SAVEDC, {})
                         .Add(EMR_SELECTOBJECT, {std::int32_t(StockObjectHandle(BLACK_BRUSH))})
                         .Add(EMR_SAVEDC, {})
                         .Add(EMR_SAVEDC, {})
                         .Add(EMR_RESTOREDC, {-4}) // deeper than saved: ignored
                         .Add(EMR_RESTOREDC, {2})  // back to the second save: two levels
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_SAVEDC, {})
                         .Finish();
    const LogCanvas canvas = Play(emf);
    const auto ops = canvas.Ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "SaveState"), 5);
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "RestoreState"), 5);
    EXPECT_EQ(ops[4], "RestoreState");
    EXPECT_EQ(ops[5], "RestoreState");
    EXPECT_EQ(ops[6], "Rectangle");
    EXPECT_EQ(canvas.Calls[6].Brush.Color, clBlack);
}

TEST(EmfPlayerObjects, PensBrushesAndStockObjects) {
    const auto emf = EmfBuilder({0, 0, 2540, 2540}, 8)
                         .Add(EMR_CREATEBRUSHINDIRECT, {1, BS_HATCHED, clRed, HS_DIAGCROSS})
                         .Add(EMR_CREATEPEN, {2, PS_DASH, 0, 0, std::int32_t(clBlue)})
                         .Add(EMR_SELECTOBJECT, {1})
                         .Add(EMR_SELECTOBJECT, {2})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_EXTCREATEPEN, {4, 0, 0, 0, 0, PS_COSMETIC | PS_DOT, 5, BS_SOLID, clGreen, 0, 0})
                         .Add(EMR_SELECTOBJECT, {4})
                         .Add(EMR_SELECTOBJECT, {std::int32_t(StockObjectHandle(NULL_BRUSH))})
                         .Add(EMR_ELLIPSE, {0, 0, 9, 9})
                         .Add(EMR_DELETEOBJECT, {1})
                         .Add(EMR_SELECTOBJECT, {1})                               // deleted
                         .Add(EMR_CREATEBRUSHINDIRECT, {8, BS_SOLID, clYellow, 0}) // beyond the table
                         .Add(EMR_SELECTOBJECT, {8})
                         .Add(EMR_SELECTOBJECT, {12345})
                         .Add(EMR_SELECTOBJECT, {std::int32_t(StockObjectHandle(DEFAULT_PALETTE))})
                         .Add(EMR_ROUNDRECT, {0, 0, 9, 9, 4, 2})
                         .Finish();
    const LogCanvas canvas = Play(emf);
    const auto rect = Only(canvas, "Rectangle");
    EXPECT_EQ(rect.Brush.Style, TBrushStyle::bsDiagCross);
    EXPECT_EQ(rect.Brush.Color, clRed);
    EXPECT_EQ(rect.Pen.Style, TPenStyle::psDash);
    EXPECT_EQ(rect.Pen.Color, clBlue);
    const auto ellipse = Only(canvas, "Ellipse");
    EXPECT_EQ(ellipse.Pen.Style, TPenStyle::psDot);
    EXPECT_EQ(ellipse.Pen.Width, 0); // cosmetic: one pixel whatever its stored width
    EXPECT_EQ(ellipse.Pen.Color, clGreen);
    EXPECT_EQ(ellipse.Brush.Style, TBrushStyle::bsClear);
    const auto round = Only(canvas, "RoundRect");
    EXPECT_EQ(round.Args, (Args{0, 0, 10, 10, 4, 2}));
    EXPECT_EQ(round.Brush.Style, TBrushStyle::bsClear);
}

TEST(EmfPlayerShapes, SixteenBitPolygonsAndPolylines) {
    const auto emf = EmfBuilder()
                         .Add(EMR_POLYGON16, {0, 0, 0, 0, 3, Pack16(1, 2), Pack16(10, 2), Pack16(5, 9)})
                         .Add(EMR_SETPOLYFILLMODE, {WINDING})
                         .Add(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 5, 3, 2, Pack16(0, 0), Pack16(4, 0), Pack16(0, 4),
                                                  Pack16(7, 7), Pack16(8, 8)})
                         .Add(EMR_POLYLINE16, {0, 0, 0, 0, 2, Pack16(-1, 3), Pack16(4, -5)})
                         .Finish();
    const LogCanvas canvas = Play(emf, {0, 0, 192, 192});
    const auto polygons = canvas.Find("PolyPolygon");
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0].Points, (std::vector<std::vector<TPoint>>{{{2, 4}, {20, 4}, {10, 18}}}));
    EXPECT_EQ(polygons[0].FillMode, TPolyFillMode::Alternate);
    EXPECT_EQ(polygons[1].Points, (std::vector<std::vector<TPoint>>{{{0, 0}, {8, 0}, {0, 8}}, {{14, 14}, {16, 16}}}));
    EXPECT_EQ(polygons[1].FillMode, TPolyFillMode::Winding);
    EXPECT_EQ(Only(canvas, "Polyline").Points, (std::vector<std::vector<TPoint>>{{{-2, 6}, {8, -10}}}));
}

TEST(EmfPlayerShapes, ArcsFollowTheArcDirection) {
    // Box 0..100: centre (50, 50); from 3 o'clock to 12 o'clock.
    const Args arc{0, 0, 99, 99, 100, 50, 50, 0};
    const auto emf = EmfBuilder()
                         .Add(EMR_ARC, arc)
                         .Add(EMR_SETARCDIRECTION, {AD_CLOCKWISE})
                         .Add(EMR_ARC, arc)
                         .Add(EMR_PIE, arc)
                         .Finish();
    const LogCanvas canvas = Play(emf);
    const auto lines = canvas.Find("Polyline");
    ASSERT_EQ(lines.size(), 2u);
    const auto& ccw = lines[0].Points[0];
    EXPECT_EQ(ccw.front(), (TPoint{100, 50}));
    EXPECT_EQ(ccw.back(), (TPoint{50, 0}));
    for (const TPoint& p : ccw)
        EXPECT_TRUE(p.X >= 50 && p.Y <= 50) << p.X << "," << p.Y;
    const auto& cw = lines[1].Points[0];
    EXPECT_EQ(cw.back(), (TPoint{50, 0}));
    EXPECT_TRUE(std::any_of(cw.begin(), cw.end(), [](TPoint p) { return p.Y >= 99; }));
    EXPECT_EQ(Only(canvas, "PolyPolygon").Points[0].front(), (TPoint{50, 50}));
}

TEST(EmfPlayerShapes, PathsCollectFiguresUntilTheyArePainted) {
    const auto emf = EmfBuilder()
                         .Add(EMR_BEGINPATH, {})
                         .Add(EMR_MOVETOEX, {0, 0})
                         .Add(EMR_LINETO, {10, 0})
                         .Add(EMR_POLYBEZIERTO16, {0, 0, 0, 0, 3, Pack16(10, 5), Pack16(10, 5), Pack16(10, 10)})
                         .Add(EMR_CLOSEFIGURE, {})
                         .Add(EMR_ENDPATH, {})
                         .Add(EMR_FILLPATH, {0, 0, 0, 0})
                         .Add(EMR_BEGINPATH, {})
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Add(EMR_ENDPATH, {})
                         .Add(EMR_STROKEPATH, {0, 0, 0, 0})
                         .Finish();
    const LogCanvas canvas = Play(emf);
    EXPECT_EQ(canvas.Ops(), (std::vector<std::string>{"SaveState", "PolyPolygon", "Polyline", "RestoreState"}));
    const auto fill = canvas.Calls[1];
    EXPECT_EQ(fill.Pen.Style, TPenStyle::psClear);
    ASSERT_EQ(fill.Points.size(), 1u);
    EXPECT_EQ(fill.Points[0].front(), (TPoint{0, 0}));
    EXPECT_EQ(fill.Points[0][1], (TPoint{10, 0}));
    EXPECT_EQ(fill.Points[0].back(), (TPoint{10, 10}));
    EXPECT_EQ(canvas.Calls[2].Points[0], (std::vector<TPoint>{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}));
}

TEST(EmfPlayerText, AlignmentFontAndBackground) {
    const auto emf = EmfBuilder()
                         .AddBytes(EMR_EXTCREATEFONTINDIRECTW, FontRecord(-20, 700, u"Arial"))
                         .Add(EMR_SELECTOBJECT, {3})
                         .Add(EMR_SETTEXTCOLOR, {std::int32_t(clNavy)})
                         .Add(EMR_SETBKMODE, {TRANSPARENT})
                         .Add(EMR_SETTEXTALIGN, {TA_CENTER | TA_BOTTOM})
                         .AddBytes(EMR_EXTTEXTOUTW, TextW({100, 100}, u"Hi", 0, {}, {10, 12}))
                         .Add(EMR_SETTEXTALIGN, {TA_RIGHT | TA_BASELINE})
                         .AddBytes(EMR_EXTTEXTOUTW, TextW({100, 100}, u"Hi", 0, {}))
                         .Finish();
    const auto texts = Play(emf).Find("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    // Centred on the advances (22 wide), bottom of the 20-pixel cell on the reference point.
    EXPECT_EQ(texts[0].Args, (Args{89, 80}));
    EXPECT_EQ(texts[0].Text, "Hi");
    EXPECT_EQ(texts[0].Font.Name, "Arial");
    EXPECT_EQ(texts[0].Font.Height, -20);
    EXPECT_EQ(texts[0].Font.Style, fsBoldBit);
    EXPECT_EQ(texts[0].Font.Color, clNavy);
    EXPECT_EQ(texts[0].Brush.Style, TBrushStyle::bsClear);
    // Without advances the canvas measures (12 wide); the baseline lies at the font's ascent,
    // which these metrics put at four fifths of the cell.
    EXPECT_EQ(texts[1].Args, (Args{88, 84}));

    const auto scaled = Play(emf, {0, 0, 192, 192}).Find("TextOut");
    ASSERT_EQ(scaled.size(), 2u);
    EXPECT_EQ(scaled[0].Font.Height, -40);
    EXPECT_EQ(scaled[0].Args, (Args{178, 180}));
}

TEST(EmfPlayerText, OpaqueClippedAndEightBitText) {
    std::vector<std::uint8_t> ansi = TextW({5, 6}, u"", ETO_OPAQUE | ETO_CLIPPED, {4, 5, 40, 30});
    ansi[EmrExtTextOut::Chars.offset - 8] = 2;
    ansi.push_back('d');
    ansi.push_back(0xE9); // Windows-1252 e acute
    ansi.resize(ansi.size() + 2);
    const auto emf = EmfBuilder()
                         .Add(EMR_SETBKCOLOR, {std::int32_t(clYellow)})
                         .AddBytes(EMR_EXTTEXTOUTA, ansi)
                         .AddBytes(EMR_EXTTEXTOUTW, TextW({0, 0}, u"", ETO_OPAQUE, {1, 2, 3, 4}))
                         .Finish();
    const LogCanvas canvas = Play(emf);
    EXPECT_EQ(canvas.Ops(),
              (std::vector<std::string>{"SaveState", "FillRect", "TextRect", "FillRect", "RestoreState"}));
    EXPECT_EQ(canvas.Calls[1].Args, (Args{4, 5, 40, 30}));
    EXPECT_EQ(canvas.Calls[1].Brush.Color, clYellow);
    EXPECT_EQ(canvas.Calls[2].Args, (Args{4, 5, 40, 30, 5, 6}));
    EXPECT_EQ(canvas.Calls[2].Text, "d\xC3\xA9");
    EXPECT_EQ(canvas.Calls[2].Brush.Style, TBrushStyle::bsSolid); // opaque background mode by default
    EXPECT_EQ(canvas.Calls[3].Args, (Args{1, 2, 3, 4}));
}

TEST(EmfPlayerText, TheProducersAdvancesPlaceTheCharacters) {
    struct Case {
        TRect Dest; // showing the one-inch frame: 96 wide is one to one
        std::uint32_t Options;
        std::u16string Text;
        Args Dx, At, Advances;
    };
    const Case cases[] = {
        // Positions 7.5 and 22.5 round up: the advances alternate and keep the width of 30.
        {{0, 0, 144, 144}, 0, u"abcd", {5, 5, 5, 5}, {15, 15}, {8, 7, 8, 7}},
        {{0, 0, 96, 96}, ETO_PDY, u"ab", {4, 99, 6, -7}, {10, 10}, {4, 6}},
        // The text leaves NULs out; their room goes to the character before, or to the start.
        {{0, 0, 96, 96}, 0, std::u16string(u"a\0b", 3), {3, 4, 5}, {10, 10}, {7, 5}},
        {{0, 0, 96, 96}, 0, std::u16string(u"\0ab", 3), {3, 4, 5}, {13, 10}, {4, 5}},
        // Too few advances: the font lays the text out, without justification.
        {{0, 0, 96, 96}, 0, u"a b", {40, 40}, {10, 10}, {}},
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        const auto emf = EmfBuilder().AddBytes(EMR_EXTTEXTOUTW, TextW({10, 10}, c.Text, c.Options, {}, c.Dx)).Finish();
        ASSERT_TRUE(PlayEnhMetafile(canvas, emf, c.Dest));
        const auto texts = canvas.Find("TextOut");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].Args, c.At);
        EXPECT_EQ(texts[0].Advances, c.Advances) << "set and fitting the text";
        const auto set = canvas.Find("SetTextAdvances");
        ASSERT_EQ(set.size(), c.Advances.empty() ? 0u : 2u);
        if (!set.empty()) {
            EXPECT_EQ(set.back().Args, Args{}) << "switched off after the output";
        }
        EXPECT_TRUE(canvas.Find("SetTextJustification").empty());
    }
}

namespace {

// A STRETCHDIBITS record of a 2 x 2 24-bit bitmap, bottom-up unless `topDown`.
std::vector<std::uint8_t> StretchDib(bool topDown, const Args& destAndSource) {
    const std::size_t bmiAt = EmrStretchDIBits::kSize, bitsAt = bmiAt + 40;
    std::vector<std::uint8_t> r(bitsAt + 16, 0x77);
    for (std::size_t i = 0; i < 4; ++i)
        writeLE(Bytes(r), 24 + 4 * i, destAndSource[i]); // x, y dest; x, y src
    for (std::size_t i = 0; i < 2; ++i)
        writeLE(Bytes(r), 40 + 4 * i, destAndSource[4 + i]); // cx, cy src
    for (std::size_t i = 0; i < 2; ++i)
        writeLE(Bytes(r), 72 + 4 * i, destAndSource[6 + i]); // cx, cy dest
    EmrStretchDIBits::BmiOffset.set(r, std::uint32_t(bmiAt));
    EmrStretchDIBits::BmiSize.set(r, 40);
    EmrStretchDIBits::BitsOffset.set(r, std::uint32_t(bitsAt));
    EmrStretchDIBits::BitsSize.set(r, 16);
    EmrStretchDIBits::Usage.set(r, DIB_RGB_COLORS);
    EmrStretchDIBits::Rop.set(r, SRCCOPY);
    writeLE<std::uint32_t>(r, bmiAt, 40);
    writeLE<std::int32_t>(r, bmiAt + 4, 2);
    writeLE<std::int32_t>(r, bmiAt + 8, topDown ? -2 : 2);
    writeLE<std::uint16_t>(r, bmiAt + 12, 1);
    writeLE<std::uint16_t>(r, bmiAt + 14, 24);
    writeLE<std::uint32_t>(r, bmiAt + 16, 0);
    writeLE<std::uint32_t>(r, bmiAt + 32, 0);
    return {r.begin() + 8, r.end()};
}

} // namespace

TEST(EmfPlayerBitmaps, StretchDibitsPassesTheSourceRectangleTopDown) {
    const auto emf = EmfBuilder()
                         .AddBytes(EMR_STRETCHDIBITS, StretchDib(false, {10, 10, 0, 0, 1, 1, 20, 30}))
                         .AddBytes(EMR_STRETCHDIBITS, StretchDib(true, {10, 10, 0, 0, 1, 1, 20, 30}))
                         .Finish();
    const auto calls = Play(emf, {0, 0, 192, 192}).Find("StretchDIBits");
    const std::size_t firstBmi = EmrHeader::kBaseSize + EmrStretchDIBits::kSize;
    ASSERT_EQ(calls.size(), 2u);
    // ySrc 0 of a bottom-up bitmap is its bottom row.
    EXPECT_EQ(calls[0].Args, (Args{20, 20, 60, 80, 0, 1, 1, 2}));
    EXPECT_EQ(calls[1].Args, (Args{20, 20, 60, 80, 0, 0, 1, 1}));
    // The bitmap is passed as the record holds it, not copied.
    EXPECT_EQ(calls[0].Dib.Info.data(), emf.data() + firstBmi);
    EXPECT_EQ(calls[0].Dib.Info.size(), 40u);
    EXPECT_EQ(calls[0].Dib.Bits.data(), emf.data() + firstBmi + 40);
    EXPECT_EQ(calls[0].Dib.Bits.size(), 16u);
}

// A STRETCHDIBITS record of an 8-bit run-length encoded bitmap of side x side pixels that
// ends at once: a few bytes for many pixels.
std::vector<std::uint8_t> EmptyRleStretchDib(std::int32_t side) {
    const std::size_t bmiAt = EmrStretchDIBits::kSize, bmiSize = 40 + 256 * 4, bitsAt = bmiAt + bmiSize;
    std::vector<std::uint8_t> r(bitsAt + 2, 0);
    writeLE<std::int32_t>(r, 40, side); // cx src
    writeLE<std::int32_t>(r, 44, side); // cy src
    writeLE<std::int32_t>(r, 72, 10);   // cx dest
    writeLE<std::int32_t>(r, 76, 10);   // cy dest
    EmrStretchDIBits::BmiOffset.set(r, std::uint32_t(bmiAt));
    EmrStretchDIBits::BmiSize.set(r, std::uint32_t(bmiSize));
    EmrStretchDIBits::BitsOffset.set(r, std::uint32_t(bitsAt));
    EmrStretchDIBits::BitsSize.set(r, 2);
    EmrStretchDIBits::Usage.set(r, DIB_RGB_COLORS);
    EmrStretchDIBits::Rop.set(r, SRCCOPY);
    writeLE<std::uint32_t>(r, bmiAt, 40);
    writeLE<std::int32_t>(r, bmiAt + 4, side);
    writeLE<std::int32_t>(r, bmiAt + 8, side);
    writeLE<std::uint16_t>(r, bmiAt + 12, 1);
    writeLE<std::uint16_t>(r, bmiAt + 14, 8);
    writeLE<std::uint32_t>(r, bmiAt + 16, kBiRle8);
    r.back() = 1; // end of bitmap
    return {r.begin() + 8, r.end()};
}

// Records of a few bytes each cannot make one play decode more than a bitmap's worth of
// pixels: 4096 x 4096 four times fills it, further ones are left out.
TEST(EmfPlayerBitmaps, ThePixelsOfOnePlayAreBounded) {
    EmfBuilder builder;
    for (int i = 0; i < 6; ++i)
        builder.AddBytes(EMR_STRETCHDIBITS, EmptyRleStretchDib(4096));
    EXPECT_EQ(Play(builder.Finish()).Find("StretchDIBits").size(), 4u);
}

TEST(EmfPlayerBitmaps, BitBltWithoutABitmapFillsWithTheBrush) {
    std::vector<std::uint8_t> blt(EmrBitBlt::kSize - 8);
    writeLE<std::int32_t>(blt, 16, 3);  // xDest
    writeLE<std::int32_t>(blt, 20, 4);  // yDest
    writeLE<std::int32_t>(blt, 24, 10); // cxDest
    writeLE<std::int32_t>(blt, 28, 5);  // cyDest
    writeLE<std::uint32_t>(blt, 32, PATCOPY);
    const auto emf = EmfBuilder()
                         .Add(EMR_CREATEBRUSHINDIRECT, {1, BS_SOLID, clTeal, 0})
                         .Add(EMR_SELECTOBJECT, {1})
                         .AddBytes(EMR_BITBLT, blt)
                         .Finish();
    const auto fill = Only(Play(emf), "FillRect");
    EXPECT_EQ(fill.Args, (Args{3, 4, 13, 9}));
    EXPECT_EQ(fill.Brush.Color, clTeal);
}

TEST(EmfPlayerRobustness, NotAMetafileDrawsNothingAndFails) {
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back({});
    bad.push_back(std::vector<std::uint8_t>(200, 0xFF));
    auto good = EmfBuilder().Add(EMR_RECTANGLE, {0, 0, 9, 9}).Finish();
    auto noSignature = good;
    EmrHeader::Signature.set(noSignature, 0x12345678);
    bad.push_back(noSignature);
    auto headerTooLong = good;
    EmrRec::Size.set(headerTooLong, std::uint32_t(good.size() + 1));
    bad.push_back(headerTooLong);
    bad.push_back(EmfBuilder({0, 0, 0, 2540}).Add(EMR_RECTANGLE, {0, 0, 9, 9}).Finish()); // empty frame
    bad.push_back({good.begin(), good.begin() + 80});
    for (const auto& bytes : bad) {
        LogCanvas canvas;
        EXPECT_FALSE(PlayEnhMetafile(canvas, bytes, {0, 0, 96, 96}));
        EXPECT_TRUE(canvas.Calls.empty());
    }
}

TEST(EmfPlayerRobustness, ImpossibleRecordSizesEndThePicture) {
    // A record claiming more bytes than are left, or fewer than its own header; a walk going
    // on behind its 8 header bytes would find a second rectangle.
    for (const std::int32_t size : {400, 0, 4}) {
        auto bytes = EmfBuilder().Add(EMR_RECTANGLE, {0, 0, 9, 9}).Finish();
        bytes.resize(bytes.size() - 20); // drop the end-of-file record
        const std::size_t at = bytes.size();
        bytes.resize(at + 32);
        writeLE<std::uint32_t>(bytes, at, EMR_RECTANGLE);
        writeLE<std::int32_t>(bytes, at + 4, size);
        writeLE<std::uint32_t>(bytes, at + 8, EMR_RECTANGLE);
        writeLE<std::uint32_t>(bytes, at + 12, 24);
        const LogCanvas canvas = Play(bytes);
        EXPECT_EQ(canvas.Ops(), (std::vector<std::string>{"SaveState", "Rectangle", "RestoreState"})) << size;
    }
}

TEST(EmfPlayerRobustness, CountsAndOffsetsBeyondTheRecordAreSkipped) {
    std::vector<std::uint8_t> longText = TextW({0, 0}, u"abc", 0, {});
    writeLE<std::uint32_t>(longText, EmrExtTextOut::Chars.offset - 8, 0x7FFFFFFF);
    std::vector<std::uint8_t> farBitmap = StretchDib(false, {0, 0, 0, 0, 1, 1, 2, 2});
    writeLE<std::uint32_t>(farBitmap, EmrStretchDIBits::BitsOffset.offset - 8, 0xFFFFFFF0);
    const auto emf = EmfBuilder()
                         .Add(EMR_POLYLINE16, {0, 0, 0, 0, 0x7FFFFFFF, Pack16(1, 1), Pack16(2, 2)})
                         .Add(EMR_POLYPOLYGON16, {0, 0, 0, 0, -1, 2, 2, Pack16(1, 1), Pack16(2, 2)})
                         .Add(EMR_POLYPOLYGON, {0, 0, 0, 0, 1, 2, 5, 1, 1, 2, 2}) // counts disagree
                         .AddBytes(EMR_EXTTEXTOUTW, longText)
                         .AddBytes(EMR_STRETCHDIBITS, farBitmap)
                         .Add(EMR_RECTANGLE, {0, 0})                                    // shorter than its layout
                         .Add(EMR_SELECTOBJECT, {7})                                    // never created
                         .Add(EMR_SETWORLDTRANSFORM, {0x7FC00000, 0, 0, Bits(1), 0, 0}) // NaN
                         .Add(EMR_ELLIPSE, {0, 0, 9, 9})
                         .Finish();
    const LogCanvas canvas = Play(emf);
    EXPECT_EQ(canvas.Ops(), (std::vector<std::string>{"SaveState", "Ellipse", "RestoreState"}));
    EXPECT_EQ(canvas.Calls[1].Args, (Args{0, 0, 10, 10}));
}

TEST(EmfPlayerRobustness, CanvasStateIsGivenBack) {
    LogCanvas canvas;
    canvas.Pen.Color = clFuchsia;
    canvas.Brush.Style = TBrushStyle::bsFDiagonal;
    canvas.Font.Name = "Mine";
    const auto emf = EmfBuilder()
                         .Add(EMR_SELECTOBJECT, {std::int32_t(StockObjectHandle(WHITE_PEN))})
                         .AddBytes(EMR_EXTTEXTOUTW, TextW({0, 0}, u"x", 0, {}))
                         .Add(EMR_RECTANGLE, {0, 0, 9, 9})
                         .Finish();
    ASSERT_TRUE(PlayEnhMetafile(canvas, emf, {0, 0, 96, 96}));
    EXPECT_EQ(canvas.Pen.Color, clFuchsia);
    EXPECT_EQ(canvas.Brush.Style, TBrushStyle::bsFDiagonal);
    EXPECT_EQ(canvas.Font.Name, "Mine");
}

TEST(EmfPlayerSample, PlaysAMetafileFromAnotherWriter) {
    // The sample's frame is 50 x 25 mm on a 3.2 pixels-per-millimetre device: 160 x 80.
    const std::vector<std::uint8_t> bytes(test::kLibEmfSample.begin(), test::kLibEmfSample.end());
    const LogCanvas canvas = Play(bytes, {0, 0, 160, 80});
    const auto rect = Only(canvas, "Rectangle");
    EXPECT_EQ(rect.Args, (Args{10, 20, 111, 71}));
    EXPECT_EQ(rect.Pen.Style, TPenStyle::psDash);
    EXPECT_EQ(rect.Pen.Width, 3);
    EXPECT_EQ(rect.Pen.Color, 0x302010u);
    EXPECT_EQ(rect.Brush.Style, TBrushStyle::bsDiagCross);
    EXPECT_EQ(rect.Brush.Color, 0x605040u);
    EXPECT_EQ(Only(canvas, "Ellipse").Args, (Args{100, 110, 121, 131}));
    EXPECT_EQ(Only(canvas, "LineTo").Args, (Args{300, 400}));
    EXPECT_EQ(Only(canvas, "Polyline").Points[0], (std::vector<TPoint>{{1, 2}, {30, 40}, {70000, 5}}));
    EXPECT_EQ(Only(canvas, "PolyPolygon").Points.size(), 2u);
    // The writer leaves the text's clip rectangle empty, (0, 0, -1, -1): the text is not clipped.
    const auto text = Only(canvas, "TextOut");
    EXPECT_EQ(text.Args, (Args{44, 55}));
    EXPECT_EQ(text.Text, "Ab c");
    EXPECT_EQ(text.Font.Name, "Courier");
    EXPECT_EQ(text.Font.Height, -13);
    EXPECT_EQ(text.Font.Escapement, 450);
    EXPECT_EQ(text.Font.Style, fsBoldBit | fsItalicBit);
    EXPECT_EQ(text.Font.Color, 0x030201u);
    EXPECT_EQ(text.Brush.Style, TBrushStyle::bsClear);
}
