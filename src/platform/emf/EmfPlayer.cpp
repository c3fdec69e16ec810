#include "platform/emf/EmfPlayer.h"

#include "platform/Dib.h"
#include "platform/emf/EmfRecords.h"
#include "platform/emf/Metafile.h"
#include "storage/Text1252.h"
#include "storage/Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace kovet {
namespace {

// Coordinates stay in floating point through every transform and are rounded once, where
// they meet the canvas.
struct DPoint {
    double X = 0, Y = 0;
};

// Far beyond any page, yet small enough that a width or height between two of them still
// fits the canvas's 32-bit integers.
constexpr double kCoordinateLimit = 1 << 28;
// Pens and fonts beyond this many pixels are pinned to it.
constexpr double kSizeLimit = 32767;
// Flattened curves stay within this many pixels of the true curve.
constexpr double kFlatness = 0.25;
constexpr int kMaxArcSteps = 720;
constexpr int kMaxBezierSteps = 32;
constexpr double kBezierStepLength = 3;
// SaveDC levels beyond this are ignored.
constexpr std::size_t kMaxSavedStates = 1024;
// Pattern bitmaps larger than this are not averaged into a colour.
constexpr std::int64_t kMaxPatternPixels = 64 * 64;

std::int32_t ToPixel(double v) {
    if (std::isnan(v)) return 0;
    return std::int32_t(std::lround(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)));
}

TPoint ToPixels(DPoint p) {
    return {ToPixel(p.X), ToPixel(p.Y)};
}

std::vector<TPoint> ToPixels(const std::vector<DPoint>& points) {
    std::vector<TPoint> out;
    out.reserve(points.size());
    for (const DPoint& p : points)
        out.push_back(ToPixels(p));
    return out;
}

// A size in pixels, rounded, never negative and at most kSizeLimit.
std::int32_t ToSize(double v) {
    if (!(v > 0)) return 0;
    return std::int32_t(std::lround(std::min(v, kSizeLimit)));
}

// How many steps a curve needs when `wanted` would be exact: at least one, at most `most`.
int StepCount(double wanted, int most) {
    if (!(wanted > 1)) return 1;
    return wanted >= most ? most : int(std::ceil(wanted));
}

std::int32_t Clamp32(std::int64_t v) {
    return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Colour references may carry palette flags in the high byte; only the RGB part is drawn.
TColor RgbOf(TColor color) {
    return color & 0x00FFFFFF;
}

// A transform in GDI's row-vector form: x' = x * m11 + y * m21 + dx, y' = x * m12 + y * m22 + dy.
struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    DPoint Apply(double x, double y) const { return {x * m11 + y * m21 + dx, x * m12 + y * m22 + dy}; }
    DPoint Apply(DPoint p) const { return Apply(p.X, p.Y); }
    // This transform, then `next`.
    Affine Then(const Affine& next) const {
        return {m11 * next.m11 + m12 * next.m21,         m11 * next.m12 + m12 * next.m22,
                m21 * next.m11 + m22 * next.m21,         m21 * next.m12 + m22 * next.m22,
                dx * next.m11 + dy * next.m21 + next.dx, dx * next.m12 + dy * next.m22 + next.dy};
    }
    double Determinant() const { return m11 * m22 - m12 * m21; }
    bool AxisAligned() const { return m12 == 0 && m21 == 0; }
    // How long a logical unit along x, and along y, becomes.
    double ScaleX() const { return std::hypot(m11, m12); }
    double ScaleY() const { return std::hypot(m21, m22); }
};

std::optional<Affine> FromXForm(const XForm& x) {
    const Affine a{x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy};
    for (double v : {a.m11, a.m12, a.m21, a.m22, a.dx, a.dy}) {
        if (!std::isfinite(v)) return std::nullopt;
    }
    return a;
}

// The drawing objects of the metafile, in logical units.
struct LogPen {
    TPenStyle Style = TPenStyle::psSolid;
    double Width = 0; // 0: one device pixel, whatever the transform
    TColor Color = clBlack;
};

struct LogBrush {
    TBrushStyle Style = TBrushStyle::bsSolid;
    TColor Color = clWhite;
};

struct LogFont {
    std::string Name = "System";
    std::int32_t Height = 16; // 0: the default size
    std::int32_t Escapement = 0;
    std::uint8_t Style = 0;
    std::uint8_t CharSet = 1;
};

using GdiObject = std::variant<LogPen, LogBrush, LogFont>;

LogPen MakePen(std::uint32_t style, double width, TColor color) {
    LogPen pen;
    pen.Width = std::abs(width);
    pen.Color = RgbOf(color);
    switch (style & PS_STYLE_MASK) {
    case PS_NULL: pen.Style = TPenStyle::psClear; break;
    case PS_DASH:
    case PS_DASHDOT:
    case PS_DASHDOTDOT: pen.Style = TPenStyle::psDash; break;
    case PS_DOT:
    case PS_ALTERNATE: pen.Style = TPenStyle::psDot; break;
    default: pen.Style = TPenStyle::psSolid; break; // solid, inside-frame, user-styled
    }
    return pen;
}

// The canvas knows two hatches; the single-line hatches become the diagonal one, the crossed
// ones the diagonal cross.
LogBrush MakeHatchBrush(std::uint32_t hatch, TColor color) {
    switch (hatch) {
    case HS_HORIZONTAL:
    case HS_VERTICAL:
    case HS_FDIAGONAL:
    case HS_BDIAGONAL: return {TBrushStyle::bsFDiagonal, RgbOf(color)};
    case HS_CROSS:
    case HS_DIAGCROSS: return {TBrushStyle::bsDiagCross, RgbOf(color)};
    default: return {TBrushStyle::bsSolid, RgbOf(color)};
    }
}

// A pattern brush is drawn solid in the average colour of its pattern.
LogBrush MakePatternBrush(const TDib& dib) {
    constexpr TColor fallback = clGray;
    try {
        const TDibFormat format = ReadDibFormat(dib);
        if (std::int64_t(format.Width) * format.Height > kMaxPatternPixels) return {TBrushStyle::bsSolid, fallback};
        const TDibPixels image = DecodeDib(dib);
        if (image.Pixels.empty()) return {TBrushStyle::bsSolid, fallback};
        std::uint64_t r = 0, g = 0, b = 0;
        for (std::uint32_t pixel : image.Pixels) {
            r += (pixel >> 16) & 0xFF;
            g += (pixel >> 8) & 0xFF;
            b += pixel & 0xFF;
        }
        const std::uint64_t n = image.Pixels.size();
        return {TBrushStyle::bsSolid, TColor((b / n) << 16 | (g / n) << 8 | (r / n))};
    } catch (const EDibError&) {
        return {TBrushStyle::bsSolid, fallback};
    }
}

