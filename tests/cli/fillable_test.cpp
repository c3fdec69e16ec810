// Fillable PDF forms, proved by the programs others fill and read them with: qpdf, pdftk,
// pypdf, poppler, MuPDF and pdf.js.

#include "CliRun.h"
#include "ExternalTool.h"
#include "FormFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>

using namespace clitest;
using kovet::test::Tool;

namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";

struct FieldKind {
    std::string Name;
    TKVTFieldFormat Format;
    std::int16_t TabOrder;
    std::int32_t Top;
    std::int32_t Height = 20;
    std::uint8_t GroupIndex = 0;
    std::int16_t MaxLength = 0;
    bool ReadOnly = false;
};

// A form with a field of every kind a PDF form has, whose tab order differs from its field
// order, and whose names are none of the invoice's; with `extra`, one more text field "Extra".
fs::path WriteFieldKindsForm(const TempDir& dir, bool extra = false) {
    std::vector<FieldKind> kinds = {
        {"Customer", lfoText, 2, 20, 20, 0, 20},
        {"Amount", lfoDollar, 1, 50},
        {"Due", lfoFullDate, 3, 80},
        {"Remarks", lfoMemo, 4, 110, 60},
        {"Ship", lfoComboBox, 5, 180},
        {"Air", lfoCheckbox, 6, 210, 20, 2},
        {"Sea", lfoCheckbox, 7, 240, 20, 2},
        {"Agree", lfoCheckbox, 8, 270},
        {"Ref", lfoText, 0, 300, 20, 0, 0, true},
    };
    if (extra) kinds.push_back({"Extra", lfoText, 9, 330});
    TKVT form;
    form.Reset();
    for (const FieldKind& desc : kinds) {
        std::vector<std::uint8_t> field(kFieldSize);
        FieldRec::Name.set(field, desc.Name);
        FieldRec::Format.set(field, desc.Format);
        FieldRec::TabOrder.set(field, desc.TabOrder);
        FieldRec::GroupIndex.set(field, desc.GroupIndex);
        FieldRec::MaxLength.set(field, desc.MaxLength);
        FieldRec::ReadOnly.set(field, desc.ReadOnly ? 1 : 0);
        FieldRec::AutoAlign.set(field, 1);
        FieldRec::Decimals.set(field, 2);
        FieldRec::Digits.set(field, 8);
        FieldRec::Left.set(field, 40);
        FieldRec::Top.set(field, std::int16_t(desc.Top));
        FieldRec::Width.set(field, 200);
        FieldRec::Height.set(field, std::int16_t(desc.Height));
        FieldRec::FontName.set(field, desc.Format == lfoDollar ? "Courier New" : "Arial");
        FieldRec::FontSize.set(field, 10);
        FieldRec::FontHeight.set(field, -13);
        form.KVTFile().Fields.Add(field);
    }
    const fs::path path = dir / (extra ? "kinds-extra.kvt" : "kinds.kvt");
    WriteFile(path, SaveBytes(form.KVTFile()));
    return path;
}

// pdftk's field listing: one map of keys to values (in order) per field, in the form's order.
using PdftkField = std::map<std::string, std::vector<std::string>>;
std::vector<PdftkField> PdftkFields(const std::string& dump) {
    std::vector<PdftkField> fields;
    std::size_t at = 0;
    while (at < dump.size()) {
        const std::size_t end = std::min(dump.find('\n', at), dump.size());
        const std::string line = dump.substr(at, end - at);
        at = end + 1;
        if (line == "---") {
            fields.emplace_back();
            continue;
        }
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos && !fields.empty())
            fields.back()[line.substr(0, colon)].push_back(line.substr(colon + 2));
    }
    return fields;
}

std::string First(const PdftkField& field, const std::string& key) {
    const auto found = field.find(key);
    return found == field.end() || found->second.empty() ? std::string("(none)") : found->second.front();
}
} // namespace

