#include "Painter.h"

#include "platform/Dib.h"
#include "platform/emf/EmfPlayer.h"
#include "platform/emf/Metafile.h"
#include "storage/Text1252.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace kovet {
namespace {

constexpr std::int32_t MM_ANISOTROPIC = 8;

// Style codes outside 0..3 leave the style as the previous drawing step set it.
void applyPenStyle(Canvas& canvas, std::uint8_t code) {
    static constexpr std::array<TPenStyle, 4> styles = {TPenStyle::psSolid, TPenStyle::psDash, TPenStyle::psDot,
                                                        TPenStyle::psClear};
    if (code < styles.size()) canvas.Pen.Style = styles[code];
}

void applyBrushStyle(Canvas& canvas, std::uint8_t code) {
    static constexpr std::array<TBrushStyle, 4> styles = {TBrushStyle::bsClear, TBrushStyle::bsSolid,
                                                          TBrushStyle::bsFDiagonal, TBrushStyle::bsDiagCross};
    if (code < styles.size()) canvas.Brush.Style = styles[code];
}

std::int32_t alignmentOffset(std::uint8_t alignment, std::int32_t boxWidth, std::int32_t textWidth) {
    std::int32_t d = 0;
    if (alignment == 1) d = boxWidth - textWidth;
    if (alignment == 2) d = (boxWidth - textWidth) / 2;
    return std::max(d, 0);
}

class FormPainter {
public:
    FormPainter(TKVT& form, const TRect& rect, Canvas& canvas, const TDrawOptions& options)
        : form_(form), rect_(rect), canvas_(canvas), options_(options), s_(form.ScaleFor(rect)) {}

    void background(bool opaque) {
        const THeaderBytes h = form_.GetHeader();
        const std::uint8_t thickness = HeaderRec::BorderThickness.get(h);
        canvas_.Pen.Width = thickness != 0 ? Scaled(thickness, s_) : 1;
        canvas_.Pen.Color = clBlack;
        applyPenStyle(canvas_, HeaderRec::BorderStyle.get(h));
        canvas_.Brush.Color = HeaderRec::PageColor.get(h);
        canvas_.Brush.Style = opaque ? TBrushStyle::bsSolid : TBrushStyle::bsClear;
        canvas_.FillRect(rect_);
    }

    void objects() {
        TKVTFile& file = form_.KVTFile();
        scratch_.reserve(std::size_t(kLogoMaxSize));
        for (std::int32_t i = 0; i < file.Count(); ++i) {
            const ConstBytes stored = file.Items(i);
            scratch_.assign(stored.begin(), stored.end());
            const Bytes copy(scratch_);
            const std::int32_t type = ItemHeader::ItemType.get(copy);
            if (type > kvtHeaderType) scaleBox(copy);
            switch (type) {
            case kvtFrameType: frame(copy); break;
            case kvtLineType: line(copy); break;
            case kvtEllipseType: ellipse(copy); break;
            case kvtTextType: text(copy, stored); break;
            case kvtFieldType:
                if (options_.Designing) field(copy, stored);
                break;
            case kvtLogoType: logo(copy, i); break;
            default: break;
            }
        }
    }

    std::vector<TDrawProblem> problems;

private:
    // The scaled box is stored back into the copy's 16-bit fields, keeping their low bits.
    void scaleBox(Bytes r) const {
        ObjectRec::Left.set(r, std::int16_t(Scaled(ObjectRec::Left.get(r), s_) + rect_.Left));
        ObjectRec::Top.set(r, std::int16_t(Scaled(ObjectRec::Top.get(r), s_) + rect_.Top));
        ObjectRec::Width.set(r, std::int16_t(Scaled(ObjectRec::Width.get(r), s_)));
        ObjectRec::Height.set(r, std::int16_t(Scaled(ObjectRec::Height.get(r), s_)));
    }

    static TRect box(ConstBytes r) {
        const std::int32_t left = ObjectRec::Left.get(r), top = ObjectRec::Top.get(r);
        return {left, top, left + ObjectRec::Width.get(r), top + ObjectRec::Height.get(r)};
    }

    void frame(ConstBytes r) {
        canvas_.Brush.Color = FrameRec::InnerColor.get(r);
        canvas_.Pen.Color = FrameRec::OuterColor.get(r);
        canvas_.Pen.Width = Scaled(FrameRec::Thickness.get(r), s_);
        applyPenStyle(canvas_, FrameRec::OuterStyle.get(r));
        applyBrushStyle(canvas_, FrameRec::InnerStyle.get(r));
        if (canvas_.Pen.Color == canvas_.Brush.Color) canvas_.Pen.Style = TPenStyle::psClear;
        if (!options_.Shading) canvas_.Brush.Style = TBrushStyle::bsClear;
        const TRect b = box(r);
        const std::int16_t roundness = FrameRec::Roundness.get(r);
        if (roundness <= 0) {
            canvas_.Rectangle(b.Left, b.Top, b.Right, b.Bottom);
        } else {
            const std::int32_t corner = Scaled(roundness, s_);
            canvas_.RoundRect(b.Left, b.Top, b.Right, b.Bottom, corner, corner);
        }
    }

