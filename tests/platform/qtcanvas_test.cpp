#include "GuiApplication.h"

#include "platform/Dib.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"

#include <QImage>
#include <QPainter>

#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace kovet;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00,
               kGray = 0xFF808080;

QImage Filled(QRgb color, int width = 80, int height = 60) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Draws with a fresh canvas (black one-pixel pen, white solid brush, Arial -13) on `image`.
QImage DrawOn(QImage image, const std::function<void(QtCanvas&)>& draw) {
    QtCanvas canvas(image);
    draw(canvas);
    return image;
}

QImage Draw(const std::function<void(QtCanvas&)>& draw, int width = 80, int height = 60) {
    return DrawOn(Filled(kWhite, width, height), draw);
}

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

// One character per pixel of row y from x0 to x1 - 1: '#' black, '.' white, 'r' red, '?' other.
std::string Row(const QImage& image, int y, int x0, int x1) {
    std::string row;
    for (int x = x0; x < x1; ++x) {
        const QRgb p = image.pixel(x, y);
        row += p == kBlack ? '#' : p == kWhite ? '.' : p == kRed ? 'r' : '?';
    }
    return row;
}

// A row of `length` pixels repeating `on` marks and `off` marks.
std::string Pattern(int length, int on, char onMark, int off, char offMark) {
    std::string row;
    for (int x = 0; x < length; ++x)
        row += x % (on + off) < on ? onMark : offMark;
    return row;
}

struct Ink {
    int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1; // inclusive
    bool Any() const { return Right >= 0; }
};

Ink InkIn(const QImage& image, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
    if (x1 < 0) x1 = image.width();
    if (y1 < 0) y1 = image.height();
    Ink ink;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!Dark(image, x, y)) continue;
            ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
            ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
        }
    }
    return ink;
}

// The first column of each group of inked columns between rows y0 and y1.
std::vector<int> InkedColumnStarts(const QImage& image, int y0, int y1) {
    std::vector<int> starts;
    bool previous = false;
    for (int x = 0; x < image.width(); ++x) {
        bool inked = false;
        for (int y = y0; y < y1; ++y)
            inked = inked || Dark(image, x, y);
        if (inked && !previous) starts.push_back(x);
        previous = inked;
    }
    return starts;
}

TFont Arial(std::int32_t height = -13) {
    TFont font;
    font.Name = "Arial";
    font.Height = height;
    return font;
}

TDib DibOf(const std::vector<std::uint8_t>& file) {
    return ReadBmpFile(file).Dib;
}

} // namespace

TEST(QtCanvasShapes, ARectangleCoversItsBoxButNotTheRightAndBottomEdge) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Rectangle(10, 10, 20, 20);
        c.Pen.Width = 0; // draws one pixel wide, like width 1
        c.Rectangle(40, 10, 50, 20);
    });
    for (const int x0 : {10, 40}) {
        EXPECT_EQ(Row(image, 10, x0 - 1, x0 + 11), ".##########.") << x0;
        EXPECT_EQ(Row(image, 15, x0 - 1, x0 + 11), ".#rrrrrrrr#.") << x0;
        EXPECT_EQ(Row(image, 19, x0 - 1, x0 + 11), ".##########.") << x0;
        EXPECT_EQ(image.pixel(x0 + 5, 20), kWhite);
    }
}

TEST(QtCanvasShapes, WithAClearPenTheFillStopsOnePixelEarlier) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Pen.Style = TPenStyle::psClear;
        c.Brush.Color = clRed;
        c.Rectangle(10, 10, 20, 20);
        c.Ellipse(30, 10, 40, 20);
        c.RoundRect(50, 10, 70, 30, 6, 6);
    });
    EXPECT_EQ(Row(image, 10, 9, 21), ".rrrrrrrrr..");
    EXPECT_EQ(Row(image, 18, 9, 21), ".rrrrrrrrr..");
    EXPECT_EQ(Row(image, 19, 9, 21), "............");
    EXPECT_EQ(Row(image, 14, 29, 41), ".rrrrrrrrr..");
    EXPECT_EQ(Row(image, 20, 49, 71), ".rrrrrrrrrrrrrrrrrrr..");
    EXPECT_EQ(image.pixel(60, 28), kRed);
    EXPECT_EQ(image.pixel(60, 29), kWhite);
}

TEST(QtCanvasShapes, AWidePenIsCentredOnTheOutermostPixels) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Pen.Width = 3;
        c.Rectangle(10, 10, 30, 30);
    });
    EXPECT_EQ(Row(image, 20, 7, 33), "..###rrrrrrrrrrrrrrrr###..");
}

