#include "QtPrompts.h"

#include "FontDialog.h"
#include "StatusWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QStringList>

namespace kovet::designer {
namespace {

TAnswer answerOf(QMessageBox::StandardButton button) {
    if (button == QMessageBox::Yes) return TAnswer::Yes;
    if (button == QMessageBox::No) return TAnswer::No;
    return TAnswer::Cancel;
}

const QString kTitle = "Kovet";

} // namespace

QtPrompts::QtPrompts(QWidget* parent) : parent_(parent) {}

TAnswer QtPrompts::Confirm(const std::string& question, bool withCancel) {
    const auto buttons =
        withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No;
    return answerOf(QMessageBox::question(parent_, kTitle, QString::fromStdString(question), buttons));
}

TAnswer QtPrompts::Warn(const std::string& question) {
    return answerOf(
        QMessageBox::warning(parent_, kTitle, QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No));
}

void QtPrompts::Inform(const std::string& message) {
    QMessageBox::information(parent_, kTitle, QString::fromStdString(message));
}

void QtPrompts::ShowError(const std::string& message) {
    QMessageBox::critical(parent_, kTitle, QString::fromStdString(message));
}

std::optional<std::string> QtPrompts::OpenFileName(const TFileDialog& dialog) {
    std::optional<TChosenFile> chosen = fileName(dialog, false);
    if (!chosen) return std::nullopt;
    return std::move(chosen->Name);
}

std::optional<TChosenFile> QtPrompts::ChooseSaveFile(const TFileDialog& dialog) {
    return fileName(dialog, true);
}

std::optional<TChosenFile> QtPrompts::fileName(const TFileDialog& dialog, bool save) {
    QStringList filters;
    for (const TFileDialog::Filter& filter : dialog.Filters)
        filters << QString::fromStdString(filter.Description + " (" + filter.Pattern + ")");
    QFileDialog chooser(parent_, QString::fromStdString(dialog.Title));
    chooser.setNameFilters(filters);
    chooser.setDefaultSuffix(QString::fromStdString(dialog.DefaultExtension));
    chooser.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name typed without an extension gets the one of the filter the dialog is on.
    QObject::connect(&chooser, &QFileDialog::filterSelected, &chooser, [&](const QString& selected) {
        const qsizetype index = filters.indexOf(selected);
        if (index < 0) return;
        const std::string& pattern = dialog.Filters[std::size_t(index)].Pattern;
        if (pattern.starts_with("*.") && pattern.find_first_of("*?;", 2) == std::string::npos)
            chooser.setDefaultSuffix(QString::fromStdString(pattern.substr(2)));
    });
    if (!dialog.Preset.empty()) chooser.selectFile(QString::fromStdString(dialog.Preset));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
    const qsizetype filter = filters.indexOf(chooser.selectedNameFilter());
    return TChosenFile{chooser.selectedFiles().first().toStdString(), filter < 0 ? 0 : std::size_t(filter)};
}

bool QtPrompts::ChoosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<TFontChoice> QtPrompts::ChooseFont(const TFontChoice& font) {
    return ExecFontDialog(parent_, font);
}

std::optional<std::uint32_t> QtPrompts::ChooseColor(std::uint32_t color) {
    return ExecColorDialog(parent_, color);
}

StatusWindow& QtPrompts::status() {
    if (status_ == nullptr) status_ = new StatusWindow(parent_);
    return *status_;
}

void QtPrompts::ShowStatus(const std::string& message) {
    status().ShowStatus(QString::fromStdString(message));
}

void QtPrompts::ShowProgress(const std::string& message, int percent) {
    status().ShowProgress(QString::fromStdString(message), percent);
}

void QtPrompts::HideStatus() {
    status().hide();
}

} // namespace kovet::designer
