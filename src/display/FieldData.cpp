#include "FieldData.h"

#include "FieldFormat.h"

#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <unordered_map>

namespace kovet {
namespace {

constexpr char kMarker = '\x01';

// The text as one value line: no marker character, no line breaks.
std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == kMarker) continue;
        out.push_back(c == '\r' || c == '\n' ? ' ' : c);
    }
    return out;
}

void AddValueLines(std::vector<std::string>& lines, const TKVTField& field) {
    const TKVTFieldFormat format = field.Format();
    if (format >= lfoReal && format <= lfoPctNS) {
        lines.push_back(FloatToStrG15(field.Value()));
    } else if (format == lfoCheckbox) {
        lines.push_back(field.Checked() ? "X" : " ");
    } else if (format == lfoMemo) {
        for (const std::string& line : field.Lines())
            lines.push_back(OneLine(line));
    } else {
        lines.push_back(OneLine(field.DisplayText()));
    }
}

void ApplyValueLine(TKVTField& field, const std::string& line) {
    switch (field.Format()) {
    case lfoReal:
    case lfoInteger:
    case lfoDollar:
    case lfoPercent:
    case lfoPctNS: field.SetValue(TextToNumber(line, 0)); break;
    case lfoDate:
    case lfoFullDate: field.SetValue(TextToDate(line, 0)); break;
    case lfoShortDate: field.SetValue(ShortDateTextToDate(line, true)); break;
    case lfoTime:
    case lfoMTime: field.SetValue(TextToTime(line, 0)); break;
    case lfoCheckbox: field.SetChecked(line == "X"); break;
    case lfoMemo: field.AppendLine(line); break;
    default: field.SetStringValue(line); break;
    }
}

// The line without its first character (a whole UTF-8 sequence).
std::string_view MarkerName(std::string_view line) {
    std::size_t skip = 1;
    while (skip < line.size() && (std::uint8_t(line[skip]) & 0xC0) == 0x80)
        ++skip;
    return line.substr(skip);
}

} // namespace

std::vector<std::string> SaveFieldStrings(std::span<TKVTField* const> fields, bool saveReadOnlyFields) {
    std::vector<std::string> lines;
    lines.reserve(fields.size() * 2);
    for (const TKVTField* field : fields) {
        if (field == nullptr || (field->ReadOnly && !saveReadOnlyFields)) continue;
        lines.push_back(kMarker + OneLine(field->Name));
        AddValueLines(lines, *field);
    }
    return lines;
}

void LoadFieldStrings(std::span<TKVTField* const> fields, std::span<const std::string> lines) {
    // Later fields overwrite earlier ones of the same name: the last in field order wins.
    std::unordered_map<std::string, TKVTField*> byName;
    byName.reserve(fields.size());
    for (TKVTField* field : fields) {
        if (field != nullptr) byName[AsciiUpper(field->Name)] = field;
    }
    TKVTField* target = nullptr;
    for (const std::string& line : lines) {
        if (line.find(kMarker) != std::string::npos) {
            target = nullptr;
            if (line.size() <= 1) continue;
            const auto found = byName.find(AsciiUpper(MarkerName(line)));
            if (found == byName.end()) continue;
            target = found->second;
            if (target->Format() == lfoMemo) target->ClearLines();
            continue;
        }
        if (target != nullptr) ApplyValueLine(*target, line);
    }
}

std::vector<std::string> SplitFieldDataText(std::string_view windows1252) {
    const std::string text = Windows1252ToUtf8(windows1252);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.emplace_back(text, start, end - start);
        if (end < text.size()) end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        start = end;
    }
    return lines;
}

std::vector<std::string> ReadFieldDataFile(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(file);
    return SplitFieldDataText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string FieldDataText(std::span<const std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += Utf8ToWindows1252(line);
        text += "\r\n";
    }
    return text;
}

void WriteFieldDataFile(const std::filesystem::path& file, std::span<const std::string> lines) {
    const std::string text = FieldDataText(lines);
    WriteFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace kovet