TEST(QtCanvasShapes, AnEvenWidthPenSitsOnTheEdgeBeforeTheOutermostPixels) {
    // As GDI draws it (checked against Wine's gdi32): width 2 on column 10 covers 9 and 10,
    // on column 29 covers 28 and 29, and the fill meets the outline without a gap.
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Pen.Width = 2;
        c.Rectangle(10, 10, 30, 30);
        c.Brush.Style = TBrushStyle::bsClear;
        c.MoveTo(40, 5);
        c.LineTo(40, 35);
    });
    EXPECT_EQ(Row(image, 20, 7, 33), "..##rrrrrrrrrrrrrrrrr##...");
    EXPECT_EQ(Row(image, 20, 37, 43), "..##..");
}

TEST(QtCanvasShapes, EllipsesAndRoundRectsTouchTheirBoxFromLeftToRightMinusOne) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Ellipse(10, 10, 20, 20);
        c.RoundRect(30, 10, 60, 40, 10, 10);
        c.RoundRect(65, 10, 75, 20, 2, 2); // corners this small make a plain rectangle
    });
    EXPECT_EQ(Row(image, 14, 9, 21), ".#rrrrrrrr#.");
    EXPECT_EQ(Row(image, 10, 14, 16), "##");
    EXPECT_EQ(Row(image, 19, 14, 16), "##");
    EXPECT_EQ(image.pixel(15, 20), kWhite);

    EXPECT_EQ(image.pixel(30, 10), kWhite); // the corner is rounded off
    EXPECT_EQ(Row(image, 25, 29, 61), ".#rrrrrrrrrrrrrrrrrrrrrrrrrrrr#.");
    EXPECT_EQ(Row(image, 10, 44, 46), "##");
    EXPECT_EQ(Row(image, 39, 44, 46), "##");
    EXPECT_EQ(image.pixel(45, 40), kWhite);
    EXPECT_EQ(image.pixel(65, 10), kBlack);
}

TEST(QtCanvasLines, ALineStopsOnePixelShortOfItsEndInEveryDirection) {
    const QImage image = Draw([](QtCanvas& c) {
        c.MoveTo(10, 5);
        c.LineTo(20, 5);
        c.MoveTo(20, 8);
        c.LineTo(10, 8);
        c.MoveTo(30, 30);
        c.LineTo(30, 20);
        c.MoveTo(40, 30);
        c.LineTo(43, 20);
        c.MoveTo(50, 5);
        c.LineTo(60, 5);
        c.LineTo(60, 15); // continues from the end of the previous line
    });
    EXPECT_EQ(Row(image, 5, 9, 21), ".##########.");
    EXPECT_EQ(Row(image, 8, 9, 21), "..##########");
    EXPECT_EQ(image.pixel(30, 30), kBlack);
    EXPECT_EQ(image.pixel(30, 21), kBlack);
    EXPECT_EQ(image.pixel(30, 20), kWhite);
    EXPECT_EQ(image.pixel(40, 30), kBlack);
    EXPECT_EQ(InkIn(image, 35, 15, 50, 35).Top, 21);
    EXPECT_EQ(image.pixel(60, 5), kBlack);
    EXPECT_EQ(image.pixel(60, 14), kBlack);
    EXPECT_EQ(image.pixel(60, 15), kWhite);
}

TEST(QtCanvasLines, APolylineDrawsEverySegmentButTheLastPoint) {
    const QImage image = Draw([](QtCanvas& c) {
        const std::vector<TPoint> points = {{10, 10}, {20, 10}, {20, 20}};
        c.Polyline(points);
    });
    EXPECT_EQ(Row(image, 10, 9, 22), ".###########.");
    EXPECT_EQ(image.pixel(20, 19), kBlack);
    EXPECT_EQ(image.pixel(20, 20), kWhite);
}

TEST(QtCanvasLines, DashesAndDotsFollowTheOriginalPatterns) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Style = TBrushStyle::bsClear;
        c.Pen.Style = TPenStyle::psDash;
        c.MoveTo(0, 5);
        c.LineTo(79, 5);
        c.MoveTo(79, 8); // drawn leftwards, the pattern starts at the right
        c.LineTo(0, 8);
        c.Pen.Style = TPenStyle::psDot;
        c.MoveTo(0, 11);
        c.LineTo(79, 11);
    });
    EXPECT_EQ(Row(image, 5, 0, 79), Pattern(79, 18, '#', 6, '.'));
    std::string leftwards = Pattern(79, 18, '#', 6, '.');
    EXPECT_EQ(Row(image, 8, 1, 80), std::string(leftwards.rbegin(), leftwards.rend()));
    EXPECT_EQ(image.pixel(0, 8), kWhite);
    EXPECT_EQ(Row(image, 11, 0, 79), Pattern(79, 3, '#', 3, '.'));
}

