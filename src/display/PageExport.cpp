#include "PageExport.h"

#include "platform/Dib.h"
#include "platform/EmfCanvas.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <utility>

namespace kovet {
namespace {

std::vector<std::uint8_t> toBytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

std::vector<std::uint8_t> pdfBytes(TKVT& form, TSize size, const TPageRenderOptions& options,
                                   std::vector<TDrawProblem>& problems) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator("Kovet");
        pdf.setResolution(96);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size.cx / 96.0, size.cy / 96.0), QPageSize::Inch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QtCanvas canvas(pdf);
        problems = DrawPage(canvas, form, size, options);
    }
    return toBytes(data);
}

std::vector<std::uint8_t> emfBytes(TKVT& form, TSize size, const TPageRenderOptions& options,
                                   std::vector<TDrawProblem>& problems) {
    QtTextMetrics metrics;
    EmfCanvas canvas(size, metrics);
    problems = DrawPage(canvas, form, size, options);
    return canvas.Finish();
}

// A picture as palette indexes, row by row, and its palette of at most 256 colours.
struct IndexedPicture {
    std::vector<GifByteType> Pixels;
    std::vector<QRgb> Palette;
};

// The picture's own colours when it has no more than 256 of them, in ascending order so that
// equal pictures give equal files; nullopt otherwise.
std::optional<IndexedPicture> exactColours(const QImage& rgb) {
    std::unordered_map<QRgb, GifByteType> index;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            // Runs of one colour are the rule on a page.
            if (x > 0 && row[x] == row[x - 1]) continue;
            if (index.emplace(row[x], 0).second && index.size() > 256) return std::nullopt;
        }
    }
    IndexedPicture picture;
    for (const auto& [colour, unused] : index)
        picture.Palette.push_back(colour);
    std::sort(picture.Palette.begin(), picture.Palette.end());
    for (std::size_t i = 0; i < picture.Palette.size(); ++i)
        index[picture.Palette[i]] = GifByteType(i);
    picture.Pixels.reserve(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            picture.Pixels.push_back(index[row[x]]);
    }
    return picture;
}

// Colours counted in cells of 5 bits a channel, which bounds the work whatever the picture.
constexpr int kCellBits = 5;
constexpr int kCells = 1 << (3 * kCellBits);

int cellOf(QRgb c) {
    constexpr int drop = 8 - kCellBits;
    return (qRed(c) >> drop) << (2 * kCellBits) | (qGreen(c) >> drop) << kCellBits | (qBlue(c) >> drop);
}

struct Cell {
    std::uint64_t Count = 0;
    std::array<std::uint64_t, 3> Sum{}; // red, green, blue
    // The colour most of the cell's pixels have, if any has most (found by majority vote, then
    // counted), so that a flat colour keeps its exact value beside the shades of its edges.
    QRgb Candidate = 0;
    std::uint64_t Votes = 0, CandidateCount = 0;
    int Id = 0;

    int Mean(int channel) const { return int((Sum[std::size_t(channel)] + Count / 2) / Count); }
};

