// The module of `kovet render` for bitmaps, metafiles and PDF: Qt Gui only.

#include "Modules.h"
#include "Render.h"

using namespace kovet;
using namespace kovet::cli;

KOVET_MODULE_ENTRY int kovet_render(const RenderRequest& request, int& argc, char** argv) {
    return RenderPage(request, argc, argv, [](TKVT& form, const std::string& out, const TPageRenderOptions& options) {
        return ExportPageToFile(form, out, *PageFormatForFileName(out), options);
    });
}