std::optional<GdiObject> StockObject(std::uint32_t index) {
    switch (index) {
    case WHITE_BRUSH:
    case DC_BRUSH: return LogBrush{TBrushStyle::bsSolid, clWhite};
    case LTGRAY_BRUSH: return LogBrush{TBrushStyle::bsSolid, clSilver};
    case GRAY_BRUSH: return LogBrush{TBrushStyle::bsSolid, clGray};
    case DKGRAY_BRUSH: return LogBrush{TBrushStyle::bsSolid, 0x404040};
    case BLACK_BRUSH: return LogBrush{TBrushStyle::bsSolid, clBlack};
    case NULL_BRUSH: return LogBrush{TBrushStyle::bsClear, clWhite};
    case WHITE_PEN: return LogPen{TPenStyle::psSolid, 0, clWhite};
    case BLACK_PEN:
    case DC_PEN: return LogPen{TPenStyle::psSolid, 0, clBlack};
    case NULL_PEN: return LogPen{TPenStyle::psClear, 0, clBlack};
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: return LogFont{"Courier New", 16, 0, 0, 1};
    case ANSI_VAR_FONT: return LogFont{"MS Sans Serif", 13, 0, 0, 1};
    case DEFAULT_GUI_FONT: return LogFont{"MS Shell Dlg", -11, 0, 0, 1};
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: return LogFont{};
    default: return std::nullopt; // palettes and unknown indices
    }
}

// The parameter bytes a record type needs; a shorter record of the type is skipped.
std::size_t FixedSize(std::uint32_t type) {
    switch (type) {
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETTEXTALIGN:
    case EMR_SETARCDIRECTION:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_RESTOREDC:
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT: return EmrValue::kSize;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_MOVETOEX:
    case EMR_LINETO: return EmrPoint::kSize;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: return EmrScaleExtent::kSize;
    case EMR_SETWORLDTRANSFORM: return EmrSetWorldTransform::kSize;
    case EMR_MODIFYWORLDTRANSFORM: return EmrModifyWorldTransform::kSize;
    case EMR_CREATEPEN: return EmrCreatePen::kSize;
    case EMR_EXTCREATEPEN: return EmrExtCreatePen::kSize;
    case EMR_CREATEBRUSHINDIRECT: return EmrCreateBrush::kSize;
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: return EmrCreateDibBrush::kSize;
    case EMR_EXTCREATEFONTINDIRECTW: return EmrCreateFont::kLogFontEnd;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_INTERSECTCLIPRECT: return EmrBox::kSize;
    case EMR_ROUNDRECT: return EmrRoundRect::kSize;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: return EmrArc::kSize;
    case EMR_ANGLEARC: return EmrAngleArc::kSize;
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: return EmrPoly::kSize;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: return EmrPolyPoly::kSize;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: return EmrExtTextOut::kSize;
    case EMR_STRETCHDIBITS: return EmrStretchDIBits::kSize;
    case EMR_BITBLT: return EmrBitBlt::kSize;
    case EMR_STRETCHBLT: return EmrStretchBlt::kSize;
    default: return EmrRec::kHeaderBytes;
    }
}

// The state SaveDC keeps (the clip is kept by the canvas).
struct DcState {
    LogPen Pen;
    LogBrush Brush;
    LogFont Font;
    TColor TextColor = clBlack;
    TColor BkColor = clWhite;
    std::int32_t BkMode = OPAQUE;
    std::int32_t PolyFillMode = ALTERNATE;
    std::int32_t Rop2 = R2_COPYPEN;
    std::int32_t ArcDirection = AD_COUNTERCLOCKWISE;
    std::uint32_t TextAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    std::int32_t MapMode = MM_TEXT;
    DPoint WindowOrg, ViewportOrg;
    DPoint WindowExt{1, 1}, ViewportExt{1, 1};
    Affine World;
    DPoint Position; // logical
};

// A path figure in device coordinates.
struct Figure {
    std::vector<DPoint> Points;
    bool Closed = false;
};

struct Path {
    bool Recording = false;  // between BEGINPATH and ENDPATH drawing adds figures instead
    bool FigureOpen = false; // the last figure goes on from the current position
    std::vector<Figure> Figures;
};

class Player {
public:
    Player(Canvas& canvas, const Affine& frameToDest, DPoint refPixels, DPoint refMillimeters, std::uint32_t handles)
        : canvas_(canvas), frameToDest_(frameToDest), refPixels_(refPixels), refMillimeters_(refMillimeters),
          handles_(handles) {
        UpdateTransform();
    }

