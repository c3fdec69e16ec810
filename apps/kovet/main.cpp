// kovet: the command-line tool for form files.
//   kovet info [--json] FILE     what the file holds, read the way the designer opens it
//   kovet convert IN -o OUT.kvt  the same records written in the current encoding
// Exit status: 0 done, 1 the file could not be read, was invalid or could not be written
// (the reason on one line of standard error), 2 wrong usage.

#include "FormInfo.h"
#include "FormJson.h"
#include "OpenForm.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace kovet;
using namespace kovet::cli;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText = "usage: kovet info [--json] FILE\n"
                                   "       kovet convert IN -o OUT.kvt\n";

bool isOption(const std::string& arg) {
    return !arg.empty() && arg[0] == '-';
}

int usage() {
    std::fputs(kUsageText, stderr);
    return kUsage;
}

int info(const std::vector<std::string>& args) {
    bool json = false;
    std::optional<std::string> file;
    for (const std::string& arg : args) {
        if (arg == "--json" && !json) {
            json = true;
        } else if (!file && !isOption(arg)) {
            file = arg;
        } else {
            return usage();
        }
    }
    if (!file) return usage();

    TKVT form;
    const FormEncoding encoding = OpenFormFile(*file, form);
    const std::string text = json ? FormToJson(encoding, form.KVTFile()) : FormToText(encoding, form.KVTFile());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int convert(const std::vector<std::string>& args) {
    std::optional<std::string> in, out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && !out && i + 1 < args.size()) {
            out = args[++i];
        } else if (!in && !isOption(args[i])) {
            in = args[i];
        } else {
            return usage();
        }
    }
    if (!in || !out) return usage();

    TKVT form;
    OpenFormFile(*in, form);
    form.KVTFile().SaveToFile(*out);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "info") return info(args);
        if (command == "convert") return convert(args);
        if (command == "--help" || command == "-h") {
            std::fputs(kUsageText, stdout);
            return 0;
        }
        return usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kFailed;
    }
}
