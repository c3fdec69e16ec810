// The module of the commands that need Qt's widgets, printing or SVG: `kovet fill` and
// `kovet print` fill a form in an off-screen run-time widget; `kovet render` writes SVG here.

#include "Modules.h"
#include "QtSession.h"
#include "Render.h"

#include "display/KVTImage.h"
#include "display/SvgExport.h"
#include "display/TypedValue.h"
#include "platform/QtCanvas.h"
#include "storage/Stream.h"

#include <QApplication>
#include <QImage>
#include <QPrinter>

#include <malloc.h>

#include <cstdio>

using namespace kovet;
using namespace kovet::cli;

namespace {

void openForm(TKVTImage& image, const std::string& file) {
    TKVT form;
    OpenFormForTool(file, form);
    image.SetKVT(form);
}

// "kvtForm,kvtFields": the set those names make.
TKVTPrintOptions parsePrintOptions(const std::string& names) {
    TKVTPrintOptions options = 0;
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(',', start), names.size());
        const std::string name = names.substr(start, end - start);
        bool known = name.empty();
        for (std::uint8_t o = kvtForm; o <= kvtWaterStretch; ++o) {
            if (PrintOptionName(TKVTPrintOption(o)) == name) {
                options |= OptionBit<TKVTPrintOptions>(o);
                known = true;
            }
        }
        if (!known) throw UsageError("fill", "unknown print option '" + name + "'");
        start = end + 1;
    }
    return options;
}

// Fills the image for page `page`: entered values cleared, the page's data file loaded, then
// the values given on the command line. Returns what was wrong with those values.
std::vector<std::string> fillPage(TKVTImage& image, const FillRequest& request, std::size_t page) {
    image.Reload();
    if (page < request.DataFiles.size()) {
        const std::string& file = request.DataFiles[page];
        for (const std::string& note : image.LoadFieldData(file))
            std::fprintf(stderr, "kovet: warning: %s: %s\n", file.c_str(), note.c_str());
    }
    std::vector<std::string> problems;
    if (page == 0 && request.PdfData) problems = image.LoadPdfFormData(*request.PdfData);
    for (const auto& [name, value] : request.Values) {
        TKVTField* field = image.FieldByName(name);
        const std::string problem = field == nullptr ? "no field is named " + name : TypeIntoField(*field, value);
        if (!problem.empty()) problems.push_back(field == nullptr ? problem : field->Name + ": " + problem);
    }
    return problems;
}

// The values of page 0 go in; their problems are reported, and end the command unless the
// request is lenient.
void fillFirstPage(TKVTImage& image, const FillRequest& request) {
    const std::vector<std::string> problems = fillPage(image, request, 0);
    for (const std::string& problem : problems)
        ReportFailure(problem);
    if (!problems.empty() && !request.Lenient)
        throw Exception(std::to_string(problems.size()) + (problems.size() == 1 ? " value" : " values") +
                        " not taken; nothing written (--lenient goes on without them)");
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

// Qt's PDF writer takes two 10 MB buffers for every page it finishes and frees them again; with
// its default thresholds glibc hands that memory back to the system each time and the next
// page faults it in anew, which costs a batch more than drawing the pages. The tool lives for
// one job, so it keeps freed memory instead.
void keepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

void writePdf(TKVTImage& image, const FillRequest& request) {
    keepFreedMemory();
    const std::size_t pages = std::max<std::size_t>(1, request.DataFiles.size());
    image.ExportPdf(*request.Out, std::int32_t(pages), [&](std::int32_t page) {
        if (page > 0) fillPage(image, request, std::size_t(page));
    });
}

void writePng(TKVTImage& image, const std::string& out) {
    const TRect r = image.PageRect();
    QImage picture = NewPagePicture({r.Right, r.Bottom});
    {
        QtCanvas canvas(picture);
        image.PrintPage(canvas, r);
    }
    WriteFileAtomically(out, ImageToPng(picture));
}

void writeSvg(TKVTImage& image, const std::string& out) {
    const TRect r = image.PageRect();
    const std::vector<std::uint8_t> svg =
        SvgPictureBytes({r.Right, r.Bottom}, [&](Canvas& canvas) { image.PrintPage(canvas, r); });
    WriteFileAtomically(out, svg);
}

void writeOutput(TKVTImage& image, const FillRequest& request) {
    const std::string& out = *request.Out;
    const std::string& extension = request.OutExtension;
    if (extension == ".pdf" && request.Fillable) return image.ExportFillablePdf(out);
    if (extension == ".pdf") return writePdf(image, request);
    if (extension == ".kvf") return WriteTextOutput(out, FieldDataText(image.SaveFieldStrings()));
    if (extension == ".emf") return image.ExportMetafile(out);
    if (extension == ".svg") return writeSvg(image, out);
    writePng(image, out);
}

} // namespace

KOVET_MODULE_ENTRY int kovet_fill(const FillRequest& request, int& argc, char** argv) {
    return RunCommand([&] {
        PrepareOffscreenQt();
        QApplication application(argc, argv);
        TKVTImage image;
        openForm(image, request.Form);
        // The page comes out in colour, as `kovet render` draws it, unless the options are named.
        image.SetPrintOptions(request.PrintOptions
                                  ? parsePrintOptions(*request.PrintOptions)
                                  : TKVTPrintOptions(image.PrintOptions() | OptionBit<TKVTPrintOptions>(kvtColor)));
        fillFirstPage(image, request);
        if (request.Dump) {
            dump(image);
            for (std::size_t page = 1; page < request.DataFiles.size(); ++page) {
                std::printf("\n");
                fillPage(image, request, page);
                dump(image);
            }
            if (request.DataFiles.size() > 1) fillPage(image, request, 0);
        }
        if (request.Out) writeOutput(image, request);
        return 0;
    });
}

KOVET_MODULE_ENTRY int kovet_print(const PrintRequest& request, int& argc, char** argv) {
    return RunCommand([&] {
        PrepareOffscreenQt();
        QApplication application(argc, argv);
        TKVTImage image;
        openForm(image, request.Form);
        if (request.Data) image.LoadFieldData(*request.Data);

        QPrinter printer(QPrinter::HighResolution);
        const QString name = request.Printer ? QString::fromStdString(*request.Printer) : QString();
        if (request.Printer) printer.setPrinterName(name);
        if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat ||
            (request.Printer && printer.printerName() != name))
            throw Exception(request.Printer ? "no printer is named " + *request.Printer
                                            : std::string("no printer is available"));
        image.Print(printer);
        return 0;
    });
}

KOVET_MODULE_ENTRY int kovet_render_svg(const RenderRequest& request, int& argc, char** argv) {
    return RenderPage(request, argc, argv, [](TKVT& form, const std::string& out, const TPageRenderOptions& options) {
        return ExportPageSvgToFile(form, out, options);
    });
}
