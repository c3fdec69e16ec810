#include "CommandLine.h"

#include "storage/Stream.h"

#include <QCommandLineParser>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace kovet::cli {
namespace {

struct CommandInfo {
    const char* Name;
    const char* Synopsis;
    const char* Summary;
};

constexpr CommandInfo kCommands[] = {
    {"info", "info [--json] [-o OUT] FORM",
     "What a form file holds: the page, then one line (or JSON object) per record."},
    {"convert", "convert IN -o OUT.kvt", "A form in any encoding kovet reads, written again in the current one."},
    {"render", "render FORM -o OUT.bmp|emf|gif|png|pdf|svg [--design] [--scale S] [--no-shading]",
     "The page as a picture."},
    {"emfdump", "emfdump [-o OUT] FILE.emf", "An enhanced metafile's header and its records, one name per line."},
    {"dfm2txt", "dfm2txt [-o OUT] FILE.dfm", "A Delphi binary form file in the textual form notation."},
    {"extract", "extract FILE.dfm -o DIR",
     "Every form stored in a Delphi form (its binary property KVTData), as DIR/COMPONENT.kvt."},
    {"fill",
     "fill FORM [--data FILE.kvf]... [--set NAME=VALUE]... [--lenient] [--dump]\n"
     "             [-o OUT.kvf|pdf|png|svg|emf|-] [--print-options NAME,...]",
     "The form filled in: its values listed, saved as field data, or the filled page written."},
    {"print", "print FORM [--data FILE.kvf] [--printer NAME]", "The filled form on a printer."},
    {"import",
     "import FILE.emf|FILE.dfm|FILE.txt [--into FORM.kvt] [--defaults kovet.def] [--scale S]\n"
     "             -o OUT.kvt",
     "Objects from a word processor's metafile, a Delphi form's labels or a text file's lines, as a form."},
    {"getdata", "getdata [-o FILE] FORM",
     "The Object Pascal procedure that fills the form's fields in a host program."},
    {"fields", "fields [-o FILE] FORM", "The names of the form's fields, one per line."},
    {"optimize", "optimize FORM -o OUT.kvt", "The form with its objects in order from the top of the page down."},
};

const CommandInfo& commandInfo(const std::string& name) {
    for (const CommandInfo& command : kCommands)
        if (name == command.Name) return command;
    throw UsageError({}, "unknown command '" + name + "'");
}

// QCommandLineParser with the tool's conventions: -h and --help, errors as UsageError.
class Parser {
public:
    Parser(const std::string& command, const QStringList& positionals) : command_(commandInfo(command)) {
        parser_.setApplicationDescription(command_.Summary);
        parser_.addOption({{"h", "help"}, "Show this help."});
        for (const QString& name : positionals) {
            positionals_ << name.section(':', 0, 0);
            parser_.addPositionalArgument(positionals_.back(), name.section(':', 1));
        }
    }

    void Flag(const QString& names, const QString& description) { parser_.addOption({names.split(','), description}); }
    void Value(const QString& names, const QString& description, const QString& valueName) {
        parser_.addOption({names.split(','), description, valueName});
    }

    // Parses the words; the positional arguments must number `count`.
    void Parse(const QStringList& args, qsizetype count) {
        if (!parser_.parse(QStringList{"kovet"} + args)) fail(parseError());
        if (parser_.isSet("help")) {
            std::fputs(help().c_str(), stdout);
            throw HelpShown{};
        }
        const QStringList given = parser_.optionNames();
        for (const QString& name : given) {
            if (given.count(name) > 1 && !repeatable_.contains(name))
                fail("option " + dashed(name) + " given more than once");
        }
        const qsizetype positionals = parser_.positionalArguments().size();
        if (positionals < count) fail("missing " + positionals_[positionals].toStdString());
        if (positionals > count)
            fail("unexpected argument '" + parser_.positionalArguments()[count].toStdString() + "'");
    }
    void AllowRepeated(const QString& name) { repeatable_ << name; }

