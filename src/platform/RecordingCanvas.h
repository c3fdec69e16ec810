#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace kovet {

// Text metrics that need no fonts: every character is half the font's pixel height wide
// (at least one pixel) and a cell is the character height plus a fifth. For tests.
class FixedTextMetrics : public TextMetrics {
public:
    TSize Extent(const TFont& font, std::string_view text) override;
    std::vector<std::int32_t> Advances(const TFont& font, std::u16string_view text) override;
    // The character height: the fifth added for the cell lies below the baseline.
    std::int32_t Ascent(const TFont& font) override;
    static std::int32_t Advance(const TFont& font);
};

// A canvas that draws nothing and logs every call with the drawing state it used, so that
// tests can check what a painter asked for.
class RecordingCanvas : public Canvas {
public:
    struct Call {
        std::string Op;                 // "FillRect", "Rectangle", "TextOut", ...
        std::vector<std::int32_t> Args; // coordinates in call order
        std::string Text;               // text of text calls
        TPen Pen;
        TBrush Brush;
        TFont Font;
        TRect Clip;                    // TextRect's clip rectangle
        std::int32_t JustifyExtra = 0; // justification in force for text calls
        std::int32_t JustifyCount = 0;
        std::vector<std::int32_t> Advances; // text calls: the advances they were placed by, if any
        std::size_t PolygonCount = 0;       // PolyPolygon
        TDib Dib;                           // StretchDIBits
    };

    explicit RecordingCanvas(TextMetrics* metrics = nullptr) : metrics_(metrics ? metrics : &fixed_) {}

    std::vector<Call> Calls;
    // Calls with this operation name, in order.
    std::vector<Call> Find(std::string_view op) const;

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
    std::int32_t TextAscent() override { return metrics_->Ascent(Font); }
    void SetTextJustification(std::int32_t extra, std::int32_t count) override;
    void SetTextAdvances(std::vector<std::int32_t> advances) override;
    void StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) override;
    void SaveState() override;
    void RestoreState() override;
    void IntersectClipRect(const TRect& r) override;
    void SetMapMode(std::int32_t mode) override;

private:
    Call& log(std::string op, std::vector<std::int32_t> args);
    Call& logText(std::string op, std::vector<std::int32_t> args, std::string_view text);

    FixedTextMetrics fixed_;
    TextMetrics* metrics_;
    std::int32_t justifyExtra_ = 0;
    std::int32_t justifyCount_ = 0;
};

} // namespace kovet
