#include "FieldData.h"

#include "FieldFormat.h"

#include "storage/Stream.h"
#include "storage/Text1252.h"

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

// Fields by name without regard to ASCII letter case, the last of several of one name: an
// open-addressing table over the fields' own names, built once per load without a string
// copy per field, so that each marker costs about one probe.
class TFieldsByName {
public:
    explicit TFieldsByName(std::span<TKVTField* const> fields) {
        std::size_t size = 16;
        while (size < 2 * fields.size())
            size *= 2;
        slots_.assign(size, {});
        for (TKVTField* field : fields) {
            if (field == nullptr) continue;
            const std::size_t hash = Hash(field->Name);
            slots_[indexOf(field->Name, hash)] = {hash, field};
        }
    }

    TKVTField* Find(std::string_view name) const { return slots_[indexOf(name, Hash(name))].Field; }

private:
    struct Slot {
        std::size_t Hash = 0;
        TKVTField* Field = nullptr;
    };

    static std::size_t Hash(std::string_view name) {
        std::uint64_t h = 14695981039346656037u; // FNV-1a
        for (const char c : name)
            h = (h ^ std::uint8_t(AsciiUpperChar(c))) * 1099511628211u;
        return std::size_t(h ^ (h >> 32));
    }

    // The slot of the field of that name, or the empty slot where it would go. The hash is
    // compared first: a field's name lies in the field, away from the table.
    std::size_t indexOf(std::string_view name, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.Field == nullptr || (slot.Hash == hash && SameText(slot.Field->Name, name))) return i;
        }
    }

    std::vector<Slot> slots_;
};

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
    const TFieldsByName byName(fields);
    TKVTField* target = nullptr;
    for (const std::string& line : lines) {
        if (line.find(kMarker) != std::string::npos) {
            target = nullptr;
            if (line.size() <= 1) continue;
            target = byName.Find(MarkerName(line));
            if (target == nullptr) continue;
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