// Median cut over the occupied cells: the box whose pixels spread most (count times its widest
// channel's range) is split at the median pixel of that channel, until there are 256 boxes or
// none can be split. A page's flat colours hold most of its pixels, so each soon gets a box,
// and an entry, of its own; the shades of its anti-aliased edges share the rest.
IndexedPicture medianCut(const QImage& rgb) {
    std::vector<Cell> cells(kCells);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            Cell& cell = cells[std::size_t(cellOf(row[x]))];
            ++cell.Count;
            cell.Sum[0] += std::uint64_t(qRed(row[x]));
            cell.Sum[1] += std::uint64_t(qGreen(row[x]));
            cell.Sum[2] += std::uint64_t(qBlue(row[x]));
            if (cell.Votes == 0) cell.Candidate = row[x];
            cell.Votes = cell.Candidate == row[x] ? cell.Votes + 1 : cell.Votes - 1;
        }
    }
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            Cell& cell = cells[std::size_t(cellOf(row[x]))];
            cell.CandidateCount += cell.Candidate == row[x];
        }
    }
    std::vector<Cell> used;
    for (int id = 0; id < kCells; ++id) {
        if (cells[std::size_t(id)].Count == 0) continue;
        used.push_back(cells[std::size_t(id)]);
        used.back().Id = id;
    }

    struct Box {
        std::size_t Begin, End;
        std::uint64_t Count;
        int Channel, Range;
    };
    const auto makeBox = [&](std::size_t begin, std::size_t end) {
        Box box{begin, end, 0, 0, 0};
        for (int channel = 0; channel < 3; ++channel) {
            int low = 255, high = 0;
            for (std::size_t i = begin; i < end; ++i) {
                low = std::min(low, used[i].Mean(channel));
                high = std::max(high, used[i].Mean(channel));
            }
            if (high - low > box.Range) box.Channel = channel, box.Range = high - low;
        }
        for (std::size_t i = begin; i < end; ++i)
            box.Count += used[i].Count;
        return box;
    };
    std::vector<Box> boxes{makeBox(0, used.size())};
    while (boxes.size() < 256) {
        const auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.Count * std::uint64_t(a.Range) < b.Count * std::uint64_t(b.Range);
        });
        if (widest->Range == 0) break;
        const Box box = *widest;
        const auto first = used.begin() + std::ptrdiff_t(box.Begin), last = used.begin() + std::ptrdiff_t(box.End);
        std::sort(first, last, [&](const Cell& a, const Cell& b) {
            return a.Mean(box.Channel) < b.Mean(box.Channel) ||
                   (a.Mean(box.Channel) == b.Mean(box.Channel) && a.Id < b.Id);
        });
        // The lower half takes cells until it holds half the pixels; each half keeps at least one.
        std::size_t cut = box.Begin + 1;
        for (std::uint64_t below = used[box.Begin].Count; below * 2 < box.Count && cut < box.End - 1; ++cut)
            below += used[cut].Count;
        *widest = makeBox(box.Begin, cut);
        boxes.push_back(makeBox(cut, box.End));
    }

    // A box's entry is the colour most of its pixels have, or else their mean.
    IndexedPicture picture;
    for (const Box& box : boxes) {
        std::array<std::uint64_t, 3> sum{};
        const Cell* strongest = &used[box.Begin];
        for (std::size_t i = box.Begin; i < box.End; ++i) {
            for (std::size_t channel = 0; channel < 3; ++channel)
                sum[channel] += used[i].Sum[channel];
            if (used[i].CandidateCount > strongest->CandidateCount) strongest = &used[i];
        }
        const auto mean = [&](std::size_t channel) { return int((sum[channel] + box.Count / 2) / box.Count); };
        picture.Palette.push_back(strongest->CandidateCount * 2 > box.Count ? strongest->Candidate
                                                                            : qRgb(mean(0), mean(1), mean(2)));
    }
    // Each cell's pixels take the entry nearest to their mean, which may lie in another box.
    std::vector<GifByteType> entryOf(kCells);
    for (const Cell& cell : used) {
        int best = 0, bestDistance = 0;
        for (std::size_t i = 0; i < picture.Palette.size(); ++i) {
            const int dr = qRed(picture.Palette[i]) - cell.Mean(0), dg = qGreen(picture.Palette[i]) - cell.Mean(1),
                      db = qBlue(picture.Palette[i]) - cell.Mean(2);
            const int distance = dr * dr + dg * dg + db * db;
            if (i == 0 || distance < bestDistance) best = int(i), bestDistance = distance;
        }
        entryOf[std::size_t(cell.Id)] = GifByteType(best);
    }
    picture.Pixels.reserve(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            picture.Pixels.push_back(entryOf[std::size_t(cellOf(row[x]))]);
    }
    return picture;
}

// No exception may pass through giflib's C frames: a failed append is a short write to it.
int appendGifBytes(GifFileType* gif, const GifByteType* bytes, int count) {
    try {
        auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
        out->insert(out->end(), bytes, bytes + count);
        return count;
    } catch (...) {
        return 0;
    }
}

[[noreturn]] void gifFailed(int error) {
    const char* reason = GifErrorString(error);
    throw Exception(std::string("The page picture cannot be written as GIF: ") +
                    (reason != nullptr ? reason : "error " + std::to_string(error)));
}

} // namespace

std::vector<TDrawProblem> DrawPage(Canvas& canvas, TKVT& form, TSize size, const TPageRenderOptions& options) {
    return DrawForm(form, {0, 0, size.cx, size.cy}, canvas, {options.Designing, options.Shading, true, form.DashColor});
}

std::vector<std::uint8_t> ImageToBmp(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint32_t> pixels(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::copy(row, row + rgb.width(), pixels.begin() + std::ptrdiff_t(y) * rgb.width());
    }
    return WriteBmp24(rgb.width(), rgb.height(), pixels);
}

std::vector<std::uint8_t> ImageToPng(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw Exception("The page picture cannot be written as PNG");
    return toBytes(data);
}

