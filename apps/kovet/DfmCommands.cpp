#include "DfmCommands.h"

#include "convert/DfmReader.h"
#include "storage/Stream.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kovet::cli {
namespace {

std::string formFileStem(std::string_view component) {
    if (component.empty()) return "unnamed";
    std::string stem = component.front() == '.' ? "_" : "";
    for (const char c : component) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                          c == '-' || c == '.';
        stem += kept ? c : '_';
    }
    return stem;
}

void createFolder(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir))
        throw EFileError("cannot create folder \"" + dir +
                         "\": " + (error ? error.message() : std::string("a file of that name is in the way")));
}

} // namespace

int Dfm2txt(const Dfm2txtRequest& request) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(request.File);
    WriteTextOutput(request.Out, ObjectResourceToText(bytes));
    return 0;
}

int Extract(const ExtractRequest& request) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(request.File);
    const std::vector<EmbeddedForm> forms = FindEmbeddedForms(bytes);
    if (forms.empty()) throw Exception(request.File + ": no form stored in it (no KVTData property)");
    createFolder(request.Dir);
    std::set<std::string> used;
    for (const EmbeddedForm& form : forms) {
        const std::string stem = formFileStem(form.Component);
        std::string name = stem;
        for (int n = 2; !used.insert(name).second; ++n)
            name = stem + "-" + std::to_string(n);
        const std::string file = (std::filesystem::path(request.Dir) / (name + ".kvt")).string();
        WriteFileAtomically(file, form.Data);
        std::printf("%s: %s (%zu bytes)\n", form.Component.c_str(), file.c_str(), form.Data.size());
    }
    return 0;
}

} // namespace kovet::cli
