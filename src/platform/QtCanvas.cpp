#include "QtCanvas.h"

#include "QtTextMetrics.h"

#include <QBrush>
#include <QColor>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace kovet {
namespace {

// The original platform kept coordinates to 27 bits; clamping every input there keeps the
// arithmetic below free of overflow whatever a caller passes.
constexpr std::int32_t kMaxCoordinate = 1 << 27;
// Figures whose points all lie this close to the origin are walked pixel by pixel.
constexpr std::int32_t kMaxWalkedCoordinate = 1 << 15;

// Cosmetic pen patterns in pixels, on and off.
constexpr std::array<int, 2> kDashPattern = {18, 6};
constexpr std::array<int, 2> kDotPattern = {3, 3};

// Hatch tiles, one byte per row, the leftmost pixel in the high bit.
constexpr std::array<std::uint8_t, 8> kFDiagonalTile = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
constexpr std::array<std::uint8_t, 8> kDiagCrossTile = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};

// The on and off runs of a one-pixel pen; none for a solid pen.
const std::array<int, 2>* PatternOf(TPenStyle style) {
    if (style == TPenStyle::psDash) return &kDashPattern;
    if (style == TPenStyle::psDot) return &kDotPattern;
    return nullptr;
}

std::int32_t Clamp(std::int32_t v) {
    return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}

TPoint Clamp(TPoint p) {
    return {Clamp(p.X), Clamp(p.Y)};
}

// A box with its corners ordered, as the original platform orders them.
struct Box {
    std::int32_t l, t, r, b;
    bool Empty() const { return l == r || t == b; }
    QRect ToQRect() const { return QRect(l, t, r - l, b - t); }
};

Box Ordered(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    l = Clamp(l), t = Clamp(t), r = Clamp(r), b = Clamp(b);
    return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

Box Ordered(const TRect& r) {
    return Ordered(r.Left, r.Top, r.Right, r.Bottom);
}

QBrush HatchBrush(const std::array<std::uint8_t, 8>& tile, const QColor& color) {
    // The gaps stay transparent: the original canvas drew only solid brushes opaquely.
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (tile[std::size_t(y)] & (0x80 >> x)) image.setPixelColor(x, y, color);
        }
    }
    return QBrush(image);
}

// Collects the pixels of a walked line into horizontal or vertical runs of one colour and
// fills each run as a rectangle, so that the painter's raster operation touches every pixel once.
class RunPainter {
public:
    explicit RunPainter(QPainter& painter) : painter_(painter) {}
    ~RunPainter() { Flush(); }
    RunPainter(const RunPainter&) = delete;
    RunPainter& operator=(const RunPainter&) = delete;

    void Add(int x, int y, const QColor& color) {
        if (active_ && color == color_ && Extends(x, y)) {
            minX_ = std::min(minX_, x), maxX_ = std::max(maxX_, x);
            minY_ = std::min(minY_, y), maxY_ = std::max(maxY_, y);
            return;
        }
        Flush();
        active_ = true;
        color_ = color;
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
    }

    void Flush() {
        if (active_) painter_.fillRect(QRect(minX_, minY_, maxX_ - minX_ + 1, maxY_ - minY_ + 1), color_);
        active_ = false;
    }

private:
    bool Extends(int x, int y) const {
        const bool single = minX_ == maxX_ && minY_ == maxY_;
        if (y == minY_ && (single || minY_ == maxY_)) return x == maxX_ + 1 || x == minX_ - 1;
        if (x == minX_ && (single || minX_ == maxX_)) return y == maxY_ + 1 || y == minY_ - 1;
        return false;
    }

    QPainter& painter_;
    bool active_ = false;
    QColor color_;
    int minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};

// The pixels of a one-pixel line from a towards b, b itself excluded.
template <typename Plot> void WalkLine(TPoint a, TPoint b, Plot plot) {
    const int dx = b.X - a.X, dy = b.Y - a.Y;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    int x = a.X, y = a.Y;
    if (adx >= ady) {
        int err = 2 * ady - adx;
        for (int i = 0; i < adx; ++i, x += sx, err += 2 * ady) {
            plot(x, y);
            if (err > 0) y += sy, err -= 2 * adx;
        }
    } else {
        int err = 2 * adx - ady;
        for (int i = 0; i < ady; ++i, y += sy, err += 2 * adx) {
            plot(x, y);
            if (err > 0) x += sx, err -= 2 * ady;
        }
    }
}

