#pragma once

// A canvas that records standard enhanced-metafile records instead of drawing, for the
// metafile export and for anything else that wants the page as a picture. The reference
// device is the page at 96 pixels per inch; coordinates are written 1:1 in MM_TEXT.
//
// GDI state is written only when a drawing call needs it and it differs from what the
// metafile already holds: the current pen, brush and font become objects that are created,
// selected and deleted once replaced (remaining ones are deselected and deleted when the
// metafile is finished); background mode and colour follow the brush (transparent when it
// is clear, otherwise opaque in its colour); the raster operation follows the pen mode.
// FillRect is written as a RECTANGLE one pixel larger on the right and bottom with the
// stock null pen selected and R2_COPYPEN, which fills exactly the pixels FillRect covers.
// In STRETCHDIBITS records ySrc counts from the bottom row of a bottom-up bitmap, as GDI
// takes it; the canvas's source rectangle is top-down. The dx array of a text record holds
// the advances set with SetTextAdvances when they fit the text, otherwise the metrics'
// advances widened by the justification.

#include "platform/Canvas.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace kovet {

class EmfCanvas : public Canvas {
public:
    // `page`: the size of the picture in pixels; `metrics` measures text and must outlive the canvas.
    EmfCanvas(TSize page, TextMetrics& metrics);

    void FillRect(const TRect& r) override;
    void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void RoundRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                   std::int32_t h) override;
    void Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void MoveTo(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Polyline(std::span<const TPoint> points) override;
    void PolyPolygon(std::span<const std::vector<TPoint>> polygons, TPolyFillMode mode) override;
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text) override;
    TSize TextExtent(std::string_view text) override;
    std::int32_t TextAscent() override { return metrics_.Ascent(Font); }
    void SetTextJustification(std::int32_t extra, std::int32_t count) override;
    void StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) override;
    void SaveState() override;
    void RestoreState() override;
    void IntersectClipRect(const TRect& r) override;
    void SetMapMode(std::int32_t mode) override;

    // Closes the metafile (open states restored, objects deselected and deleted, the
    // end-of-file record written, the header completed) and returns its bytes. Later calls
    // return the same bytes; drawing after the first call is not recorded.
    const std::vector<std::uint8_t>& Finish();

private:
    enum ObjectKind { kPen, kBrush, kFont, kObjectKinds };

    // What the metafile's device context holds; unset values are not known yet.
    struct DcState {
        std::array<std::uint32_t, kObjectKinds> selected{}; // handle, or 0 when none is known
        std::optional<std::int32_t> bkMode, rop2, polyFillMode;
        std::optional<std::uint32_t> bkColor, textColor, textAlign;
    };

    struct LiveObject {
        std::vector<std::uint8_t> record; // the creating record with handle 0, to compare
        int refs = 0;                     // the current selection and saved states using it
    };

    Bytes AddRecord(std::uint32_t type, std::size_t size);
    void AddValueRecord(std::uint32_t type, std::uint32_t value);
    void AddBoxRecord(std::uint32_t type, const TRect& box);
    void Include(const TRect& inclusive);

    void SelectCreated(ObjectKind kind, const std::vector<std::uint8_t>& record);
    void SelectStock(ObjectKind kind, std::uint32_t index);
    void Release(std::uint32_t handle);
    std::uint32_t NewHandle() const;

    void SetValue(std::optional<std::int32_t>& current, std::int32_t value, std::uint32_t type);
    void SetValue(std::optional<std::uint32_t>& current, std::uint32_t value, std::uint32_t type);
    void UsePen();
    void UseBrush();
    void UseFont();
    void UseBackground();
    void UseRop2(std::int32_t rop2);
    void UseForShape();

    void WriteText(const TRect* clip, std::int32_t x, std::int32_t y, std::string_view text);
    void Close();

    TextMetrics& metrics_;
    TSize page_;
    std::vector<std::uint8_t> out_;
    std::uint32_t records_ = 0;
    bool finished_ = false;
    bool drawn_ = false;
    TRect bounds_;
    TPoint position_;
    DcState dc_;
    std::vector<DcState> saved_;
    std::map<std::uint32_t, LiveObject> objects_;
    std::uint32_t handleCount_ = 1; // highest handle used + 1; index 0 is the metafile's own
    std::int32_t justifyExtra_ = 0, justifyCount_ = 0;
};

} // namespace kovet
