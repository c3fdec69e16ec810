#include "convert/WordImport.h"

#include "convert/EmfParse.h"
#include "convert/NewObjects.h"
#include "platform/emf/EmfRecords.h"
#include "platform/emf/Metafile.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kovet {
namespace {

constexpr std::size_t kMaxNarrowed = 255;
constexpr std::size_t kFaceNameBytes = 2 * EmrCreateFont::kFaceNameChars;

// The low 16 bits, as the record fields keep them.
std::int16_t low16(std::int64_t v) {
    return std::int16_t(v);
}

std::uint8_t innerStyle(const TWordImportState& state) {
    return state.FillSolid ? fsSolid : fsClear;
}

// The object just appended: the last record of the form.
Bytes lastRecord(TKVT& form) {
    return form.KVTFile().Items(form.KVTFile().Count() - 1);
}

void createPen(TWordImportState& state, ConstBytes r) {
    state.PenWidth = EmrCreatePen::Width.get(r);
    state.PenColor = EmrCreatePen::Color.get(r);
    switch (EmrCreatePen::Style.get(r)) {
    case PS_SOLID: state.PenStyle = psSolid; break;
    case PS_DASH: state.PenStyle = psDashed; break;
    case PS_DOT: state.PenStyle = psDotted; break;
    default: break;
    }
}

void createFont(TWordImportState& state, ConstBytes r) {
    const std::size_t faceEnd = std::min(r.size(), EmrCreateFont::kFaceName + kFaceNameBytes);
    const ConstBytes face = faceEnd > EmrCreateFont::kFaceName
                                ? r.subspan(EmrCreateFont::kFaceName, faceEnd - EmrCreateFont::kFaceName)
                                : ConstBytes{};
    state.FontName = NarrowUtf16Bytes(face, EmrCreateFont::kFaceNameChars);
    state.SetFontHeight(EmrCreateFont::Height.get(r));
    state.FontStyle = 0;
    if (EmrCreateFont::Italic.get(r) == 1) state.FontStyle |= fsItalic;
    if (EmrCreateFont::Weight.get(r) == FW_BOLD) state.FontStyle |= fsBold;
}

void addEllipse(const TWordImportTarget& t, ConstBytes r) {
    const TWordImportState& s = t.State;
    const TRect box = EmrBox::Box.get(r);
    AppendNewObject(t.Form, t.Defaults, kvtEllipseType, 0, 0, t.Metrics);
    const Bytes e = lastRecord(t.Form);
    EllipseRec::Left.set(e, low16(s.Scaled(box.Left)));
    EllipseRec::Top.set(e, low16(s.Scaled(box.Top)));
    EllipseRec::Width.set(e, low16(std::int64_t(s.Scaled(box.Right)) - EllipseRec::Left.get(e)));
    EllipseRec::Height.set(e, low16(std::int64_t(s.Scaled(box.Bottom)) - EllipseRec::Top.get(e)));
    EllipseRec::InnerColor.set(e, s.FillColor);
    EllipseRec::InnerStyle.set(e, innerStyle(s));
    EllipseRec::OuterColor.set(e, s.PenColor);
    EllipseRec::Thickness.set(e, 1);
    EllipseRec::OuterStyle.set(e, s.PenStyle);
}

// A frame covers its box's right and bottom edge, which an ellipse of the same box does not.
void addFrame(const TWordImportTarget& t, ConstBytes r, bool round) {
    const TWordImportState& s = t.State;
    const TRect box = EmrBox::Box.get(r);
    AppendNewObject(t.Form, t.Defaults, kvtFrameType, 0, 0, t.Metrics);
    const Bytes f = lastRecord(t.Form);
    FrameRec::Left.set(f, low16(s.Scaled(box.Left)));
    FrameRec::Top.set(f, low16(s.Scaled(box.Top)));
    FrameRec::Width.set(f, low16(std::int64_t(s.Scaled(box.Right)) - FrameRec::Left.get(f) + 1));
    FrameRec::Height.set(f, low16(std::int64_t(s.Scaled(box.Bottom)) - FrameRec::Top.get(f) + 1));
    FrameRec::InnerColor.set(f, s.FillColor);
    FrameRec::InnerStyle.set(f, innerStyle(s));
    FrameRec::OuterColor.set(f, s.PenColor);
    FrameRec::Thickness.set(f, std::uint8_t(s.PenWidth));
    FrameRec::OuterStyle.set(f, s.PenStyle);
    if (round) FrameRec::Roundness.set(f, low16(EmrRoundRect::Corner.get(r).cx));
}

// From the current point, which stays: only a move record moves it.
void addLine(const TWordImportTarget& t, ConstBytes r) {
    const TWordImportState& s = t.State;
    const TPoint to = EmrPoint::Point.get(r);
    const std::int32_t x0 = s.Scaled(s.Current.X), y0 = s.Scaled(s.Current.Y);
    AppendNewObject(t.Form, t.Defaults, kvtLineType, x0, y0, t.Metrics);
    const Bytes l = lastRecord(t.Form);
    LineRec::Width.set(l, low16(std::int64_t(s.Scaled(to.X)) - x0));
    LineRec::Height.set(l, low16(std::int64_t(s.Scaled(to.Y)) - y0));
    if (LineRec::Height.get(l) > LineRec::Width.get(l)) LineRec::Angle.set(l, 90.0f);
    LineRec::Color.set(l, s.PenColor);
    LineRec::Thickness.set(l, std::uint8_t(s.PenWidth));
    LineRec::Style.set(l, s.PenStyle);
}

// Placed by the bounding rectangle, which is in device units and so not scaled; the font's
// size and height are.
void addText(const TWordImportTarget& t, ConstBytes r) {
    const TWordImportState& s = t.State;
    const TRect bounds = EmrExtTextOut::Bounds.get(r);
    const std::size_t at = EmrExtTextOut::StringOffset.get(r);
    const std::size_t limit = std::min<std::size_t>(EmrExtTextOut::Chars.get(r), kMaxNarrowed);
    std::vector<std::uint8_t> x =
        NewTextRecord(t.Defaults, NarrowUtf16Bytes(at < r.size() ? r.subspan(at) : ConstBytes{}, limit));
    TextRec::Left.set(x, low16(bounds.Left));
    TextRec::Top.set(x, low16(bounds.Top));
    TextRec::FontName.set(x, s.FontName);
    TextRec::FontSize.set(x, std::uint8_t(s.Scaled(s.FontSize)));
    TextRec::FontStyle.set(x, s.FontStyle);
    TextRec::FontHeight.set(x, low16(s.Scaled(s.FontHeight)));
    TextRec::Angle.set(x, 0.0f);
    FitTextToFont(x, t.Metrics);
    t.Form.KVTFile().Texts.Add(x);
}

// The height in pixels of a font of `size` points, rounded.
std::int32_t heightOfSize(std::int32_t size) {
    return std::int32_t(-std::llround(double(size) * kImportPixelsPerInch / 72));
}

} // namespace

