// kovet: the command-line tool for form files.
//   kovet info [--json] FILE     what the file holds, read the way the designer opens it
//   kovet convert IN -o OUT.kvt  the same records written in the current encoding
//   kovet render FORM -o OUT.bmp|emf|png|pdf|svg [--design] [--scale S] [--no-shading]
//                                the page as a picture
//   kovet emfdump FILE.emf       the metafile's header and record names, one per line
//   kovet fill FORM [--data FILE.kvf]... [--set NAME=VALUE]... [--dump] [-o OUT.kvf|pdf|png|emf]
//              [--print-options NAME,...]
//                                the form filled in: its field values listed, saved, printed
//   kovet print FORM [--data FILE.kvf] [--printer NAME]
//                                the filled form on a printer
// Exit status: 0 done, 1 the file could not be read, was invalid or could not be written
// (the reason on one line of standard error), 2 wrong usage.

#include "Fill.h"
#include "FormInfo.h"
#include "FormJson.h"
#include "QtSession.h"
#include "document/OpenForm.h"

#include "convert/EmfParse.h"
#include "display/PageExport.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace kovet;
using namespace kovet::cli;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText =
    "usage: kovet info [--json] FILE\n"
    "       kovet convert IN -o OUT.kvt\n"
    "       kovet render FORM -o OUT.bmp|emf|png|pdf|svg [--design] [--scale S] [--no-shading]\n"
    "       kovet emfdump FILE.emf\n"
    "       kovet fill FORM [--data FILE.kvf]... [--set NAME=VALUE]... [--dump] [-o OUT.kvf|pdf|png|emf]\n"
    "                  [--print-options NAME,...]\n"
    "       kovet print FORM [--data FILE.kvf] [--printer NAME]\n";

bool isOption(const std::string& arg) {
    return !arg.empty() && arg[0] == '-';
}

int usage() {
    std::fputs(kUsageText, stderr);
    return kUsage;
}

int usageOr(int status) {
    return status == kUsageError ? usage() : status;
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

std::optional<double> positiveNumber(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0) || value > 100) return std::nullopt;
    return value;
}

int render(const std::vector<std::string>& args, int& argc, char** argv) {
    std::optional<std::string> in, out;
    TPageRenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" && !out && i + 1 < args.size()) {
            out = args[++i];
        } else if (arg == "--scale" && i + 1 < args.size()) {
            const std::optional<double> scale = positiveNumber(args[++i]);
            if (!scale) return usage();
            options.Scale = *scale;
        } else if (arg == "--design") {
            options.Designing = true;
        } else if (arg == "--no-shading") {
            options.Shading = false;
        } else if (!in && !isOption(arg)) {
            in = arg;
        } else {
            return usage();
        }
    }
    if (!in || !out) return usage();
    const std::optional<TPageFormat> format = PageFormatForFileName(*out);
    if (!format) return usage();

    // Drawing text needs the platform's fonts.
    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    TKVT form;
    OpenFormFile(*in, form);
    for (const TDrawProblem& problem : ExportPageToFile(form, *out, *format, options)) {
        std::fprintf(stderr, "warning: %s\n", problem.Message.c_str());
    }
    return 0;
}

int emfdump(const std::vector<std::string>& args) {
    if (args.size() != 1 || isOption(args[0])) return usage();
    TEMFParse parser;
    parser.AddStrings = true;
    parser.OnMessage = [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); };
    parser.Metafile->LoadFromFile(args[0]);
    parser.Parse();
    for (const std::string& line : *parser.Strings)
        std::printf("%s\n", line.c_str());
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
        if (command == "render") return render(args, argc, argv);
        if (command == "emfdump") return emfdump(args);
        if (command == "fill") return usageOr(Fill(args, argc, argv));
        if (command == "print") return usageOr(Print(args, argc, argv));
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