TEST(QtCanvasLines, ASolidBrushShowsInTheGapsOfDashedPens) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Pen.Style = TPenStyle::psDash;
        c.MoveTo(0, 5);
        c.LineTo(79, 5);
        c.Pen.Style = TPenStyle::psDot;
        c.MoveTo(0, 8);
        c.LineTo(79, 8);
        c.Brush.Style = TBrushStyle::bsFDiagonal; // hatched brushes leave the gaps transparent
        c.MoveTo(0, 11);
        c.LineTo(79, 11);
    });
    EXPECT_EQ(Row(image, 5, 0, 79), Pattern(79, 18, '#', 6, 'r'));
    EXPECT_EQ(Row(image, 8, 0, 79), Pattern(79, 3, '#', 3, 'r'));
    EXPECT_EQ(Row(image, 11, 0, 79), Pattern(79, 3, '#', 3, '.'));
}

TEST(QtCanvasLines, ADashedPenWiderThanOnePixelDrawsSolid) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Pen.Style = TPenStyle::psDash;
        c.Pen.Width = 3;
        c.MoveTo(5, 10);
        c.LineTo(70, 10);
    });
    EXPECT_EQ(Row(image, 10, 5, 71), std::string(66, '#'));
    EXPECT_EQ(Row(image, 9, 5, 71), std::string(66, '#'));
    EXPECT_EQ(Row(image, 11, 5, 71), std::string(66, '#'));
    EXPECT_EQ(image.pixel(30, 12), kWhite);
}

TEST(QtCanvasLines, ARectangleOutlineDashesFromItsTopRightCornerLeftwards) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Style = TBrushStyle::bsClear;
        c.Pen.Style = TPenStyle::psDash;
        c.Rectangle(0, 0, 40, 20);
    });
    EXPECT_EQ(Row(image, 0, 0, 41), std::string(16, '#') + std::string(6, '.') + std::string(18, '#') + ".");
    // The pattern runs on round the corner: two more pixels down the left side, then a gap.
    EXPECT_EQ(image.pixel(0, 2), kBlack);
    EXPECT_EQ(image.pixel(0, 3), kWhite);
}

TEST(QtCanvasBrushes, HatchesAreAlignedToTheDeviceOrigin) {
    const auto hatched = [](TBrushStyle style) {
        return DrawOn(Filled(kBlue), [style](QtCanvas& c) {
            c.Brush.Style = style;
            c.Brush.Color = clBlack;
            c.FillRect({3, 5, 35, 37});
            c.Pen.Style = TPenStyle::psClear;
            c.Rectangle(43, 5, 76, 38);
        });
    };
    const QImage forward = hatched(TBrushStyle::bsFDiagonal);
    const QImage cross = hatched(TBrushStyle::bsDiagCross);
    for (int y = 5; y < 37; ++y) {
        for (int x = 3; x < 75; ++x) {
            if (x >= 35 && x < 43) continue;
            const bool diagonal = x % 8 == y % 8, anti = x % 8 == 7 - y % 8;
            ASSERT_EQ(forward.pixel(x, y), diagonal ? kBlack : kBlue) << x << "," << y;
            ASSERT_EQ(cross.pixel(x, y), diagonal || anti ? kBlack : kBlue) << x << "," << y;
        }
    }
    EXPECT_EQ(forward.pixel(2, 10), kBlue);
    EXPECT_EQ(forward.pixel(10, 37), kBlue);
}

TEST(QtCanvasBrushes, FillRectUsesTheBrushAloneAndIgnoresThePenMode) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Pen.Mode = TPenMode::pmXor;
        c.FillRect({20, 20, 10, 10}); // corners in either order
        c.Brush.Style = TBrushStyle::bsClear;
        c.FillRect({40, 20, 50, 30});
    });
    EXPECT_EQ(Row(image, 15, 9, 21), ".rrrrrrrrrr.");
    EXPECT_EQ(image.pixel(15, 20), kWhite);
    EXPECT_FALSE(InkIn(image, 35, 15, 55, 35).Any());
    EXPECT_EQ(image.pixel(45, 25), kWhite);
}

