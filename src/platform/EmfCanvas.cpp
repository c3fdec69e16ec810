#include "platform/EmfCanvas.h"

#include "platform/emf/EmfRecords.h"
#include "storage/Utf8.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace kovet {

namespace {

// The reference device named in the header (see Close).
constexpr TSize kReferenceDevice{1920, 1440};

constexpr std::size_t kHeaderSize = EmrHeader::kExtension2Size;
constexpr std::size_t kMaxFaceChars = EmrCreateFont::kFaceNameChars - 1; // room for the NUL

std::size_t Pad4(std::size_t n) {
    return (n + 3) & ~std::size_t(3);
}

// value * num / den rounded to the nearest integer, halves away from zero.
std::int32_t ScaleRounded(std::int64_t value, std::int64_t num, std::int64_t den) {
    const std::int64_t scaled = value * num;
    return std::int32_t(scaled >= 0 ? (scaled + den / 2) / den : (scaled - den / 2) / den);
}

// Coordinates are scaled 16-bit record fields in practice; arithmetic on them saturates so
// that extreme values cannot overflow.
std::int32_t Saturate(std::int64_t v) {
    return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

std::int32_t Saturate(double v) {
    return std::int32_t(std::clamp<double>(v, INT32_MIN, INT32_MAX));
}

// A box as GDI stores it in records: right and bottom inclusive.
TRect StoredBox(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    return {l, t, Saturate(std::int64_t(r) - 1), Saturate(std::int64_t(b) - 1)};
}

TRect Union(const TRect& a, const TRect& b) {
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

TRect Intersection(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

bool IsEmptyInclusive(const TRect& r) {
    return r.Right < r.Left || r.Bottom < r.Top;
}

// The pixels a GDI box (l, t, r, b) covers, as an inclusive rectangle; the corners may come
// in either order.
TRect InclusiveBox(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    return StoredBox(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b));
}

// The inclusive bounding box of points, widened by half the pen's width.
TRect PointBounds(std::span<const TPoint> points, std::int32_t penWidth) {
    TRect r{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
    for (const TPoint& p : points)
        r = Union(r, {p.X, p.Y, p.X, p.Y});
    const std::int32_t half = std::max(penWidth, 1) / 2;
    return {Saturate(std::int64_t(r.Left) - half), Saturate(std::int64_t(r.Top) - half),
            Saturate(std::int64_t(r.Right) + half), Saturate(std::int64_t(r.Bottom) + half)};
}

bool FitsIn16Bits(std::span<const TPoint> points) {
    return std::all_of(points.begin(), points.end(), [](const TPoint& p) {
        return p.X >= INT16_MIN && p.X <= INT16_MAX && p.Y >= INT16_MIN && p.Y <= INT16_MAX;
    });
}

void WritePoints(Bytes record, std::size_t offset, std::span<const TPoint> points, bool points16) {
    for (const TPoint& p : points) {
        if (points16) {
            writeLE(record, offset, std::int16_t(p.X));
            writeLE(record, offset + 2, std::int16_t(p.Y));
            offset += 4;
        } else {
            writeLE(record, offset, p.X);
            writeLE(record, offset + 4, p.Y);
            offset += 8;
        }
    }
}

void WriteBlock(Bytes record, std::size_t offset, ConstBytes block) {
    if (offset > record.size()) return;
    std::copy_n(block.begin(), std::min(block.size(), record.size() - offset), record.begin() + offset);
}

std::uint32_t PenStyleCode(TPenStyle style) {
    switch (style) {
    case TPenStyle::psSolid: return PS_SOLID;
    case TPenStyle::psDash: return PS_DASH;
    case TPenStyle::psDot: return PS_DOT;
    case TPenStyle::psClear: return PS_NULL;
    }
    return PS_SOLID;
}

std::int32_t Rop2Code(TPenMode mode) {
    switch (mode) {
    case TPenMode::pmCopy: return R2_COPYPEN;
    case TPenMode::pmXor: return R2_XORPEN;
    case TPenMode::pmNotXor: return R2_NOTXORPEN;
    }
    return R2_COPYPEN;
}

std::vector<std::uint8_t> PenRecord(const TPen& pen) {
    std::vector<std::uint8_t> record(EmrCreatePen::kSize);
    EmrRec::Type.set(record, EMR_CREATEPEN);
    EmrRec::Size.set(record, std::uint32_t(record.size()));
    EmrCreatePen::Style.set(record, PenStyleCode(pen.Style));
    EmrCreatePen::Width.set(record, std::max(pen.Width, 1));
    EmrCreatePen::Color.set(record, ColorToRGB(pen.Color));
    return record;
}

std::vector<std::uint8_t> BrushRecord(const TBrush& brush) {
    std::vector<std::uint8_t> record(EmrCreateBrush::kSize);
    EmrRec::Type.set(record, EMR_CREATEBRUSHINDIRECT);
    EmrRec::Size.set(record, std::uint32_t(record.size()));
    switch (brush.Style) {
    case TBrushStyle::bsSolid: EmrCreateBrush::Style.set(record, BS_SOLID); break;
    case TBrushStyle::bsClear: EmrCreateBrush::Style.set(record, BS_NULL); break;
    case TBrushStyle::bsFDiagonal:
        EmrCreateBrush::Style.set(record, BS_HATCHED);
        EmrCreateBrush::Hatch.set(record, HS_FDIAGONAL);
        break;
    case TBrushStyle::bsDiagCross:
        EmrCreateBrush::Style.set(record, BS_HATCHED);
        EmrCreateBrush::Hatch.set(record, HS_DIAGCROSS);
        break;
    }
    // A clear brush keeps colour 0 so that colour changes alone do not make new objects.
    if (brush.Style != TBrushStyle::bsClear) EmrCreateBrush::Color.set(record, ColorToRGB(brush.Color));
    return record;
}

std::vector<std::uint8_t> FontRecord(const TFont& font) {
    std::vector<std::uint8_t> record(EmrCreateFont::kSize);
    EmrRec::Type.set(record, EMR_EXTCREATEFONTINDIRECTW);
    EmrRec::Size.set(record, std::uint32_t(record.size()));
    EmrCreateFont::Height.set(record, font.Height);
    EmrCreateFont::Escapement.set(record, font.Escapement);
    EmrCreateFont::Orientation.set(record, font.Escapement);
    EmrCreateFont::Weight.set(record, (font.Style & fsBoldBit) ? FW_BOLD : FW_NORMAL);
    EmrCreateFont::Italic.set(record, (font.Style & fsItalicBit) ? 1 : 0);
    EmrCreateFont::Underline.set(record, (font.Style & fsUnderlineBit) ? 1 : 0);
    EmrCreateFont::StrikeOut.set(record, (font.Style & fsStrikeOutBit) ? 1 : 0);
    EmrCreateFont::CharSet.set(record, font.CharSet);
    const std::u16string face = Utf8ToUtf16(font.Name);
    const std::size_t length = std::min(face.size(), kMaxFaceChars);
    for (std::size_t i = 0; i < length; ++i)
        writeLE(Bytes(record), EmrCreateFont::kFaceName + 2 * i, std::uint16_t(face[i]));
    return record;
}

// Hundredths of a millimetre per pixel of the reference device, which text records carry for GM_COMPATIBLE.
constexpr float kHundredthMmPerPixel = 2540.0f / 96.0f;

} // namespace

EmfCanvas::EmfCanvas(TSize page, TextMetrics& metrics) : metrics_(metrics), page_(page) {
    AddRecord(EMR_HEADER, kHeaderSize); // completed by Close
}

Bytes EmfCanvas::AddRecord(std::uint32_t type, std::size_t size) {
    if (finished_) return {};
    const std::size_t start = out_.size();
    const std::size_t padded = Pad4(size);
    out_.resize(start + padded);
    const Bytes record = Bytes(out_).subspan(start, padded);
    EmrRec::Type.set(record, type);
    EmrRec::Size.set(record, std::uint32_t(padded));
    ++records_;
    return record;
}

void EmfCanvas::AddValueRecord(std::uint32_t type, std::uint32_t value) {
    writeLE(AddRecord(type, EmrValue::kSize), 8, value);
}

void EmfCanvas::AddBoxRecord(std::uint32_t type, const TRect& box) {
    EmrBox::Box.set(AddRecord(type, EmrBox::kSize), box);
}

void EmfCanvas::Include(const TRect& inclusive) {
    if (IsEmptyInclusive(inclusive)) return;
    bounds_ = drawn_ ? Union(bounds_, inclusive) : inclusive;
    drawn_ = true;
}

// ---- objects

std::uint32_t EmfCanvas::NewHandle() const {
    std::uint32_t handle = 1;
    while (objects_.count(handle) != 0)
        ++handle;
    return handle;
}

void EmfCanvas::SelectCreated(ObjectKind kind, const std::vector<std::uint8_t>& record) {
    const std::uint32_t current = dc_.selected[kind];
    const auto live = objects_.find(current);
    if (live != objects_.end() && live->second.record == record) return;

    const std::uint32_t handle = NewHandle();
    const Bytes created = AddRecord(EmrRec::Type.get(record), record.size());
    WriteBlock(created, 0, record);
    writeLE(created, 8, handle);
    objects_[handle] = LiveObject{record, 1};
    handleCount_ = std::max(handleCount_, handle + 1);
    AddValueRecord(EMR_SELECTOBJECT, handle);
    dc_.selected[kind] = handle;
    Release(current);
}

void EmfCanvas::SelectStock(ObjectKind kind, std::uint32_t index) {
    const std::uint32_t stock = StockObjectHandle(index);
    const std::uint32_t current = dc_.selected[kind];
    if (current == stock) return;
    AddValueRecord(EMR_SELECTOBJECT, stock);
    dc_.selected[kind] = stock;
    Release(current);
}

// Drops one use of a created object; the last use deletes it. Stock objects and "none"
// are not counted.
void EmfCanvas::Release(std::uint32_t handle) {
    const auto live = objects_.find(handle);
    if (live == objects_.end() || --live->second.refs > 0) return;
    AddValueRecord(EMR_DELETEOBJECT, handle);
    objects_.erase(live);
}

// ---- attributes

void EmfCanvas::SetValue(std::optional<std::int32_t>& current, std::int32_t value, std::uint32_t type) {
    if (current == value) return;
    AddValueRecord(type, std::uint32_t(value));
    current = value;
}

void EmfCanvas::SetValue(std::optional<std::uint32_t>& current, std::uint32_t value, std::uint32_t type) {
    if (current == value) return;
    AddValueRecord(type, value);
    current = value;
}

void EmfCanvas::UsePen() {
    SelectCreated(kPen, PenRecord(Pen));
}
void EmfCanvas::UseBrush() {
    SelectCreated(kBrush, BrushRecord(Brush));
}
void EmfCanvas::UseFont() {
    SelectCreated(kFont, FontRecord(Font));
}

// As the original's canvas does: only a solid brush makes the background opaque (in its
// colour); a clear or hatched brush leaves it transparent, so hatches show their gaps.
void EmfCanvas::UseBackground() {
    if (Brush.Style != TBrushStyle::bsSolid) {
        SetValue(dc_.bkMode, TRANSPARENT, EMR_SETBKMODE);
    } else {
        SetValue(dc_.bkMode, OPAQUE, EMR_SETBKMODE);
        SetValue(dc_.bkColor, ColorToRGB(Brush.Color), EMR_SETBKCOLOR);
    }
}

void EmfCanvas::UseRop2(std::int32_t rop2) {
    SetValue(dc_.rop2, rop2, EMR_SETROP2);
}

void EmfCanvas::UseForShape() {
    UsePen();
    UseBrush();
    UseBackground();
    UseRop2(Rop2Code(Pen.Mode));
}

// ---- shapes

void EmfCanvas::FillRect(const TRect& r) {
    UseBrush();
    SelectStock(kPen, NULL_PEN);
    UseBackground();
    UseRop2(R2_COPYPEN);
    // A null-pen rectangle leaves out its right and bottom edge once more, so the box is
    // one larger than the area and, stored inclusive, equals the call's rectangle.
    AddBoxRecord(EMR_RECTANGLE, r);
    Include(InclusiveBox(r.Left, r.Top, r.Right, r.Bottom));
}

void EmfCanvas::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    UseForShape();
    AddBoxRecord(EMR_RECTANGLE, StoredBox(l, t, r, b));
    Include(InclusiveBox(l, t, r, b));
}

void EmfCanvas::RoundRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                          std::int32_t h) {
    UseForShape();
    const Bytes record = AddRecord(EMR_ROUNDRECT, EmrRoundRect::kSize);
    EmrRoundRect::Box.set(record, StoredBox(l, t, r, b));
    EmrRoundRect::Corner.set(record, {w, h});
    Include(InclusiveBox(l, t, r, b));
}

void EmfCanvas::Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    UseForShape();
    AddBoxRecord(EMR_ELLIPSE, StoredBox(l, t, r, b));
    Include(InclusiveBox(l, t, r, b));
}

