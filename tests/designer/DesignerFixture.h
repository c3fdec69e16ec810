#pragma once

// The designer's core without windows: prompts answered from a script, a configuration
// folder of its own, and forms written to a temporary folder.

#include "designer/core/DesignerCore.h"
#include "platform/GuiApplication.h"

#include <QPrinter>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kovet::designer::test {

namespace fs = std::filesystem;

// Answers questions and dialogs in the order the script gives them, and records everything
// said. A question without a scripted answer fails the test.
class ScriptedPrompts : public Prompts {
public:
    std::deque<TAnswer> Answers;
    std::deque<std::optional<std::string>> FileNames;
    // The output file of the print dialog; nothing cancels it.
    std::optional<std::string> PrintTo;

    std::vector<std::string> Questions, Messages, Errors, Statuses;
    std::vector<TFileDialog> Dialogs;

    TAnswer Confirm(const std::string& question, bool) override { return answer(question); }
    TAnswer Warn(const std::string& question) override { return answer(question); }
    void Inform(const std::string& message) override { Messages.push_back(message); }
    void ShowError(const std::string& message) override { Errors.push_back(message); }
    std::optional<std::string> OpenFileName(const TFileDialog& dialog) override { return fileName(dialog); }
    std::optional<std::string> SaveFileName(const TFileDialog& dialog) override { return fileName(dialog); }
    bool ChoosePrinter(QPrinter& printer) override {
        if (!PrintTo) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(*PrintTo));
        return true;
    }
    void ShowStatus(const std::string& message) override { Statuses.push_back("show " + message); }
    void ShowProgress(const std::string& message, int percent) override {
        Statuses.push_back(message + " " + std::to_string(percent));
    }
    void HideStatus() override { Statuses.push_back("hide"); }

private:
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

class DesignerTest : public ::testing::Test {
protected:
    DesignerTest() {
        std::string pattern = (fs::temp_directory_path() / "kovet-designer-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir = pattern;
        core = std::make_unique<DesignerCore>(prompts, dir / "config");
    }
    ~DesignerTest() override {
        core.reset();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    static void Write(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // A form with a frame, a text and a field, saved as `name`.
    std::string SavedForm(const std::string& name) {
        TKVT form;
        std::vector<std::uint8_t> frame(kFrameSize);
        ObjectRec::Left.set(frame, 10);
        ObjectRec::Width.set(frame, 100);
        ObjectRec::Height.set(frame, 50);
        form.KVTFile().Frames.Add(frame);
        std::vector<std::uint8_t> field(kFieldSize);
        FieldRec::Name.set(field, "Customer");
        FieldRec::FontName.set(field, "Arial");
        FieldRec::FontSize.set(field, 10);
        ObjectRec::Top.set(field, 200);
        ObjectRec::Width.set(field, 200);
        ObjectRec::Height.set(field, 20);
        form.KVTFile().Fields.Add(field);
        form.SaveToFile(path(name));
        return path(name);
    }

    fs::path dir;
    ScriptedPrompts prompts;
    std::unique_ptr<DesignerCore> core;
};

} // namespace kovet::designer::test
