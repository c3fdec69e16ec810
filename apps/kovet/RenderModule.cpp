// The module of `kovet render` for bitmaps, metafiles and PDF (fillable ones with qpdf): Qt Gui
// only.

#include "Modules.h"
#include "Render.h"

#include "display/FillablePdf.h"

using namespace kovet;
using namespace kovet::cli;

KOVET_MODULE_ENTRY int kovet_render(const RenderRequest& request, int& argc, char** argv) {
    return RenderPage(request, argc, argv,
                      [&request](TKVT& form, const std::string& out, const TPageRenderOptions& options) {
                          return request.Fillable ? ExportFillablePageToFile(form, out, options)
                                                  : ExportPageToFile(form, out, *PageFormatForFileName(out), options);
                      });
}
