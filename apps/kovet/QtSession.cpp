#include "QtSession.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace kovet::cli {

void PrepareOffscreenQt() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
}

} // namespace kovet::cli
