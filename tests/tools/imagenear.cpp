// kovet-imagenear A B [--radius R] [--tolerance T] [--limit N] [--diff OUT.png]
//
// Compares two pictures of the same size the way a reader looks at them: a pixel of one
// picture counts as matched when the other picture has a pixel of nearly the same colour
// (every channel within T, default 64) no more than R pixels away (default 1, the square
// around it). Two renderers of the same drawing differ by anti-aliasing and by where a
// glyph's stem or a rounded edge falls to within a pixel; a shape that moved, grew, lost
// its fill or changed colour leaves pixels unmatched.
//
// Prints the unmatched pixels of each picture and the worst 32 x 32 tiles, and with --diff
// writes A, greyed, with A's unmatched pixels in red and B's in blue. Exits 0 when neither
// count exceeds N (default 0), 1 when one does, 2 on bad arguments or unreadable files.

#include <QColor>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Options {
    QString a, b, diff;
    int radius = 1;
    int tolerance = 64;
    long limit = 0;
};

bool Near(QRgb p, QRgb q, int tolerance) {
    return std::abs(qRed(p) - qRed(q)) <= tolerance && std::abs(qGreen(p) - qGreen(q)) <= tolerance &&
           std::abs(qBlue(p) - qBlue(q)) <= tolerance;
}

// Marks the pixels of `from` that have no near match in `to`.
std::vector<bool> Unmatched(const QImage& from, const QImage& to, const Options& o) {
    const int w = from.width(), h = from.height();
    std::vector<bool> out(std::size_t(w) * std::size_t(h), false);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(from.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            bool found = false;
            for (int v = std::max(0, y - o.radius); !found && v <= std::min(h - 1, y + o.radius); ++v) {
                const auto* other = reinterpret_cast<const QRgb*>(to.constScanLine(v));
                for (int u = std::max(0, x - o.radius); !found && u <= std::min(w - 1, x + o.radius); ++u)
                    found = Near(row[x], other[u], o.tolerance);
            }
            out[std::size_t(y) * std::size_t(w) + std::size_t(x)] = !found;
        }
    }
    return out;
}

long Count(const std::vector<bool>& marks) {
    return long(std::count(marks.begin(), marks.end(), true));
}

void PrintWorstTiles(const std::vector<bool>& ofA, const std::vector<bool>& ofB, int w) {
    constexpr int kTile = 32;
    std::map<std::pair<int, int>, std::pair<long, long>> tiles;
    for (std::size_t i = 0; i < ofA.size(); ++i) {
        if (!ofA[i] && !ofB[i]) continue;
        auto& t = tiles[{int(i % std::size_t(w)) / kTile, int(i / std::size_t(w)) / kTile}];
        t.first += ofA[i] ? 1 : 0;
        t.second += ofB[i] ? 1 : 0;
    }
    std::vector<std::pair<long, std::pair<int, int>>> order;
    for (const auto& [at, n] : tiles)
        order.push_back({n.first + n.second, at});
    std::sort(order.begin(), order.end(), [](const auto& l, const auto& r) { return l.first > r.first; });
    for (std::size_t i = 0; i < order.size() && i < 12; ++i) {
        const auto [tx, ty] = order[i].second;
        const auto [na, nb] = tiles[order[i].second];
        std::printf("  tile x %d-%d y %d-%d: %ld of A, %ld of B\n", tx * kTile, tx * kTile + kTile - 1, ty * kTile,
                    ty * kTile + kTile - 1, na, nb);
    }
}

bool WriteDiff(const QString& path, const QImage& a, const std::vector<bool>& ofA, const std::vector<bool>& ofB) {
    QImage out = a.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(out.width()) + std::size_t(x);
            const QRgb grey = out.pixel(x, y);
            if (ofA[i])
                out.setPixel(x, y, qRgb(255, 0, 0));
            else if (ofB[i])
                out.setPixel(x, y, qRgb(0, 0, 255));
            else
                out.setPixel(x, y, qRgb(160 + qRed(grey) / 3, 160 + qRed(grey) / 3, 160 + qRed(grey) / 3));
        }
    }
    return out.save(path);
}

bool ParseInt(const char* text, long lowest, long& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < lowest || v > 1'000'000'000) return false;
    out = v;
    return true;
}

bool ParseArguments(int argc, char** argv, Options& o) {
    std::vector<QString> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long value = 0;
        if (arg == "--radius" && hasValue && ParseInt(argv[i + 1], 0, value) && value <= 16) {
            o.radius = int(value);
        } else if (arg == "--tolerance" && hasValue && ParseInt(argv[i + 1], 0, value) && value <= 255) {
            o.tolerance = int(value);
        } else if (arg == "--limit" && hasValue && ParseInt(argv[i + 1], 0, value)) {
            o.limit = value;
        } else if (arg == "--diff" && hasValue) {
            o.diff = QString::fromLocal8Bit(argv[i + 1]);
        } else if (arg.rfind("--", 0) != 0) {
            files.push_back(QString::fromLocal8Bit(argv[i]));
            continue;
        } else {
            return false;
        }
        ++i;
    }
    if (files.size() != 2) return false;
    o.a = files[0];
    o.b = files[1];
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArguments(argc, argv, o)) {
        std::fprintf(stderr, "usage: kovet-imagenear A B [--radius R] [--tolerance T] [--limit N] [--diff OUT.png]\n");
        return 2;
    }
    QImage a(o.a), b(o.b);
    if (a.isNull() || b.isNull()) {
        std::fprintf(stderr, "kovet-imagenear: cannot read %s\n", qPrintable(a.isNull() ? o.a : o.b));
        return 2;
    }
    if (a.size() != b.size()) {
        std::fprintf(stderr, "kovet-imagenear: sizes differ: %dx%d and %dx%d\n", a.width(), a.height(), b.width(),
                     b.height());
        return 1;
    }
    a = a.convertToFormat(QImage::Format_RGB32);
    b = b.convertToFormat(QImage::Format_RGB32);

    const std::vector<bool> ofA = Unmatched(a, b, o);
    const std::vector<bool> ofB = Unmatched(b, a, o);
    const long countA = Count(ofA), countB = Count(ofB);
    std::printf("unmatched pixels: %ld of A, %ld of B (radius %d, tolerance %d, limit %ld)\n", countA, countB, o.radius,
                o.tolerance, o.limit);
    PrintWorstTiles(ofA, ofB, a.width());
    if (!o.diff.isEmpty() && !WriteDiff(o.diff, a, ofA, ofB)) {
        std::fprintf(stderr, "kovet-imagenear: cannot write %s\n", qPrintable(o.diff));
        return 2;
    }
    return countA <= o.limit && countB <= o.limit ? 0 : 1;
}
