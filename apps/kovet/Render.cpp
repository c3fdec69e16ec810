#include "Render.h"

#include "QtSession.h"

#include <QGuiApplication>

#include <cstdio>

namespace kovet::cli {

int RenderPage(const RenderRequest& request, int& argc, char** argv, const PageWriter& write) {
    return RunCommand([&] {
        // Drawing text needs the platform's fonts.
        PrepareOffscreenQt();
        QGuiApplication application(argc, argv);
        // Qt looks through its image format plug-ins whenever it writes a picture. A page needs
        // only the formats built into Qt Gui; unfound, the plug-ins (SVG among them, which would
        // load Qt Svg) stay out of the process.
        QCoreApplication::setLibraryPaths({});
        TKVT form;
        OpenFormForTool(request.Form, form);
        const TPageRenderOptions options{request.Scale, request.Designing, request.Shading};
        for (const TDrawProblem& problem : write(form, request.Out, options))
            std::fprintf(stderr, "kovet: warning: %s\n", problem.Message.c_str());
        return 0;
    });
}

} // namespace kovet::cli
