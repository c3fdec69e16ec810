#include "convert/FormTools.h"

#include "convert/NewObjects.h"
#include "storage/Text1252.h"

#include <algorithm>
#include <numeric>

namespace kovet {
namespace {

// Fits a text or field object to its text and, when it is right-aligned, moves it so that
// its right edge stays where it was.
void fitKeepingRightEdge(Bytes record, bool field, TextMetrics& metrics) {
    const std::int16_t width = ObjectRec::Width.get(record);
    if (field)
        FitFieldToFont(record, metrics);
    else
        FitTextToFont(record, metrics);
    // Text and field records keep their alignment at the same place.
    if (TextRec::Alignment.get(record) == 1)
        ObjectRec::Left.set(record, std::int16_t(ObjectRec::Left.get(record) + width - ObjectRec::Width.get(record)));
}

// Reports a step only when its percentage moved on, so that a long list does not drown the
// progress window in repaints of the same number.
class ProgressSteps {
public:
    ProgressSteps(const TProgress& progress, const char* message, std::size_t count)
        : progress_(progress), message_(message), count_(count) {}
    void At(std::size_t i) {
        if (!progress_) return;
        const int percent = int(i * 100 / count_);
        if (percent == last_) return;
        last_ = percent;
        progress_(message_, percent);
    }

private:
    const TProgress& progress_;
    const char* message_;
    std::size_t count_;
    int last_ = -1;
};

} // namespace

const char* GetDataAccessor(std::int32_t format) {
    switch (format) {
    case lfoReal:
    case lfoDollar:
    case lfoPercent:
    case lfoPctNS: return "AsDouble:= ";
    case lfoInteger: return "AsInteger:= ";
    case lfoDate:
    case lfoFullDate:
    case lfoShortDate:
    case lfoTime:
    case lfoMTime: return "AsDateTime:= ";
    case lfoCheckbox: return "AsBoolean:= ";
    case lfoMemo: return "AsStringList:= ";
    default: return "AsString:= ";
    }
}

std::vector<std::string> GetDataLines(TKVTFile& list) {
    std::vector<std::string> lines = {"procedure TForm1.GetKVTData;", "begin", "  with KVTImage1 do", "  begin"};
    for (std::int32_t i = 0; i < list.Fields.Count(); ++i) {
        const ConstBytes field = list.Fields.Items(i);
        const char* prefix = FieldRec::ReadOnly.get(field) != 0 ? "    " : "    //";
        lines.push_back(prefix + ("FieldByName('" + AsciiLower(FieldRec::Name.get(field)) + "').") +
                        GetDataAccessor(FieldRec::Format.get(field)));
    }
    lines.insert(lines.end(), {"  end;", "end;"});
    return lines;
}

std::vector<std::string> FieldNameLines(TKVTFile& list) {
    std::vector<std::string> lines;
    for (std::int32_t i = 0; i < list.Fields.Count(); ++i)
        lines.push_back(FieldRec::Name.get(list.Fields.Items(i)));
    return lines;
}

std::vector<std::uint8_t> CrLfText(const std::vector<std::string>& lines) {
    std::vector<std::uint8_t> text;
    for (const std::string& line : lines) {
        text.insert(text.end(), line.begin(), line.end());
        text.insert(text.end(), {'\r', '\n'});
    }
    return text;
}

void OptimizeForm(TKVTFile& list, const TProgress& progress) {
    const std::size_t n = std::size_t(list.Count());
    if (n == 0) return;
    std::vector<std::pair<std::int32_t, std::int32_t>> order; // (Top, index)
    order.reserve(n);
    ProgressSteps offsets(progress, "Calculating Offsets", n);
    for (std::size_t i = 0; i < n; ++i) {
        offsets.At(i);
        order.emplace_back(ObjectRec::Top.get(list.Items(std::int32_t(i))), std::int32_t(i));
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // The records are put in their new order in place, as if appended one by one to an empty
    // list: each is stamped afresh and numbered from 1 in its new place.
    std::vector<std::int32_t> at(n), who(n); // at[record] = its place now; who[place] = the record there
    std::iota(at.begin(), at.end(), 0);
    std::iota(who.begin(), who.end(), 0);
    ProgressSteps reorganizing(progress, "Reorganizing Objects", n);
    for (std::size_t i = 0; i < n; ++i) {
        reorganizing.At(i);
        const std::int32_t place = at[std::size_t(order[i].second)];
        if (place != std::int32_t(i)) {
            list.Exchange(std::int32_t(i), place);
            std::swap(who[i], who[std::size_t(place)]);
            at[std::size_t(who[i])] = std::int32_t(i);
            at[std::size_t(who[std::size_t(place)])] = place;
        }
        const Bytes record = list.Items(std::int32_t(i));
        ItemHeader::Stamp.set(record, ItemHeader::StampValue);
        ItemHeader::ID.set(record, std::int32_t(i + 1));
    }
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        if (ItemHeader::ItemType.get(list.Items(i)) == kvtHeaderType) {
            list.Move(i, 0);
            break;
        }
    }
}

void AutosizeAllText(TKVTFile& list, TextMetrics& metrics) {
    for (std::int32_t i = 0; i < list.Texts.Count(); ++i) {
        const Bytes text = list.Texts.Items(i);
        TextRec::Autosize.set(text, 1);
        fitKeepingRightEdge(text, false, metrics);
    }
}

void AutosizeAllFields(TKVTFile& list, TextMetrics& metrics) {
    for (std::int32_t i = 0; i < list.Fields.Count(); ++i) {
        const Bytes field = list.Fields.Items(i);
        FieldRec::Name.set(field, AsciiLower(FieldRec::Name.get(field)));
        const bool sized = FieldRec::ReadOnly.get(field) != 0 || FieldRec::Format.get(field) == lfoCheckbox;
        FieldRec::AutoSize.set(field, sized ? 1 : 0);
        if (sized) fitKeepingRightEdge(field, true, metrics);
    }
}

void ChangeFieldFonts(TKVTFile& list, const TRecordFont& font, TextMetrics& metrics) {
    for (std::int32_t i = 0; i < list.Fields.Count(); ++i) {
        const Bytes field = list.Fields.Items(i);
        FieldRec::FontStyle.set(field, font.Style);
        FieldRec::FontSize.set(field, font.Size);
        FieldRec::FontName.set(field, font.Name.substr(0, 24));
        FieldRec::FontHeight.set(field, font.Height);
        FieldRec::FontColor.set(field, font.Color);
        if (FieldRec::AutoSize.get(field) != 0) FitFieldToFont(field, metrics);
    }
}

} // namespace kovet