std::vector<std::int32_t> JustifiedAdvances(const QtGlyphs& glyphs, std::int32_t extra, std::int32_t count) {
    std::vector<std::int32_t> advances = glyphs.Advances;
    if (count <= 0 || extra == 0) return advances;
    const std::int32_t each = extra / count;
    std::int32_t remainder = extra - each * count;
    for (std::size_t i = 0; i < advances.size(); ++i) {
        if (!glyphs.Blank[i]) continue;
        advances[i] += each;
        if (remainder > 0) ++advances[i], --remainder;
    }
    return advances;
}

// The advance of each glyph: the given advances of its code units summed, or the font's
// widened by the justification when none are given.
std::vector<std::int32_t> GlyphAdvances(const QtGlyphs& glyphs, std::span<const std::int32_t> given, std::int32_t extra,
                                        std::int32_t count) {
    if (given.empty()) return JustifiedAdvances(glyphs, extra, count);
    std::vector<std::int32_t> advances;
    advances.reserve(glyphs.Units.size());
    std::size_t unit = 0;
    for (const std::uint8_t units : glyphs.Units) {
        const std::size_t end = std::min(unit + units, given.size());
        std::int64_t sum = 0;
        for (; unit < end; ++unit)
            sum += given[unit];
        advances.push_back(std::int32_t(std::clamp<std::int64_t>(sum, -kMaxCoordinate, kMaxCoordinate)));
    }
    return advances;
}

std::int64_t Sum(const std::vector<std::int32_t>& values) {
    std::int64_t sum = 0;
    for (const std::int32_t v : values)
        sum += v;
    return sum;
}

void PreparePainter(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

} // namespace

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

QtCanvas::QtCanvas(QPaintDevice& device)
    : ownPainter_(std::make_unique<QPainter>(&device)), painter_(ownPainter_.get()) {
    PreparePainter(*painter_);
}

QtCanvas::QtCanvas(QPainter& painter) : painter_(&painter) {
    PreparePainter(*painter_);
}

QtCanvas::~QtCanvas() {
    while (!saved_.empty())
        RestoreState();
}

std::int32_t QtCanvas::OutlineWidth() const {
    if (Pen.Style == TPenStyle::psClear) return 0;
    return std::clamp(Pen.Width, 1, kMaxCoordinate);
}

qreal QtCanvas::CurveCentre() const {
    // An outlined curve runs through the centres of the outermost pixels, l + 0.5 to r - 0.5,
    // when its pen has an odd width; an even-width pen is centred between two pixels, on
    // their shared edge, as GDI draws it. A bare fill takes the pixels whose centres lie
    // inside l to r - 1, one fewer each way.
    return PenCentre(OutlineWidth());
}

qreal QtCanvas::PenCentre(std::int32_t width) {
    return width % 2 == 1 ? 0.5 : 0.0;
}

bool QtCanvas::Opaque() const {
    return Brush.Style == TBrushStyle::bsSolid;
}

void QtCanvas::ApplyPenMode() {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const QPaintEngine* engine = painter_->paintEngine();
    if (engine && engine->hasFeature(QPaintEngine::RasterOpModes)) {
        if (Pen.Mode == TPenMode::pmXor) mode = QPainter::RasterOp_SourceXorDestination;
        if (Pen.Mode == TPenMode::pmNotXor) mode = QPainter::RasterOp_NotSourceXorDestination;
    }
    painter_->setCompositionMode(mode);
}

void QtCanvas::UseBrushFor(QPainter& painter) const {
    const QColor color = ToQColor(Brush.Color);
    switch (Brush.Style) {
    case TBrushStyle::bsSolid: painter.setBrush(color); break;
    case TBrushStyle::bsFDiagonal: painter.setBrush(HatchBrush(kFDiagonalTile, color)); break;
    case TBrushStyle::bsDiagCross: painter.setBrush(HatchBrush(kDiagCrossTile, color)); break;
    case TBrushStyle::bsClear: painter.setBrush(Qt::NoBrush); break;
    }
    // Hatches are aligned to the device, not to the shape.
    painter.setBrushOrigin(painter.deviceTransform().inverted().map(QPointF(0, 0)));
}

void QtCanvas::FillPath(const QPainterPath& path) {
    if (Brush.Style == TBrushStyle::bsClear) return;
    painter_->setPen(Qt::NoPen);
    UseBrushFor(*painter_);
    painter_->drawPath(path);
}

