#include "Fitting.h"

#include "document/KVTRec.h"
#include "storage/Text1252.h"

namespace kovet::designer {
namespace {

void fit(Bytes record, TextMetrics& metrics, const std::string& windows1252) {
    TFont font;
    font.Name = Windows1252ToUtf8(FontRec::FontName.get(record));
    // Points to pixels as the platform's fonts convert them, rounded to the nearest pixel.
    font.Height = -((FontRec::FontSize.get(record) * 96 + 36) / 72);
    font.Style = FontRec::FontStyle.get(record);
    const TSize extent = metrics.Extent(font, Windows1252ToUtf8(windows1252));
    ObjectRec::Width.set(record, std::int16_t(extent.cx));
    ObjectRec::Height.set(record, std::int16_t(extent.cy));
}

} // namespace

void FitTextToFont(Bytes text, TextMetrics& metrics) {
    fit(text, metrics, TextRec::Text.get(text));
}

void FitFieldToFont(Bytes field, TextMetrics& metrics) {
    fit(field, metrics, ("XX-" + FieldRec::Name.get(field)).substr(0, 43));
}

} // namespace kovet::designer
