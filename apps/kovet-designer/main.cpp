// kovet-designer [FILE]: the form designer, on the form FILE when one is named.

#include "designer/core/DesignerCore.h"
#include "designer/windows/MainWindow.h"
#include "designer/windows/QtPrompts.h"
#include "platform/FileTypeRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

using namespace kovet::designer;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("kovet-designer");
    QApplication::setApplicationVersion(KOVET_VERSION);
    QApplication::setDesktopFileName("kovet-designer");

    QCommandLineParser parser;
    parser.setApplicationDescription("Lays out printable business forms (.kvt files).");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "A form to open, or a file to import.", "[FILE]");
    parser.process(application);

    // The user's configuration folder holds the defaults and the recent files: the program's
    // own folder is not writable once installed.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/kovet";
    QtPrompts prompts(nullptr);
    DesignerCore core(prompts, config.toStdString());
    core.Start();
    MainWindow window(core, prompts);
    prompts.SetParent(&window);
    if (!parser.positionalArguments().isEmpty())
        window.SetCommandLineFile(QDir::current().absoluteFilePath(parser.positionalArguments().first()).toStdString());
    const QString guide = QApplication::applicationDirPath() + "/../" KOVET_GUIDE_FROM_BIN "/index.html";
    window.SetGuide(QDir::cleanPath(guide).toStdString());
    window.show();
    // The desktop learns of forms once the window is up, so that the tools that refresh its
    // databases do not hold the first picture back; a failure is a line in the status bar.
    QTimer::singleShot(0, &window, [&window] {
        const std::string problem = kovet::RegisterFileType({QApplication::applicationFilePath().toStdString(), {}});
        if (!problem.empty()) window.ShowNote(QString::fromStdString(problem));
    });
    return QApplication::exec();
}
