#include "SvgExport.h"

#include "platform/QtCanvas.h"
#include "storage/Stream.h"

#include <QBuffer>
#include <QSvgGenerator>

namespace kovet {

std::vector<std::uint8_t> SvgPictureBytes(TSize size, const std::function<void(Canvas& canvas)>& draw) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(96);
        svg.setSize(QSize(size.cx, size.cy));
        svg.setViewBox(QRect(0, 0, size.cx, size.cy));
        svg.setTitle("Kovet form");
        QtCanvas canvas(svg);
        draw(canvas);
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    return {bytes, bytes + data.size()};
}

std::vector<std::uint8_t> ExportPageSvg(TKVT& form, const TPageRenderOptions& options,
                                        std::vector<TDrawProblem>& problems) {
    const TSize size = PagePictureSize(form, options.Scale);
    return SvgPictureBytes(size, [&](Canvas& canvas) { problems = DrawPage(canvas, form, size, options); });
}

std::vector<TDrawProblem> ExportPageSvgToFile(TKVT& form, const std::filesystem::path& fileName,
                                              const TPageRenderOptions& options) {
    std::vector<TDrawProblem> problems;
    WriteFileAtomically(fileName, ExportPageSvg(form, options, problems));
    return problems;
}

} // namespace kovet
