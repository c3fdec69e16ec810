// `kovet import`: objects from another document in a form, measured as the designer measures
// them, which needs the platform's fonts (Qt Gui).

#include "Modules.h"
#include "QtSession.h"

#include "convert/DelphiImport.h"
#include "convert/DfmReader.h"
#include "convert/TextImport.h"
#include "convert/WordImport.h"
#include "platform/QtTextMetrics.h"
#include "storage/Stream.h"

#include <QGuiApplication>

using namespace kovet;
using namespace kovet::cli;

namespace {

void loadDefaults(const std::string& file, TKVTDefaults& defaults) {
    const std::string problem = defaults.LoadFromBytes(ReadWholeFile(file));
    if (!problem.empty()) throw Exception(file + ": " + problem);
}

} // namespace

KOVET_MODULE_ENTRY int kovet_import(const ImportRequest& request, int& argc, char** argv) {
    return RunCommand([&] {
        PrepareOffscreenQt();
        QGuiApplication application(argc, argv);
        TKVT form;
        if (request.Into) OpenFormForTool(*request.Into, form);
        TKVTDefaults defaults;
        if (request.Defaults) loadDefaults(*request.Defaults, defaults);
        const std::vector<std::uint8_t> bytes = ReadWholeFile(request.In);
        QtTextMetrics metrics;
        if (request.Kind == ".emf") {
            // The drawing state of a fresh designer: the platform's default font.
            const TDefaultFont font = PlatformDefaultFont();
            TWordImportState state(font.Name, font.Size);
            ImportMetafile(form, defaults, state, bytes, float(request.Scale), metrics);
        } else if (request.Kind == ".dfm") {
            ImportDelphiFields(form.KVTFile(), defaults, ObjectResourceToText(bytes), metrics);
        } else {
            ImportTextLines(form, defaults, bytes, metrics);
        }
        form.KVTFile().SaveToFile(request.Out);
        return 0;
    });
}
