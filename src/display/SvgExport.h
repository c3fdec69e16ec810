#pragma once

// Pages as SVG pictures. Apart from the other page exports because it needs Qt Svg, which
// programs that write only bitmaps, metafiles and PDF need not load.

#include "PageExport.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace kovet {

// An SVG picture of `size` pixels at 96 per inch (its view box), drawn by `draw` onto the
// canvas it is given.
std::vector<std::uint8_t> SvgPictureBytes(TSize size, const std::function<void(Canvas& canvas)>& draw);

// The form's page as SVG, as ExportPage draws the other formats.
std::vector<std::uint8_t> ExportPageSvg(TKVT& form, const TPageRenderOptions& options,
                                        std::vector<TDrawProblem>& problems);

// ExportPageSvg written to a file, replacing it safely. Throws EFileError.
std::vector<TDrawProblem> ExportPageSvgToFile(TKVT& form, const std::filesystem::path& fileName,
                                              const TPageRenderOptions& options);

} // namespace kovet