void QtCanvas::StrokePath(const QPainterPath& path) {
    const std::int32_t width = OutlineWidth();
    if (width == 0) return;
    painter_->setBrush(Qt::NoBrush);
    if (width > 1) {
        // Wide pens are geometric: always solid, with round ends and joins.
        painter_->setPen(QPen(ToQColor(Pen.Color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter_->drawPath(path);
        return;
    }
    QPen pen(ToQColor(Pen.Color), 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (const std::array<int, 2>* pattern = PatternOf(Pen.Style)) {
        const auto [on, off] = *pattern;
        if (Opaque()) {
            // The gaps, as a pattern shifted to fall exactly between the dashes.
            QPen gaps(ToQColor(Brush.Color), 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            gaps.setDashPattern({qreal(off), qreal(on)});
            gaps.setDashOffset(off);
            painter_->setPen(gaps);
            painter_->drawPath(path);
        }
        pen.setDashPattern({qreal(on), qreal(off)});
    }
    painter_->setPen(pen);
    painter_->drawPath(path);
}

bool QtCanvas::DrawsPixelsExactly(std::span<const TPoint> points) const {
    const QPaintEngine* engine = painter_->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return false;
    const QTransform t = painter_->combinedTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy())) {
        return false;
    }
    return std::all_of(points.begin(), points.end(), [](TPoint p) {
        return std::abs(p.X) <= kMaxWalkedCoordinate && std::abs(p.Y) <= kMaxWalkedCoordinate;
    });
}

void QtCanvas::RasterizeFigure(std::span<const TPoint> points, bool closed) {
    const QColor penColor = ToQColor(Pen.Color);
    const std::optional<QColor> gapColor = Opaque() ? std::optional(ToQColor(Brush.Color)) : std::nullopt;
    const std::array<int, 2>* pattern = PatternOf(Pen.Style);
    // The pattern runs on from segment to segment and starts afresh with each figure.
    std::size_t phase = 0;
    int left = pattern ? (*pattern)[0] : 0;
    RunPainter runs(*painter_);
    const auto plot = [&](int x, int y) {
        bool on = true;
        if (pattern) {
            on = phase == 0;
            if (--left == 0) phase = 1 - phase, left = (*pattern)[phase];
        }
        if (on) {
            runs.Add(x, y, penColor);
        } else if (gapColor) {
            runs.Add(x, y, *gapColor);
        } else {
            runs.Flush();
        }
    };
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        WalkLine(points[i], points[i + 1], plot);
    if (closed) WalkLine(points.back(), points.front(), plot);
}

void QtCanvas::StrokeFigure(std::span<const TPoint> points, bool closed) {
    const std::int32_t width = OutlineWidth();
    if (width == 0 || points.size() < 2) return;
    if (width == 1 && DrawsPixelsExactly(points)) {
        RasterizeFigure(points, closed);
        return;
    }
    // A wide pen of odd width is centred on the pixels the figure passes through, one of even
    // width on the edge before them (width 2 on x covers x - 1 and x, as in GDI); a cosmetic
    // pen marks the pixel to the right of and below each point, which is the pixel itself.
    const qreal centre = width > 1 ? PenCentre(width) : 0.0;
    QPainterPath path;
    path.moveTo(points.front().X + centre, points.front().Y + centre);
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i].X + centre, points[i].Y + centre);
    if (closed) path.closeSubpath();
    StrokePath(path);
}

void QtCanvas::FillRect(const TRect& r) {
    const Box box = Ordered(r);
    if (box.Empty() || Brush.Style == TBrushStyle::bsClear) return;
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPainterPath path;
    path.addRect(box.ToQRect());
    FillPath(path);
}

void QtCanvas::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    const Box box = Ordered(l, t, r, b);
    if (box.Empty()) return;
    ApplyPenMode();
    // The outline runs through the outermost pixels of the box, l to r - 1 and t to b - 1;
    // the fill takes what the pen leaves inside, so a clear pen leaves the last pixels bare.
    const std::int32_t w = OutlineWidth();
    const QRectF interior(QPointF(box.l + (w + 1) / 2, box.t + (w + 1) / 2),
                          QPointF(box.r - 1 - w / 2, box.b - 1 - w / 2));
    if (interior.width() > 0 && interior.height() > 0) {
        QPainterPath path;
        path.addRect(interior);
        FillPath(path);
    }
    // Drawn as the original did: from the top-right corner, anticlockwise on screen.
    const std::array<TPoint, 4> corners = {
        {{box.r - 1, box.t}, {box.l, box.t}, {box.l, box.b - 1}, {box.r - 1, box.b - 1}}};
    StrokeFigure(corners, true);
}