void EmfCanvas::MoveTo(std::int32_t x, std::int32_t y) {
    EmrPoint::Point.set(AddRecord(EMR_MOVETOEX, EmrPoint::kSize), {x, y});
    position_ = {x, y};
}

void EmfCanvas::LineTo(std::int32_t x, std::int32_t y) {
    UsePen();
    UseBackground();
    UseRop2(Rop2Code(Pen.Mode));
    EmrPoint::Point.set(AddRecord(EMR_LINETO, EmrPoint::kSize), {x, y});
    const TPoint ends[] = {position_, {x, y}};
    Include(PointBounds(ends, Pen.Width));
    position_ = {x, y};
}

void EmfCanvas::Polyline(std::span<const TPoint> points) {
    if (points.size() < 2) return;
    UsePen();
    UseBackground();
    UseRop2(Rop2Code(Pen.Mode));
    const bool points16 = FitsIn16Bits(points);
    const std::size_t pointSize = points16 ? 4 : 8;
    const Bytes record =
        AddRecord(points16 ? EMR_POLYLINE16 : EMR_POLYLINE, EmrPoly::kSize + points.size() * pointSize);
    EmrPoly::Bounds.set(record, PointBounds(points, 1));
    EmrPoly::Count.set(record, std::uint32_t(points.size()));
    WritePoints(record, EmrPoly::kPoints, points, points16);
    Include(PointBounds(points, Pen.Width));
}

