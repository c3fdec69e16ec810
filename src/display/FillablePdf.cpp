#include "FillablePdf.h"

#include "FieldFormat.h"
#include "document/KVTFile.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <optional>
#include <set>

namespace kovet {
namespace {

// The PDF standard fonts: family (Helvetica, Courier, Times) × 4 + bold + 2 × italic.
constexpr std::array<const char*, 12> kBaseFonts{
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic"};
constexpr std::array<const char*, 12> kFontResources{"/Helv", "/HeBo", "/HeOb", "/HeBO", "/Cour", "/CoBo",
                                                     "/CoOb", "/CoBO", "/TiRo", "/TiBo", "/TiIt", "/TiBI"};
// Fonts of the same advance widths as the standard fonts, to measure text with.
constexpr std::array<const char*, 3> kMetricFamilies{"Liberation Sans", "Liberation Mono", "Liberation Serif"};

int standardFont(const TFont& font) {
    const std::string name = AsciiUpper(font.Name);
    const int family = name.find("COURIER") != std::string::npos ? 1 : name.find("TIMES") != std::string::npos ? 2 : 0;
    return family * 4 + ((font.Style & fsBoldBit) != 0 ? 1 : 0) + ((font.Style & fsItalicBit) != 0 ? 2 : 0);
}

// Advance widths and vertical metrics of the standard fonts, in ems.
class StandardFontMetrics {
public:
    double Width(int font, const std::string& text) { return metrics(font).horizontalAdvance(shown(text)) / kEm; }
    double Ascent(int font) { return metrics(font).ascent() / kEm; }
    double Height(int font) { return metrics(font).height() / kEm; }

    // The text as the font's Windows encoding can show it.
    static QString shown(const std::string& text) {
        return QString::fromStdString(Windows1252ToUtf8(Utf8ToWindows1252(text)));
    }

private:
    static constexpr double kEm = 1000;
    QFontMetricsF& metrics(int font) {
        auto& slot = metrics_[std::size_t(font)];
        if (!slot) {
            QFont f(kMetricFamilies[std::size_t(font / 4)]);
            f.setPixelSize(int(kEm));
            f.setBold(font % 2 == 1);
            f.setItalic(font % 4 >= 2);
            f.setKerning(false);
            f.setHintingPreference(QFont::PreferNoHinting);
            slot.emplace(f);
        }
        return *slot;
    }
    std::array<std::optional<QFontMetricsF>, 12> metrics_;
};

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::abs(v) < 0.0005 ? 0.0 : v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string pdfText(const std::string& utf8) {
    return QPDFObjectHandle::newString(Utf8ToWindows1252(utf8)).unparse();
}

QPDFObjectHandle realArray(std::initializer_list<double> values) {
    QPDFObjectHandle array = QPDFObjectHandle::newArray();
    for (const double v : values)
        array.appendItem(QPDFObjectHandle::newReal(v, 3));
    return array;
}

// Sets up the PDF's fields from the form's fields on one page.
class FormBuilder {
public:
    FormBuilder(QPDF& pdf, QPDFPageObjectHelper page, const TPdfPlacement& placement)
        : pdf_(pdf), page_(page.getObjectHandle()), placement_(placement) {
        QPDFObjectHandle box = page.getMediaBox();
        if (box.isRectangle()) pageTop_ = box.getArrayAsRectangle().ury;
    }

    void Add(std::span<const TKVTField* const> fields) {
        std::vector<std::size_t> order(fields.size());
        std::iota(order.begin(), order.end(), std::size_t(0));
        const auto tabbed = [&](std::size_t i) { return !fields[i]->ReadOnly && fields[i]->TabOrder >= 0; };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (tabbed(a) != tabbed(b)) return tabbed(a);
            return tabbed(a) && fields[a]->TabOrder < fields[b]->TabOrder;
        });
        std::map<std::int32_t, int> groupSizes;
        for (const TKVTField* field : fields)
            if (field->Format() == lfoCheckbox && field->GroupIndex > 0) ++groupSizes[field->GroupIndex];
        for (const std::size_t i : order) {
            const TKVTField& field = *fields[i];
            if (field.Format() == lfoCheckbox && groupSizes[field.GroupIndex] > 1)
                addRadio(field, fields);
            else if (field.Format() == lfoCheckbox)
                addCheckBox(field);
            else
                addText(field);
        }
    }