TEST(QtCanvasPenModes, DrawingTwiceInXorOrNotXorModeRestoresThePicture) {
    QImage picture = Draw([](QtCanvas& c) {
        c.Brush.Color = clYellow;
        c.FillRect({0, 0, 40, 60});
        c.Brush.Style = TBrushStyle::bsDiagCross;
        c.FillRect({30, 10, 70, 50});
        c.Font = Arial(-20);
        c.TextOut(5, 20, "Kovet");
    });
    const auto outline = [](QtCanvas& c, TPenMode mode) {
        c.Pen.Mode = mode;
        c.Pen.Color = 0x123456;
        c.Brush.Style = TBrushStyle::bsClear;
        c.Pen.Style = TPenStyle::psDot;
        c.Rectangle(5, 5, 60, 50);
        c.Pen.Style = TPenStyle::psSolid;
        c.MoveTo(70, 2);
        c.LineTo(10, 55);
        c.Pen.Width = 4;
        c.Ellipse(20, 10, 75, 45);
        c.Pen.Width = 1;
        c.Pen.Style = TPenStyle::psDash;
        c.Brush.Style = TBrushStyle::bsSolid;
        c.Brush.Color = clBlue;
        c.RoundRect(8, 8, 50, 40, 12, 12);
    };
    for (const TPenMode mode : {TPenMode::pmXor, TPenMode::pmNotXor}) {
        const QImage once = DrawOn(picture, [&](QtCanvas& c) { outline(c, mode); });
        EXPECT_NE(once, picture);
        EXPECT_EQ(DrawOn(once, [&](QtCanvas& c) { outline(c, mode); }), picture);
    }
    const QImage inverted = Draw([](QtCanvas& c) {
        c.Pen.Mode = TPenMode::pmNotXor;
        c.MoveTo(10, 10);
        c.LineTo(20, 10);
    });
    EXPECT_EQ(Row(inverted, 10, 9, 21), ".##########.");
}

TEST(QtCanvasPolygons, TheFillModeDecidesWhetherNestedPolygonsLeaveAHole) {
    const std::vector<std::vector<TPoint>> nested = {{{10, 10}, {50, 10}, {50, 50}, {10, 50}},
                                                     {{20, 20}, {40, 20}, {40, 40}, {20, 40}}};
    const auto fill = [&](TPolyFillMode mode) {
        return Draw([&](QtCanvas& c) {
            c.Pen.Style = TPenStyle::psClear;
            c.Brush.Color = clRed;
            c.PolyPolygon(nested, mode);
        });
    };
    const QImage alternate = fill(TPolyFillMode::Alternate), winding = fill(TPolyFillMode::Winding);
    EXPECT_EQ(alternate.pixel(30, 30), kWhite);
    EXPECT_EQ(winding.pixel(30, 30), kRed);
    EXPECT_EQ(Row(alternate, 15, 9, 52), "." + std::string(40, 'r') + "..");

    const QImage outlined = Draw([&](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.PolyPolygon(nested, TPolyFillMode::Alternate);
    });
    EXPECT_EQ(Row(outlined, 15, 9, 52), ".#" + std::string(39, 'r') + "#.");
    EXPECT_EQ(outlined.pixel(50, 50), kBlack);

    const std::vector<std::vector<TPoint>> withAPoint = {nested[0], {{5, 5}}};
    EXPECT_FALSE(InkIn(Draw([&](QtCanvas& c) { c.PolyPolygon(withAPoint, TPolyFillMode::Winding); })).Any());
}

TEST(QtFonts, ANegativeHeightIsTheEmSizeAndAPositiveOneTheCell) {
    const QtFontFace arial = FaceFor(Arial(-13));
    EXPECT_EQ(arial.Font.pixelSize(), 13);
    EXPECT_GE(arial.CellHeight(), 15);
    EXPECT_LE(arial.CellHeight(), 16);
    for (std::int32_t cell = 8; cell <= 72; ++cell)
        EXPECT_NEAR(FaceFor(Arial(cell)).CellHeight(), cell, 1) << cell;
    EXPECT_EQ(FaceFor(Arial(16)).CellHeight(), 16);
    EXPECT_EQ(FaceFor(Arial(0)).CellHeight(), 16); // the default size
    EXPECT_EQ(FaceFor(Arial(std::numeric_limits<std::int32_t>::min())).Font.pixelSize(), 16384);
}

TEST(QtFonts, TheClassicFamiliesResolveToTheirMetricTwins) {
    TFont font = Arial();
    EXPECT_EQ(FaceFor(font).Raw.familyName(), "Liberation Sans");
    font.Name = "Courier New";
    EXPECT_EQ(FaceFor(font).Raw.familyName(), "Liberation Mono");
    font.Name = "Times New Roman";
    font.Style = fsBoldBit | fsItalicBit | fsUnderlineBit;
    const QtFontFace face = FaceFor(font);
    EXPECT_EQ(face.Raw.familyName(), "Liberation Serif");
    EXPECT_TRUE(face.Font.bold());
    EXPECT_TRUE(face.Font.italic());
    EXPECT_TRUE(face.Font.underline());
    EXPECT_EQ(ToQFont(font), face.Font);
}

