#include "TypedValue.h"

#include "FieldData.h"
#include "FieldFormat.h"
#include "KVTEdit.h"
#include "storage/Text1252.h"

#include <QString>

#include <cmath>
#include <limits>
#include <vector>

namespace kovet {
namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string tooLong(const TKVTField& field, const std::string& typed) {
    return quoted(typed.substr(0, 40) + (typed.size() > 40 ? "..." : "")) + " is longer than the field's " +
           std::to_string(FieldTextLimit(field)) + " characters";
}

// A number as typed into a numeric field: blanks, "$", "%" and thousands commas are
// decoration, parentheses a negative amount; nothing typed is 0.
double typedNumber(const std::string& typed) {
    std::string text;
    for (const char c : typed)
        if (c != ' ' && c != '$' && c != '%' && c != ',') text += c;
    if (text.empty()) return 0;
    if (text.size() > 2 && text.front() == '(' && text.back() == ')') text = "-" + text.substr(1, text.size() - 2);
    return TextToNumber(text, kNoValue);
}

std::string checkMark(TKVTField& field, const std::string& typed) {
    const std::string word = trimmed(typed);
    for (const char* yes : {"X", "1", "true", "yes", "on"}) {
        if (SameText(word, yes)) {
            field.SetChecked(true);
            return {};
        }
    }
    for (const char* no : {"", "0", "false", "no", "off"}) {
        if (SameText(word, no)) {
            field.SetChecked(false);
            return {};
        }
    }
    return quoted(typed) + " is not a check mark (X, 1, true, yes or on; 0, false, no or off)";
}

std::vector<std::string> memoLines(const std::string& value) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = value.find("\\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(value.substr(start, at - start));
    lines.push_back(value.substr(start));
    return lines;
}

// Typed into the field's mask as the editor takes keys: every character must be a digit or
// one of the mask's own characters, and the digits must fit.
std::string masked(TKVTField& field, const std::string& typed) {
    TKVTEdit edit;
    edit.SetFormat(field.Format());
    const std::string digitsTyped = [&] {
        std::string digits;
        for (const char c : typed)
            if (c >= '0' && c <= '9') digits += c;
        return digits;
    }();
    const TEditMask mask = ParseEditMask(EditMask(field.Format()));
    QString pattern = mask.Template;
    for (qsizetype i = 0; i < pattern.size(); ++i)
        if (!mask.Literal[std::size_t(i)]) pattern[i] = u'9';
    for (const char c : typed) {
        if ((c < '0' || c > '9') && c != ' ' && !pattern.contains(QChar(c)))
            return quoted(typed) + " does not fit the field's pattern " + pattern.toStdString();
    }
    edit.SetText(digitsTyped);
    std::string kept;
    for (const char c : edit.Text())
        if (c >= '0' && c <= '9') kept += c;
    if (kept != digitsTyped) return quoted(typed) + " has more digits than the field holds";
    field.SetStringValue(edit.Text());
    return {};
}

} // namespace

std::string TypeIntoField(TKVTField& field, const std::string& typed) {
    const TKVTFieldFormat format = field.Format();
    switch (format) {
    case lfoCheckbox: return checkMark(field, typed);
    case lfoMemo: {
        std::vector<std::string> lines = memoLines(typed);
        qsizetype length = 0;
        for (const std::string& line : lines)
            length += QString::fromStdString(line).size();
        if (std::size_t(length) > FieldTextLimit(field)) return tooLong(field, typed);
        field.SetLines(std::move(lines));
        return {};
    }
    case lfoReal:
    case lfoInteger:
    case lfoDollar:
    case lfoPercent:
    case lfoPctNS: {
        const double value = typedNumber(typed);
        if (std::isnan(value)) return quoted(typed) + " is not a number";
        field.SetValue(format == lfoPercent || format == lfoPctNS ? value / 100 : value);
        return {};
    }
    case lfoDate:
    case lfoFullDate:
    case lfoShortDate:
    case lfoTime:
    case lfoMTime: {
        const std::string text = trimmed(typed);
        double value = 0;
        if (format == lfoTime || format == lfoMTime)
            value = text.empty() ? 0 : TextToTime(text, kNoValue);
        else if (format == lfoShortDate && text.size() == 5)
            value = ShortDateTextToDate(text, false);
        else
            value = text.empty() ? 0 : TextToDate(text, kNoValue);
        if (std::isnan(value) || (format == lfoShortDate && text.size() == 5 && value == 0))
            return quoted(typed) + " is not a " + (format == lfoTime || format == lfoMTime ? "time" : "date");
        field.SetValue(value);
        return {};
    }
    case lfoPhone:
    case lfoSocial:
    case lfoZipCode:
    case lfoPhoneExt:
    case lfoVisaMC:
    case lfoAmex: return masked(field, typed);
    default: {
        const qsizetype length = QString::fromStdString(typed).size();
        if (std::size_t(length) > FieldTextLimit(field)) return tooLong(field, typed);
        field.SetStringValue(typed);
        return {};
    }
    }
}

} // namespace kovet
