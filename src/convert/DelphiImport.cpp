#include "convert/DelphiImport.h"

#include "convert/NewObjects.h"
#include "storage/Text1252.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace kovet {
namespace {

constexpr std::array<std::string_view, 7> kClassNames = {
    "TKVTLABEL", "TKVTCONTROL", "TKVTSUPERCONTROL", "TKVTDBCONTROL", "TRKVTSUPERCONTROL", "TKOVETLAB", "TKOVETCHK"};

// The property keys, in the order they are tried on each line.
enum Key : std::size_t {
    kLeft,
    kTop,
    kWidth,
    kHeight,
    kTag,
    kDecimals,
    kDigits,
    kTabOrder,
    kFontName,
    kFontHeight,
    kFontStyle,
    kFormat,
    kOptions,
    kAlignment,
    kKeyCount
};
constexpr std::array<std::string_view, kKeyCount> kKeys = {
    "LEFT = ",     "TOP = ",       "WIDTH = ",       "HEIGHT = ",     "TAG = ",    "DECIMALS = ", "DIGITS = ",
    "TABORDER = ", "FONT.NAME = ", "FONT.HEIGHT = ", "FONT.STYLE = ", "FORMAT = ", "OPTIONS = ",  "ALIGNMENT = "};

// The formats a control's Format property names; the three card formats map to theirs too.
constexpr std::array<std::string_view, 21> kFormatNames = {
    "lfoText",     "lfoReal",      "lfoInteger", "lfoDollar", "lfoPercent",  "lfoPctNS",    "lfoDate",
    "lfoFullDate", "lfoShortDate", "lfoTime",    "lfoMTime",  "lfoPhone",    "lfoSocial",   "lfoZipCode",
    "lfoPhoneExt", "lfoVisaMC",    "lfoAmex",    "lfoCustom", "lfoCheckbox", "lfoComboBox", "lfoMemo"};
constexpr std::array<std::string_view, 3> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};

struct OptionKey {
    std::string_view Word;
    const U8Field& Flag;
};
const std::array<OptionKey, 6> kOptionKeys = {{{"RLOREADONLY", FieldRec::ReadOnly},
                                               {"RLOAUTOALIGN", FieldRec::AutoAlign},
                                               {"RLOAUTOROUND", FieldRec::AutoRound},
                                               {"RLOAUTOSIZE", FieldRec::AutoSize},
                                               {"RLOSHOWZERO", FieldRec::ShowZero},
                                               {"RLOOUTINE", FieldRec::CtlOutline}}};
constexpr std::array<std::pair<std::string_view, std::uint8_t>, 3> kStyleWords = {
    {{"BOLD", fsBold}, {"ITALIC", fsItalic}, {"UNDERLINE", fsUnderline}}};

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// `upper` holds a line folded to capitals; keys and class names are given in capitals.
bool contains(const std::string& upper, std::string_view key) {
    return upper.find(key) != std::string::npos;
}

// An integer as the property notation writes it (decimal, or hexadecimal behind "$"), with
// leading blanks; anything else is no number.
std::optional<std::int32_t> number(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return std::int32_t(value);
}

std::int32_t numberOr(const std::optional<std::string>& value, std::int32_t fallback) {
    if (!value) return fallback;
    return number(*value).value_or(0);
}

// The word that opens a component's line and where it ends: "object" anywhere in the line, or
// "inherited" or "inline" at its start.
std::size_t behindOpener(const std::string& upper) {
    if (const std::size_t at = upper.find("OBJECT "); at != std::string::npos) return at + 7;
    const std::size_t start = upper.find_first_not_of(' ');
    if (start == std::string::npos) return std::string::npos;
    for (std::string_view opener : {"INHERITED ", "INLINE "}) {
        if (upper.compare(start, opener.size(), opener) == 0) return start + opener.size();
    }
    return std::string::npos;
}

// The component's name: between the word that opens it and the colon.
std::string componentName(std::string_view line, const std::string& upper) {
    const std::size_t start = behindOpener(upper);
    if (start == std::string::npos) return {};
    const std::size_t colon = line.find(':', start);
    return std::string(line.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
}

} // namespace

