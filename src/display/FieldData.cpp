#include "FieldData.h"

#include "FieldFormat.h"

#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <map>

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

// The characters of UTF-8 text (its code points).
std::size_t CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// The first `count` characters of UTF-8 text.
std::string_view FirstCharacters(std::string_view utf8, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < utf8.size(); ++at) {
        if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && seen++ == count) break;
    }
    return utf8.substr(0, at);
}

// Applies the lines of one load: values bounded, the check box group rule once at the end.
class FieldLoad {
public:
    void Apply(TKVTField& field, const std::string& line) {
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
        case lfoCheckbox: check(field, line == "X"); break;
        case lfoMemo: appendLine(field, line); break;
        default: field.SetStringValue(std::string(bounded(field, line, FieldTextLimit(field)))); break;
        }
    }

    void StartMemo(TKVTField& memo) {
        memo.ClearLines();
        memoLength_[&memo] = 0;
    }

    // Of the check boxes of a group that the load checked, the last stays checked and every
    // other box of the group is unchecked, as checking them one by one leaves them.
    std::vector<std::string> Finish(std::span<TKVTField* const> fields) {
        for (TKVTField* field : fields) {
            if (field == nullptr || field->GroupIndex <= 0 || !field->Checked()) continue;
            const auto last = lastChecked_.find(field->GroupIndex);
            if (last != lastChecked_.end() && last->second != field) field->SetChecked(false);
        }
        return std::move(notes_);
    }

private:
    void check(TKVTField& field, bool checked) {
        field.SetCheckedInGroupLater(checked);
        if (checked && field.GroupIndex > 0) lastChecked_[field.GroupIndex] = &field;
    }

    void appendLine(TKVTField& memo, const std::string& line) {
        std::size_t& length = memoLength_[&memo];
        const std::size_t limit = FieldTextLimit(memo);
        // Beyond the limit: the memo was cut and noted; its further lines are left out.
        if (length > limit) return;
        const std::size_t characters = CharacterCount(line);
        if (length + characters <= limit) {
            length += characters;
            memo.AppendLine(line);
            return;
        }
        note(memo, limit);
        if (length < limit) memo.AppendLine(std::string(FirstCharacters(line, limit - length)));
        length = limit + 1;
    }

    std::string_view bounded(TKVTField& field, std::string_view value, std::size_t limit) {
        if (value.size() <= limit || CharacterCount(value) <= limit) return value;
        note(field, FieldTextLimit(field));
        return FirstCharacters(value, limit);
    }

    void note(const TKVTField& field, std::size_t limit) {
        notes_.push_back(field.Name + ": the value was cut to " + std::to_string(limit) + " characters");
    }

    std::map<std::int32_t, TKVTField*> lastChecked_;
    std::map<const TKVTField*, std::size_t> memoLength_;
    std::vector<std::string> notes_;
};

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

std::size_t FieldTextLimit(const TKVTField& field) {
    if (field.MaxLength > 0) return std::size_t(field.MaxLength);
    return field.Format() == lfoMemo ? kMaxMemoText : kMaxFieldText;
}

std::vector<std::string> LoadFieldStrings(std::span<TKVTField* const> fields, std::span<const std::string> lines) {
    const TFieldsByName byName(fields);
    FieldLoad load;
    TKVTField* target = nullptr;
    for (const std::string& line : lines) {
        if (line.find(kMarker) != std::string::npos) {
            target = nullptr;
            if (line.size() <= 1) continue;
            target = byName.Find(MarkerName(line));
            if (target == nullptr) continue;
            if (target->Format() == lfoMemo) load.StartMemo(*target);
            continue;
        }
        if (target != nullptr) load.Apply(*target, line);
    }
    return load.Finish(fields);
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