void EmfCanvas::PolyPolygon(std::span<const std::vector<TPoint>> polygons, TPolyFillMode mode) {
    // GDI refuses polygons of fewer than two points; they are left out.
    std::vector<TPoint> all;
    std::vector<std::uint32_t> counts;
    for (const std::vector<TPoint>& polygon : polygons) {
        if (polygon.size() < 2) continue;
        all.insert(all.end(), polygon.begin(), polygon.end());
        counts.push_back(std::uint32_t(polygon.size()));
    }
    if (counts.empty()) return;

    UseForShape();
    SetValue(dc_.polyFillMode, mode == TPolyFillMode::Winding ? WINDING : ALTERNATE, EMR_SETPOLYFILLMODE);
    const bool points16 = FitsIn16Bits(all);
    const std::size_t pointSize = points16 ? 4 : 8;
    const Bytes record = AddRecord(points16 ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON,
                                   EmrPolyPoly::kSize + 4 * counts.size() + pointSize * all.size());
    EmrPolyPoly::Bounds.set(record, PointBounds(all, 1));
    EmrPolyPoly::Polys.set(record, std::uint32_t(counts.size()));
    EmrPolyPoly::Count.set(record, std::uint32_t(all.size()));
    for (std::size_t i = 0; i < counts.size(); ++i)
        writeLE(record, EmrPolyPoly::kCounts + 4 * i, counts[i]);
    WritePoints(record, EmrPolyPoly::kCounts + 4 * counts.size(), all, points16);
    Include(PointBounds(all, Pen.Width));
}