    bool Has(const QString& name) const { return parser_.isSet(name); }
    std::string Get(const QString& name) const { return parser_.value(name).toStdString(); }
    std::vector<std::string> All(const QString& name) const {
        std::vector<std::string> values;
        for (const QString& value : parser_.values(name))
            values.push_back(value.toStdString());
        return values;
    }
    std::string Positional(qsizetype i) const { return parser_.positionalArguments()[i].toStdString(); }

    [[noreturn]] void fail(const std::string& message) const { throw UsageError(command_.Name, message); }

private:
    static std::string dashed(const QString& name) { return (name.size() == 1 ? "-" : "--") + name.toStdString(); }

    std::string parseError() const {
        if (!parser_.unknownOptionNames().isEmpty())
            return "unknown option " + dashed(parser_.unknownOptionNames().first());
        // Qt's sentences ("Missing value after '-o'.") as one of ours.
        std::string text = parser_.errorText().toStdString();
        if (!text.empty()) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
        if (!text.empty() && text.back() == '.') text.pop_back();
        return text;
    }

    std::string help() const {
        QString text = parser_.helpText();
        text.replace(0, text.indexOf('\n'), QString("Usage: kovet ") + command_.Synopsis);
        return text.toStdString();
    }

    const CommandInfo& command_;
    QCommandLineParser parser_;
    QStringList positionals_, repeatable_;
};

std::string output(const Parser& parser) {
    return parser.Has("o") ? parser.Get("o") : kStandardStream;
}

double scale(const Parser& parser) {
    const std::string text = parser.Get("scale");
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) parser.fail("--scale needs a number");
    if (!(value > 0) || value > 100) parser.fail("--scale needs a number above 0 and at most 100");
    return value;
}

// A command that reads one form and writes text to OUT or standard output.
FormToolRequest textFromForm(const char* command, const QStringList& args) {
    Parser parser(command, {"FORM:The form file."});
    parser.Value("o,output", "Write to FILE instead of standard output (- is standard output).", "FILE");
    parser.Parse(args, 1);
    return {parser.Positional(0), output(parser)};
}

} // namespace

InfoRequest ParseInfo(const QStringList& args) {
    Parser parser("info", {"FORM:The form file."});
    parser.Flag("json", "One JSON object: the encoding and every record with every field of its layout.");
    parser.Value("o,output", "Write to OUT instead of standard output (- is standard output).", "OUT");
    parser.Parse(args, 1);
    return {parser.Positional(0), output(parser), parser.Has("json")};
}

ConvertRequest ParseConvert(const QStringList& args) {
    Parser parser("convert", {"IN:The form file to read."});
    parser.Value("o,output", "The form file to write.", "OUT.kvt");
    parser.Parse(args, 1);
    if (!parser.Has("o")) parser.fail("missing -o OUT.kvt");
    return {parser.Positional(0), parser.Get("o")};
}

RenderRequest ParseRender(const QStringList& args) {
    Parser parser("render", {"FORM:The form file."});
    parser.Value("o,output", "The picture to write; its extension names the format.", "OUT");
    parser.Flag("design", "Draw as the designer shows the form: fields as name placeholders.");
    parser.Value("scale", "Scale the page (0 < S <= 100; default 1).", "S");
    parser.Flag("no-shading", "Leave out the shading of fields.");
    parser.Flag("fillable", "With a .pdf output: the fields as form fields that PDF readers fill in.");
    parser.Parse(args, 1);
    RenderRequest request;
    request.Form = parser.Positional(0);
    if (!parser.Has("o")) parser.fail("missing -o OUT");
    request.Out = parser.Get("o");
    const std::string extension = LowerExtension(request.Out);
    if (extension != ".bmp" && extension != ".emf" && extension != ".gif" && extension != ".png" &&
        extension != ".pdf" && extension != ".svg")
        parser.fail("cannot write " + (extension.empty() ? "'" + request.Out + "'" : extension) +
                    "; use .bmp, .emf, .gif, .png, .pdf or .svg");
    request.Svg = extension == ".svg";
    if (parser.Has("scale")) request.Scale = scale(parser);
    request.Designing = parser.Has("design");
    request.Shading = !parser.Has("no-shading");
    request.Fillable = parser.Has("fillable");
    if (request.Fillable && extension != ".pdf") parser.fail("--fillable needs a .pdf output");
    if (request.Fillable && request.Designing) parser.fail("--fillable and --design do not go together");
    return request;
}