TEST(QtTextMetricsTest, MeasuresWhatTheCanvasDraws) {
    QtTextMetrics metrics;
    const TFont font = Arial();
    QImage image = Filled(kWhite);
    QtCanvas canvas(image);
    EXPECT_EQ(metrics.Extent(font, "Hello world"), canvas.TextExtent("Hello world"));
    const std::vector<std::int32_t> advances = metrics.Advances(font, u"Hello world");
    ASSERT_EQ(advances.size(), 11u);
    std::int32_t sum = 0;
    for (const std::int32_t a : advances)
        sum += a;
    EXPECT_EQ(sum, canvas.TextWidth("Hello world"));
    EXPECT_EQ(metrics.Extent(font, ""), (TSize{0, FaceFor(font).CellHeight()}));

    // UTF-8 in, one advance per UTF-16 unit out; a surrogate pair's second unit has none.
    EXPECT_EQ(metrics.Extent(font, "\xC3\xA9").cx, metrics.Advances(font, u"\u00E9")[0]);
    const std::vector<std::int32_t> pair = metrics.Advances(font, u"a\U0001F600b");
    ASSERT_EQ(pair.size(), 4u);
    EXPECT_EQ(pair[2], 0);
    EXPECT_EQ(pair[3], metrics.Advances(font, u"b")[0]);

    TFont bold = font;
    bold.Style = fsBoldBit;
    EXPECT_GT(metrics.Extent(bold, "Hello world").cx, metrics.Extent(font, "Hello world").cx);
}

TEST(QtCanvasText, TextIsPlacedByTheTopLeftOfItsCell) {
    const QtFontFace face = FaceFor(Arial());
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Style = TBrushStyle::bsClear;
        c.TextOut(10, 20, "H");
    });
    const Ink ink = InkIn(image);
    ASSERT_TRUE(ink.Any());
    EXPECT_EQ(ink.Bottom, 20 + face.Ascent - 1); // the H stands on the baseline
    EXPECT_GT(ink.Top, 20);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Left, 12);

    QImage blank(8, 8, QImage::Format_RGB32);
    QtCanvas canvas(blank);
    canvas.Font = Arial();
    EXPECT_EQ(canvas.TextAscent(), face.Ascent) << "what a metafile's baseline alignment places by";
    EXPECT_LT(canvas.TextAscent(), canvas.TextHeight("H"));
}

TEST(QtCanvasText, ASolidBrushFillsTheCellBehindTheText) {
    const auto draw = [](TBrushStyle style) {
        return Draw([style](QtCanvas& c) {
            c.Brush.Color = clYellow;
            c.Brush.Style = style;
            c.TextOut(10, 20, "Hi");
        });
    };
    QImage scratch = Filled(kWhite);
    const TSize cell = QtCanvas(scratch).TextExtent("Hi");
    const QImage opaque = draw(TBrushStyle::bsSolid);
    EXPECT_EQ(opaque.pixel(10, 20), kYellow);
    EXPECT_EQ(opaque.pixel(10 + cell.cx - 1, 20 + cell.cy - 1), kYellow);
    EXPECT_EQ(opaque.pixel(10 + cell.cx, 20), kWhite);
    EXPECT_EQ(opaque.pixel(10, 20 + cell.cy), kWhite);
    EXPECT_EQ(draw(TBrushStyle::bsClear).pixel(10, 20), kWhite);
    EXPECT_EQ(draw(TBrushStyle::bsFDiagonal).pixel(10, 20), kWhite);
}

TEST(QtCanvasText, JustificationWidensTheBlanksFirstOnesFirst) {
    const QImage image = Draw(
        [](QtCanvas& c) {
            c.Brush.Style = TBrushStyle::bsClear;
            c.Font = Arial(-20);
            c.TextOut(5, 0, "l l l");
            c.SetTextJustification(3, 2);
            c.TextOut(5, 25, "l l l");
            c.SetTextJustification(5, 2);
            c.TextOut(5, 50, "l l l");
            c.SetTextJustification(0, 0);
            c.TextOut(5, 75, "l l l");
        },
        100, 100);
    const std::vector<int> natural = InkedColumnStarts(image, 0, 25);
    const std::vector<int> threeOverTwo = InkedColumnStarts(image, 25, 50);
    const std::vector<int> fiveOverTwo = InkedColumnStarts(image, 50, 75);
    ASSERT_EQ(natural.size(), 3u);
    EXPECT_EQ(threeOverTwo, (std::vector<int>{natural[0], natural[1] + 2, natural[2] + 3}));
    EXPECT_EQ(fiveOverTwo, (std::vector<int>{natural[0], natural[1] + 3, natural[2] + 5}));
    EXPECT_EQ(InkedColumnStarts(image, 75, 100), natural);
}

TEST(QtCanvasText, TheExtentIncludesJustification) {
    QImage image = Filled(kWhite);
    QtCanvas canvas(image);
    const std::int32_t natural = canvas.TextWidth("a b c");
    canvas.SetTextJustification(7, 2);
    EXPECT_EQ(canvas.TextWidth("a b c"), natural + 7);
    EXPECT_EQ(canvas.TextWidth("abc"), canvas.TextWidth("a") + canvas.TextWidth("b") + canvas.TextWidth("c"));
}