    void ellipse(ConstBytes r) {
        canvas_.Brush.Color = EllipseRec::InnerColor.get(r);
        canvas_.Pen.Color = EllipseRec::OuterColor.get(r);
        canvas_.Pen.Width = Scaled(EllipseRec::Thickness.get(r), s_);
        applyPenStyle(canvas_, EllipseRec::OuterStyle.get(r));
        applyBrushStyle(canvas_, EllipseRec::InnerStyle.get(r));
        if (!options_.Shading) canvas_.Brush.Style = TBrushStyle::bsClear;
        const TRect b = box(r);
        canvas_.Ellipse(b.Left, b.Top, b.Right, b.Bottom);
    }

    void line(ConstBytes r) {
        canvas_.Brush.Style = TBrushStyle::bsClear;
        canvas_.Pen.Color = LineRec::Color.get(r);
        canvas_.Pen.Width = Scaled(LineRec::Thickness.get(r), s_);
        applyPenStyle(canvas_, LineRec::Style.get(r));
        const TRect b = box(r);
        const std::int32_t mx = b.Width() / 2 + b.Left;
        const std::int32_t my = b.Height() / 2 + b.Top;
        const float angle = LineRec::Angle.get(r);
        TPoint from, to;
        if (angle >= 135) {
            from = {b.Left, b.Top}, to = {b.Right, b.Bottom};
        } else if (angle >= 90) {
            from = {mx, b.Top}, to = {mx, b.Bottom};
        } else if (angle >= 45) {
            from = {b.Left, b.Bottom}, to = {b.Right, b.Top};
        } else if (angle >= 0) {
            from = {b.Left, my}, to = {b.Right, my};
        } else {
            return; // negative (or unordered) angles draw nothing
        }
        canvas_.MoveTo(from.X, from.Y);
        canvas_.LineTo(to.X, to.Y);
    }

    // Font of a text or field record; a zero font height means "fill the unscaled box".
    void selectFont(ConstBytes r, ConstBytes stored, TColor color) {
        const std::int16_t fontHeight = FontRec::FontHeight.get(r);
        const std::int32_t h = fontHeight != 0 ? fontHeight : ObjectRec::Height.get(stored);
        canvas_.Font.Name = Windows1252ToUtf8(FontRec::FontName.get(r));
        canvas_.Font.Style = FontRec::FontStyle.get(r);
        canvas_.Font.Color = color;
        canvas_.Font.CharSet = 1; // DEFAULT_CHARSET
        canvas_.Font.Height = -std::abs(Scaled(h, s_));
        canvas_.Font.Escapement = 0;
    }

    void text(ConstBytes r, ConstBytes stored) {
        canvas_.SetMapMode(MM_ANISOTROPIC);
        canvas_.Brush.Style = TBrushStyle::bsClear;
        selectFont(r, stored, FontRec::FontColor.get(r));
        // An angle that is no number reads as 0: the text is drawn unrotated in its box.
        const float recorded = TextRec::Angle.get(r);
        const float angle = std::isfinite(recorded) ? recorded : 0.0f;
        const bool rotated = angle != 0.0f;
        if (rotated) canvas_.Font.Escapement = Escapement(angle);

        const std::string raw = TextRec::Text.get(r);
        const std::string text = Windows1252ToUtf8(raw);
        const TRect b = box(r);
        const std::int32_t textWidth = canvas_.TextWidth(text);
        const std::uint8_t alignment = TextRec::Alignment.get(r);
        const std::int32_t d = alignmentOffset(alignment, b.Width(), textWidth);

        bool justified = false;
        if (alignment == 3 && textWidth < b.Width()) {
            const std::int32_t extra = b.Width() - textWidth;
            const std::int32_t spaces = TKVT::CountSpaces(raw);
            if (spaces > 0 && extra > 0) {
                canvas_.SetTextJustification(extra, spaces);
                justified = true;
            }
        }
        if (rotated || TextRec::Autosize.get(r) != 0) {
            canvas_.TextOut(b.Left + d, b.Top, text);
        } else {
            canvas_.TextRect({b.Left, b.Top, b.Right + 2, b.Bottom + 2}, b.Left + d, b.Top, text);
        }
        if (justified) canvas_.SetTextJustification(0, 0);
        if (rotated) canvas_.Font.Escapement = 0;
    }

    void field(ConstBytes r, ConstBytes stored) {
        canvas_.Brush.Style = TBrushStyle::bsClear;
        const bool editable = FieldRec::ReadOnly.get(r) == 0;
        const TRect b = box(r);
        if ((editable && FieldRec::CtlOutline.get(r) != 0) || FieldRec::Format.get(r) == lfoMemo) {
            canvas_.Pen.Color = options_.DashColor;
            canvas_.Pen.Width = 1;
            canvas_.Pen.Style = TPenStyle::psDot;
            canvas_.Rectangle(b.Left, b.Top, b.Right, b.Bottom);
        }
        selectFont(r, stored, editable ? clNavy : clBlack);
        const std::string caption = Windows1252ToUtf8(FieldPlaceholderCaption(r));
        const std::int32_t d = alignmentOffset(FieldRec::Alignment.get(r), b.Width(), canvas_.TextWidth(caption));
        canvas_.TextOut(b.Left + d, b.Top, caption);
    }