    void Play(ConstBytes emf, std::size_t firstRecord) {
        canvas_.SaveState();
        EmfRecordReader reader(emf, firstRecord);
        EmfRecord record;
        while (reader.Next(record)) {
            if (record.Size < EmrRec::kHeaderBytes || record.Size > record.Bytes.size()) break;
            if (record.Type == EMR_EOF) break;
            if (record.Bytes.size() >= FixedSize(record.Type)) Dispatch(record.Type, record.Bytes);
        }
        for (; !saved_.empty(); saved_.pop_back())
            canvas_.RestoreState();
        canvas_.RestoreState();
    }

private:
    void Dispatch(std::uint32_t type, ConstBytes r) {
        switch (type) {
        case EMR_SETMAPMODE: SetMapMode(EmrValue::Mode.get(r)); break;
        case EMR_SETWINDOWEXTEX: SetExtent(dc_.WindowExt, EmrPoint::Extent.get(r)); break;
        case EMR_SETVIEWPORTEXTEX: SetExtent(dc_.ViewportExt, EmrPoint::Extent.get(r)); break;
        case EMR_SETWINDOWORGEX: SetOrigin(dc_.WindowOrg, EmrPoint::Point.get(r)); break;
        case EMR_SETVIEWPORTORGEX: SetOrigin(dc_.ViewportOrg, EmrPoint::Point.get(r)); break;
        case EMR_SCALEWINDOWEXTEX: ScaleExtent(dc_.WindowExt, r); break;
        case EMR_SCALEVIEWPORTEXTEX: ScaleExtent(dc_.ViewportExt, r); break;
        case EMR_SETWORLDTRANSFORM: SetWorldTransform(r); break;
        case EMR_MODIFYWORLDTRANSFORM: ModifyWorldTransform(r); break;

        case EMR_SAVEDC: SaveDc(); break;
        case EMR_RESTOREDC: RestoreDc(EmrValue::Relative.get(r)); break;
        case EMR_SETBKMODE: SetIf(dc_.BkMode, EmrValue::Mode.get(r), TRANSPARENT, OPAQUE); break;
        case EMR_SETPOLYFILLMODE: SetIf(dc_.PolyFillMode, EmrValue::Mode.get(r), ALTERNATE, WINDING); break;
        case EMR_SETROP2: SetIf(dc_.Rop2, EmrValue::Mode.get(r), R2_BLACK, R2_WHITE); break;
        case EMR_SETARCDIRECTION:
            SetIf(dc_.ArcDirection, EmrValue::Mode.get(r), AD_COUNTERCLOCKWISE, AD_CLOCKWISE);
            break;
        case EMR_SETTEXTALIGN: dc_.TextAlign = std::uint32_t(EmrValue::Mode.get(r)); break;
        case EMR_SETTEXTCOLOR: dc_.TextColor = RgbOf(EmrValue::Color.get(r)); break;
        case EMR_SETBKCOLOR: dc_.BkColor = RgbOf(EmrValue::Color.get(r)); break;
        case EMR_INTERSECTCLIPRECT: IntersectClip(r); break;

        case EMR_CREATEPEN: CreatePen(r); break;
        case EMR_EXTCREATEPEN: ExtCreatePen(r); break;
        case EMR_CREATEBRUSHINDIRECT: CreateBrush(r); break;
        case EMR_CREATEMONOBRUSH:
        case EMR_CREATEDIBPATTERNBRUSHPT: CreatePatternBrush(r); break;
        case EMR_EXTCREATEFONTINDIRECTW: CreateFont(r); break;
        case EMR_SELECTOBJECT: SelectObject(EmrValue::Object.get(r)); break;
        case EMR_DELETEOBJECT: objects_.erase(EmrValue::Object.get(r)); break;

        case EMR_MOVETOEX: MoveTo(EmrPoint::Point.get(r)); break;
        case EMR_LINETO: LineTo(EmrPoint::Point.get(r)); break;
        case EMR_RECTANGLE: Rectangle(EmrBox::Box.get(r)); break;
        case EMR_ROUNDRECT: RoundRect(EmrRoundRect::Box.get(r), EmrRoundRect::Corner.get(r)); break;
        case EMR_ELLIPSE: Ellipse(EmrBox::Box.get(r)); break;
        case EMR_ARC:
        case EMR_CHORD:
        case EMR_PIE:
        case EMR_ARCTO: Arc(type, r); break;
        case EMR_ANGLEARC: AngleArc(r); break;
        case EMR_POLYBEZIER:
        case EMR_POLYGON:
        case EMR_POLYLINE:
        case EMR_POLYBEZIERTO:
        case EMR_POLYLINETO:
        case EMR_POLYBEZIER16:
        case EMR_POLYGON16:
        case EMR_POLYLINE16:
        case EMR_POLYBEZIERTO16:
        case EMR_POLYLINETO16: Poly(type, r); break;
        case EMR_POLYPOLYLINE:
        case EMR_POLYPOLYGON:
        case EMR_POLYPOLYLINE16:
        case EMR_POLYPOLYGON16: PolyPoly(type, r); break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW: ExtTextOut(type, r); break;
        case EMR_STRETCHDIBITS: StretchDibits(r); break;
        case EMR_BITBLT:
        case EMR_STRETCHBLT: BitBlt(type, r); break;

        case EMR_BEGINPATH: path_ = Path{true, false, {}}; break;
        case EMR_ENDPATH: path_.Recording = false; break;
        case EMR_ABORTPATH:
        case EMR_SELECTCLIPPATH: path_ = Path{}; break;
        case EMR_CLOSEFIGURE: CloseFigure(); break;
        case EMR_FILLPATH: PaintPath(true, false); break;
        case EMR_STROKEANDFILLPATH: PaintPath(true, true); break;
        case EMR_STROKEPATH: PaintPath(false, true); break;
        default: break;
        }
    }

    // Mapping: logical -> world transform -> window/viewport -> reference-device pixels ->
    // the destination rectangle.

    void SetMapMode(std::int32_t mode) {
        // Units per millimetre of the metric and English modes.
        double unitsPerMm = 0;
        switch (mode) {
        case MM_TEXT: dc_.WindowExt = dc_.ViewportExt = {1, 1}; break;
        case MM_LOMETRIC:
        case MM_ISOTROPIC: unitsPerMm = 10; break;
        case MM_HIMETRIC: unitsPerMm = 100; break;
        case MM_LOENGLISH: unitsPerMm = 100 / 25.4; break;
        case MM_HIENGLISH: unitsPerMm = 1000 / 25.4; break;
        case MM_TWIPS: unitsPerMm = 1440 / 25.4; break;
        case MM_ANISOTROPIC: break;
        default: return;
        }
        if (unitsPerMm != 0) {
            dc_.WindowExt = {refMillimeters_.X * unitsPerMm, refMillimeters_.Y * unitsPerMm};
            dc_.ViewportExt = {refPixels_.X, -refPixels_.Y};
        }
        dc_.MapMode = mode;
        UpdateTransform();
    }

    void SetExtent(DPoint& extent, TSize value) {
        if (dc_.MapMode != MM_ISOTROPIC && dc_.MapMode != MM_ANISOTROPIC) return;
        if (value.cx == 0 || value.cy == 0) return;
        extent = {double(value.cx), double(value.cy)};
        FixIsotropic();
        UpdateTransform();
    }

    void ScaleExtent(DPoint& extent, ConstBytes r) {
        using namespace EmrScaleExtent;
        if (dc_.MapMode != MM_ISOTROPIC && dc_.MapMode != MM_ANISOTROPIC) return;
        const double xNum = XNum.get(r), xDenom = XDenom.get(r), yNum = YNum.get(r), yDenom = YDenom.get(r);
        if (xNum == 0 || xDenom == 0 || yNum == 0 || yDenom == 0) return;
        extent = {extent.X * xNum / xDenom, extent.Y * yNum / yDenom};
        FixIsotropic();
        UpdateTransform();
    }

    void SetOrigin(DPoint& origin, TPoint value) {
        origin = {double(value.X), double(value.Y)};
        UpdateTransform();
    }

    // In MM_ISOTROPIC a logical unit is equally long in x and y on the reference device: the
    // viewport extent that would stretch more is shrunk.
    void FixIsotropic() {
        if (dc_.MapMode != MM_ISOTROPIC) return;
        const double xDim = std::abs(dc_.ViewportExt.X * refMillimeters_.X / (refPixels_.X * dc_.WindowExt.X));
        const double yDim = std::abs(dc_.ViewportExt.Y * refMillimeters_.Y / (refPixels_.Y * dc_.WindowExt.Y));
        if (xDim > yDim) {
            dc_.ViewportExt.X *= yDim / xDim;
        } else if (yDim > xDim) {
            dc_.ViewportExt.Y *= xDim / yDim;
        }
    }