void QtCanvas::RoundRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                         std::int32_t h) {
    const Box box = Ordered(l, t, r, b);
    if (box.Empty()) return;
    const std::int32_t cornerW = std::min(std::abs(Clamp(w)), box.r - box.l);
    const std::int32_t cornerH = std::min(std::abs(Clamp(h)), box.b - box.t);
    if (cornerW <= 2 || cornerH <= 2) {
        Rectangle(l, t, r, b);
        return;
    }
    ApplyPenMode();
    const qreal centre = CurveCentre();
    QPainterPath path;
    path.addRoundedRect(QRectF(box.l + centre, box.t + centre, box.r - box.l - 1, box.b - box.t - 1), cornerW / 2.0,
                        cornerH / 2.0);
    FillPath(path);
    StrokePath(path);
}

void QtCanvas::Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    const Box box = Ordered(l, t, r, b);
    if (box.Empty()) return;
    ApplyPenMode();
    const qreal centre = CurveCentre();
    QPainterPath path;
    path.addEllipse(QRectF(box.l + centre, box.t + centre, box.r - box.l - 1, box.b - box.t - 1));
    FillPath(path);
    StrokePath(path);
}

void QtCanvas::MoveTo(std::int32_t x, std::int32_t y) {
    position_ = {Clamp(x), Clamp(y)};
}

void QtCanvas::LineTo(std::int32_t x, std::int32_t y) {
    const std::array<TPoint, 2> line = {position_, TPoint{Clamp(x), Clamp(y)}};
    ApplyPenMode();
    StrokeFigure(line, false);
    position_ = line[1];
}

void QtCanvas::Polyline(std::span<const TPoint> points) {
    if (points.size() < 2) return;
    std::vector<TPoint> clamped(points.size());
    std::transform(points.begin(), points.end(), clamped.begin(), [](TPoint p) { return Clamp(p); });
    ApplyPenMode();
    StrokeFigure(clamped, false);
}

void QtCanvas::PolyPolygon(std::span<const std::vector<TPoint>> polygons, TPolyFillMode mode) {
    // As on the original platform, one polygon of fewer than two points fails the whole call.
    if (polygons.empty() ||
        std::any_of(polygons.begin(), polygons.end(), [](const auto& polygon) { return polygon.size() < 2; })) {
        return;
    }
    std::vector<std::vector<TPoint>> clamped;
    QPainterPath path;
    path.setFillRule(mode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    for (const std::vector<TPoint>& polygon : polygons) {
        std::vector<TPoint>& points = clamped.emplace_back(polygon.size());
        std::transform(polygon.begin(), polygon.end(), points.begin(), [](TPoint p) { return Clamp(p); });
        path.moveTo(points.front().X, points.front().Y);
        for (std::size_t i = 1; i < points.size(); ++i)
            path.lineTo(points[i].X, points[i].Y);
        path.closeSubpath();
    }
    ApplyPenMode();
    FillPath(path);
    for (const std::vector<TPoint>& points : clamped)
        StrokeFigure(points, true);
}

void QtCanvas::DrawText(std::int32_t x, std::int32_t y, std::string_view text, bool cellBackground) {
    // No text draws nothing, not even an opaque cell: it has no width.
    if (text.empty()) return;
    painter_->save();
    PlaceText(x, y, text, cellBackground);
    painter_->restore();
}

void QtCanvas::PlaceText(std::int32_t x, std::int32_t y, std::string_view text, bool cellBackground) {
    const QtFontFace face = FaceFor(Font);
    const QString chars = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QtGlyphs glyphs = LayOutText(face, chars);
    const std::vector<std::int32_t> advances =
        GlyphAdvances(glyphs, TextAdvancesFor(std::size_t(chars.size())), justifyExtra_, justifyCount_);

    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->translate(Clamp(x), Clamp(y));
    if (Font.Escapement != 0) painter_->rotate(-(Font.Escapement / 10.0)); // counter-clockwise on screen
    if (cellBackground && Opaque()) {
        painter_->fillRect(QRectF(0, 0, qreal(Sum(advances)), face.CellHeight()), ToQColor(Brush.Color));
    }
    if (!glyphs.Indexes.isEmpty()) {
        QList<QPointF> positions;
        qreal pen = 0;
        for (const std::int32_t advance : advances) {
            positions.append(QPointF(pen, 0));
            pen += advance;
        }
        QGlyphRun run;
        run.setRawFont(face.Raw);
        run.setGlyphIndexes(glyphs.Indexes);
        run.setPositions(positions);
        painter_->setPen(ToQColor(Font.Color));
        painter_->drawGlyphRun(QPointF(0, face.Ascent), run);
    }
    DrawTextLines(face, qreal(Sum(advances)));
}

void QtCanvas::DrawTextLines(const QtFontFace& face, qreal width) {
    // Underline and strike-out span the whole output, blanks and justification included.
    const QFontMetricsF metrics(face.Font);
    const qreal thickness = std::max<qreal>(1, std::round(metrics.lineWidth()));
    const QColor color = ToQColor(Font.Color);
    const auto bar = [&](qreal centre) {
        painter_->fillRect(QRectF(0, std::round(centre - thickness / 2), width, thickness), color);
    };
    if (Font.Style & fsUnderlineBit) bar(face.Ascent + std::max<qreal>(1, metrics.underlinePos()));
    if (Font.Style & fsStrikeOutBit) bar(face.Ascent - metrics.strikeOutPos());
}

void QtCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    DrawText(x, y, text, true);
}

