#include "FileTypeRegistration.h"

#include "storage/Exception.h"
#include "storage/Stream.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <vector>

namespace kovet {
namespace {

namespace fs = std::filesystem;

// The shipped files of data/, compiled in.
std::vector<std::uint8_t> builtIn(const char* name) {
    QFile file(QStringLiteral(":/kovet/desktop/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) throw Exception(std::string("The built-in file ") + name + " is missing");
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

fs::path dataHome(const RegistrationPaths& paths) {
    if (!paths.DataHome.empty()) return paths.DataHome;
    // A relative XDG_DATA_HOME is invalid and counts as unset.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && fs::path(xdg).is_absolute()) return xdg;
    return fs::path(QDir::homePath().toStdString()) / ".local" / "share";
}

// A desktop entry's string values write backslashes and control characters as escapes.
std::string escapeValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// One argument of the Exec key, whatever the characters of the path: in double quotes, inside
// which ", `, $ and \ take a backslash; % is the key's field code character and is doubled.
std::string execArgument(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return escapeValue(quoted + '"');
}

// The shipped desktop entry, starting `program` instead of whichever kovet-designer is found
// on the PATH.
std::vector<std::uint8_t> desktopEntryFor(const fs::path& program) {
    const std::vector<std::uint8_t> shipped = builtIn("kovet-designer.desktop");
    const std::string text(shipped.begin(), shipped.end());
    std::string entry;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (line.starts_with("Exec=")) {
            const std::size_t blank = line.find(' ');
            line = "Exec=" + execArgument(program.string()) + (blank == std::string::npos ? "" : line.substr(blank));
        } else if (line.starts_with("TryExec=")) {
            line = "TryExec=" + escapeValue(program.string());
        }
        entry += line + "\n";
        start = end + 1;
    }
    return {entry.begin(), entry.end()};
}

// Writes the file unless it already holds `bytes`; true when it wrote. Throws EFileError.
bool writeIfChanged(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    try {
        if (ReadWholeFile(path) == bytes) return false;
    } catch (const EFileError&) {
        // Missing or unreadable: written anew.
    }
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error) throw EFileError("Cannot create folder \"" + path.parent_path().string() + "\". " + error.message());
    WriteFileAtomically(path, bytes);
    return true;
}

// Without throwing: a folder that cannot be looked into holds nothing.
bool present(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool fileMentions(const fs::path& path, const std::string& text) {
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
    } catch (const EFileError&) {
        return false;
    }
}

struct Refresh {
    const char* Tool;
    fs::path Folder;
};

// Runs the tools that are installed side by side and waits for all of them together for at most
// kRegistrationToolSeconds; one that takes longer is killed.
void runTools(const std::vector<Refresh>& refreshes, std::vector<std::string>& problems) {
    struct Running {
        const char* Tool;
        std::unique_ptr<QProcess> Process;
    };
    std::vector<Running> running;
    for (const Refresh& refresh : refreshes) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(refresh.Tool));
        if (program.isEmpty()) continue;
        auto process = std::make_unique<QProcess>();
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(program, {QString::fromStdString(refresh.Folder.string())});
        running.push_back({refresh.Tool, std::move(process)});
    }
    const QDeadlineTimer deadline(kRegistrationToolSeconds * 1000);
    for (Running& run : running) {
        QProcess& process = *run.Process;
        const std::string tool = run.Tool;
        // One that ended while another was waited for is noticed by a wait even of no time, or
        // is found not running.
        const bool finished = process.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 0))) ||
                              process.state() == QProcess::NotRunning;
        if (!finished) {
            process.kill();
            process.waitForFinished(1000);
            problems.push_back(tool + " did not finish within " + std::to_string(kRegistrationToolSeconds) +
                               " seconds");
        } else if (process.error() == QProcess::FailedToStart) {
            problems.push_back(tool + " could not be started");
        } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            const QString message = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
            problems.push_back(
                tool + " failed" +
                (message.isEmpty() ? "" : ": " + message.section(QLatin1Char('\n'), 0, 0).toStdString()));
        }
    }
}

std::string registerFileType(const RegistrationPaths& paths) {
    const fs::path home = dataHome(paths);
    std::vector<std::string> problems;
    const auto write = [&](const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        try {
            return writeIfChanged(path, bytes);
        } catch (const EFileError& e) {
            problems.push_back(e.what());
            return false;
        }
    };

    const fs::path package = home / "mime" / "packages" / "kovet-form.xml";
    const bool newType = write(package, builtIn("kovet-form.xml"));
    write(home / "icons" / "hicolor" / "scalable" / "mimetypes" / "application-x-kovet-form.svg",
          builtIn("icons/application-x-kovet-form.svg"));
    write(home / "icons" / "hicolor" / "scalable" / "apps" / "kovet-designer.svg", builtIn("icons/kovet-designer.svg"));
    bool newEntry = false;
    if (paths.Program.is_absolute())
        newEntry = write(home / "applications" / "kovet-designer.desktop", desktopEntryFor(paths.Program));
    else
        problems.push_back("the designer's own path \"" + paths.Program.string() + "\" is not absolute");

    std::vector<Refresh> refreshes;
    if (present(package) && (newType || !present(home / "mime" / "application" / "x-kovet-form.xml")))
        refreshes.push_back({"update-mime-database", home / "mime"});
    if (present(home / "applications" / "kovet-designer.desktop") &&
        (newEntry || !fileMentions(home / "applications" / "mimeinfo.cache", "kovet-designer.desktop")))
        refreshes.push_back({"update-desktop-database", home / "applications"});
    runTools(refreshes, problems);

    if (problems.empty()) return {};
    std::string message = "The .kvt file type is not fully registered: ";
    for (std::size_t i = 0; i < problems.size(); ++i)
        message += (i > 0 ? "; " : "") + problems[i];
    std::replace(message.begin(), message.end(), '\n', ' ');
    return message;
}

} // namespace

std::string RegisterFileType(const RegistrationPaths& paths) {
    try {
        return registerFileType(paths);
    } catch (const std::exception& e) {
        return std::string("The .kvt file type is not registered: ") + e.what();
    }
}

} // namespace kovet