    void SetWorldTransform(ConstBytes r) {
        if (const auto x = FromXForm(EmrSetWorldTransform::Transform.get(r))) {
            dc_.World = *x;
            UpdateTransform();
        }
    }

    void ModifyWorldTransform(ConstBytes r) {
        using namespace EmrModifyWorldTransform;
        const std::int32_t mode = Mode.get(r);
        if (mode == MWT_IDENTITY) {
            dc_.World = Affine{};
        } else if (const auto x = FromXForm(Transform.get(r))) {
            if (mode == MWT_LEFTMULTIPLY) dc_.World = x->Then(dc_.World);
            if (mode == MWT_RIGHTMULTIPLY) dc_.World = dc_.World.Then(*x);
            if (mode == MWT_SET) dc_.World = *x;
        }
        UpdateTransform();
    }

    void UpdateTransform() {
        const double sx = dc_.ViewportExt.X / dc_.WindowExt.X, sy = dc_.ViewportExt.Y / dc_.WindowExt.Y;
        const Affine page{
            sx, 0, 0, sy, dc_.ViewportOrg.X - dc_.WindowOrg.X * sx, dc_.ViewportOrg.Y - dc_.WindowOrg.Y * sy};
        toDevice_ = dc_.World.Then(page).Then(frameToDest_);
    }

    DPoint Device(double x, double y) const { return toDevice_.Apply(x, y); }
    DPoint Device(TPoint p) const { return toDevice_.Apply(p.X, p.Y); }

    std::vector<DPoint> Device(const std::vector<TPoint>& points) const {
        std::vector<DPoint> out;
        out.reserve(points.size());
        for (const TPoint& p : points)
            out.push_back(Device(p));
        return out;
    }

    // The device rectangle covering the logical one from (l, t) to (r, b).
    TRect DeviceRect(double l, double t, double r, double b) const {
        const DPoint corners[] = {Device(l, t), Device(r, t), Device(l, b), Device(r, b)};
        DPoint lo = corners[0], hi = corners[0];
        for (const DPoint& c : corners) {
            lo = {std::min(lo.X, c.X), std::min(lo.Y, c.Y)};
            hi = {std::max(hi.X, c.X), std::max(hi.Y, c.Y)};
        }
        return {ToPixel(lo.X), ToPixel(lo.Y), ToPixel(hi.X), ToPixel(hi.Y)};
    }

    // DC state.

    static void SetIf(std::int32_t& target, std::int32_t value, std::int32_t lowest, std::int32_t highest) {
        if (value >= lowest && value <= highest) target = value;
    }

    void SaveDc() {
        if (saved_.size() >= kMaxSavedStates) return;
        saved_.push_back(dc_);
        canvas_.SaveState();
    }

    // Negative: that many levels back; positive: back to the state the n-th SaveDC saved.
    void RestoreDc(std::int32_t relative) {
        std::size_t levels = 0;
        if (relative < 0) levels = std::size_t(-std::int64_t(relative));
        if (relative > 0 && std::size_t(relative) <= saved_.size()) levels = saved_.size() - std::size_t(relative) + 1;
        if (levels == 0 || levels > saved_.size()) return;
        for (std::size_t i = 0; i < levels; ++i) {
            dc_ = std::move(saved_.back());
            saved_.pop_back();
            canvas_.RestoreState();
        }
        UpdateTransform();
    }

    void IntersectClip(ConstBytes r) {
        const TRect box = EmrBox::Box.get(r);
        canvas_.IntersectClipRect(DeviceRect(box.Left, box.Top, box.Right, box.Bottom));
    }

    // Objects. Handle 0 stands for the metafile itself; handles at or beyond the header's
    // table size are ignored.

    void Store(std::uint32_t handle, GdiObject object) {
        if (handle == 0 || handle >= handles_) return;
        objects_.insert_or_assign(handle, std::move(object));
    }

    void CreatePen(ConstBytes r) {
        using namespace EmrCreatePen;
        Store(Handle.get(r), MakePen(Style.get(r), Width.get(r), Color.get(r)));
    }

    void ExtCreatePen(ConstBytes r) {
        using namespace EmrExtCreatePen;
        const std::uint32_t style = Style.get(r);
        const bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
        LogPen pen = MakePen(style, geometric ? double(Width.get(r)) : 0.0, Color.get(r));
        if (BrushStyle.get(r) == BS_NULL) pen.Style = TPenStyle::psClear;
        Store(Handle.get(r), pen);
    }

    void CreateBrush(ConstBytes r) {
        using namespace EmrCreateBrush;
        const TColor color = RgbOf(Color.get(r));
        switch (Style.get(r)) {
        case BS_NULL: Store(Handle.get(r), LogBrush{TBrushStyle::bsClear, color}); break;
        case BS_HATCHED: Store(Handle.get(r), MakeHatchBrush(Hatch.get(r), color)); break;
        default: Store(Handle.get(r), LogBrush{TBrushStyle::bsSolid, color}); break;
        }
    }

    void CreatePatternBrush(ConstBytes r) {
        using namespace EmrCreateDibBrush;
        const TDib dib{RecordBlock(r, BmiOffset.get(r), BmiSize.get(r)),
                       RecordBlock(r, BitsOffset.get(r), BitsSize.get(r))};
        Store(Handle.get(r), MakePatternBrush(dib));
    }

    void CreateFont(ConstBytes r) {
        using namespace EmrCreateFont;
        LogFont font;
        font.Name = Utf16ToUtf8(ReadFaceName(r));
        if (font.Name.empty()) font.Name = TFont{}.Name;
        font.Height = Height.get(r);
        font.Escapement = Escapement.get(r);
        font.Style = std::uint8_t((Weight.get(r) >= 600 ? fsBoldBit : 0) | (Italic.get(r) ? fsItalicBit : 0) |
                                  (Underline.get(r) ? fsUnderlineBit : 0) | (StrikeOut.get(r) ? fsStrikeOutBit : 0));
        font.CharSet = CharSet.get(r);
        Store(Handle.get(r), font);
    }

    void SelectObject(std::uint32_t handle) {
        std::optional<GdiObject> object;
        if (IsStockObjectHandle(handle)) {
            object = StockObject(handle & ~ENHMETA_STOCK_OBJECT);
        } else if (const auto it = objects_.find(handle); it != objects_.end()) {
            object = it->second;
        }
        if (!object) return;
        if (const auto* pen = std::get_if<LogPen>(&*object)) dc_.Pen = *pen;
        if (const auto* brush = std::get_if<LogBrush>(&*object)) dc_.Brush = *brush;
        if (const auto* font = std::get_if<LogFont>(&*object)) dc_.Font = *font;
    }