    void Finish() {
        QPDFObjectHandle fontDict = QPDFObjectHandle::newDictionary();
        font(0);
        for (const auto& [index, ref] : fonts_)
            fontDict.replaceKey(kFontResources[std::size_t(index)], ref);
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fontDict);
        QPDFObjectHandle acroForm = QPDFObjectHandle::newDictionary();
        acroForm.replaceKey("/Fields", fieldList_);
        acroForm.replaceKey("/DR", resources);
        acroForm.replaceKey("/DA", QPDFObjectHandle::newString("/Helv 0 Tf 0 g"));
        // Every widget has its appearance drawn.
        acroForm.replaceKey("/NeedAppearances", QPDFObjectHandle::newBool(false));
        pdf_.getRoot().replaceKey("/AcroForm", pdf_.makeIndirectObject(acroForm));
        QPDFObjectHandle annots = page_.getKey("/Annots");
        if (!annots.isArray()) {
            annots = QPDFObjectHandle::newArray();
            page_.replaceKey("/Annots", annots);
        }
        for (QPDFObjectHandle& widget : widgets_)
            annots.appendItem(widget);
    }

private:
    struct Box {
        double X1, Y1, X2, Y2;
        double Width() const { return X2 - X1; }
        double Height() const { return Y2 - Y1; }
    };
    struct Style {
        int Font;
        double Size;
        std::string Colour; // "r g b rg"
    };

    Box boxOf(const TKVTField& field) const {
        const double k = placement_.PointsPerUnit;
        const double left = placement_.Left + field.Left * k, top = placement_.Top + field.Top * k;
        return {left, pageTop_ - top - field.Height * k, left + field.Width * k, pageTop_ - top};
    }

    Style styleOf(const TKVTField& field) const {
        const TColor rgb = ColorToRGB(field.Font.Color);
        const auto channel = [&](int shift) { return num(double((rgb >> shift) & 0xFF) / 255); };
        return {standardFont(field.Font), std::abs(field.Font.Height) * placement_.PointsPerUnit,
                channel(0) + " " + channel(8) + " " + channel(16) + " rg"};
    }