// ---- text

void EmfCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    if (text.empty()) return;
    WriteText(nullptr, x, y, text);
}

void EmfCanvas::TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text) {
    WriteText(&clip, x, y, text);
}

TSize EmfCanvas::TextExtent(std::string_view text) {
    TSize extent = metrics_.Extent(Font, text);
    const std::span<const std::int32_t> given = TextAdvancesFor(Utf8ToUtf16(text).size());
    if (!given.empty()) extent.cx = Saturate(std::accumulate(given.begin(), given.end(), std::int64_t(0)));
    return extent;
}

void EmfCanvas::SetTextJustification(std::int32_t extra, std::int32_t count) {
    justifyExtra_ = extra;
    justifyCount_ = count;
}

void EmfCanvas::WriteText(const TRect* clip, std::int32_t x, std::int32_t y, std::string_view text) {
    UseFont();
    SetValue(dc_.textColor, ColorToRGB(Font.Color), EMR_SETTEXTCOLOR);
    UseBackground();
    SetValue(dc_.textAlign, TA_TOP | TA_LEFT | TA_NOUPDATECP, EMR_SETTEXTALIGN);

    const std::u16string chars = Utf8ToUtf16(text);
    const std::span<const std::int32_t> given = TextAdvancesFor(chars.size());
    std::vector<std::int32_t> dx(given.begin(), given.end());
    if (given.empty()) {
        dx = metrics_.Advances(Font, chars);
        dx.resize(chars.size());
        if (justifyCount_ > 0) {
            // The first extra mod count blanks take one pixel more (or less, when squeezing).
            const std::int32_t share = justifyExtra_ / justifyCount_;
            const std::int32_t rest = justifyExtra_ % justifyCount_;
            std::int32_t blank = 0;
            for (std::size_t i = 0; i < chars.size() && blank < justifyCount_; ++i) {
                if (chars[i] != u' ') continue;
                dx[i] = Saturate(std::int64_t(dx[i]) + share + (blank < std::abs(rest) ? (rest > 0 ? 1 : -1) : 0));
                ++blank;
            }
        }
    }

    // The cell, turned about its top-left corner by the escapement.
    const double width = std::accumulate(dx.begin(), dx.end(), 0.0);
    const double height = metrics_.Extent(Font, text).cy;
    const double angle = Font.Escapement * std::numbers::pi / 1800.0;
    const double c = std::cos(angle), s = std::sin(angle);
    double minX = x, maxX = x, minY = y, maxY = y;
    for (const auto& [u, v] : {std::pair{width, 0.0}, std::pair{0.0, height}, std::pair{width, height}}) {
        const double px = x + u * c + v * s, py = y - u * s + v * c;
        minX = std::min(minX, px), maxX = std::max(maxX, px), minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
    // The tolerance keeps rounding noise of the sines (cos 90 degrees is not quite 0) off the pixel grid.
    constexpr double kNoise = 1e-9;
    TRect box{Saturate(std::floor(minX + kNoise)), Saturate(std::floor(minY + kNoise)),
              Saturate(std::ceil(maxX - kNoise) - 1), Saturate(std::ceil(maxY - kNoise) - 1)};

    std::uint32_t options = 0;
    TRect rect{0, 0, -1, -1};
    if (clip) {
        const bool opaque = Brush.Style == TBrushStyle::bsSolid;
        options = ETO_CLIPPED | (opaque ? std::uint32_t(ETO_OPAQUE) : 0u);
        rect = *clip;
        const TRect clipBox = InclusiveBox(clip->Left, clip->Top, clip->Right, clip->Bottom);
        box = opaque ? clipBox : Intersection(box, clipBox);
    }
    if (IsEmptyInclusive(box)) box = {0, 0, -1, -1};

    const std::size_t stringBytes = Pad4(2 * chars.size());
    const Bytes record = AddRecord(EMR_EXTTEXTOUTW, EmrExtTextOut::kSize + stringBytes + 4 * chars.size());
    EmrExtTextOut::Bounds.set(record, box);
    EmrExtTextOut::GraphicsMode.set(record, GM_COMPATIBLE);
    EmrExtTextOut::XScale.set(record, kHundredthMmPerPixel);
    EmrExtTextOut::YScale.set(record, kHundredthMmPerPixel);
    EmrExtTextOut::Reference.set(record, {x, y});
    EmrExtTextOut::Chars.set(record, std::uint32_t(chars.size()));
    EmrExtTextOut::StringOffset.set(record, std::uint32_t(EmrExtTextOut::kSize));
    EmrExtTextOut::Options.set(record, options);
    EmrExtTextOut::Rect.set(record, rect);
    EmrExtTextOut::DxOffset.set(record, std::uint32_t(EmrExtTextOut::kSize + stringBytes));
    for (std::size_t i = 0; i < chars.size(); ++i) {
        writeLE(record, EmrExtTextOut::kSize + 2 * i, std::uint16_t(chars[i]));
        writeLE(record, EmrExtTextOut::kSize + stringBytes + 4 * i, dx[i]);
    }
    Include(box);
}

// ---- bitmaps, state and clipping

void EmfCanvas::StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) {
    if (dib.Info.empty()) return;
    // GDI counts ySrc of a bottom-up bitmap (positive height) from its bottom row.
    const std::uint32_t infoSize = readLE<std::uint32_t>(dib.Info, 0);
    const std::int32_t height = infoSize == 12 ? readLE<std::int16_t>(dib.Info, 6) : readLE<std::int32_t>(dib.Info, 8);
    const std::int32_t ySrc = height > 0 ? Saturate(std::int64_t(height) - source.Bottom) : source.Top;

    const std::size_t infoBytes = Pad4(dib.Info.size());
    const Bytes record = AddRecord(EMR_STRETCHDIBITS, EmrStretchDIBits::kSize + infoBytes + dib.Bits.size());
    EmrStretchDIBits::Bounds.set(record, InclusiveBox(dest.Left, dest.Top, dest.Right, dest.Bottom));
    EmrStretchDIBits::XDest.set(record, dest.Left);
    EmrStretchDIBits::YDest.set(record, dest.Top);
    EmrStretchDIBits::XSrc.set(record, source.Left);
    EmrStretchDIBits::YSrc.set(record, ySrc);
    EmrStretchDIBits::CxSrc.set(record, Saturate(std::int64_t(source.Right) - source.Left));
    EmrStretchDIBits::CySrc.set(record, Saturate(std::int64_t(source.Bottom) - source.Top));
    EmrStretchDIBits::BmiOffset.set(record, std::uint32_t(EmrStretchDIBits::kSize));
    EmrStretchDIBits::BmiSize.set(record, std::uint32_t(dib.Info.size()));
    EmrStretchDIBits::BitsOffset.set(record, std::uint32_t(EmrStretchDIBits::kSize + infoBytes));
    EmrStretchDIBits::BitsSize.set(record, std::uint32_t(dib.Bits.size()));
    EmrStretchDIBits::Usage.set(record, DIB_RGB_COLORS);
    EmrStretchDIBits::Rop.set(record, SRCCOPY);
    EmrStretchDIBits::CxDest.set(record, Saturate(std::int64_t(dest.Right) - dest.Left));
    EmrStretchDIBits::CyDest.set(record, Saturate(std::int64_t(dest.Bottom) - dest.Top));
    WriteBlock(record, EmrStretchDIBits::kSize, dib.Info);
    WriteBlock(record, EmrStretchDIBits::kSize + infoBytes, dib.Bits);
    Include(InclusiveBox(dest.Left, dest.Top, dest.Right, dest.Bottom));
}

