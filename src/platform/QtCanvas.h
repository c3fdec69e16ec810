#pragma once

// The canvas drawn with QPainter on any paint device (image, widget, printer, PDF or SVG
// writer), keeping the conventions of the platform the forms were designed on.

#include "platform/Canvas.h"
#include "platform/QtDibImages.h"

#include <QColor>
#include <QPainter>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QPaintDevice;
class QPainterPath;

namespace kovet {

struct QtFontFace;

// The colour a $00BBGGRR or system colour value stands for.
QColor ToQColor(TColor color);

class QtCanvas : public Canvas {
public:
    // Paints on `device` with a painter of its own, ended when the canvas goes.
    explicit QtCanvas(QPaintDevice& device);
    // Paints with `painter`, which must be active and outlive the canvas; its pen, brush,
    // composition mode and brush origin are the canvas's to change.
    explicit QtCanvas(QPainter& painter);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

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
    std::int32_t TextAscent() override;
    void SetTextJustification(std::int32_t extra, std::int32_t count) override;

    void StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) override;

    void SaveState() override;
    void RestoreState() override;
    void IntersectClipRect(const TRect& r) override;

    std::int32_t LogPixelsX() const override;
    std::int32_t LogPixelsY() const override;
    std::int32_t PhysicalOffsetX() const override { return physicalOffset_.X; }
    std::int32_t PhysicalOffsetY() const override { return physicalOffset_.Y; }
    // The unprintable margin of a printer page, in device pixels.
    void SetPhysicalOffset(std::int32_t x, std::int32_t y) { physicalOffset_ = {x, y}; }

private:
    struct SavedState {
        TPen Pen;
        TBrush Brush;
        TFont Font;
        TPoint Position;
        std::int32_t JustifyExtra = 0;
        std::int32_t JustifyCount = 0;
        std::vector<std::int32_t> Advances;
    };

    // What a shape is outlined with: 0 nothing, 1 a one-pixel (cosmetic) pen, more a wide pen.
    std::int32_t OutlineWidth() const;
    // Where ellipses and rounded rectangles are laid relative to the pixel grid.
    qreal CurveCentre() const;
    // Where a pen of the given width is centred relative to a pixel's top-left corner.
    static qreal PenCentre(std::int32_t width);
    bool Opaque() const;
    void ApplyPenMode();
    void UseBrushFor(QPainter& painter) const;
    void FillPath(const QPainterPath& path);
    void StrokePath(const QPainterPath& path);
    void StrokeFigure(std::span<const TPoint> points, bool closed);
    bool DrawsPixelsExactly(std::span<const TPoint> points) const;
    void RasterizeFigure(std::span<const TPoint> points, bool closed);
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text, bool cellBackground);
    // DrawText inside a state the caller has saved and restores.
    void PlaceText(std::int32_t x, std::int32_t y, std::string_view text, bool cellBackground);
    void DrawTextLines(const QtFontFace& face, qreal width);

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_;
    TPoint position_;
    TPoint physicalOffset_;
    std::int32_t justifyExtra_ = 0;
    std::int32_t justifyCount_ = 0;
    std::vector<SavedState> saved_;
    // Kept for the canvas's life: the pages of a print job share one canvas.
    QtDibImages dibImages_;
};

} // namespace kovet