    QPDFObjectHandle font(int index) {
        auto found = fonts_.find(index);
        if (found != fonts_.end()) return found->second;
        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/Font"));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Type1"));
        dict.replaceKey("/BaseFont", QPDFObjectHandle::newName(std::string("/") + kBaseFonts[std::size_t(index)]));
        dict.replaceKey("/Encoding", QPDFObjectHandle::newName("/WinAnsiEncoding"));
        return fonts_.emplace(index, pdf_.makeIndirectObject(dict)).first->second;
    }

    std::string defaultAppearance(const Style& style) const {
        return std::string(kFontResources[std::size_t(style.Font)]) + " " + num(style.Size) + " Tf " + style.Colour;
    }

    // A form XObject of the box's size drawing `lines` as the widget draws the field's text:
    // from the box's top-left, each line aligned in the box, memo rows one pitch apart.
    QPDFObjectHandle appearance(const TKVTField& field, const Box& box, const Style& style,
                                const std::vector<std::string>& lines, bool textField) {
        std::string content = textField ? "/Tx BMC\n" : "";
        content += "q 0 0 " + num(box.Width()) + " " + num(box.Height()) + " re W n\n";
        if (!lines.empty()) {
            content += "BT " + defaultAppearance(style) + "\n";
            const double pitch = field.MemoSpacing >= 1 ? field.MemoSpacing * placement_.PointsPerUnit
                                                        : metrics_.Height(style.Font) * style.Size;
            double baseline = box.Height() - metrics_.Ascent(style.Font) * style.Size;
            for (const std::string& line : lines) {
                double x = 0;
                if (field.Alignment() != TAlignment::taLeftJustify) {
                    const double slack = box.Width() - metrics_.Width(style.Font, line) * style.Size;
                    x = field.Alignment() == TAlignment::taCenter ? slack / 2 : slack;
                }
                content += "1 0 0 1 " + num(x) + " " + num(baseline) + " Tm " + pdfText(line) + " Tj\n";
                baseline -= pitch;
            }
            content += "ET\n";
        }
        content += textField ? "Q\nEMC\n" : "Q\n";
        QPDFObjectHandle stream = pdf_.newStream(content);
        QPDFObjectHandle dict = stream.getDict();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        dict.replaceKey("/BBox", realArray({0, 0, box.Width(), box.Height()}));
        QPDFObjectHandle fontDict = QPDFObjectHandle::newDictionary();
        fontDict.replaceKey(kFontResources[std::size_t(style.Font)], font(style.Font));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fontDict);
        dict.replaceKey("/Resources", resources);
        return stream;
    }

    QPDFObjectHandle newWidget(const Box& box) {
        QPDFObjectHandle widget = QPDFObjectHandle::newDictionary();
        widget.replaceKey("/Type", QPDFObjectHandle::newName("/Annot"));
        widget.replaceKey("/Subtype", QPDFObjectHandle::newName("/Widget"));
        widget.replaceKey("/Rect", realArray({box.X1, box.Y1, box.X2, box.Y2}));
        widget.replaceKey("/F", QPDFObjectHandle::newInteger(4)); // printed
        widget.replaceKey("/P", page_);
        return widget;
    }

    // The field's name, unique among the fields.
    std::string uniqueName(const std::string& name) {
        std::string unique = name;
        for (int n = 2; !names_.insert(unique).second; ++n)
            unique = name + "#" + std::to_string(n);
        return unique;
    }

    void addField(QPDFObjectHandle field, QPDFObjectHandle widget) {
        QPDFObjectHandle ref = pdf_.makeIndirectObject(field);
        fieldList_.appendItem(ref);
        if (widget.isNull()) widget = ref;
        widgets_.push_back(widget);
    }

    void addText(const TKVTField& field) {
        const Box box = boxOf(field);
        const Style style = styleOf(field);
        const TKVTFieldFormat format = field.Format();
        QPDFObjectHandle dict = newWidget(box);
        dict.replaceKey("/T", QPDFObjectHandle::newUnicodeString(uniqueName(field.Name)));
        std::int64_t flags = field.ReadOnly ? 1 : 0;
        std::vector<std::string> lines;
        if (format == lfoMemo) {
            lines = field.Lines();
            flags |= 1 << 12; // multi-line
        } else if (!field.DisplayText().empty()) {
            lines.push_back(field.DisplayText());
        }
        if (format == lfoComboBox) {
            dict.replaceKey("/FT", QPDFObjectHandle::newName("/Ch"));
            flags |= (1 << 17) | (1 << 18); // combo box, editable
            QPDFObjectHandle items = QPDFObjectHandle::newArray();
            for (const std::string& item : field.Lines())
                items.appendItem(QPDFObjectHandle::newUnicodeString(item));
            dict.replaceKey("/Opt", items);
        } else {
            dict.replaceKey("/FT", QPDFObjectHandle::newName("/Tx"));
            if (field.MaxLength > 0) dict.replaceKey("/MaxLen", QPDFObjectHandle::newInteger(field.MaxLength));
        }
        dict.replaceKey("/Ff", QPDFObjectHandle::newInteger(flags));
        dict.replaceKey("/Q", QPDFObjectHandle::newInteger(field.Alignment() == TAlignment::taCenter         ? 1
                                                           : field.Alignment() == TAlignment::taRightJustify ? 2
                                                                                                             : 0));
        dict.replaceKey("/DA", QPDFObjectHandle::newString(defaultAppearance(style)));
        dict.replaceKey("/V", QPDFObjectHandle::newUnicodeString(FieldPdfValue(field)));
        QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
        ap.replaceKey("/N", appearance(field, box, style, lines, true));
        dict.replaceKey("/AP", ap);
        const TFieldScripts scripts = FieldScripts(field);
        if (!scripts.Format.empty()) {
            const auto action = [](const std::string& script) {
                QPDFObjectHandle a = QPDFObjectHandle::newDictionary();
                a.replaceKey("/S", QPDFObjectHandle::newName("/JavaScript"));
                a.replaceKey("/JS", QPDFObjectHandle::newString(script));
                return a;
            };
            QPDFObjectHandle aa = QPDFObjectHandle::newDictionary();
            aa.replaceKey("/F", action(scripts.Format));
            aa.replaceKey("/K", action(scripts.Keystroke));
            dict.replaceKey("/AA", aa);
        }
        addField(dict, QPDFObjectHandle::newNull());
    }

    // The widget of a check box or radio button: `on` the name of its checked state.
    QPDFObjectHandle buttonWidget(const TKVTField& field, const std::string& on) {
        const Box box = boxOf(field);
        const Style style = styleOf(field);
        QPDFObjectHandle widget = newWidget(box);
        QPDFObjectHandle states = QPDFObjectHandle::newDictionary();
        states.replaceKey(on, appearance(field, box, style, {"X"}, false));
        states.replaceKey("/Off", appearance(field, box, style, {}, false));
        QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
        ap.replaceKey("/N", states);
        widget.replaceKey("/AP", ap);
        widget.replaceKey("/AS", QPDFObjectHandle::newName(field.Checked() ? on : "/Off"));
        widget.replaceKey("/DA", QPDFObjectHandle::newString(defaultAppearance(style)));
        return widget;
    }

    void addCheckBox(const TKVTField& field) {
        QPDFObjectHandle dict = buttonWidget(field, "/Yes");
        dict.replaceKey("/FT", QPDFObjectHandle::newName("/Btn"));
        dict.replaceKey("/T", QPDFObjectHandle::newUnicodeString(uniqueName(field.Name)));
        dict.replaceKey("/Ff", QPDFObjectHandle::newInteger(field.ReadOnly ? 1 : 0));
        dict.replaceKey("/V", QPDFObjectHandle::newName(field.Checked() ? "/Yes" : "/Off"));
        addField(dict, QPDFObjectHandle::newNull());
    }

    // The group's field is made at its first button in tab order; later buttons join it.
    void addRadio(const TKVTField& field, std::span<const TKVTField* const> fields) {
        auto group = groups_.find(field.GroupIndex);
        if (group == groups_.end()) {
            bool readOnly = true;
            for (const TKVTField* member : fields) {
                if (member->Format() != lfoCheckbox || member->GroupIndex != field.GroupIndex) continue;
                readOnly = readOnly && member->ReadOnly;
            }
            QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
            dict.replaceKey("/FT", QPDFObjectHandle::newName("/Btn"));
            dict.replaceKey("/T",
                            QPDFObjectHandle::newUnicodeString(uniqueName("Group" + std::to_string(field.GroupIndex))));
            dict.replaceKey("/Ff", QPDFObjectHandle::newInteger((1 << 15) | (readOnly ? 1 : 0))); // radio
            dict.replaceKey("/V", QPDFObjectHandle::newName("/Off"));
            dict.replaceKey("/Kids", QPDFObjectHandle::newArray());
            QPDFObjectHandle ref = pdf_.makeIndirectObject(dict);
            fieldList_.appendItem(ref);
            group = groups_.emplace(field.GroupIndex, ref).first;
        }
        QPDFObjectHandle parent = group->second;
        std::string state = "/" + field.Name;
        for (int n = 2; !states_[field.GroupIndex].insert(state).second; ++n)
            state = "/" + field.Name + "#" + std::to_string(n);
        QPDFObjectHandle widget = pdf_.makeIndirectObject(buttonWidget(field, state));
        widget.replaceKey("/Parent", parent);
        parent.getKey("/Kids").appendItem(widget);
        if (field.Checked()) parent.replaceKey("/V", QPDFObjectHandle::newName(state));
        widgets_.push_back(widget);
    }

    QPDF& pdf_;
    QPDFObjectHandle page_;
    TPdfPlacement placement_;
    double pageTop_ = 792;
    StandardFontMetrics metrics_;
    std::map<int, QPDFObjectHandle> fonts_;
    QPDFObjectHandle fieldList_ = QPDFObjectHandle::newArray();
    std::vector<QPDFObjectHandle> widgets_;
    std::set<std::string> names_;
    std::map<std::int32_t, QPDFObjectHandle> groups_;
    std::map<std::int32_t, std::set<std::string>> states_;
};

