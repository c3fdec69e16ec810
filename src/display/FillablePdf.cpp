#include "FillablePdf.h"

#include "FieldFormat.h"
#include "PdfFormWriter.h"
#include "document/KVTFile.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

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
constexpr std::array<const char*, 12> kFontResources{"Helv", "HeBo", "HeOb", "HeBO", "Cour", "CoBo",
                                                     "CoOb", "CoBO", "TiRo", "TiBo", "TiIt", "TiBI"};
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

// A PDF literal string of the text in Windows-1252, the fonts' encoding.
std::string pdfText(const std::string& utf8) {
    std::string out = "(";
    for (const char c : Utf8ToWindows1252(utf8)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 32 || byte > 126) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", unsigned(byte));
            out += octal;
        } else {
            out += c;
        }
    }
    return out + ")";
}

// The PDF fields of the form's fields on one page.
class FormBuilder {
public:
    explicit FormBuilder(const TPdfPlacement& placement) : placement_(placement) {}

    std::vector<TPdfFieldDesc> Build(std::span<const TKVTField* const> fields) {
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
                addRadio(field);
            else if (field.Format() == lfoCheckbox)
                addCheckBox(field);
            else
                addText(field);
        }
        return std::move(fields_);
    }

private:
    struct Style {
        int Font;
        double Size;
        std::string Colour; // "r g b rg"
    };

    TPdfWidgetDesc boxOf(const TKVTField& field) const {
        const double k = placement_.PointsPerUnit;
        TPdfWidgetDesc widget;
        widget.Left = placement_.Left + field.Left * k;
        widget.Top = placement_.Top + field.Top * k;
        widget.Right = widget.Left + field.Width * k;
        widget.Bottom = widget.Top + field.Height * k;
        return widget;
    }

    Style styleOf(const TKVTField& field) const {
        const TColor rgb = ColorToRGB(field.Font.Color);
        const auto channel = [&](int shift) { return num(double((rgb >> shift) & 0xFF) / 255); };
        return {standardFont(field.Font), std::abs(field.Font.Height) * placement_.PointsPerUnit,
                channel(0) + " " + channel(8) + " " + channel(16) + " rg"};
    }

    static std::string defaultAppearance(const Style& style) {
        return std::string("/") + kFontResources[std::size_t(style.Font)] + " " + num(style.Size) + " Tf " +
               style.Colour;
    }

    // The field's own settings of every kind.
    TPdfFieldDesc describe(const TKVTField& field, const Style& style, TPdfFieldType type) {
        TPdfFieldDesc desc;
        desc.Name = uniqueName(field.Name);
        desc.Type = type;
        desc.Flags = field.ReadOnly ? 1 : 0;
        desc.BaseFont = kBaseFonts[std::size_t(style.Font)];
        desc.FontResource = kFontResources[std::size_t(style.Font)];
        desc.DefaultAppearance = defaultAppearance(style);
        return desc;
    }

    // A content stream of the box's size drawing `lines` as the widget draws the field's text:
    // from the box's top-left, each line aligned in the box, memo rows one pitch apart.
    std::string appearance(const TKVTField& field, const TPdfWidgetDesc& box, const Style& style,
                           const std::vector<std::string>& lines, bool textField) {
        const double width = box.Right - box.Left, height = box.Bottom - box.Top;
        std::string content = textField ? "/Tx BMC\n" : "";
        content += "q 0 0 " + num(width) + " " + num(height) + " re W n\n";
        if (!lines.empty()) {
            content += "BT " + defaultAppearance(style) + "\n";
            const double pitch = field.MemoSpacing >= 1 ? field.MemoSpacing * placement_.PointsPerUnit
                                                        : metrics_.Height(style.Font) * style.Size;
            double baseline = height - metrics_.Ascent(style.Font) * style.Size;
            for (const std::string& line : lines) {
                double x = 0;
                if (field.Alignment() != TAlignment::taLeftJustify) {
                    const double slack = width - metrics_.Width(style.Font, line) * style.Size;
                    x = field.Alignment() == TAlignment::taCenter ? slack / 2 : slack;
                }
                content += "1 0 0 1 " + num(x) + " " + num(baseline) + " Tm " + pdfText(line) + " Tj\n";
                baseline -= pitch;
            }
            content += "ET\n";
        }
        return content + (textField ? "Q\nEMC\n" : "Q\n");
    }

    // The field's name, unique among the fields.
    std::string uniqueName(const std::string& name) {
        std::string unique = name;
        for (int n = 2; !names_.insert(unique).second; ++n)
            unique = name + "#" + std::to_string(n);
        return unique;
    }

    void addText(const TKVTField& field) {
        const Style style = styleOf(field);
        const TKVTFieldFormat format = field.Format();
        TPdfFieldDesc desc =
            describe(field, style, format == lfoComboBox ? TPdfFieldType::Choice : TPdfFieldType::Text);
        std::vector<std::string> lines;
        if (format == lfoMemo) {
            lines = field.Lines();
            desc.Flags |= 1 << 12; // multi-line
        } else if (!field.DisplayText().empty()) {
            lines.push_back(field.DisplayText());
        }
        if (format == lfoComboBox) {
            desc.Flags |= (1 << 17) | (1 << 18); // combo box, editable
            desc.Options = field.Lines();
        } else {
            desc.MaxLength = std::max(field.MaxLength, 0);
        }
        desc.Quadding = field.Alignment() == TAlignment::taCenter         ? 1
                        : field.Alignment() == TAlignment::taRightJustify ? 2
                                                                          : 0;
        desc.Value = FieldPdfValue(field);
        const TFieldScripts scripts = FieldScripts(field);
        desc.FormatScript = scripts.Format;
        desc.KeystrokeScript = scripts.Keystroke;
        TPdfWidgetDesc widget = boxOf(field);
        widget.Appearance = appearance(field, widget, style, lines, true);
        desc.Widgets.push_back(std::move(widget));
        fields_.push_back(std::move(desc));
    }

    // The widget of a check box or radio button: checked, it shows "X" as the printed page does.
    TPdfWidgetDesc buttonWidget(const TKVTField& field, const Style& style, std::string on) {
        TPdfWidgetDesc widget = boxOf(field);
        widget.Appearance = appearance(field, widget, style, {"X"}, false);
        widget.OffAppearance = appearance(field, widget, style, {}, false);
        widget.OnState = std::move(on);
        return widget;
    }

    void addCheckBox(const TKVTField& field) {
        const Style style = styleOf(field);
        TPdfFieldDesc desc = describe(field, style, TPdfFieldType::CheckBox);
        desc.Value = field.Checked() ? "Yes" : "Off";
        desc.Widgets.push_back(buttonWidget(field, style, "Yes"));
        fields_.push_back(std::move(desc));
    }

    // The group's field is made at its first button in tab order; later buttons join it. The
    // group is read-only when every button is.
    void addRadio(const TKVTField& field) {
        const Style style = styleOf(field);
        auto group = groups_.find(field.GroupIndex);
        if (group == groups_.end()) {
            TPdfFieldDesc desc = describe(field, style, TPdfFieldType::RadioGroup);
            names_.erase(desc.Name);
            desc.Name = uniqueName("Group" + std::to_string(field.GroupIndex));
            desc.Flags = (1 << 15) | 1; // radio; read-only until a button that is not joins
            desc.Value = "Off";
            group = groups_.emplace(field.GroupIndex, fields_.size()).first;
            fields_.push_back(std::move(desc));
        }
        TPdfFieldDesc& desc = fields_[group->second];
        if (!field.ReadOnly) desc.Flags &= ~std::int64_t(1);
        std::string state = field.Name;
        for (int n = 2; !states_[field.GroupIndex].insert(state).second; ++n)
            state = field.Name + "#" + std::to_string(n);
        if (field.Checked()) desc.Value = state;
        desc.Widgets.push_back(buttonWidget(field, style, state));
    }

    TPdfPlacement placement_;
    StandardFontMetrics metrics_;
    std::vector<TPdfFieldDesc> fields_;
    std::set<std::string> names_;
    std::map<std::int32_t, std::size_t> groups_;
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
    return WritePdfFormFields(pagePdf.data(), pagePdf.size(), FormBuilder(placement).Build(fields));
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