std::vector<std::uint8_t> ImageToGif(const QImage& image) {
    if (image.isNull()) throw Exception("An empty picture cannot be written as GIF");
    // The format stores sizes in 16 bits.
    if (image.width() > 65535 || image.height() > 65535)
        throw Exception("The picture of " + std::to_string(image.width()) + " x " + std::to_string(image.height()) +
                        " pixels is larger than a GIF's 65,535 pixels a side");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) throw Exception("The page picture cannot be converted for GIF");
    std::optional<IndexedPicture> exact = exactColours(rgb);
    // Not const: giflib takes rows through non-const pointers, though it only reads them.
    IndexedPicture picture = exact ? std::move(*exact) : medianCut(rgb);

    // A GIF palette holds a power of two entries, at least two.
    int entries = 2;
    while (entries < int(picture.Palette.size()))
        entries *= 2;
    std::vector<GifColorType> colours(std::size_t(entries), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < picture.Palette.size(); ++i)
        colours[i] = {GifByteType(qRed(picture.Palette[i])), GifByteType(qGreen(picture.Palette[i])),
                      GifByteType(qBlue(picture.Palette[i]))};
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(GifMakeMapObject(entries, colours.data()),
                                                                         GifFreeMapObject);
    if (!map) gifFailed(E_GIF_ERR_NOT_ENOUGH_MEM);

    std::vector<std::uint8_t> out;
    int error = 0;
    // Freed on the way out of a failure; the normal end closes it itself, for the trailer.
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(EGifOpen(&out, appendGifBytes, &error),
                                                             [](GifFileType* g) { EGifCloseFile(g, nullptr); });
    if (!gif) gifFailed(error);
    const auto check = [&gif](int result) {
        if (result == GIF_ERROR) gifFailed(gif->Error);
    };
    EGifSetGifVersion(gif.get(), true);
    check(EGifPutScreenDesc(gif.get(), rgb.width(), rgb.height(), 8, 0, map.get()));
    check(EGifPutImageDesc(gif.get(), 0, 0, rgb.width(), rgb.height(), false, nullptr));
    for (int y = 0; y < rgb.height(); ++y)
        check(EGifPutLine(gif.get(), picture.Pixels.data() + std::ptrdiff_t(y) * rgb.width(), rgb.width()));
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) gifFailed(error);
    return out;
}

std::optional<TPageFormat> PageFormatForFileName(const std::filesystem::path& fileName) {
    const std::string extension = AsciiUpper(fileName.extension().string());
    if (extension == ".BMP") return TPageFormat::Bmp;
    if (extension == ".EMF") return TPageFormat::Emf;
    if (extension == ".GIF") return TPageFormat::Gif;
    if (extension == ".PNG") return TPageFormat::Png;
    if (extension == ".PDF") return TPageFormat::Pdf;
    return std::nullopt;
}

TSize PagePictureSize(TKVT& form, double scale) {
    const TRect page = form.PageRect();
    return {std::int32_t(std::trunc(page.Width() * scale)), std::int32_t(std::trunc(page.Height() * scale))};
}

QImage NewPagePicture(TSize size) {
    const std::int32_t width = std::max(size.cx, 1), height = std::max(size.cy, 1);
    const std::string name =
        "The page picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width > kMaxPictureSide || height > kMaxPictureSide || std::int64_t(width) * height * 4 > kMaxPictureBytes)
        throw Exception(name + " is larger than " + std::to_string(kMaxPictureSide) + " pixels a side or " +
                        std::to_string(kMaxPictureBytes >> 20) + " MiB");
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw Exception(name + " cannot be allocated");
    image.setDotsPerMeterX(3780); // 96 per inch
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

QImage RenderPageImage(TKVT& form, const TPageRenderOptions& options, std::vector<TDrawProblem>& problems) {
    const TSize size = PagePictureSize(form, options.Scale);
    QImage image = NewPagePicture(size);
    QtCanvas canvas(image);
    problems = DrawPage(canvas, form, size, options);
    return image;
}

std::vector<std::uint8_t> ExportPage(TKVT& form, TPageFormat format, const TPageRenderOptions& options,
                                     std::vector<TDrawProblem>& problems) {
    const TSize size = PagePictureSize(form, options.Scale);
    switch (format) {
    case TPageFormat::Bmp: return ImageToBmp(RenderPageImage(form, options, problems));
    case TPageFormat::Gif: return ImageToGif(RenderPageImage(form, options, problems));
    case TPageFormat::Png: return ImageToPng(RenderPageImage(form, options, problems));
    case TPageFormat::Emf: return emfBytes(form, size, options, problems);
    case TPageFormat::Pdf: return pdfBytes(form, size, options, problems);
    }
    return {};
}

std::vector<TDrawProblem> ExportPageToFile(TKVT& form, const std::filesystem::path& fileName, TPageFormat format,
                                           const TPageRenderOptions& options) {
    std::vector<TDrawProblem> problems;
    const std::vector<std::uint8_t> bytes = ExportPage(form, format, options, problems);
    WriteFileAtomically(fileName, bytes);
    return problems;
}

} // namespace kovet
