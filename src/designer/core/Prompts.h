#pragma once

// Everything the designer asks or tells the user goes through this interface: the program
// shows Qt's message boxes and dialogs, tests answer from a script.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPrinter;

namespace kovet::designer {

enum class TAnswer { Yes, No, Cancel };

// A file dialog: its title, default extension and filters ("Kovet Files", "*.kvt"), and the
// file name it starts with.
struct TFileDialog {
    struct Filter {
        std::string Description, Pattern;
    };
    std::string Title;
    std::string DefaultExtension;
    std::vector<Filter> Filters;
    std::string Preset;
};

// A name chosen in a save dialog, and the filter the dialog was left on (an index into its
// Filters): two filters may share an extension and mean different files.
struct TChosenFile {
    std::string Name;
    std::size_t Filter = 0;
};

// A font as text and field records keep it: the face (UTF-8 here), the colour ($00BBGGRR), the
// size in points, the style bits (bold 1, italic 2, underline 4, strike-out 8) and the logical
// height the painter draws with.
struct TFontChoice {
    std::string Name;
    std::uint32_t Color = 0;
    std::int32_t Size = 0;
    std::uint8_t Style = 0;
    std::int16_t Height = 0;

    bool operator==(const TFontChoice&) const = default;
};

// The logical height of a size in points on the 96 pixels per inch the forms are drawn at.
inline std::int16_t FontHeightForSize(std::int32_t points) {
    return std::int16_t(-((points * 96 + 36) / 72));
}

class Prompts {
public:
    virtual ~Prompts() = default;

    // A confirmation with Yes and No, and Cancel when asked for.
    virtual TAnswer Confirm(const std::string& question, bool withCancel) = 0;
    // A warning with Yes and No.
    virtual TAnswer Warn(const std::string& question) = 0;
    virtual void Inform(const std::string& message) = 0;
    // What a command that failed reports.
    virtual void ShowError(const std::string& message) = 0;

    // The chosen file name, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> OpenFileName(const TFileDialog& dialog) = 0;
    virtual std::optional<TChosenFile> ChooseSaveFile(const TFileDialog& dialog) = 0;
    std::optional<std::string> SaveFileName(const TFileDialog& dialog) {
        std::optional<TChosenFile> chosen = ChooseSaveFile(dialog);
        if (!chosen) return std::nullopt;
        return std::move(chosen->Name);
    }
    // The print dialog on the printer as set up; false when it was cancelled.
    virtual bool ChoosePrinter(QPrinter& printer) = 0;
    // The font dialog, with a colour, set to `font`; nothing when it was cancelled. A font
    // whose size stays keeps its height (a record may hold a cell height); a new size gets
    // FontHeightForSize.
    virtual std::optional<TFontChoice> ChooseFont(const TFontChoice& font) = 0;
    // The colour dialog set to `color` ($00BBGGRR); nothing when it was cancelled.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t color) = 0;

    // The progress window: a message, a message with a percentage, hidden again.
    virtual void ShowStatus(const std::string& message) = 0;
    virtual void ShowProgress(const std::string& message, int percent) = 0;
    virtual void HideStatus() = 0;
};

} // namespace kovet::designer
