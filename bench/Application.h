#pragma once

// Painting needs the platform's fonts, and the run-time widget a widget application: one
// for the whole benchmark program, on the off-screen platform.

#include <QApplication>

namespace kovet::bench {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "kovet_bench";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = (qputenv("QT_QPA_PLATFORM", "offscreen"), true);
    static QApplication app(argc, argv);
    (void)offscreen;
    return app;
}

} // namespace kovet::bench