EmfdumpRequest ParseEmfdump(const QStringList& args) {
    Parser parser("emfdump", {"FILE:The enhanced metafile (.emf)."});
    parser.Value("o,output", "Write to OUT instead of standard output (- is standard output).", "OUT");
    parser.Parse(args, 1);
    return {parser.Positional(0), output(parser)};
}

Dfm2txtRequest ParseDfm2txt(const QStringList& args) {
    Parser parser("dfm2txt", {"FILE:The Delphi form file in the binary format (.dfm)."});
    parser.Value("o,output", "Write to OUT instead of standard output (- is standard output).", "OUT");
    parser.Parse(args, 1);
    return {parser.Positional(0), output(parser)};
}

ExtractRequest ParseExtract(const QStringList& args) {
    Parser parser("extract", {"FILE:The Delphi form file in the binary format (.dfm)."});
    parser.Value("o,output", "The folder to write the forms to; it is created if needed.", "DIR");
    parser.Parse(args, 1);
    if (!parser.Has("o")) parser.fail("missing -o DIR");
    return {parser.Positional(0), parser.Get("o")};
}

FillRequest ParseFill(const QStringList& args) {
    Parser parser("fill", {"FORM:The form file."});
    parser.Value("data", "Load field values from a field data file; with a .pdf output, one page per file.",
                 "FILE.kvf");
    parser.Value("set",
                 "Give a field a value as a user types it into the field (\\n between the lines of a memo; "
                 "X, 1, true, yes or on checks a check box).",
                 "NAME=VALUE");
    parser.Value("pdf-data", "Load field values from a filled-in PDF form, by field name, after the first --data file.",
                 "FILE.pdf");
    parser.Flag("fillable", "With a .pdf output: the values in form fields that PDF readers fill in.");
    parser.Flag("lenient", "Report values that do not parse, but go on.");
    parser.Flag("dump", "List each field's name and display text.");
    parser.Value("o,output",
                 "Write field data (.kvf, or - for standard output), the filled page (.pdf, .png, .svg, .emf).", "OUT");
    parser.Value("print-options", "What the page shows, as option names (default: everything, in colour).", "NAME,...");
    parser.AllowRepeated("data");
    parser.AllowRepeated("set");
    parser.Parse(args, 1);

    FillRequest request;
    request.Form = parser.Positional(0);
    request.DataFiles = parser.All("data");
    if (parser.Has("pdf-data")) request.PdfData = parser.Get("pdf-data");
    request.Fillable = parser.Has("fillable");
    for (const std::string& pair : parser.All("set")) {
        const std::size_t eq = pair.find('=');
        if (eq == std::string::npos || eq == 0) parser.fail("--set needs NAME=VALUE, not '" + pair + "'");
        request.Values.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
    }
    request.Dump = parser.Has("dump");
    request.Lenient = parser.Has("lenient");
    if (parser.Has("print-options")) request.PrintOptions = parser.Get("print-options");
    if (parser.Has("o")) {
        request.Out = parser.Get("o");
        request.OutExtension = *request.Out == kStandardStream ? ".kvf" : LowerExtension(*request.Out);
        const std::string& extension = request.OutExtension;
        if (extension != ".kvf" && extension != ".pdf" && extension != ".png" && extension != ".svg" &&
            extension != ".emf")
            parser.fail("cannot write " + (extension.empty() ? "'" + *request.Out + "'" : extension) +
                        "; use .kvf, .pdf, .png, .svg, .emf or -");
        if (extension != ".pdf" && request.DataFiles.size() > 1)
            parser.fail("several --data files need a .pdf output, which holds one page for each");
    }
    if (request.Fillable && request.OutExtension != ".pdf") parser.fail("--fillable needs a .pdf output");
    if (request.Fillable && request.DataFiles.size() > 1)
        parser.fail("--fillable writes one page; give at most one --data file");
    return request;
}

PrintRequest ParsePrint(const QStringList& args) {
    Parser parser("print", {"FORM:The form file."});
    parser.Value("data", "Load field values from a field data file.", "FILE.kvf");
    parser.Value("printer", "The printer to use (default: the system's default printer).", "NAME");
    parser.Parse(args, 1);
    PrintRequest request;
    request.Form = parser.Positional(0);
    if (parser.Has("data")) request.Data = parser.Get("data");
    if (parser.Has("printer")) request.Printer = parser.Get("printer");
    return request;
}

