#include "QtTextMetrics.h"

#include "storage/Text1252.h"

#include <QByteArray>
#include <QFont>
#include <QString>

#include <algorithm>
#include <cmath>
#include <compare>
#include <map>
#include <mutex>
#include <numeric>
#include <string>

namespace kovet {
namespace {

constexpr int kProbePixelSize = 64;
constexpr std::int64_t kMaxPixelsPerEm = 16384;
constexpr std::int32_t kDefaultCellHeight = 16;
constexpr std::size_t kMaxCachedFaces = 256;

// Ascent and descent in font design units.
struct VerticalMetrics {
    std::int64_t Ascent = 0;
    std::int64_t Descent = 0;
    std::int64_t UnitsPerEm = 1;
};

// The Windows ascent and descent of the OS/2 table decide the cell, as they did on the
// original platform; fonts without them fall back to what the font engine reports.
VerticalMetrics ReadVerticalMetrics(const QRawFont& raw) {
    VerticalMetrics m;
    m.UnitsPerEm = std::max<std::int64_t>(1, std::llround(raw.unitsPerEm()));
    const QByteArray os2 = raw.fontTable("OS/2");
    if (os2.size() >= 78) {
        const auto be16 = [&](int at) {
            return std::uint16_t((std::uint8_t(os2[at]) << 8) | std::uint8_t(os2[at + 1]));
        };
        m.Ascent = be16(74);
        // Some font tools store a signed descent in this unsigned field.
        m.Descent = std::abs(std::int16_t(be16(76)));
        if (m.Ascent + m.Descent > 0) return m;
    }
    const qreal unitsPerPixel = raw.pixelSize() > 0 ? qreal(m.UnitsPerEm) / raw.pixelSize() : 0;
    m.Ascent = std::llround(raw.ascent() * unitsPerPixel);
    m.Descent = std::llround(raw.descent() * unitsPerPixel);
    return m;
}

int PixelsPerEm(std::int32_t height, const VerticalMetrics& m) {
    const std::int64_t h = height == 0 ? kDefaultCellHeight : height;
    const std::int64_t cell = m.Ascent + m.Descent;
    std::int64_t ppem = -h;
    if (h > 0) ppem = cell > 0 ? (m.UnitsPerEm * h + cell / 2) / cell : h;
    return int(std::clamp<std::int64_t>(ppem, 1, kMaxPixelsPerEm));
}

std::int32_t ToPixels(std::int64_t units, int ppem, std::int64_t unitsPerEm) {
    return std::int32_t((units * ppem + unitsPerEm / 2) / unitsPerEm);
}

QtFontFace Resolve(const TFont& font) {
    QFont q(QString::fromUtf8(font.Name.data(), qsizetype(font.Name.size())));
    q.setBold((font.Style & fsBoldBit) != 0);
    q.setItalic((font.Style & fsItalicBit) != 0);
    q.setUnderline((font.Style & fsUnderlineBit) != 0);
    q.setStrikeOut((font.Style & fsStrikeOutBit) != 0);
    q.setKerning(false);
    // Hinted outlines give whole-pixel advances, as text had on the original platform.
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setPixelSize(kProbePixelSize);
    const VerticalMetrics m = ReadVerticalMetrics(QRawFont::fromFont(q));
    const int ppem = PixelsPerEm(font.Height, m);
    q.setPixelSize(ppem);

    QtFontFace face;
    face.Font = q;
    face.Raw = QRawFont::fromFont(q);
    face.Ascent = ToPixels(m.Ascent, ppem, m.UnitsPerEm);
    face.Descent = ToPixels(m.Descent, ppem, m.UnitsPerEm);
    return face;
}

struct FaceKey {
    std::string Name;
    std::int32_t Height;
    std::uint8_t Style;
    auto operator<=>(const FaceKey&) const = default;
};

} // namespace

QtFontFace FaceFor(const TFont& font) {
    static std::mutex mutex;
    static std::map<FaceKey, QtFontFace> cache;
    FaceKey key{font.Name, font.Height, std::uint8_t(font.Style & 0x0F)};
    const std::lock_guard lock(mutex);
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() >= kMaxCachedFaces) cache.clear();
    return cache.emplace(std::move(key), Resolve(font)).first->second;
}

QFont ToQFont(const TFont& font) {
    return FaceFor(font).Font;
}

QtGlyphs LayOutText(const QtFontFace& face, QStringView text) {
    QtGlyphs out;
    if (text.isEmpty()) return out;
    QList<quint32> indexes(text.size());
    int count = int(indexes.size());
    if (!face.Raw.glyphIndexesForChars(text.data(), int(text.size()), indexes.data(), &count)) return out;
    indexes.resize(std::clamp(count, 0, int(indexes.size())));
    const QList<QPointF> advances = face.Raw.advancesForGlyphIndexes(indexes);
    // The font engine gives one glyph per code point, a surrogate pair being one.
    qsizetype unit = 0;
    for (qsizetype g = 0; g < indexes.size() && g < advances.size() && unit < text.size(); ++g) {
        const bool pair = text[unit].isHighSurrogate() && unit + 1 < text.size() && text[unit + 1].isLowSurrogate();
        out.Advances.push_back(std::int32_t(std::lround(advances[g].x())));
        out.Units.push_back(pair ? 2 : 1);
        out.Blank.push_back(text[unit] == u' ');
        unit += pair ? 2 : 1;
    }
    out.Indexes = indexes.first(qsizetype(out.Advances.size()));
    return out;
}

TSize QtTextMetrics::Extent(const TFont& font, std::string_view text) {
    const QtFontFace face = FaceFor(font);
    const QtGlyphs glyphs = LayOutText(face, QString::fromUtf8(text.data(), qsizetype(text.size())));
    return {std::accumulate(glyphs.Advances.begin(), glyphs.Advances.end(), std::int32_t(0)), face.CellHeight()};
}

std::vector<std::int32_t> QtTextMetrics::Advances(const TFont& font, std::u16string_view text) {
    const QtGlyphs glyphs = LayOutText(FaceFor(font), QStringView(text.data(), qsizetype(text.size())));
    std::vector<std::int32_t> perUnit(text.size(), 0);
    std::size_t unit = 0;
    for (std::size_t g = 0; g < glyphs.Advances.size(); ++g) {
        perUnit[unit] = glyphs.Advances[g];
        unit += glyphs.Units[g];
    }
    return perUnit;
}

TDefaultFont PlatformDefaultFont() {
    const QFont font;
    const int size = font.pointSize() > 0 ? font.pointSize() : (font.pixelSize() * 72 + 48) / 96;
    return {Utf8ToWindows1252(font.family().toStdString()), size};
}

} // namespace kovet