    void logo(ConstBytes r, std::int32_t index) {
        const TRect b = box(r);
        auto outline = [&] {
            canvas_.Brush.Style = TBrushStyle::bsClear;
            canvas_.Pen.Color = clTeal;
            canvas_.Pen.Width = 1;
            canvas_.Pen.Style = TPenStyle::psDash;
            canvas_.Rectangle(b.Left, b.Top, b.Right, b.Bottom);
        };
        if (options_.Designing) outline();

        const ConstBytes data = LogoRec::Data(r);
        const bool scaledToFit = LogoRec::Scaled.get(r) != 0;
        std::string error;
        switch (LogoRec::PictureType.get(r)) {
        case ptBitmap:
            try {
                const TBmpFile bitmap = ReadBmpFile(data);
                const std::int64_t pixels = std::int64_t(bitmap.Width) * bitmap.Height;
                if (pixels > bitmapBudget_) {
                    error = "a bitmap of " + std::to_string(bitmap.Width) + " x " + std::to_string(bitmap.Height) +
                            " pixels is beyond the " + std::to_string(kMaxDrawnBitmapPixels) +
                            " pixels of pictures one drawing decodes";
                    break;
                }
                bitmapBudget_ -= pixels;
                const TRect dest = scaledToFit ? b : naturalSize(b, bitmap.Width, bitmap.Height);
                canvas_.StretchDIBits(dest, {0, 0, bitmap.Width, bitmap.Height}, bitmap.Dib);
                return;
            } catch (const EDibError& e) {
                error = e.what();
            }
            break;
        case ptMetafile: {
            TMetafile picture;
            picture.LoadFromBytes(data);
            const TRect dest = scaledToFit ? b : naturalSize(b, picture.Width(), picture.Height());
            if (PlayEnhMetafile(canvas_, data, dest)) return;
            error = "not an enhanced metafile";
            break;
        }
        default: return;
        }
        // A picture that does not decode is drawn as its outline, and reported.
        if (!options_.Designing) outline();
        const std::int32_t id = ItemHeader::ID.get(r);
        problems.push_back({index, id, "Logo " + std::to_string(id) + ": " + error});
    }

    // An unscaled picture keeps its own size, scaled only by the drawing scale.
    TRect naturalSize(const TRect& b, std::int32_t width, std::int32_t height) const {
        return {b.Left, b.Top, Scaled(width, s_) + b.Left, Scaled(height, s_) + b.Top};
    }

    TKVT& form_;
    TRect rect_;
    Canvas& canvas_;
    const TDrawOptions options_;
    float s_;
    std::int64_t bitmapBudget_ = kMaxDrawnBitmapPixels;
    std::vector<std::uint8_t> scratch_;
};

} // namespace

std::int32_t Escapement(float degrees) {
    if (!std::isfinite(degrees)) return 0;
    double tenths = std::trunc(double(degrees) * 10.0);
    if (std::abs(tenths) > double(std::numeric_limits<std::int32_t>::max()))
        tenths = std::trunc(std::fmod(double(degrees), 360.0) * 10.0);
    return std::int32_t(tenths);
}

std::int32_t Scaled(double value, float s) {
    return std::int32_t(std::trunc(value * double(s)));
}

std::string FieldPlaceholderCaption(ConstBytes field) {
    static constexpr std::array<const char*, 21> prefixes = {
        "tx-", "re-", "in-", "do-", "pe-", "pn-", "dt-", "df-",   "ds-", "ti-", "tm-",
        "ph-", "so-", "zc-", "pe-", "vm-", "am-", "cu-", nullptr, "cb-", "me-",
    };
    const std::uint8_t format = FieldRec::Format.get(field);
    const std::string name = FieldRec::Name.get(field);
    std::string caption;
    if (format == lfoCheckbox) {
        caption = "X" + std::to_string(FieldRec::GroupIndex.get(field)) + "-" + name;
    } else {
        caption = (format < prefixes.size() ? prefixes[format] : "\?\?-") + name;
    }
    caption.resize(std::min<std::size_t>(caption.size(), 43));
    return caption;
}

TDrawOptions TDrawOptions::Of(const TKVT& form, bool opaque) {
    return {form.Designing, form.Shading, opaque, form.DashColor};
}

std::vector<TDrawProblem> DrawForm(TKVT& form, const TRect& rect, Canvas& canvas, const TDrawOptions& options) {
    FormPainter painter(form, rect, canvas, options);
    painter.background(options.Opaque);
    if (form.IsEmpty()) return {};
    painter.objects();
    return std::move(painter.problems);
}

std::vector<TDrawProblem> DrawForm(TKVT& form, const TRect& rect, Canvas& canvas, bool opaque) {
    return DrawForm(form, rect, canvas, TDrawOptions::Of(form, opaque));
}

} // namespace kovet