TEST(QtCanvasText, GivenAdvancesPlaceTheGlyphs) {
    // Each row's text starts with an "l" at x = 5: the first inked column of each stem shows
    // where its glyph stands. The last row is laid out by the font.
    const std::vector<std::pair<std::string, std::vector<std::int32_t>>> rows = {
        {"ll", {20, 6}}, {"ll", {6, 6}}, {"l\U0001F600l", {10, 30, 30, 6}}, {"ll", {}}};
    const QImage image = Draw(
        [&](QtCanvas& c) {
            c.Brush.Style = TBrushStyle::bsClear;
            c.Font = Arial(-40);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                c.SetTextAdvances(rows[i].second);
                c.TextOut(5, int(50 * i), rows[i].first);
            }
        },
        100, 200);
    const std::vector<int> natural = InkedColumnStarts(image, 150, 200);
    ASSERT_EQ(natural.size(), 2u);
    const int first = natural[0];
    ASSERT_GT(natural[1] - first, 6) << "the second row must be narrower than the font";
    EXPECT_EQ(InkedColumnStarts(image, 0, 50), (std::vector<int>{first, first + 20}));
    EXPECT_EQ(InkedColumnStarts(image, 50, 100), (std::vector<int>{first, first + 6}));
    // The pair of UTF-16 units is one glyph, advanced by both units' advances together.
    EXPECT_EQ(InkIn(image, first + 60, 100, 100, 150).Left, first + 70);
}

TEST(QtCanvasText, TheExtentFollowsFittingAdvancesOnly) {
    QImage image = Filled(kWhite);
    QtCanvas canvas(image);
    const std::int32_t natural = canvas.TextWidth("ab");
    canvas.SetTextJustification(7, 1);
    canvas.SetTextAdvances({1, 2, 40});
    EXPECT_EQ(canvas.TextWidth("a b"), 43) << "without the justification";
    EXPECT_EQ(canvas.TextWidth("ab"), natural);
}

TEST(QtCanvasText, TextRectClipsAndAnOpaqueOutputFillsTheWholeClipRectangle) {
    const QImage clipped = Draw([](QtCanvas& c) {
        c.Brush.Style = TBrushStyle::bsClear;
        c.TextRect({10, 10, 20, 30}, 5, 10, "WWWW");
    });
    const Ink ink = InkIn(clipped);
    ASSERT_TRUE(ink.Any());
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 19);
    EXPECT_GT(ink.Right, 15); // the text runs on to the clip's edge

    const QImage opaque = Draw([](QtCanvas& c) {
        c.Brush.Color = clYellow;
        c.TextRect({10, 10, 20, 40}, 5, 10, "WWWW");
    });
    EXPECT_EQ(opaque.pixel(19, 39), kYellow); // below the text's cell
    EXPECT_EQ(opaque.pixel(10, 39), kYellow);
    EXPECT_EQ(opaque.pixel(20, 39), kWhite);
    EXPECT_EQ(opaque.pixel(9, 15), kWhite);
    EXPECT_EQ(opaque.pixel(15, 40), kWhite);

    // Without text an opaque output still fills its rectangle; a transparent one leaves no mark.
    const QImage empty = Draw([](QtCanvas& c) {
        c.Brush.Color = clYellow;
        c.TextRect({10, 10, 20, 40}, 5, 10, "");
        c.Brush.Style = TBrushStyle::bsClear;
        c.TextRect({30, 10, 40, 40}, 30, 10, "");
        c.TextOut(50, 10, "");
    });
    EXPECT_EQ(empty.pixel(10, 10), kYellow);
    EXPECT_EQ(empty.pixel(19, 39), kYellow);
    bool untouched = true;
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 25; x < empty.width(); ++x)
            untouched = untouched && empty.pixel(x, y) == kWhite;
    EXPECT_TRUE(untouched);
}

TEST(QtCanvasText, EscapementTurnsTheTextAnticlockwiseAboutItsTopLeft) {
    QImage scratch = Filled(kWhite);
    const TSize extent = QtCanvas(scratch).TextExtent("WWW");
    const QImage image = Draw(
        [](QtCanvas& c) {
            c.Brush.Style = TBrushStyle::bsClear;
            c.Font.Escapement = 900;
            c.TextOut(40, 70, "WWW");
        },
        100, 100);
    const Ink ink = InkIn(image);
    ASSERT_TRUE(ink.Any());
    EXPECT_LT(ink.Bottom, 70);
    EXPECT_GE(ink.Top, 70 - extent.cx - 1);
    EXPECT_GT(ink.Bottom - ink.Top, 2 * (ink.Right - ink.Left)); // runs upwards
    EXPECT_GE(ink.Left, 40);
    EXPECT_LT(ink.Right, 40 + extent.cy);
}