TEST(FillablePdf, PassesQpdfCheckAndPdftkListsEveryFieldInTabOrder) {
    const TempDir dir;
    const fs::path form = WriteFieldKindsForm(dir);
    const std::string pdf = (dir / "form.pdf").string();
    const RunResult r = Kovet({"render", form.string(), "--fillable", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err;

    if (!Tool("qpdf --version")) GTEST_SKIP() << "qpdf is not installed";
    EXPECT_TRUE(Tool("qpdf --check " + ShellQuote(pdf))) << "qpdf --check finds faults";
    // The money and date fields carry the standard format and keystroke scripts.
    const auto objects = Tool("qpdf --qdf --object-streams=disable " + ShellQuote(pdf) + " -");
    ASSERT_TRUE(objects);
    for (const char* script :
         {"AFNumber_Format\\(2, 0, 2, 0, \"$\", true\\);", "AFNumber_Keystroke\\(2, 0, 2, 0, \"$\", true\\);",
          "AFDate_FormatEx\\(\"mm/dd/yyyy\"\\);", "AFDate_KeystrokeEx\\(\"mm/dd/yyyy\"\\);"})
        EXPECT_NE(objects->find(script), std::string::npos) << script;

    const auto dump = Tool("pdftk " + ShellQuote(pdf) + " dump_data_fields_utf8");
    if (!dump) GTEST_SKIP() << "pdftk is not installed";
    const std::vector<PdftkField> fields = PdftkFields(*dump);
    struct Expected {
        const char *Name, *Type, *Flags, *MaxLength;
    };
    // Tab order first (Ref is read-only, so last); the check boxes of group 2 as one radio
    // group; memo multi-line (4096), combo box editable (393216), radio (32768), read-only (1).
    const Expected expected[] = {
        {"Amount", "Text", "0", "(none)"},      {"Customer", "Text", "0", "20"},
        {"Due", "Text", "0", "(none)"},         {"Remarks", "Text", "4096", "(none)"},
        {"Ship", "Choice", "393216", "(none)"}, {"Group2", "Button", "32768", "(none)"},
        {"Agree", "Button", "0", "(none)"},     {"Ref", "Text", "1", "(none)"},
    };
    ASSERT_EQ(fields.size(), std::size(expected)) << *dump;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(First(fields[i], "FieldName"), expected[i].Name);
        EXPECT_EQ(First(fields[i], "FieldType"), expected[i].Type) << expected[i].Name;
        EXPECT_EQ(First(fields[i], "FieldFlags"), expected[i].Flags) << expected[i].Name;
        EXPECT_EQ(First(fields[i], "FieldMaxLength"), expected[i].MaxLength) << expected[i].Name;
    }
    std::vector<std::string> states = fields[5].at("FieldStateOption");
    std::sort(states.begin(), states.end());
    EXPECT_EQ(states, (std::vector<std::string>{"Air", "Off", "Sea"}))
        << "each radio button's state is its field's name";
}

TEST(FillablePdf, ValuesFilledInByPypdfComeBackAsFieldValues) {
    const TempDir dir;
    const fs::path form = WriteFieldKindsForm(dir);
    const std::string empty = (dir / "empty.pdf").string(), filled = (dir / "filled.pdf").string();
    ASSERT_EQ(Kovet({"render", form.string(), "--fillable", "-o", empty}).status, 0);
    if (!Tool("/usr/bin/python3 -c 'import pypdf'")) GTEST_SKIP() << "python3-pypdf is not installed";
    const std::string script = "import sys\n"
                               "from pypdf import PdfReader, PdfWriter\n"
                               "w = PdfWriter()\n"
                               "w.clone_reader_document_root(PdfReader(sys.argv[1]))\n"
                               "w.update_page_form_field_values(w.pages[0], {'Customer': 'Zo\\u00eb \\u00c5dahl', "
                               "'Amount': '1,234.5', 'Due': '7/4/2026', 'Remarks': 'one\\ntwo', 'Ship': 'Rail', "
                               "'Group2': '/Sea', 'Agree': '/Yes'})\n"
                               "w.write(sys.argv[2])\n";
    const fs::path fill = dir / "fill.py";
    WriteFile(fill, std::vector<std::uint8_t>(script.begin(), script.end()));
    ASSERT_TRUE(
        Tool("/usr/bin/python3 " + ShellQuote(fill.string()) + " " + ShellQuote(empty) + " " + ShellQuote(filled)));

    // Read into the form with one field more, after field data for that field and another:
    // the PDF's values replace the data's, the field the PDF lacks keeps its value.
    const std::string data = "\x01"
                             "Extra\r\nkept\r\n\x01"
                             "Customer\r\nold\r\n";
    const fs::path kvf = dir / "before.kvf";
    WriteFile(kvf, std::vector<std::uint8_t>(data.begin(), data.end()));
    const RunResult r = Kovet(
        {"fill", WriteFieldKindsForm(dir, true).string(), "--data", kvf.string(), "--pdf-data", filled, "--dump"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Dumped(r.out, "Extra"), "kept");
    EXPECT_EQ(Dumped(r.out, "Customer"), "Zoë Ådahl");
    EXPECT_EQ(Dumped(r.out, "Amount"), "$1,234.50") << "typed as into the field";
    EXPECT_EQ(Dumped(r.out, "Due"), "07/04/2026");
    EXPECT_EQ(Dumped(r.out, "Remarks"), "one\\ntwo");
    EXPECT_EQ(Dumped(r.out, "Ship"), "Rail");
    EXPECT_EQ(Dumped(r.out, "Air"), "");
    EXPECT_EQ(Dumped(r.out, "Sea"), "X");
    EXPECT_EQ(Dumped(r.out, "Agree"), "X");
}

TEST(FillablePdf, FilledFormShowsItsValuesInPopplerAndComesBackWhole) {
    const TempDir dir;
    const std::string pdf = (dir / "invoice.pdf").string();
    const auto fill = [](std::vector<std::string> args) {
        args.insert(args.begin(), {"fill", kInvoice});
        for (const char* value : {"CustomerName=Zoë Ådahl", "Shipping=1234.5", "TaxRate=8.25", "InvoiceDate=7/4/26",
                                  "Paid=X", "Notes=one\\ntwo"})
            args.insert(args.end(), {"--set", value});
        return Kovet(args);
    };
    const RunResult written = fill({"-o", pdf, "--fillable"});
    ASSERT_EQ(written.status, 0) << written.err;

    // Back through --pdf-data: what went out comes back.
    const RunResult typed = fill({"--dump"});
    const RunResult read = Kovet({"fill", kInvoice, "--pdf-data", pdf, "--dump"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, typed.out);

    EXPECT_TRUE(Tool("qpdf --check " + ShellQuote(pdf)) || !Tool("qpdf --version"));

    // Readers that run no scripts show the values as drawn into the fields' appearances.
    const std::pair<const char*, std::string> readers[] = {{"poppler", "pdftotext " + ShellQuote(pdf) + " -"},
                                                           {"MuPDF", "mutool draw -q -F txt -o - " + ShellQuote(pdf)}};
    for (const auto& [reader, command] : readers) {
        const auto text = Tool(command);
        if (!text) {
            ADD_FAILURE() << reader << " is not installed (scripts/install-deps.sh --test)";
            continue;
        }
        for (const char* shown : {"Zoë Ådahl", "$1,234.50", "8.25%", "07/04/26", "one", "two"})
            EXPECT_NE(text->find(shown), std::string::npos) << reader << ": " << shown << " not shown in:\n" << *text;
    }
    // pdf.js (Firefox's reader) finds every field with its value and an appearance to draw.
    const auto fields = Tool("node " + ShellQuote(std::string(KOVET_SOURCE_DIR) + "/tests/cli/pdfjs/fields.js") + " " +
                             ShellQuote(pdf));
    ASSERT_TRUE(fields) << "node or libjs-pdf is not installed (scripts/install-deps.sh --test)";
    std::size_t listed = 0;
    std::istringstream lines(*fields);
    for (std::string line; std::getline(lines, line); ++listed)
        EXPECT_TRUE(line.ends_with("\ttrue")) << "no appearance: " << line;
    EXPECT_EQ(listed, 72u) << "one for each of the invoice's fields";
    EXPECT_NE(fields->find("CustomerName\t\"Zoë Ådahl\"\t"), std::string::npos) << *fields;
}

TEST(FillablePdf, PdfsThatAreNoFormOfTheFormAndMisuseAreRefused) {
    const TempDir dir;
    const std::string plain = (dir / "plain.pdf").string(), other = (dir / "other.pdf").string();
    ASSERT_EQ(Kovet({"render", kInvoice, "-o", plain}).status, 0);
    ASSERT_EQ(Kovet({"render", WriteFieldKindsForm(dir).string(), "--fillable", "-o", other}).status, 0);
    const fs::path text = dir / "notes.pdf";
    WriteFile(text, std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'});

    const struct {
        std::string File, Message;
    } refused[] = {
        {plain, "no fillable form"},
        {text.string(), "not a readable PDF"},
        {other, "names no field of the form"},
    };
    for (const auto& [file, message] : refused) {
        const RunResult r = Kovet({"fill", kInvoice, "--pdf-data", file, "--dump"});
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(file), std::string::npos) << "the message names the file: " << r.err;
        EXPECT_EQ(r.out, "") << "nothing is dumped";
    }

    EXPECT_EQ(Kovet({"render", kInvoice, "--fillable", "-o", (dir / "page.png").string()}).status, 2);
    EXPECT_EQ(Kovet({"render", kInvoice, "--fillable", "--design", "-o", plain}).status, 2);
    EXPECT_EQ(Kovet({"fill", kInvoice, "--fillable", "-o", (dir / "values.kvf").string()}).status, 2);
}