bool isNumeric(TKVTFieldFormat format) {
    return format >= lfoReal && format <= lfoPctNS;
}

} // namespace

std::string FieldPdfValue(const TKVTField& field) {
    const TKVTFieldFormat format = field.Format();
    if (isNumeric(format)) return field.DisplayText().empty() ? std::string() : StripToNumberChars(field.DisplayText());
    if (format == lfoMemo) {
        std::string text;
        for (std::size_t i = 0; i < field.Lines().size(); ++i)
            text += (i > 0 ? "\n" : "") + field.Lines()[i];
        return text;
    }
    return field.DisplayText();
}

TFieldScripts FieldScripts(const TKVTField& field) {
    const auto call = [](const std::string& function, const std::string& arguments) {
        return function + "(" + arguments + ");";
    };
    const auto both = [&](const std::string& family, const std::string& arguments) {
        return TFieldScripts{call(family + "_Format", arguments), call(family + "_Keystroke", arguments)};
    };
    const std::string decimals = std::to_string(std::clamp<int>(field.Decimals(), 0, 18));
    switch (field.Format()) {
    case lfoReal:
    case lfoPctNS: return both("AFNumber", decimals + ", 1, 0, 0, \"\", true");
    case lfoInteger: return both("AFNumber", "0, 1, 0, 0, \"\", true");
    case lfoDollar: return both("AFNumber", decimals + ", 0, 2, 0, \"$\", true");
    case lfoPercent: return both("AFNumber", decimals + ", 1, 0, 0, \"%\", false");
    case lfoDate: return {call("AFDate_FormatEx", "\"mm/dd/yy\""), call("AFDate_KeystrokeEx", "\"mm/dd/yy\"")};
    case lfoFullDate: return {call("AFDate_FormatEx", "\"mm/dd/yyyy\""), call("AFDate_KeystrokeEx", "\"mm/dd/yyyy\"")};
    case lfoShortDate: return {call("AFDate_FormatEx", "\"mm/yy\""), call("AFDate_KeystrokeEx", "\"mm/yy\"")};
    case lfoTime: return both("AFTime", "1");
    case lfoMTime: return both("AFTime", "2");
    case lfoZipCode: return both("AFSpecial", "1");
    case lfoPhone: return both("AFSpecial", "2");
    case lfoSocial: return both("AFSpecial", "3");
    default: return {};
    }
}