// A saved state keeps its objects alive: RESTOREDC selects them again.
void EmfCanvas::SaveState() {
    AddRecord(EMR_SAVEDC, kEmrNoParamSize);
    for (const std::uint32_t handle : dc_.selected) {
        const auto live = objects_.find(handle);
        if (live != objects_.end()) ++live->second.refs;
    }
    saved_.push_back(dc_);
}

void EmfCanvas::RestoreState() {
    if (saved_.empty()) return;
    EmrValue::Relative.set(AddRecord(EMR_RESTOREDC, EmrValue::kSize), -1);
    const DcState replaced = dc_;
    dc_ = saved_.back();
    saved_.pop_back();
    for (const std::uint32_t handle : replaced.selected)
        Release(handle);
}

void EmfCanvas::IntersectClipRect(const TRect& r) {
    AddBoxRecord(EMR_INTERSECTCLIPRECT, r);
}

void EmfCanvas::SetMapMode(std::int32_t mode) {
    AddValueRecord(EMR_SETMAPMODE, std::uint32_t(mode));
}

// ---- closing

const std::vector<std::uint8_t>& EmfCanvas::Finish() {
    if (!finished_) Close();
    return out_;
}

void EmfCanvas::Close() {
    while (!saved_.empty())
        RestoreState();
    // Objects are deleted only once no device context holds them.
    constexpr std::uint32_t kDefaults[kObjectKinds] = {BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT};
    for (int kind = 0; kind < kObjectKinds; ++kind) {
        if (objects_.count(dc_.selected[kind]) != 0) SelectStock(ObjectKind(kind), kDefaults[kind]);
    }

    const Bytes eof = AddRecord(EMR_EOF, EmrEof::kSize);
    EmrEof::PalOffset.set(eof, 16);
    writeLE(eof, EmrEof::kSize - EmrEof::kSizeLastFromEnd, std::uint32_t(EmrEof::kSize));
    finished_ = true;

    const Bytes header = Bytes(out_).first(kHeaderSize);
    EmrHeader::Bounds.set(header, drawn_ ? bounds_ : TRect{0, 0, -1, -1});
    EmrHeader::Frame.set(header, {0, 0, ScaleRounded(page_.cx, 2540, 96), ScaleRounded(page_.cy, 2540, 96)});
    EmrHeader::Signature.set(header, ENHMETA_SIGNATURE);
    EmrHeader::Version.set(header, ENHMETA_VERSION);
    EmrHeader::TotalBytes.set(header, std::uint32_t(out_.size()));
    EmrHeader::Records.set(header, records_);
    EmrHeader::Handles.set(header, std::uint16_t(handleCount_));
    // Players turn the frame into pixels with the reference device's pixels per millimetre,
    // so that ratio must be exactly 96 per inch: a page's own size in whole millimetres is
    // not (816 pixels are 215.9 mm). A 1920 x 1440 screen at 96 per inch is 508 x 381 mm.
    EmrHeader::Device.set(header, kReferenceDevice);
    EmrHeader::Millimeters.set(
        header, {ScaleRounded(kReferenceDevice.cx, 254, 960), ScaleRounded(kReferenceDevice.cy, 254, 960)});
    EmrHeader::Micrometers.set(
        header, {ScaleRounded(kReferenceDevice.cx, 25400, 96), ScaleRounded(kReferenceDevice.cy, 25400, 96)});
}

} // namespace kovet
