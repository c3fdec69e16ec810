#pragma once

// Form files (.kvt) made known to the user's desktop (freedesktop.org): their MIME type, the
// designer as the program that opens them, and the icons of both. The designer does this at
// every start, so that wherever it was started from last is what opens a form.

#include <filesystem>
#include <string>

namespace kovet {

struct RegistrationPaths {
    // The running designer, absolute (QCoreApplication::applicationFilePath()). The desktop
    // entry starts this very program, so that a build that was never installed opens forms too.
    std::filesystem::path Program{};
    // The user's data folder; empty for $XDG_DATA_HOME, or ~/.local/share where that is unset
    // or not absolute.
    std::filesystem::path DataHome{};
};

// Writes, under the data folder, mime/packages/kovet-form.xml, applications/kovet-designer.desktop
// (starting Program) and the icons in icons/hicolor/scalable/apps and .../mimetypes, each only
// when its content differs, so that a start with nothing to change writes nothing. Then, where
// they are installed and something changed or their output is missing, runs
// update-mime-database and update-desktop-database on it, together for at most
// kRegistrationToolSeconds. Never throws: returns an empty string when all went well, otherwise
// one line that says what failed, for a status bar. The designer starts either way.
std::string RegisterFileType(const RegistrationPaths& paths);

inline constexpr int kRegistrationToolSeconds = 3;

} // namespace kovet
