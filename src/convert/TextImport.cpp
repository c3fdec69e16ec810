#include "convert/TextImport.h"

#include "convert/NewObjects.h"
#include "storage/Text1252.h"

#include <cstdlib>

namespace kovet {

std::vector<std::string> TextFileLines(ConstBytes bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = char(bytes[i]);
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

void ImportTextLines(TKVT& form, TKVTDefaults& defaults, ConstBytes fileBytes, TextMetrics& metrics) {
    const ConstBytes textDefaults = defaults.Text();
    const std::int16_t fontHeight = TextRec::FontHeight.get(textDefaults);
    const std::int32_t pageHeight = HeaderRec::PageHeight.get(form.GetHeader());
    std::int32_t y = 50;
    const TAppendRun appending(form.KVTFile());
    for (const std::string& line : TextFileLines(fileBytes)) {
        const std::string text = TextToWindows1252(line).substr(0, 255);
        auto record = std::vector<std::uint8_t>(std::size_t(kTextMaxSize));
        TextRec::FontStyle.set(record, TextRec::FontStyle.get(textDefaults));
        TextRec::FontSize.set(record, TextRec::FontSize.get(textDefaults));
        TextRec::FontHeight.set(record, fontHeight);
        TextRec::FontName.set(record, TextRec::FontName.get(textDefaults));
        TextRec::FontColor.set(record, TextRec::FontColor.get(textDefaults));
        TextRec::Angle.set(record, TextRec::Angle.get(textDefaults));
        TextRec::Text.set(record, text);
        TextRec::Left.set(record, 50);
        TextRec::Top.set(record, std::int16_t(y));
        FitTextToFont(record, metrics);
        const std::int32_t size = TextItemSize(text.size());
        ItemHeader::ItemSize.set(record, size);
        record.resize(std::size_t(size));
        form.KVTFile().Texts.Add(record);
        y += std::abs(fontHeight) + 4;
        if (y > pageHeight) break;
    }
}

} // namespace kovet