ImportRequest ParseImport(const QStringList& args) {
    Parser parser("import", {"FILE:The enhanced metafile (.emf), Delphi form (.dfm) or text file (.txt)."});
    parser.Value("into", "Put the objects behind those of this form instead of into a new one.", "FORM.kvt");
    parser.Value("defaults", "Make new objects from this defaults file instead of the built-in defaults.", "kovet.def");
    parser.Value("scale", "Scale a metafile's drawing (0 < S <= 100; default 1).", "S");
    parser.Value("o,output", "The form file to write.", "OUT.kvt");
    parser.Parse(args, 1);
    ImportRequest request;
    request.In = parser.Positional(0);
    request.Kind = LowerExtension(request.In);
    if (request.Kind != ".emf" && request.Kind != ".dfm" && request.Kind != ".txt")
        parser.fail("cannot import " + (request.Kind.empty() ? "'" + request.In + "'" : request.Kind) +
                    "; use .emf, .dfm or .txt");
    if (!parser.Has("o")) parser.fail("missing -o OUT.kvt");
    request.Out = parser.Get("o");
    if (parser.Has("into")) request.Into = parser.Get("into");
    if (parser.Has("defaults")) request.Defaults = parser.Get("defaults");
    if (parser.Has("scale")) {
        if (request.Kind != ".emf") parser.fail("--scale applies to metafiles (.emf) only");
        request.Scale = scale(parser);
    }
    return request;
}

FormToolRequest ParseGetdata(const QStringList& args) {
    return textFromForm("getdata", args);
}

FormToolRequest ParseFields(const QStringList& args) {
    return textFromForm("fields", args);
}

FormToolRequest ParseOptimize(const QStringList& args) {
    Parser parser("optimize", {"FORM:The form file."});
    parser.Value("o,output", "The form file to write.", "OUT.kvt");
    parser.Parse(args, 1);
    if (!parser.Has("o")) parser.fail("missing -o OUT.kvt");
    return {parser.Positional(0), parser.Get("o")};
}

std::string ShortUsage(const std::string& command) {
    std::string text;
    for (const CommandInfo& info : kCommands) {
        if (!command.empty() && command != info.Name) continue;
        text += (text.empty() ? "usage: kovet " : "       kovet ") + std::string(info.Synopsis) + "\n";
    }
    return text;
}

std::string ToolHelp() {
    std::string text = "Usage: kovet COMMAND [options] ...\n"
                       "Reads, renders, fills in and prints forms (.kvt files), makes them from other documents and\n"
                       "finds them in Delphi forms.\n\nCommands:\n";
    for (const CommandInfo& info : kCommands)
        text += "  kovet " + std::string(info.Synopsis) + "\n      " + info.Summary + "\n";
    text += "\nOptions:\n  -h, --help     Show this help; after a command, the command's help.\n"
            "  -v, --version  Show the version.\n\n"
            "Exit status: 0 done; 1 a file could not be read, was invalid or could not be written;\n"
            "2 wrong usage.\n";
    return text;
}

FormEncoding OpenFormForTool(const std::string& file, TKVT& form) {
    try {
        return OpenFormFile(file, form);
    } catch (const EFileError&) {
        throw;
    } catch (const Exception& error) {
        throw Exception(file + ": " + error.what());
    }
}

void WriteTextOutput(const std::string& out, const std::string& text) {
    if (out != kStandardStream) {
        WriteFileAtomically(out, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw EFileError("cannot write to standard output");
}

void ReportUsageError(const UsageError& error) {
    std::fprintf(stderr, "kovet: %s\n%s", error.what(), ShortUsage(error.Command()).c_str());
    std::fprintf(stderr, "Try 'kovet %s--help' for more.\n",
                 error.Command().empty() ? "" : (error.Command() + " ").c_str());
}

void ReportFailure(const std::string& message) {
    std::fprintf(stderr, "kovet: %s\n", message.c_str());
}

} // namespace kovet::cli
