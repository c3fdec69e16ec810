#include "RecordingCanvas.h"

#include "storage/Utf8.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>

namespace kovet {

std::int32_t FixedTextMetrics::Advance(const TFont& font) {
    return std::max(1, std::abs(font.Height) / 2);
}

TSize FixedTextMetrics::Extent(const TFont& font, std::string_view text) {
    std::int32_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80; // UTF-8 lead bytes
    const std::int32_t h = std::abs(font.Height);
    return {characters * Advance(font), font.Height < 0 ? h + h / 5 : h};
}

std::int32_t FixedTextMetrics::Ascent(const TFont& font) {
    const std::int32_t h = std::abs(font.Height);
    return font.Height < 0 ? h : h * 5 / 6;
}

std::vector<std::int32_t> FixedTextMetrics::Advances(const TFont& font, std::u16string_view text) {
    return std::vector<std::int32_t>(text.size(), Advance(font));
}

std::vector<RecordingCanvas::Call> RecordingCanvas::Find(std::string_view op) const {
    std::vector<Call> found;
    for (const Call& c : Calls) {
        if (c.Op == op) found.push_back(c);
    }
    return found;
}

RecordingCanvas::Call& RecordingCanvas::log(std::string op, std::vector<std::int32_t> args) {
    Call& c = Calls.emplace_back();
    c.Op = std::move(op);
    c.Args = std::move(args);
    c.Pen = Pen;
    c.Brush = Brush;
    c.Font = Font;
    return c;
}

void RecordingCanvas::FillRect(const TRect& r) {
    log("FillRect", {r.Left, r.Top, r.Right, r.Bottom});
}

void RecordingCanvas::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    log("Rectangle", {l, t, r, b});
}

void RecordingCanvas::RoundRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                                std::int32_t h) {
    log("RoundRect", {l, t, r, b, w, h});
}

void RecordingCanvas::Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    log("Ellipse", {l, t, r, b});
}

void RecordingCanvas::MoveTo(std::int32_t x, std::int32_t y) {
    log("MoveTo", {x, y});
}

void RecordingCanvas::LineTo(std::int32_t x, std::int32_t y) {
    log("LineTo", {x, y});
}

void RecordingCanvas::Polyline(std::span<const TPoint> points) {
    std::vector<std::int32_t> args;
    for (const TPoint& p : points)
        args.insert(args.end(), {p.X, p.Y});
    log("Polyline", std::move(args));
}

void RecordingCanvas::PolyPolygon(std::span<const std::vector<TPoint>> polygons, TPolyFillMode mode) {
    std::vector<std::int32_t> args;
    for (const auto& polygon : polygons) {
        for (const TPoint& p : polygon)
            args.insert(args.end(), {p.X, p.Y});
    }
    Call& c = log(mode == TPolyFillMode::Winding ? "PolyPolygonWinding" : "PolyPolygon", std::move(args));
    c.PolygonCount = polygons.size();
}

RecordingCanvas::Call& RecordingCanvas::logText(std::string op, std::vector<std::int32_t> args, std::string_view text) {
    Call& c = log(std::move(op), std::move(args));
    c.Text = text;
    c.JustifyExtra = justifyExtra_;
    c.JustifyCount = justifyCount_;
    const std::span<const std::int32_t> advances = TextAdvancesFor(Utf8ToUtf16(text).size());
    c.Advances.assign(advances.begin(), advances.end());
    return c;
}

void RecordingCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    logText("TextOut", {x, y}, text);
}

void RecordingCanvas::TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text) {
    logText("TextRect", {x, y}, text).Clip = clip;
}

TSize RecordingCanvas::TextExtent(std::string_view text) {
    TSize extent = metrics_->Extent(Font, text);
    const std::span<const std::int32_t> advances = TextAdvancesFor(Utf8ToUtf16(text).size());
    if (!advances.empty()) {
        extent.cx = std::int32_t(std::clamp<std::int64_t>(
            std::accumulate(advances.begin(), advances.end(), std::int64_t(0)), INT32_MIN, INT32_MAX));
    }
    return extent;
}

void RecordingCanvas::SetTextJustification(std::int32_t extra, std::int32_t count) {
    justifyExtra_ = extra;
    justifyCount_ = count;
    log("SetTextJustification", {extra, count});
}

void RecordingCanvas::SetTextAdvances(std::vector<std::int32_t> advances) {
    log("SetTextAdvances", advances);
    Canvas::SetTextAdvances(std::move(advances));
}

void RecordingCanvas::StretchDIBits(const TRect& dest, const TRect& source, const TDib& dib) {
    Call& c = log("StretchDIBits",
                  {dest.Left, dest.Top, dest.Right, dest.Bottom, source.Left, source.Top, source.Right, source.Bottom});
    c.Dib = dib;
}

void RecordingCanvas::SaveState() {
    log("SaveState", {});
}

void RecordingCanvas::RestoreState() {
    log("RestoreState", {});
}

void RecordingCanvas::IntersectClipRect(const TRect& r) {
    log("IntersectClipRect", {r.Left, r.Top, r.Right, r.Bottom});
}

void RecordingCanvas::SetMapMode(std::int32_t mode) {
    log("SetMapMode", {mode});
}

} // namespace kovet
