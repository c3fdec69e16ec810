#include "Fill.h"

#include "QtSession.h"

#include "display/KVTImage.h"
#include "platform/QtCanvas.h"
#include "storage/Exception.h"

#include <QApplication>
#include <QImage>
#include <QPrinter>

#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

namespace kovet::cli {
namespace {

bool isOption(const std::string& arg) {
    return !arg.empty() && arg[0] == '-';
}

// "kvtForm,kvtFields": the set those names make; nullopt for an unknown name.
std::optional<TKVTPrintOptions> parsePrintOptions(const std::string& names) {
    TKVTPrintOptions options = 0;
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(',', start), names.size());
        const std::string name = names.substr(start, end - start);
        bool known = false;
        for (std::uint8_t o = kvtForm; o <= kvtWaterStretch; ++o) {
            if (PrintOptionName(TKVTPrintOption(o)) == name) {
                options |= OptionBit<TKVTPrintOptions>(o);
                known = true;
            }
        }
        if (!known && !name.empty()) return std::nullopt;
        start = end + 1;
    }
    return options;
}

std::vector<std::string> splitEscapedLines(const std::string& value) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = value.find("\\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(value.substr(start, at - start));
    lines.push_back(value.substr(start));
    return lines;
}

struct FillRequest {
    std::vector<std::string> DataFiles;
    std::vector<std::pair<std::string, std::string>> Values;
    bool Dump = false;
    std::optional<std::string> Out;
    std::optional<TKVTPrintOptions> PrintOptions;
};

// Fills the image for page `page`: entered values cleared, the page's data file loaded, then
// the values given on the command line.
void fillPage(TKVTImage& image, const FillRequest& request, std::size_t page) {
    image.Reload();
    if (page < request.DataFiles.size()) image.LoadFieldData(request.DataFiles[page]);
    for (const auto& [name, value] : request.Values) {
        if (image.FieldByName(name) == nullptr) throw Exception("No field named " + name);
        std::vector<std::string> lines{"\x01" + name};
        for (std::string& line : splitEscapedLines(value))
            lines.push_back(std::move(line));
        image.LoadFieldStrings(lines);
    }
}

void dump(const TKVTImage& image) {
    for (std::int32_t i = 0; i < image.FieldCount(); ++i) {
        const TKVTField& field = *image.Fields(i);
        std::string text;
        if (field.Format() == lfoMemo) {
            for (std::size_t l = 0; l < field.Lines().size(); ++l)
                text += (l > 0 ? "\\n" : "") + field.Lines()[l];
        } else {
            text = field.DisplayText();
        }
        std::printf("%s\t%s\n", field.Name.c_str(), text.c_str());
    }
}

// Writes `out` through a temporary file beside it, so that a failure leaves an older file
// whole and no half-written one behind.
void writeThroughTemporary(const std::filesystem::path& out,
                           const std::function<void(const std::filesystem::path&)>& write) {
    std::filesystem::path temporary = out;
    temporary += ".part";
    std::error_code error;
    try {
        write(temporary);
    } catch (...) {
        std::filesystem::remove(temporary, error);
        throw;
    }
    std::filesystem::rename(temporary, out, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw EFileError("Cannot write " + out.string());
    }
}

// Qt's PDF writer takes two 10 MB buffers for every page it finishes and frees them again; with
// its default thresholds glibc hands that memory back to the system each time and the next
// page faults it in anew, which costs a batch more than drawing the pages. The tool lives for
// one job, so it keeps freed memory instead.
void keepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

void printToPdf(TKVTImage& image, const FillRequest& request, const std::filesystem::path& out) {
    keepFreedMemory();
    writeThroughTemporary(out, [&](const std::filesystem::path& file) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        printer.setCreator("Kovet");
        image.SetupPrinter(printer);
        const std::size_t pages = std::max<std::size_t>(1, request.DataFiles.size());
        image.PrintDocument(printer, std::int32_t(pages), [&](std::int32_t page) { fillPage(image, request, page); });
    });
}