std::vector<std::uint8_t> AddPdfFormFields(std::span<const std::uint8_t> pagePdf,
                                           std::span<const TKVTField* const> fields, const TPdfPlacement& placement) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("page", reinterpret_cast<const char*>(pagePdf.data()), pagePdf.size());
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        if (pages.empty()) throw Exception("the page PDF has no page");
        FormBuilder builder(pdf, pages.front(), placement);
        builder.Add(fields);
        builder.Finish();
        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.setDeterministicID(true);
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return {buffer->getBuffer(), buffer->getBuffer() + buffer->getSize()};
    } catch (const Exception&) {
        throw;
    } catch (const std::exception& error) {
        throw Exception(std::string("The fillable PDF cannot be made: ") + error.what());
    }
}

std::vector<std::unique_ptr<TKVTField>> FormFields(TKVT& form) {
    std::vector<std::unique_ptr<TKVTField>> fields;
    TRecObj_KVTField& records = form.KVTFile().Fields;
    for (std::int32_t i = 0, n = records.Count(); i < n; ++i) {
        auto field = std::make_unique<TKVTField>();
        // Page units are 96 to the inch.
        field->AssignFromRecord(records.Items(i), 96);
        field->FieldIndex = i;
        fields.push_back(std::move(field));
    }
    return fields;
}

std::vector<std::uint8_t> ExportFillablePage(TKVT& form, const TPageRenderOptions& options,
                                             std::vector<TDrawProblem>& problems) {
    TPageRenderOptions page = options;
    page.Designing = false;
    const std::vector<std::uint8_t> pdf = ExportPage(form, TPageFormat::Pdf, page, problems);
    const std::vector<std::unique_ptr<TKVTField>> owned = FormFields(form);
    std::vector<const TKVTField*> fields;
    for (const auto& field : owned)
        fields.push_back(field.get());
    return AddPdfFormFields(pdf, fields, {options.Scale * 72 / 96, 0, 0});
}

std::vector<TDrawProblem> ExportFillablePageToFile(TKVT& form, const std::filesystem::path& fileName,
                                                   const TPageRenderOptions& options) {
    std::vector<TDrawProblem> problems;
    WriteFileAtomically(fileName, ExportFillablePage(form, options, problems));
    return problems;
}

} // namespace kovet
