#pragma once

// A canvas that draws nothing but checks that every saved state is given back.

#include "platform/Canvas.h"

namespace kovet::fuzz {

class NullCanvas : public kovet::Canvas {
public:
    void FillRect(const kovet::TRect&) override {}
    void Rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void RoundRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void Ellipse(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void MoveTo(std::int32_t, std::int32_t) override {}
    void LineTo(std::int32_t, std::int32_t) override {}
    void Polyline(std::span<const kovet::TPoint>) override {}
    void PolyPolygon(std::span<const std::vector<kovet::TPoint>>, kovet::TPolyFillMode) override {}
    void TextOut(std::int32_t, std::int32_t, std::string_view) override {}
    void TextRect(const kovet::TRect&, std::int32_t, std::int32_t, std::string_view) override {}
    kovet::TSize TextExtent(std::string_view text) override { return {std::int32_t(text.size()) * 7, 16}; }
    void SetTextJustification(std::int32_t, std::int32_t) override {}
    void StretchDIBits(const kovet::TRect&, const kovet::TRect&, const kovet::TDib&) override {}
    void SaveState() override { ++depth; }
    void RestoreState() override {
        if (--depth < 0) __builtin_trap();
    }
    void IntersectClipRect(const kovet::TRect&) override {}

    int depth = 0;
};

} // namespace kovet::fuzz
