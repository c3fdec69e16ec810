#pragma once

// Prompts answered from a script, for tests of the designer with and without its windows.

#include "designer/core/Prompts.h"
#include "storage/Stream.h"

#include <QPrinter>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kovet::designer::test {

// Answers questions and dialogs in the order the script gives them, and records everything
// said. A question without a scripted answer fails the test.
class ScriptedPrompts : public Prompts {
public:
    std::deque<TAnswer> Answers;
    std::deque<std::optional<std::string>> FileNames;
    // The filter each save dialog is left on; when none is scripted, the first of the chosen
    // name's extension, as a user who types the name leaves the dialog.
    std::deque<std::size_t> SaveFilters;
    // The output file of the print dialog; nothing cancels it.
    std::optional<std::string> PrintTo;
    // What the font and colour dialogs give back; nothing cancels them.
    std::deque<std::optional<TFontChoice>> Fonts;
    std::deque<std::optional<std::uint32_t>> Colors;

    std::vector<std::string> Questions, Messages, Errors, Statuses;
    std::vector<TFileDialog> Dialogs;
    // What the font and colour dialogs were set to.
    std::vector<TFontChoice> FontsShown;
    std::vector<std::uint32_t> ColorsShown;

    TAnswer Confirm(const std::string& question, bool) override { return answer(question); }
    TAnswer Warn(const std::string& question) override { return answer(question); }
    void Inform(const std::string& message) override { Messages.push_back(message); }
    void ShowError(const std::string& message) override { Errors.push_back(message); }
    std::optional<std::string> OpenFileName(const TFileDialog& dialog) override { return fileName(dialog); }
    std::optional<TChosenFile> ChooseSaveFile(const TFileDialog& dialog) override {
        std::optional<std::string> name = fileName(dialog);
        if (!name) return std::nullopt;
        std::size_t filter = 0;
        if (!SaveFilters.empty()) {
            filter = SaveFilters.front();
            SaveFilters.pop_front();
        } else {
            const std::string pattern = "*" + LowerExtension(*name);
            const auto found = std::find_if(dialog.Filters.begin(), dialog.Filters.end(),
                                            [&](const TFileDialog::Filter& f) { return f.Pattern == pattern; });
            if (found != dialog.Filters.end()) filter = std::size_t(found - dialog.Filters.begin());
        }
        return TChosenFile{std::move(*name), filter};
    }
    bool ChoosePrinter(QPrinter& printer) override {
        if (!PrintTo) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(*PrintTo));
        return true;
    }
    std::optional<TFontChoice> ChooseFont(const TFontChoice& font) override {
        FontsShown.push_back(font);
        return next(Fonts, "font dialog");
    }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t color) override {
        ColorsShown.push_back(color);
        return next(Colors, "colour dialog");
    }
    void ShowStatus(const std::string& message) override { Statuses.push_back("show " + message); }
    void ShowProgress(const std::string& message, int percent) override {
        Statuses.push_back(message + " " + std::to_string(percent));
    }
    void HideStatus() override { Statuses.push_back("hide"); }

private:
    template <typename T> static std::optional<T> next(std::deque<std::optional<T>>& script, const char* dialog) {
        if (script.empty()) {
            ADD_FAILURE() << "no answer for the " << dialog;
            return std::nullopt;
        }
        const std::optional<T> answer = script.front();
        script.pop_front();
        return answer;
    }
    TAnswer answer(const std::string& question) {
        Questions.push_back(question);
        if (Answers.empty()) {
            ADD_FAILURE() << "unanswered: " << question;
            return TAnswer::Cancel;
        }
        const TAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::optional<std::string> fileName(const TFileDialog& dialog) {
        Dialogs.push_back(dialog);
        if (FileNames.empty()) {
            ADD_FAILURE() << "no file name for " << dialog.Title;
            return std::nullopt;
        }
        const std::optional<std::string> name = FileNames.front();
        FileNames.pop_front();
        return name;
    }
};

} // namespace kovet::designer::test