    // What the canvas is given.

    void UsePen(bool visible) {
        TPen pen;
        pen.Color = dc_.Pen.Color;
        pen.Style = visible ? dc_.Pen.Style : TPenStyle::psClear;
        pen.Width = ToSize(dc_.Pen.Width * toDevice_.ScaleX());
        if (dc_.Rop2 == R2_XORPEN) pen.Mode = TPenMode::pmXor;
        if (dc_.Rop2 == R2_NOTXORPEN) pen.Mode = TPenMode::pmNotXor;
        canvas_.Pen = pen;
    }

    void UseBrush() { canvas_.Brush = TBrush{dc_.Brush.Color, dc_.Brush.Style}; }

    // Lines and text show the background colour in their gaps only in opaque background mode.
    void UseBackground() {
        canvas_.Brush = TBrush{dc_.BkColor, dc_.BkMode == OPAQUE ? TBrushStyle::bsSolid : TBrushStyle::bsClear};
    }

    TFont DeviceFont() {
        const LogFont& f = dc_.Font;
        TFont font;
        font.Name = f.Name;
        const double logical = f.Height != 0 ? f.Height : TFont{}.Height;
        const std::int32_t height = ToSize(std::abs(logical) * toDevice_.ScaleY());
        font.Height = std::max(height, 1) * (logical < 0 ? -1 : 1);
        font.Style = f.Style;
        font.Color = dc_.TextColor;
        font.CharSet = f.CharSet;
        // A rotating world transform turns the text with it; a mirroring one does not mirror it.
        double tenths = f.Escapement;
        if (toDevice_.Determinant() > 0) tenths += std::atan2(-toDevice_.m12, toDevice_.m11) * 1800 / std::numbers::pi;
        tenths = std::fmod(tenths, 3600);
        font.Escapement = std::isfinite(tenths) ? std::int32_t(std::lround(tenths)) : 0;
        return font;
    }

    // Figures: every shape ends as open polylines or closed polygons in device coordinates,
    // drawn at once or, inside a path bracket, added to the path.

    // `fromCurrent`: the points begin at the current position and go on the open figure.
    void StrokeOpen(std::vector<DPoint> points, bool fromCurrent) {
        if (path_.Recording) {
            if (fromCurrent && path_.FigureOpen && !path_.Figures.empty() && !points.empty()) {
                auto& figure = path_.Figures.back().Points;
                figure.insert(figure.end(), points.begin() + 1, points.end());
            } else {
                path_.Figures.push_back({std::move(points), false});
            }
            path_.FigureOpen = fromCurrent;
            return;
        }
        if (points.size() < 2) return;
        UsePen(true);
        UseBackground();
        canvas_.Polyline(ToPixels(points));
    }

    void FillPolygons(std::vector<std::vector<DPoint>> polygons, bool stroke) {
        if (path_.Recording) {
            for (auto& polygon : polygons)
                path_.Figures.push_back({std::move(polygon), true});
            path_.FigureOpen = false;
            return;
        }
        std::vector<std::vector<TPoint>> device;
        for (const auto& polygon : polygons) {
            if (polygon.size() >= 2) device.push_back(ToPixels(polygon));
        }
        if (device.empty()) return;
        UsePen(stroke);
        UseBrush();
        canvas_.PolyPolygon(device, dc_.PolyFillMode == WINDING ? TPolyFillMode::Winding : TPolyFillMode::Alternate);
    }

    void CloseFigure() {
        if (!path_.Recording) return;
        if (!path_.Figures.empty()) path_.Figures.back().Closed = true;
        path_.FigureOpen = false;
    }

    // Filling closes every figure, as GDI does.
    void PaintPath(bool fill, bool stroke) {
        std::vector<Figure> figures = std::move(path_.Figures);
        path_ = Path{};
        if (fill) {
            std::vector<std::vector<DPoint>> polygons;
            for (auto& figure : figures)
                polygons.push_back(std::move(figure.Points));
            FillPolygons(std::move(polygons), stroke);
            return;
        }
        for (auto& figure : figures) {
            if (figure.Closed && !figure.Points.empty()) figure.Points.push_back(figure.Points.front());
            StrokeOpen(std::move(figure.Points), false);
        }
    }

    // Lines and polygons.

    void MoveTo(TPoint p) {
        dc_.Position = {double(p.X), double(p.Y)};
        path_.FigureOpen = false;
    }

    void LineTo(TPoint p) {
        const DPoint from = Device(dc_.Position.X, dc_.Position.Y), to = Device(p);
        dc_.Position = {double(p.X), double(p.Y)};
        if (path_.Recording) {
            StrokeOpen({from, to}, true);
            return;
        }
        UsePen(true);
        UseBackground();
        canvas_.MoveTo(ToPixel(from.X), ToPixel(from.Y));
        canvas_.LineTo(ToPixel(to.X), ToPixel(to.Y));
    }

    // Cubic Bezier segments from `start` through the control points, three per segment.
    static void AppendBeziers(std::vector<DPoint>& out, DPoint start, const std::vector<DPoint>& controls) {
        out.push_back(start);
        for (std::size_t i = 0; i + 2 < controls.size(); i += 3) {
            const DPoint p0 = out.back(), p1 = controls[i], p2 = controls[i + 1], p3 = controls[i + 2];
            const double length = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
                                  std::hypot(p3.X - p2.X, p3.Y - p2.Y);
            const int steps = StepCount(length / kBezierStepLength, kMaxBezierSteps);
            for (int s = 1; s <= steps; ++s) {
                const double t = double(s) / steps, u = 1 - t;
                const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                out.push_back({a * p0.X + b * p1.X + c * p2.X + d * p3.X, a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y});
            }
        }
    }

