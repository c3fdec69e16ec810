#pragma once

// The designer's questions and dialogs as Qt shows them: message boxes, file dialogs with the
// designer's filters, the print, font and colour dialogs and the progress window.

#include "designer/core/Prompts.h"

class QWidget;

namespace kovet::designer {

class StatusWindow;

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent);
    // The parent of the dialogs (the main window, once it exists).
    void SetParent(QWidget* parent) { parent_ = parent; }

    TAnswer Confirm(const std::string& question, bool withCancel) override;
    TAnswer Warn(const std::string& question) override;
    void Inform(const std::string& message) override;
    void ShowError(const std::string& message) override;
    std::optional<std::string> OpenFileName(const TFileDialog& dialog) override;
    std::optional<TChosenFile> ChooseSaveFile(const TFileDialog& dialog) override;
    bool ChoosePrinter(QPrinter& printer) override;
    std::optional<TFontChoice> ChooseFont(const TFontChoice& font) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t color) override;
    void ShowStatus(const std::string& message) override;
    void ShowProgress(const std::string& message, int percent) override;
    void HideStatus() override;

private:
    std::optional<TChosenFile> fileName(const TFileDialog& dialog, bool save);
    StatusWindow& status();

    QWidget* parent_;
    StatusWindow* status_ = nullptr;
};

} // namespace kovet::designer