void QtCanvas::TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text) {
    const Box box = Ordered(clip);
    // Every empty field of a printed page comes here: without text or an opaque background
    // there is nothing to draw, and a PDF page would still record the clip and its restoring.
    if (box.Empty() || (text.empty() && !Opaque())) return;
    painter_->save();
    painter_->setClipRect(box.ToQRect(), Qt::IntersectClip);
    if (Opaque()) {
        // An opaque output fills its whole clip rectangle, not just the text's cell.
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->fillRect(box.ToQRect(), ToQColor(Brush.Color));
    }
    // One saved state for clip and text: each restore costs a PDF page a state change.
    if (!text.empty()) PlaceText(x, y, text, false);
    painter_->restore();
}

TSize QtCanvas::TextExtent(std::string_view text) {
    const QtFontFace face = FaceFor(Font);
    const QString chars = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QtGlyphs glyphs = LayOutText(face, chars);
    const std::int64_t width =
        Sum(GlyphAdvances(glyphs, TextAdvancesFor(std::size_t(chars.size())), justifyExtra_, justifyCount_));
    return {std::int32_t(std::clamp<std::int64_t>(width, -kMaxCoordinate, kMaxCoordinate)), face.CellHeight()};
}

std::int32_t QtCanvas::TextAscent() {
    return FaceFor(Font).Ascent;
}

void QtCanvas::SetTextJustification(std::int32_t extra, std::int32_t count) {
    const bool off = extra == 0 || count <= 0;
    justifyExtra_ = off ? 0 : Clamp(extra);
    justifyCount_ = off ? 0 : count;
}

void QtCanvas::StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) {
    Box d = Ordered(dest), s = Ordered(source);
    if (d.Empty() || s.Empty()) return;
    // Opposite directions of source and destination mirror the picture.
    const bool flipX = (std::int64_t(dest.Right) < dest.Left) != (std::int64_t(source.Right) < source.Left);
    const bool flipY = (std::int64_t(dest.Bottom) < dest.Top) != (std::int64_t(source.Bottom) < source.Top);
    // As on the original platform, a bitmap that does not read draws nothing.
    const QImage image = dibImages_.Image(dib, flipX, flipY);
    if (image.isNull()) return;
    if (flipX) s = {image.width() - s.r, s.t, image.width() - s.l, s.b};
    if (flipY) s = {s.l, image.height() - s.b, s.r, image.height() - s.t};
    // Only the part of the source inside the bitmap is drawn, onto the matching part of dest.
    const QRectF src(s.l, s.t, s.r - s.l, s.b - s.t);
    const QRectF dst(d.l, d.t, d.r - d.l, d.b - d.t);
    const QRectF visible = src.intersected(QRectF(image.rect()));
    if (visible.isEmpty()) return;
    const qreal sx = dst.width() / src.width(), sy = dst.height() / src.height();
    const QRectF target(dst.left() + (visible.left() - src.left()) * sx, dst.top() + (visible.top() - src.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->drawImage(target, image, visible);
}

void QtCanvas::SaveState() {
    saved_.push_back({Pen, Brush, Font, position_, justifyExtra_, justifyCount_, textAdvances_});
    painter_->save();
}

void QtCanvas::RestoreState() {
    if (saved_.empty()) return;
    painter_->restore();
    const SavedState& state = saved_.back();
    Pen = state.Pen;
    Brush = state.Brush;
    Font = state.Font;
    position_ = state.Position;
    justifyExtra_ = state.JustifyExtra;
    justifyCount_ = state.JustifyCount;
    textAdvances_ = state.Advances;
    saved_.pop_back();
}

void QtCanvas::IntersectClipRect(const TRect& r) {
    painter_->setClipRect(Ordered(r).ToQRect(), Qt::IntersectClip);
}

std::int32_t QtCanvas::LogPixelsX() const {
    return painter_->device() ? painter_->device()->logicalDpiX() : 96;
}

std::int32_t QtCanvas::LogPixelsY() const {
    return painter_->device() ? painter_->device()->logicalDpiY() : 96;
}

} // namespace kovet
