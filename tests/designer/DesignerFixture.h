#pragma once

// The designer's core without windows: prompts answered from a script, a configuration
// folder of its own, and forms written to a temporary folder.

#include "ScriptedPrompts.h"

#include "designer/core/DesignerCore.h"
#include "platform/GuiApplication.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kovet::designer::test {

namespace fs = std::filesystem;

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
