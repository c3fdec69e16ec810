// kovet: the command-line tool for form files. `kovet --help` lists the commands,
// `kovet COMMAND --help` explains one. Exit status: 0 done, 1 a file could not be read, was
// invalid or could not be written (the reason on one line of standard error), 2 wrong usage.

#include "CommandLine.h"
#include "DfmCommands.h"
#include "FormInfo.h"
#include "FormJson.h"
#include "Modules.h"

#include "convert/EmfParse.h"
#include "convert/FormTools.h"
#include "platform/emf/Metafile.h"

#include <QCoreApplication>

#include <dlfcn.h>

#include <cstdio>
#include <optional>
#include <string>

namespace {

using namespace kovet;
using namespace kovet::cli;

int info(const InfoRequest& request) {
    TKVT form;
    const FormEncoding encoding = OpenFormForTool(request.File, form);
    WriteTextOutput(request.Out,
                    request.Json ? FormToJson(encoding, form.KVTFile()) : FormToText(encoding, form.KVTFile()));
    return 0;
}

int convert(const ConvertRequest& request) {
    TKVT form;
    OpenFormForTool(request.In, form);
    form.KVTFile().SaveToFile(request.Out);
    return 0;
}

// The procedure and the field names come out with CR LF ends, as the designer writes them.
int formText(const FormToolRequest& request, std::vector<std::string> (*lines)(TKVTFile& list)) {
    TKVT form;
    OpenFormForTool(request.Form, form);
    const std::vector<std::uint8_t> text = CrLfText(lines(form.KVTFile()));
    WriteTextOutput(request.Out, std::string(text.begin(), text.end()));
    return 0;
}

int optimize(const FormToolRequest& request) {
    TKVT form;
    OpenFormForTool(request.Form, form);
    OptimizeForm(form.KVTFile(), nullptr);
    form.KVTFile().SaveToFile(request.Out);
    return 0;
}

int emfdump(const EmfdumpRequest& request) {
    std::vector<std::uint8_t> bytes = ReadWholeFile(request.File);
    if (!IsEnhancedMetafile(bytes)) throw Exception(request.File + ": not an enhanced metafile");
    TEMFParse parser;
    parser.AddStrings = true;
    parser.OnMessage = [](const std::string& message) { ReportFailure(message); };
    parser.Metafile->LoadFromBytes(std::move(bytes));
    parser.Parse();
    std::string text;
    for (const std::string& line : *parser.Strings)
        text += line + "\n";
    WriteTextOutput(request.Out, text);
    return 0;
}

// The modules' folder, as placed beside the tool in the build and the installed tree.
std::string moduleFolder() {
    return QCoreApplication::applicationDirPath().toStdString() + "/" KOVET_MODULES_FROM_BIN;
}

template <typename Entry> Entry moduleEntry(const std::string& folder, const char* module, const char* entry) {
    const std::string file = folder + "/" + module + ".so";
    // Kept loaded to the end of the process: the module's objects live until then.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* symbol = handle != nullptr ? ::dlsym(handle, entry) : nullptr;
    if (symbol == nullptr) throw Exception(std::string("cannot load the drawing module: ") + ::dlerror());
    return reinterpret_cast<Entry>(symbol);
}

} // namespace

int main(int argc, char** argv) {
    // Every word of the command line is kovet's: Qt's application objects see the program's
    // name alone, so that no value given to kovet is taken for one of Qt's own options.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    // This application object lives only while the command line is read: a drawing module
    // makes the application object it needs itself.
    std::optional<QCoreApplication> application(std::in_place, qtArgc, qtArgv);
    QCoreApplication::setApplicationName("kovet");
    QCoreApplication::setApplicationVersion(KOVET_VERSION);
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const std::string command = argc > 1 ? argv[1] : "";
    const std::string modules = moduleFolder();

    return RunCommand([&]() -> int {
        if (command.empty()) throw UsageError({}, "missing command");
        if (command == "--help" || command == "-h") {
            std::fputs(ToolHelp().c_str(), stdout);
            return 0;
        }
        if (command == "--version" || command == "-v") {
            std::printf("kovet %s\n", KOVET_VERSION);
            return 0;
        }
        if (command == "info") return info(ParseInfo(args));
        if (command == "convert") return convert(ParseConvert(args));
        if (command == "emfdump") return emfdump(ParseEmfdump(args));
        if (command == "dfm2txt") return Dfm2txt(ParseDfm2txt(args));
        if (command == "extract") return Extract(ParseExtract(args));
        if (command == "getdata") return formText(ParseGetdata(args), GetDataLines);
        if (command == "fields") return formText(ParseFields(args), FieldNameLines);
        if (command == "optimize") return optimize(ParseOptimize(args));
        if (command == "import") {
            const ImportRequest request = ParseImport(args);
            const auto run = moduleEntry<ImportEntry>(modules, kRenderModule, "kovet_import");
            application.reset();
            return run(request, qtArgc, qtArgv);
        }
        if (command == "render") {
            const RenderRequest request = ParseRender(args);
            const auto run = moduleEntry<RenderEntry>(modules, request.Svg ? kWidgetsModule : kRenderModule,
                                                      request.Svg ? "kovet_render_svg" : "kovet_render");
            application.reset();
            return run(request, qtArgc, qtArgv);
        }
        if (command == "fill") {
            const FillRequest request = ParseFill(args);
            const auto run = moduleEntry<FillEntry>(modules, kWidgetsModule, "kovet_fill");
            application.reset();
            return run(request, qtArgc, qtArgv);
        }
        if (command == "print") {
            const PrintRequest request = ParsePrint(args);
            const auto run = moduleEntry<PrintEntry>(modules, kWidgetsModule, "kovet_print");
            application.reset();
            return run(request, qtArgc, qtArgv);
        }
        throw UsageError({}, "unknown command '" + command + "'");
    });
}