TWordImportState::TWordImportState(std::string fontName, std::int32_t fontSize)
    : FontName(std::move(fontName)), FontHeight(heightOfSize(fontSize)), FontSize(fontSize) {}

std::int32_t TWordImportState::Scaled(std::int32_t v) const {
    const double product = std::trunc(double(v) * double(Scale));
    // Far outside any page; kept finite and within range so that the stored low part is defined.
    constexpr double kLimit = 1e15;
    if (!(std::abs(product) < kLimit)) return 0;
    return std::int32_t(std::int64_t(product));
}

void TWordImportState::SetFontHeight(std::int32_t height) {
    // -72 x height / 96, halves to the even size (the default rounding mode).
    FontSize = std::int32_t(std::nearbyint(-72.0 * double(height) / kImportPixelsPerInch));
    FontHeight = heightOfSize(FontSize);
}

std::string NarrowUtf16Bytes(ConstBytes bytes, std::size_t limit) {
    limit = std::min(limit, kMaxNarrowed);
    char text[kMaxNarrowed];
    std::size_t length = 0;
    bool zeroBefore = false;
    for (std::size_t i = 0; i < bytes.size() && length < limit; ++i) {
        const std::uint8_t b = bytes[i];
        if (b != 0) {
            text[length++] = char(b);
        } else if (zeroBefore && length > 0) {
            break;
        }
        zeroBefore = b == 0;
    }
    return std::string(text, length);
}

void ConvertMetafileRecord(const TWordImportTarget& target, ConstBytes record) {
    TWordImportState& state = target.State;
    switch (EmrRec::Type.get(record)) {
    case EMR_SETBKMODE: state.FillSolid = EmrValue::Mode.get(record) == OPAQUE; break;
    case EMR_SETBKCOLOR: state.FillColor = EmrValue::Color.get(record); break;
    case EMR_MOVETOEX: state.Current = EmrPoint::Point.get(record); break;
    case EMR_CREATEPEN: createPen(state, record); break;
    case EMR_ELLIPSE: addEllipse(target, record); break;
    case EMR_RECTANGLE: addFrame(target, record, false); break;
    case EMR_ROUNDRECT: addFrame(target, record, true); break;
    case EMR_LINETO: addLine(target, record); break;
    case EMR_EXTCREATEFONTINDIRECTW: createFont(state, record); break;
    case EMR_EXTTEXTOUTW: addText(target, record); break;
    default: break;
    }
}

void ImportMetafile(TKVT& form, TKVTDefaults& defaults, TWordImportState& state, ConstBytes emf, float scale,
                    TextMetrics& metrics) {
    state.Scale = scale;
    if (!IsEnhancedMetafile(emf)) throw EWordImportError(kNotAMetafileMessage);
    const TWordImportTarget target{form, defaults, state, metrics};
    TEMFParse parser;
    parser.OnRecord = [&target](TEMFParse&, ConstBytes record) { ConvertMetafileRecord(target, record); };
    parser.Metafile->LoadFromBytes(emf);
    const TAppendRun appending(form.KVTFile());
    parser.Parse();
}

} // namespace kovet