    void Poly(std::uint32_t type, ConstBytes r) {
        const std::vector<TPoint> points = ReadPolyPoints(r);
        if (points.empty() || points.size() != EmrPoly::Count.get(r)) return;
        const bool bezier = type == EMR_POLYBEZIER || type == EMR_POLYBEZIER16;
        const bool bezierTo = type == EMR_POLYBEZIERTO || type == EMR_POLYBEZIERTO16;
        // A Bezier starts at its first point or the current position; three points per segment.
        if ((bezier && points.size() % 3 != 1) || (bezierTo && points.size() % 3 != 0)) return;
        const std::vector<DPoint> device = Device(points);
        const DPoint current = Device(dc_.Position.X, dc_.Position.Y);
        if (bezierTo || type == EMR_POLYLINETO || type == EMR_POLYLINETO16) {
            dc_.Position = {double(points.back().X), double(points.back().Y)};
        }
        switch (type) {
        case EMR_POLYLINE:
        case EMR_POLYLINE16: StrokeOpen(device, false); break;
        case EMR_POLYGON:
        case EMR_POLYGON16: FillPolygons({device}, true); break;
        case EMR_POLYLINETO:
        case EMR_POLYLINETO16: {
            std::vector<DPoint> line{current};
            line.insert(line.end(), device.begin(), device.end());
            StrokeOpen(std::move(line), true);
            break;
        }
        case EMR_POLYBEZIER:
        case EMR_POLYBEZIER16: {
            std::vector<DPoint> curve;
            AppendBeziers(curve, device.front(), {device.begin() + 1, device.end()});
            StrokeOpen(std::move(curve), false);
            break;
        }
        default: { // the Bezier-to forms
            std::vector<DPoint> curve;
            AppendBeziers(curve, current, device);
            StrokeOpen(std::move(curve), true);
            break;
        }
        }
    }