std::int32_t ImportDelphiFields(TKVTFile& list, TKVTDefaults& defaults, std::string_view notation,
                                TextMetrics& metrics) {
    const std::vector<std::string_view> lines = splitLines(notation);
    std::vector<std::string> upper;
    upper.reserve(lines.size());
    for (std::string_view line : lines)
        upper.push_back(AsciiUpper(line));

    std::int32_t imported = 0;
    const TAppendRun appending(list);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bool component = false;
        for (std::string_view name : kClassNames)
            component = component || contains(upper[i], name);
        if (!component) continue;
        const bool checkBox = contains(upper[i], "TKOVETCHK");
        const std::string name = componentName(lines[i], upper[i]);

        // The component's property lines reach up to the next component; the last line that
        // holds a key gives its value.
        std::array<std::optional<std::string>, kKeyCount> values;
        for (std::size_t j = i + 1; j < lines.size() && behindOpener(upper[j]) == std::string::npos; ++j) {
            for (std::size_t k = 0; k < kKeyCount; ++k) {
                const std::size_t at = upper[j].find(kKeys[k]);
                if (at == std::string::npos) continue;
                if (k == kHeight && contains(upper[j], "FONT")) continue;
                values[k] = std::string(lines[j].substr(at + kKeys[k].size()));
            }
        }

        std::vector<std::uint8_t> field = DefaultFieldRecord(defaults);
        const ConstBytes fieldDefaults = defaults.Field();
        FieldRec::Name.set(field, FieldRec::Name.get(fieldDefaults));
        FieldRec::TabOrder.set(field, FieldRec::TabOrder.get(fieldDefaults));

        FieldRec::Name.set(field, TextToWindows1252(name).substr(0, 40));
        FieldRec::Tag.set(field, numberOr(values[kTag], 0));
        const std::int32_t width = numberOr(values[kWidth], 40);
        FieldRec::Left.set(field, std::int16_t(numberOr(values[kLeft], 0)));
        FieldRec::Top.set(field, std::int16_t(numberOr(values[kTop], 0)));
        FieldRec::Width.set(field, std::int16_t(width));
        FieldRec::Height.set(field, std::int16_t(numberOr(values[kHeight], 20)));
        if (values[kTabOrder]) FieldRec::TabOrder.set(field, std::int16_t(numberOr(values[kTabOrder], 0)));
        if (values[kDecimals]) FieldRec::Decimals.set(field, std::uint8_t(numberOr(values[kDecimals], 0)));
        if (values[kDigits]) FieldRec::Digits.set(field, std::uint8_t(numberOr(values[kDigits], 0)));
        if (values[kFontName]) {
            std::string face = *values[kFontName];
            if (face.size() > 2) face = face.substr(1, face.size() - 2);
            FieldRec::FontName.set(field, TextToWindows1252(face).substr(0, 24));
        }
        if (values[kFontHeight]) {
            const std::int32_t height = numberOr(values[kFontHeight], 0);
            FieldRec::FontHeight.set(field, std::int16_t(height));
            FieldRec::FontSize.set(field, std::uint8_t(std::trunc(std::abs(height * -72.0 / 96.0))));
        }

        for (std::size_t a = 0; values[kAlignment] && a < kAlignmentNames.size(); ++a) {
            if (*values[kAlignment] == kAlignmentNames[a]) FieldRec::Alignment.set(field, std::uint8_t(a));
        }
        if (FieldRec::Alignment.get(field) == 1) {
            // The field keeps the control's right edge.
            FitFieldToFont(field, metrics);
            FieldRec::Left.set(field, std::int16_t(FieldRec::Left.get(field) + width - FieldRec::Width.get(field)));
        }

        for (std::size_t f = 0; values[kFormat] && f < kFormatNames.size(); ++f) {
            if (*values[kFormat] == kFormatNames[f]) FieldRec::Format.set(field, std::uint8_t(f));
        }
        if (checkBox) FieldRec::Format.set(field, lfoCheckbox);

        if (values[kOptions]) {
            const std::string options = AsciiUpper(*values[kOptions]);
            for (const OptionKey& key : kOptionKeys) {
                if (contains(options, key.Word)) key.Flag.set(field, 1);
            }
        }
        if (values[kFontStyle]) {
            const std::string style = AsciiUpper(*values[kFontStyle]);
            for (const auto& [word, bit] : kStyleWords) {
                if (contains(style, word))
                    FieldRec::FontStyle.set(field, std::uint8_t(FieldRec::FontStyle.get(field) | bit));
            }
        }
        if (FieldRec::AutoSize.get(field) != 0) FitFieldToFont(field, metrics);

        list.Fields.Add(field);
        ++imported;
    }
    return imported;
}

} // namespace kovet
