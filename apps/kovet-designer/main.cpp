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

#include <optional>

using namespace kovet::designer;

// The file named on the command line, if any. --help and --version answer here, before the
// program asks for a display.
std::optional<QString> commandLineFile(int& argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Lays out printable business forms (.kvt files).");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "A form to open, or a file to import.", "[FILE]");
    parser.process(application);
    if (parser.positionalArguments().isEmpty()) return std::nullopt;
    return QDir::current().absoluteFilePath(parser.positionalArguments().first());
}

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName("kovet-designer");
    QCoreApplication::setApplicationVersion(KOVET_VERSION);
    const std::optional<QString> file = commandLineFile(argc, argv);
    QApplication application(argc, argv);
    QApplication::setDesktopFileName("kovet-designer");

    // The user's configuration folder holds the defaults and the recent files: the program's
    // own folder is not writable once installed.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/kovet";
    QtPrompts prompts(nullptr);
    DesignerCore core(prompts, config.toStdString());
    core.Start();
    MainWindow window(core, prompts);
    prompts.SetParent(&window);
    if (file) window.SetCommandLineFile(file->toStdString());
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
