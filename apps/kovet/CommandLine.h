#pragma once

// The command line of `kovet`: each command's options on QCommandLineParser, the requests
// they make, and the tool's conventions for errors. A usage error names what was wrong
// ("kovet: unknown command 'bogus'") and shows the command's short usage, exit status 2; a
// failure is one line "kovet: ..." and exit status 1.

#include "document/OpenForm.h"

#include <QStringList>

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kovet::cli {

inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// Names standard output (or input) where a file name is expected.
inline constexpr const char* kStandardStream = "-";

// Wrong usage of `command` (empty: of the tool as a whole), with what was wrong.
class UsageError : public std::exception {
public:
    UsageError(std::string command, std::string message) : command_(std::move(command)), message_(std::move(message)) {}
    const std::string& Command() const { return command_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string command_, message_;
};

// Thrown after a command's help was printed on request.
struct HelpShown {};

struct InfoRequest {
    std::string File;
    std::string Out = kStandardStream;
    bool Json = false;
};

struct ConvertRequest {
    std::string In, Out;
};

struct RenderRequest {
    std::string Form, Out;
    double Scale = 1.0;
    bool Designing = false;
    bool Shading = true;
    bool Svg = false;
    // A PDF whose fields are form fields that PDF readers fill in.
    bool Fillable = false;
};

struct EmfdumpRequest {
    std::string File;
    std::string Out = kStandardStream;
};

struct Dfm2txtRequest {
    std::string File;
    std::string Out = kStandardStream;
};

struct ExtractRequest {
    std::string File, Dir;
};

struct FillRequest {
    std::string Form;
    std::vector<std::string> DataFiles;
    // A filled-in PDF form whose values go into the first page after its data file's.
    std::optional<std::string> PdfData;
    // NAME=VALUE pairs in the order given.
    std::vector<std::pair<std::string, std::string>> Values;
    bool Dump = false;
    bool Lenient = false;
    // The output's extension in lower case (".kvf", ".pdf", ".png", ".svg", ".emf"); ".kvf"
    // also for standard output.
    std::optional<std::string> Out;
    std::string OutExtension;
    // With a .pdf output: the values in form fields that PDF readers fill in.
    bool Fillable = false;
    // The names given with --print-options, not yet checked.
    std::optional<std::string> PrintOptions;
};

struct ImportRequest {
    std::string In, Out;
    // The form whose objects the import goes behind; a new form without it.
    std::optional<std::string> Into;
    // The defaults file new objects are made from; the built-in defaults without it.
    std::optional<std::string> Defaults;
    // The input's extension in lower case: ".emf", ".dfm" or ".txt".
    std::string Kind;
    double Scale = 1.0;
};

// getdata, fields and optimize: a form and where the result goes.
struct FormToolRequest {
    std::string Form;
    std::string Out = kStandardStream;
};

struct PrintRequest {
    std::string Form;
    std::optional<std::string> Data, Printer;
};

// `args` are the words after the command's name. Each throws UsageError or HelpShown.
InfoRequest ParseInfo(const QStringList& args);
ConvertRequest ParseConvert(const QStringList& args);
RenderRequest ParseRender(const QStringList& args);
EmfdumpRequest ParseEmfdump(const QStringList& args);
Dfm2txtRequest ParseDfm2txt(const QStringList& args);
ExtractRequest ParseExtract(const QStringList& args);
FillRequest ParseFill(const QStringList& args);
PrintRequest ParsePrint(const QStringList& args);
ImportRequest ParseImport(const QStringList& args);
FormToolRequest ParseGetdata(const QStringList& args);
FormToolRequest ParseFields(const QStringList& args);
FormToolRequest ParseOptimize(const QStringList& args);

// The tool's help: every command's synopsis and what it does.
std::string ToolHelp();
// "usage: kovet ..." lines of one command, or of every command for an empty name.
std::string ShortUsage(const std::string& command);

// OpenFormFile for a command: a reason that does not name the file is given the file's name.
FormEncoding OpenFormForTool(const std::string& file, TKVT& form);

// Writes text to standard output for "-", else to the file, replacing it safely. Throws
// EFileError.
void WriteTextOutput(const std::string& out, const std::string& text);

// Runs a command's body and turns what it throws into the tool's messages and exit statuses.
template <typename Body> int RunCommand(Body&& body);

void ReportUsageError(const UsageError& error);
void ReportFailure(const std::string& message);

} // namespace kovet::cli

template <typename Body> int kovet::cli::RunCommand(Body&& body) {
    try {
        return body();
    } catch (const HelpShown&) {
        return 0;
    } catch (const UsageError& error) {
        ReportUsageError(error);
        return kUsage;
    } catch (const std::exception& error) {
        ReportFailure(error.what());
        return kFailed;
    }
}