    void PolyPoly(std::uint32_t type, ConstBytes r) {
        using namespace EmrPolyPoly;
        const std::uint64_t polys = Polys.get(r), count = Count.get(r);
        const std::uint64_t pointSize = IsPoly16(type) ? 4 : 8;
        if (kCounts + 4 * polys + pointSize * count > r.size()) return;
        std::uint64_t total = 0;
        for (std::uint64_t i = 0; i < polys; ++i)
            total += readLE<std::uint32_t>(r, kCounts + 4 * i);
        if (total != count) return;
        std::vector<std::vector<DPoint>> figures;
        for (const auto& polygon : ReadPolyPolygons(r))
            figures.push_back(Device(polygon));
        if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) {
            FillPolygons(std::move(figures), true);
        } else {
            for (auto& figure : figures)
                StrokeOpen(std::move(figure), false);
        }
    }

    // Boxes. Rectangle, ellipse and arc boxes are stored inclusive of their right and bottom
    // edge; the shape covers up to one logical unit further.

    struct Box {
        double Left, Top, Right, Bottom;
    };

    static Box ShapeBox(const TRect& stored) {
        return {double(std::min(stored.Left, stored.Right)), double(std::min(stored.Top, stored.Bottom)),
                double(std::max(stored.Left, stored.Right)) + 1, double(std::max(stored.Top, stored.Bottom)) + 1};
    }

    std::vector<DPoint> Corners(const Box& b) const {
        return {Device(b.Left, b.Top), Device(b.Right, b.Top), Device(b.Right, b.Bottom), Device(b.Left, b.Bottom)};
    }

    bool NativeShapes() const { return !path_.Recording && toDevice_.AxisAligned(); }

    void Rectangle(const TRect& stored) {
        const Box b = ShapeBox(stored);
        if (!NativeShapes()) {
            FillPolygons({Corners(b)}, true);
            return;
        }
        const TRect d = DeviceRect(b.Left, b.Top, b.Right, b.Bottom);
        UsePen(true);
        UseBrush();
        canvas_.Rectangle(d.Left, d.Top, d.Right, d.Bottom);
    }

    void Ellipse(const TRect& stored) {
        const Box b = ShapeBox(stored);
        if (!NativeShapes()) {
            std::vector<DPoint> outline = EllipsePoints(b, 0, 2 * std::numbers::pi);
            outline.pop_back();
            FillPolygons({std::move(outline)}, true);
            return;
        }
        const TRect d = DeviceRect(b.Left, b.Top, b.Right, b.Bottom);
        UsePen(true);
        UseBrush();
        canvas_.Ellipse(d.Left, d.Top, d.Right, d.Bottom);
    }

    void RoundRect(const TRect& stored, TSize corner) {
        const Box b = ShapeBox(stored);
        const double w = std::min(std::abs(double(corner.cx)), b.Right - b.Left);
        const double h = std::min(std::abs(double(corner.cy)), b.Bottom - b.Top);
        if (!NativeShapes()) {
            const double rx = w / 2, ry = h / 2, pi = std::numbers::pi;
            std::vector<DPoint> outline;
            AppendArc(outline, {b.Right - rx, b.Top + ry}, rx, ry, 0, pi / 2);
            AppendArc(outline, {b.Left + rx, b.Top + ry}, rx, ry, pi / 2, pi / 2);
            AppendArc(outline, {b.Left + rx, b.Bottom - ry}, rx, ry, pi, pi / 2);
            AppendArc(outline, {b.Right - rx, b.Bottom - ry}, rx, ry, 3 * pi / 2, pi / 2);
            FillPolygons({std::move(outline)}, true);
            return;
        }
        const TRect d = DeviceRect(b.Left, b.Top, b.Right, b.Bottom);
        UsePen(true);
        UseBrush();
        canvas_.RoundRect(d.Left, d.Top, d.Right, d.Bottom, ToSize(w * toDevice_.ScaleX()),
                          ToSize(h * toDevice_.ScaleY()));
    }

    // Arcs are flattened in logical coordinates (angles counter-clockwise as seen with y
    // downwards) and then transformed.
    void AppendArc(std::vector<DPoint>& out, DPoint centre, double rx, double ry, double from, double sweep) const {
        const double radius = std::max(rx, ry) * std::max(toDevice_.ScaleX(), toDevice_.ScaleY());
        const double step = radius > kFlatness ? 2 * std::acos(1 - kFlatness / radius) : std::numbers::pi / 2;
        const int steps = StepCount(std::abs(sweep) / step, kMaxArcSteps);
        for (int i = 0; i <= steps; ++i) {
            const double a = from + sweep * i / steps;
            out.push_back(Device(centre.X + rx * std::cos(a), centre.Y - ry * std::sin(a)));
        }
    }

    std::vector<DPoint> EllipsePoints(const Box& b, double from, double sweep) const {
        std::vector<DPoint> out;
        AppendArc(out, {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2}, (b.Right - b.Left) / 2, (b.Bottom - b.Top) / 2,
                  from, sweep);
        return out;
    }

    // The arc runs from the ray through the start point to the ray through the end point, in
    // the arc direction as it appears on the device; equal rays make a whole ellipse.
    void Arc(std::uint32_t type, ConstBytes r) {
        const Box b = ShapeBox(EmrArc::Box.get(r));
        const DPoint centre{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
        const double rx = (b.Right - b.Left) / 2, ry = (b.Bottom - b.Top) / 2;
        const auto angleOf = [&](TPoint p) { return std::atan2(-(p.Y - centre.Y) / ry, (p.X - centre.X) / rx); };
        const double from = angleOf(EmrArc::Start.get(r)), to = angleOf(EmrArc::End.get(r));
        const bool increasing = (dc_.ArcDirection == AD_COUNTERCLOCKWISE) == (toDevice_.Determinant() > 0);
        double sweep = to - from;
        if (increasing && sweep <= 0) sweep += 2 * std::numbers::pi;
        if (!increasing && sweep >= 0) sweep -= 2 * std::numbers::pi;
        std::vector<DPoint> points = EllipsePoints(b, from, sweep);
        switch (type) {
        case EMR_ARC: StrokeOpen(std::move(points), false); break;
        case EMR_CHORD: FillPolygons({std::move(points)}, true); break;
        case EMR_PIE:
            points.insert(points.begin(), Device(centre.X, centre.Y));
            FillPolygons({std::move(points)}, true);
            break;
        default: { // ARCTO: a line from the current position to the arc, which ends there
            const double end = from + sweep;
            const DPoint current = Device(dc_.Position.X, dc_.Position.Y);
            dc_.Position = {centre.X + rx * std::cos(end), centre.Y - ry * std::sin(end)};
            points.insert(points.begin(), current);
            StrokeOpen(std::move(points), true);
            break;
        }
        }
    }

    void AngleArc(ConstBytes r) {
        using namespace EmrAngleArc;
        const TPoint c = Center.get(r);
        const double radius = Radius.get(r);
        const double from = double(StartAngle.get(r)) * std::numbers::pi / 180;
        const double sweep = std::clamp(double(SweepAngle.get(r)), -360.0, 360.0) * std::numbers::pi / 180;
        if (!std::isfinite(from) || !std::isfinite(sweep)) return;
        std::vector<DPoint> points{Device(dc_.Position.X, dc_.Position.Y)};
        AppendArc(points, {double(c.X), double(c.Y)}, radius, radius, from, sweep);
        dc_.Position = {c.X + radius * std::cos(from + sweep), c.Y - radius * std::sin(from + sweep)};
        StrokeOpen(std::move(points), true);
    }

    // Text.

    void ExtTextOut(std::uint32_t type, ConstBytes r) {
        using namespace EmrExtTextOut;
        if (path_.Recording) return;
        const std::uint32_t options = Options.get(r);
        const std::uint32_t chars = Chars.get(r);
        std::string text;
        std::u16string units; // of a wide record, whose NULs the text leaves out
        if (type == EMR_EXTTEXTOUTW) {
            units = ReadTextW(r);
            if (units.size() != chars) return;
            text = Utf16ToUtf8(units);
        } else {
            const std::string bytes = ReadTextA(r);
            if (bytes.size() != chars) return;
            text = Windows1252ToUtf8(bytes);
        }
        const TRect stored = Rect.get(r);
        // An empty rectangle is taken as none: some writers leave (0, 0, -1, -1) there.
        const bool hasRect = (options & ETO_NO_RECT) == 0 && stored.Right > stored.Left && stored.Bottom > stored.Top;
        const TRect rect = DeviceRect(stored.Left, stored.Top, stored.Right, stored.Bottom);
        if (hasRect && (options & ETO_OPAQUE)) {
            canvas_.Brush = TBrush{dc_.BkColor, TBrushStyle::bsSolid};
            canvas_.FillRect(rect);
        }
        // Glyph indices name glyphs of the recording font, which cannot be looked up here.
        if (text.empty() || (options & ETO_GLYPH_INDEX)) return;

        canvas_.Font = DeviceFont();
        const bool updateCp = (dc_.TextAlign & TA_UPDATECP) != 0;
        DPoint reference = dc_.Position;
        if (!updateCp) {
            const TPoint p = Reference.get(r);
            reference = {double(p.X), double(p.Y)};
        }

        // The advances of the record place the characters where the producer laid them out.
        // Each character's position is rounded rather than its advance, so that the run keeps
        // its width; a NUL left out of the text gives its room to the character before it.
        const std::vector<std::int32_t> dx = ReadTextDx(r);
        const std::size_t stride = (options & ETO_PDY) ? 2 : 1;
        std::vector<std::int32_t> advances; // device pixels, one per UTF-16 unit of the text
        double width = 0, advance = 0, lead = 0;
        if (chars > 0 && dx.size() == chars * stride) {
            std::int32_t position = 0;
            for (std::size_t i = 0; i < chars; ++i) {
                advance += dx[i * stride];
                const std::int32_t next = ToPixel(advance * toDevice_.ScaleX());
                if (i >= units.size() || units[i] != 0) {
                    advances.push_back(next - position);
                } else if (advances.empty()) {
                    lead = next;
                } else {
                    advances.back() += next - position;
                }
                position = next;
            }
            width = advance * toDevice_.ScaleX();
        } else {
            width = canvas_.TextWidth(text);
            advance = toDevice_.ScaleX() > 0 ? width / toDevice_.ScaleX() : 0;
        }
        const double cell = canvas_.TextHeight(text);

        double along = -lead, down = 0;
        switch (dc_.TextAlign & TA_CENTER) {
        case TA_RIGHT: along += width; break;
        case TA_CENTER: along += width / 2; break;
        default: break;
        }
        switch (dc_.TextAlign & TA_BASELINE) {
        case TA_BOTTOM: down = cell; break;
        case TA_BASELINE: down = canvas_.TextAscent(); break;
        default: break;
        }
        const double angle = canvas_.Font.Escapement * std::numbers::pi / 1800;
        const DPoint at = Device(reference.X, reference.Y);
        const double x = at.X - along * std::cos(angle) - down * std::sin(angle);
        const double y = at.Y + along * std::sin(angle) - down * std::cos(angle);

        UseBackground();
        if (!advances.empty()) canvas_.SetTextAdvances(advances);
        if (hasRect && (options & ETO_CLIPPED)) {
            canvas_.TextRect(rect, ToPixel(x), ToPixel(y), text);
        } else {
            canvas_.TextOut(ToPixel(x), ToPixel(y), text);
        }
        if (!advances.empty()) canvas_.SetTextAdvances({});
        if (updateCp) {
            if ((dc_.TextAlign & TA_CENTER) == TA_LEFT) dc_.Position.X += advance;
            if ((dc_.TextAlign & TA_CENTER) == TA_RIGHT) dc_.Position.X -= advance;
        }
    }

    // Bitmaps.

    // Raster operations without a source fill the destination with the brush or a constant.
    void PatternFill(const TRect& dest, std::uint32_t rop) {
        if (rop == PATCOPY) {
            if (dc_.Brush.Style == TBrushStyle::bsClear) return;
            UseBrush();
        } else if (rop == BLACKNESS || rop == WHITENESS) {
            canvas_.Brush = TBrush{rop == BLACKNESS ? clBlack : clWhite, TBrushStyle::bsSolid};
        } else {
            return;
        }
        canvas_.FillRect(dest);
    }

    // A DIB the canvas can draw, or nothing. Palette-indexed colour tables refer to a
    // palette the player does not keep. The bitmaps of one play decode kMaxDibPixels pixels
    // together at the most, so that many small run-length records cannot make it decode
    // gigabytes; those beyond are left out.
    std::optional<TDibFormat> DrawableDib(const TDib& dib, std::uint32_t usage) {
        if (usage != DIB_RGB_COLORS || dib.Info.empty()) return std::nullopt;
        try {
            TDibFormat format = ReadDibFormat(dib);
            const std::int64_t pixels = std::int64_t(format.Width) * format.Height;
            if (pixels > bitmapBudget_) return std::nullopt;
            bitmapBudget_ -= pixels;
            return format;
        } catch (const EDibError&) {
            return std::nullopt;
        }
    }

    static TRect Normalized(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        return {Clamp32(std::min(l, r)), Clamp32(std::min(t, b)), Clamp32(std::max(l, r)), Clamp32(std::max(t, b))};
    }

    void StretchDibits(ConstBytes r) {
        using namespace EmrStretchDIBits;
        const double x = XDest.get(r), y = YDest.get(r);
        const TRect dest = DeviceRect(x, y, x + CxDest.get(r), y + CyDest.get(r));
        const std::uint32_t rop = Rop.get(r);
        if (!RopUsesSource(rop)) {
            PatternFill(dest, rop);
            return;
        }
        if (rop != SRCCOPY) return;
        const TDib dib = ReadStretchDIBitsDib(r);
        const auto format = DrawableDib(dib, Usage.get(r));
        if (!format) return;
        const std::int64_t x0 = XSrc.get(r), y0 = YSrc.get(r);
        TRect source = Normalized(x0, y0, x0 + CxSrc.get(r), y0 + CySrc.get(r));
        // A bottom-up bitmap counts ySrc from its bottom row.
        if (!format->TopDown) {
            source = Normalized(source.Left, std::int64_t(format->Height) - source.Bottom, source.Right,
                                std::int64_t(format->Height) - source.Top);
        }
        canvas_.StretchDIBits(dest, source, dib);
    }

    // BITBLT and STRETCHBLT: the source rectangle is in the source's logical coordinates,
    // which its recorded transform turns into bitmap pixels, top row first.
    void BitBlt(std::uint32_t type, ConstBytes r) {
        using namespace EmrBitBlt;
        const double x = XDest.get(r), y = YDest.get(r);
        const std::int32_t cx = CxDest.get(r), cy = CyDest.get(r);
        const TRect dest = DeviceRect(x, y, x + cx, y + cy);
        const std::uint32_t rop = Rop.get(r);
        if (!RopUsesSource(rop)) {
            PatternFill(dest, rop);
            return;
        }
        if (rop != SRCCOPY) return;
        const TDib dib = ReadBitBltDib(r);
        if (!DrawableDib(dib, Usage.get(r))) return;
        const bool stretch = type == EMR_STRETCHBLT;
        const double sx = XSrc.get(r), sy = YSrc.get(r);
        const double sw = stretch ? EmrStretchBlt::CxSrc.get(r) : cx, sh = stretch ? EmrStretchBlt::CySrc.get(r) : cy;
        Affine toBitmap = FromXForm(SrcTransform.get(r)).value_or(Affine{});
        if (toBitmap.Determinant() == 0) toBitmap = Affine{};
        const DPoint a = toBitmap.Apply(sx, sy), b = toBitmap.Apply(sx + sw, sy + sh);
        const TRect source = Normalized(ToPixel(a.X), ToPixel(a.Y), ToPixel(b.X), ToPixel(b.Y));
        canvas_.StretchDIBits(dest, source, dib);
    }

    Canvas& canvas_;
    const Affine frameToDest_;
    const DPoint refPixels_, refMillimeters_;
    const std::uint32_t handles_;
    std::unordered_map<std::uint32_t, GdiObject> objects_;
    DcState dc_;
    std::vector<DcState> saved_;
    Path path_;
    Affine toDevice_;
    std::int64_t bitmapBudget_ = kMaxDibPixels;
};

} // namespace