TEST(QtCanvasText, UnderlineAndStrikeOutRunUnderAndThroughTheBlanks) {
    QtTextMetrics metrics;
    const TFont font = Arial(-20);
    const QtFontFace face = FaceFor(font);
    constexpr int x = 5, y = 12;
    const std::int32_t gapLeft = x + metrics.Extent(font, "a").cx, gapRight = x + metrics.Extent(font, "a   ").cx;
    const auto gapInk = [&](std::uint8_t style) {
        const QImage image = Draw([&](QtCanvas& c) {
            c.Brush.Style = TBrushStyle::bsClear;
            c.Font = font;
            c.Font.Style = style;
            c.TextOut(x, y, "a   a");
        });
        return InkIn(image, gapLeft + 1, 0, gapRight - 1, image.height());
    };
    EXPECT_FALSE(gapInk(0).Any());
    const Ink under = gapInk(fsUnderlineBit);
    ASSERT_TRUE(under.Any());
    EXPECT_GE(under.Top, y + face.Ascent);
    EXPECT_LT(under.Bottom, y + face.CellHeight());
    const Ink through = gapInk(fsStrikeOutBit);
    ASSERT_TRUE(through.Any());
    EXPECT_GT(through.Top, y + face.Ascent / 2);
    EXPECT_LT(through.Bottom, y + face.Ascent);
}

TEST(QtCanvasBitmaps, StretchDIBitsDrawsAScaledPartOfTheBitmap) {
    // 2 x 2: red green / blue white, stored bottom-up.
    const std::vector<std::uint8_t> file =
        WriteBmp24(2, 2, std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    const TDib dib = DibOf(file);
    const QImage image = DrawOn(Filled(kGray), [&](QtCanvas& c) {
        c.StretchDIBits({10, 10, 14, 14}, {0, 0, 2, 2}, dib);
        c.StretchDIBits({20, 10, 23, 13}, {1, 0, 2, 1}, dib); // the green pixel alone
        c.StretchDIBits({34, 10, 30, 14}, {0, 0, 2, 2}, dib); // mirrored left to right
        c.StretchDIBits({40, 10, 48, 14}, {0, 0, 4, 2}, dib); // half the source lies outside
        c.StretchDIBits({50, 10, 60, 20}, {0, 0, 2, 2}, TDib{});
    });
    EXPECT_EQ(image.pixel(10, 10), kRed);
    EXPECT_EQ(image.pixel(11, 11), kRed);
    EXPECT_EQ(image.pixel(12, 10), 0xFF00FF00);
    EXPECT_EQ(image.pixel(10, 13), kBlue);
    EXPECT_EQ(image.pixel(13, 13), kWhite);
    EXPECT_EQ(image.pixel(14, 14), kGray);
    EXPECT_EQ(image.pixel(20, 10), 0xFF00FF00);
    EXPECT_EQ(image.pixel(22, 12), 0xFF00FF00);
    EXPECT_EQ(image.pixel(23, 12), kGray);
    EXPECT_EQ(image.pixel(30, 10), 0xFF00FF00);
    EXPECT_EQ(image.pixel(33, 10), kRed);
    EXPECT_EQ(image.pixel(40, 10), kRed);
    EXPECT_EQ(image.pixel(43, 13), kWhite);
    EXPECT_EQ(image.pixel(44, 10), kGray);
    EXPECT_EQ(image.pixel(55, 15), kGray);
}

TEST(QtCanvasBitmaps, ABitmapIsKnownByItsBytesNotByWhereTheyAre) {
    // The painter copies every logo record into one scratch buffer, so one address holds
    // different bitmaps in turn, and equal bitmaps arrive from different addresses.
    std::vector<std::uint8_t> scratch = WriteBmp24(1, 1, std::vector<std::uint32_t>{0xFF0000});
    const std::vector<std::uint8_t> blue = WriteBmp24(1, 1, std::vector<std::uint32_t>{0x0000FF});
    const std::vector<std::uint8_t> blueAgain = blue;
    const QImage image = DrawOn(Filled(kGray), [&](QtCanvas& c) {
        c.StretchDIBits({0, 0, 2, 2}, {0, 0, 1, 1}, DibOf(scratch));
        scratch = blue;
        c.StretchDIBits({2, 0, 4, 2}, {0, 0, 1, 1}, DibOf(scratch));
        c.StretchDIBits({4, 0, 6, 2}, {0, 0, 1, 1}, DibOf(blueAgain));
        scratch[scratch.size() - 4] = 0; // the pixel's blue byte: now black
        c.StretchDIBits({6, 0, 8, 2}, {0, 0, 1, 1}, DibOf(scratch));
    });
    EXPECT_EQ(image.pixel(1, 1), kRed);
    EXPECT_EQ(image.pixel(3, 1), kBlue);
    EXPECT_EQ(image.pixel(5, 1), kBlue);
    EXPECT_EQ(image.pixel(7, 1), kBlack);
}

TEST(QtCanvasState, RestoringBringsBackClipPenBrushAndFont) {
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clBlue;
        c.SaveState();
        c.IntersectClipRect({20, 20, 10, 10});
        c.Brush.Color = clRed;
        c.Font.Height = -40;
        c.FillRect({0, 0, 40, 40});
        c.SaveState();
        c.IntersectClipRect({0, 0, 15, 15});
        c.RestoreState();
        c.FillRect({0, 30, 40, 35}); // still clipped by the first rectangle: nothing shows
        c.RestoreState();
        c.RestoreState(); // nothing left to restore
        EXPECT_EQ(c.Brush.Color, clBlue);
        EXPECT_EQ(c.Font.Height, -13);
        c.FillRect({0, 45, 40, 50});
    });
    EXPECT_EQ(Row(image, 15, 8, 22), "..rrrrrrrrrr..");
    EXPECT_EQ(image.pixel(15, 20), kWhite);
    EXPECT_EQ(image.pixel(5, 32), kWhite);
    EXPECT_EQ(image.pixel(5, 47), kBlue);
}