void writePng(TKVTImage& image, const std::filesystem::path& out) {
    const TRect r = image.PageRect();
    QImage picture(std::max(1, r.Right), std::max(1, r.Bottom), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QtCanvas canvas(picture);
        image.PrintPage(canvas, r);
    }
    writeThroughTemporary(out, [&](const std::filesystem::path& file) {
        if (!picture.save(QString::fromStdString(file.string()), "PNG"))
            throw EFileError("Cannot write " + out.string());
    });
}

} // namespace

int Fill(const std::vector<std::string>& args, int& argc, char** argv) {
    FillRequest request;
    std::optional<std::string> form;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--data" && hasValue) {
            request.DataFiles.push_back(args[++i]);
        } else if (arg == "--set" && hasValue) {
            const std::string& pair = args[++i];
            const std::size_t eq = pair.find('=');
            if (eq == std::string::npos || eq == 0) return kUsageError;
            request.Values.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
        } else if (arg == "--dump") {
            request.Dump = true;
        } else if (arg == "-o" && hasValue && !request.Out) {
            request.Out = args[++i];
        } else if (arg == "--print-options" && hasValue) {
            request.PrintOptions = parsePrintOptions(args[++i]);
            if (!request.PrintOptions) return kUsageError;
        } else if (!form && !isOption(arg)) {
            form = arg;
        } else {
            return kUsageError;
        }
    }
    if (!form) return kUsageError;
    std::string extension;
    if (request.Out) {
        extension = std::filesystem::path(*request.Out).extension().string();
        for (char& c : extension)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (extension != ".kvf" && extension != ".pdf" && extension != ".png" && extension != ".emf")
            return kUsageError;
        // Only a printed document holds more than one page.
        if (extension != ".pdf" && request.DataFiles.size() > 1) return kUsageError;
    }

    PrepareOffscreenQt();
    QApplication application(argc, argv);
    TKVTImage image;
    image.LoadFromFile(*form);
    if (request.PrintOptions) image.SetPrintOptions(*request.PrintOptions);

    const std::size_t pages = std::max<std::size_t>(1, request.DataFiles.size());
    if (request.Dump) {
        for (std::size_t page = 0; page < pages; ++page) {
            if (page > 0) std::printf("\n");
            fillPage(image, request, page);
            dump(image);
        }
    }
    if (!request.Out) return 0;
    if (extension == ".pdf") {
        printToPdf(image, request, *request.Out);
        return 0;
    }
    fillPage(image, request, 0);
    if (extension == ".kvf")
        image.SaveFieldData(*request.Out);
    else if (extension == ".emf")
        image.ExportMetafile(*request.Out);
    else
        writePng(image, *request.Out);
    return 0;
}

int Print(const std::vector<std::string>& args, int& argc, char** argv) {
    FillRequest request;
    std::optional<std::string> form, printerName;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--data" && hasValue && request.DataFiles.empty()) {
            request.DataFiles.push_back(args[++i]);
        } else if (arg == "--printer" && hasValue && !printerName) {
            printerName = args[++i];
        } else if (!form && !isOption(arg)) {
            form = arg;
        } else {
            return kUsageError;
        }
    }
    if (!form) return kUsageError;

    PrepareOffscreenQt();
    QApplication application(argc, argv);
    TKVTImage image;
    image.LoadFromFile(*form);
    fillPage(image, request, 0);

    QPrinter printer(QPrinter::HighResolution);
    if (printerName) printer.setPrinterName(QString::fromStdString(*printerName));
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat ||
        (printerName && printer.printerName() != QString::fromStdString(*printerName)))
        throw Exception(printerName ? "No printer named " + *printerName : std::string("No printer is available"));
    image.Print(printer);
    return 0;
}

} // namespace kovet::cli