bool PlayEnhMetafile(Canvas& canvas, ConstBytes emf, const TRect& dest) {
    if (!IsEnhancedMetafile(emf)) return false;
    const TRect frame = EmrHeader::Frame.get(emf);
    if (frame.Right == frame.Left || frame.Bottom == frame.Top) return false;

    // The reference device: pixels and millimetres. A header without them is taken to come
    // from a 96-pixels-per-inch device.
    const TSize pixels = EmrHeader::Device.get(emf), millimeters = EmrHeader::Millimeters.get(emf);
    const bool known = pixels.cx > 0 && pixels.cy > 0 && millimeters.cx > 0 && millimeters.cy > 0;
    const DPoint refPixels = known ? DPoint{double(pixels.cx), double(pixels.cy)} : DPoint{96, 96};
    const DPoint refMillimeters = known ? DPoint{double(millimeters.cx), double(millimeters.cy)} : DPoint{25.4, 25.4};

    // The frame, in 0.01 mm, in reference pixels, is stretched onto the destination.
    const double pxPerUnitX = refPixels.X / (refMillimeters.X * 100),
                 pxPerUnitY = refPixels.Y / (refMillimeters.Y * 100);
    const double frameLeft = frame.Left * pxPerUnitX, frameTop = frame.Top * pxPerUnitY;
    const double sx = (double(dest.Right) - dest.Left) / ((double(frame.Right) - frame.Left) * pxPerUnitX);
    const double sy = (double(dest.Bottom) - dest.Top) / ((double(frame.Bottom) - frame.Top) * pxPerUnitY);
    const Affine frameToDest{sx, 0, 0, sy, dest.Left - frameLeft * sx, dest.Top - frameTop * sy};

    const TPen pen = canvas.Pen;
    const TBrush brush = canvas.Brush;
    const TFont font = canvas.Font;
    Player(canvas, frameToDest, refPixels, refMillimeters, EmrHeader::Handles.get(emf))
        .Play(emf, EmrRec::Size.get(emf));
    canvas.Pen = pen;
    canvas.Brush = brush;
    canvas.Font = font;
    return true;
}

} // namespace kovet