TEST(QtCanvasDevice, ResolutionComesFromTheDeviceAndOffsetsAreSettable) {
    QImage image = Filled(kWhite);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(23622);
    QtCanvas canvas(image);
    EXPECT_EQ(canvas.LogPixelsX(), 300);
    EXPECT_EQ(canvas.LogPixelsY(), 600);
    EXPECT_EQ(canvas.PhysicalOffsetX(), 0);
    canvas.SetPhysicalOffset(12, 34);
    EXPECT_EQ(canvas.PhysicalOffsetX(), 12);
    EXPECT_EQ(canvas.PhysicalOffsetY(), 34);
}

TEST(QtCanvasDevice, ABorrowedPainterIsLeftActiveAndUnclipped) {
    QImage image = Filled(kWhite);
    QPainter painter(&image);
    {
        QtCanvas canvas(painter);
        canvas.SaveState();
        canvas.IntersectClipRect({0, 0, 5, 5});
        canvas.Brush.Color = clRed;
        canvas.FillRect({0, 0, 10, 10});
    }
    EXPECT_TRUE(painter.isActive());
    EXPECT_FALSE(painter.hasClipping());
    painter.end();
    EXPECT_EQ(image.pixel(4, 4), kRed);
    EXPECT_EQ(image.pixel(5, 5), kWhite);
}

TEST(QtCanvasDevice, AScaledPainterStrokesWithQtAndKeepsGeometryAndGaps) {
    QImage image = Filled(kWhite, 100, 80);
    QPainter painter(&image);
    painter.scale(2, 2);
    {
        QtCanvas canvas(painter);
        canvas.Brush.Color = clRed;
        canvas.Rectangle(5, 5, 15, 15);
        canvas.Pen.Style = TPenStyle::psDash;
        canvas.MoveTo(0, 30);
        canvas.LineTo(45, 30);
    }
    painter.end();
    EXPECT_EQ(image.pixel(10, 20), kBlack);
    EXPECT_EQ(image.pixel(28, 20), kBlack);
    EXPECT_EQ(image.pixel(20, 20), kRed);
    EXPECT_EQ(image.pixel(30, 20), kWhite);
    EXPECT_EQ(Row(image, 60, 0, 88), Pattern(88, 18, '#', 6, 'r'));
}

TEST(QtCanvasRobustness, ExtremeCoordinatesNeitherCrashNorHang) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    const QImage image = Draw([](QtCanvas& c) {
        c.Brush.Color = clRed;
        c.Rectangle(lo, lo, hi, hi);
        c.Ellipse(hi, lo, lo, hi);
        c.RoundRect(lo, lo, hi, hi, lo, hi);
        c.MoveTo(lo, 10);
        c.LineTo(hi, 10);
        c.Pen.Style = TPenStyle::psDot;
        c.Polyline(std::vector<TPoint>{{lo, lo}, {hi, hi}, {0, lo}});
        c.SetTextJustification(hi, 1);
        c.TextOut(lo, hi, "a b");
        c.TextRect({lo, lo, hi, hi}, 0, 0, "a b");
        c.Font.Escapement = lo;
        c.TextOut(10, 10, "x");
        c.StretchDIBits({lo, lo, hi, hi}, {hi, hi, lo, lo}, TDib{});
        c.IntersectClipRect({hi, hi, lo, lo});
    });
    EXPECT_EQ(image.pixel(40, 30), kRed);
}
