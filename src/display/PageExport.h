#pragma once

// The page of a form as a picture file: the designer's export commands and `kovet render`.

#include "Painter.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

class QImage;

namespace kovet {

// SVG, which needs Qt Svg, has an export of its own (SvgExport.h).
enum class TPageFormat { Bmp, Emf, Gif, Png, Pdf };

// By the file name's extension, ASCII case ignored.
std::optional<TPageFormat> PageFormatForFileName(const std::filesystem::path& fileName);

struct TPageRenderOptions {
    double Scale = 1.0;
    bool Designing = false;
    bool Shading = true;
};

// The picture's size: trunc(PageWidth x scale) by trunc(PageHeight x scale) pixels.
TSize PagePictureSize(TKVT& form, double scale);

// A 24-bit BMP file image of the picture.
std::vector<std::uint8_t> ImageToBmp(const QImage& image);
// A PNG file image of the picture; throws Exception when it cannot be encoded.
std::vector<std::uint8_t> ImageToPng(const QImage& image);
// A GIF89a file image of the picture: one image, not interlaced, its transparency dropped.
// A picture of at most 256 colours keeps them exactly; one of more gets a palette of 256
// chosen from its own colours, each pixel taking the nearest. Throws Exception when the
// picture is empty, wider or higher than GIF's 65,535 pixels, or cannot be encoded.
std::vector<std::uint8_t> ImageToGif(const QImage& image);

// Draws the page, opaque, into (0, 0, size) of a canvas in pixels at 96 per inch, with the
// options' designing and shading.
std::vector<TDrawProblem> DrawPage(Canvas& canvas, TKVT& form, TSize size, const TPageRenderOptions& options);

// The largest page picture drawn: beyond a Letter page at 1,200 pixels per inch (10,200 x
// 13,200) in either direction, but far below what would exhaust memory.
inline constexpr std::int32_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPictureBytes = std::int64_t(256) << 20;

// A white picture of `size` (at least 1 x 1) at 96 pixels per inch. Throws Exception, naming
// the size, when it is larger than those limits or cannot be allocated.
QImage NewPagePicture(TSize size);

// Draws the page, opaque, into a white image of PagePictureSize.
QImage RenderPageImage(TKVT& form, const TPageRenderOptions& options, std::vector<TDrawProblem>& problems);

// The page as file bytes in the given format: BMP as a 24-bit bitmap, GIF as ImageToGif
// writes it, EMF as an enhanced metafile, PDF as a vector page of the picture size in 1/96 inch. DrawForm draws into
// (0, 0, width, height), opaque.
std::vector<std::uint8_t> ExportPage(TKVT& form, TPageFormat format, const TPageRenderOptions& options,
                                     std::vector<TDrawProblem>& problems);

// ExportPage written to a file, replacing it safely. Throws EFileError.
std::vector<TDrawProblem> ExportPageToFile(TKVT& form, const std::filesystem::path& fileName, TPageFormat format,
                                           const TPageRenderOptions& options);

} // namespace kovet
