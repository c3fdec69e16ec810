#include "convert/EmfParse.h"

#include "platform/emf/EmfRecords.h"
#include "storage/Stream.h"

#include <string_view>
#include <utility>

namespace kovet {

namespace {

struct RecordName {
    std::uint32_t type;
    std::string_view name;
};

// The dump's names. A few are written as the dump has always written them (a digit zero in
// P0LYBEZIER, a blank in SELECTOBJECT, letters swapped in three others): readers of old
// dumps compare them character for character.
constexpr RecordName kRecordNames[] = {
    {EMR_HEADER, "EMR_HEADER"},
    {EMR_POLYBEZIER, "EMR_P0LYBEZIER"},
    {EMR_POLYGON, "EMR_POLYGON"},
    {EMR_POLYLINE, "EMR_POLYLINE"},
    {EMR_POLYBEZIERTO, "EMR_P0LYBEZIERTO"},
    {EMR_POLYLINETO, "EMR_POLYLINETO"},
    {EMR_POLYPOLYLINE, "EMR_POLYPOLYLINE"},
    {EMR_POLYPOLYGON, "EMR_POLYPOLYGON"},
    {EMR_SETWINDOWEXTEX, "EMR_SETWINDOWEXTEX"},
    {EMR_SETWINDOWORGEX, "EMR_SETWINDOWORGEX"},
    {EMR_SETVIEWPORTEXTEX, "EMR_SETVIEWPORTEXTEX"},
    {EMR_SETVIEWPORTORGEX, "EMR_SETVIEWPORTORCEX"},
    {EMR_SETBRUSHORGEX, "EMR_SETBRUSHORGEX"},
    {EMR_SETPIXELV, "EMR_SETPIXELV"},
    {EMR_SETMAPPERFLAGS, "EMR_SETMAPPERFLAGS"},
    {EMR_SETMAPMODE, "EMR_SETMAPMODE"},
    {EMR_SETBKMODE, "EMR_SETBKMODE"},
    {EMR_SETPOLYFILLMODE, "EMR_SETPOLYFILLMODE"},
    {EMR_SETROP2, "EMR_SETROP2"},
    {EMR_SETSTRETCHBLTMODE, "EMR_SETSTRETCHBLTMODE"},
    {EMR_SETTEXTALIGN, "EMR_SETTEXTALIGN"},
    {EMR_SETCOLORADJUSTMENT, "EMR_SETCOLORADJUSTMENT"},
    {EMR_SETTEXTCOLOR, "EMR_SETTEXTCOLOR"},
    {EMR_SETBKCOLOR, "EMR_SETBKCOLOR"},
    {EMR_OFFSETCLIPRGN, "EMR_OFFSETCLIPRGN"},
    {EMR_MOVETOEX, "EMR_MOVETOEX"},
    {EMR_SETMETARGN, "EMR_SETMETARGN"},
    {EMR_EXCLUDECLIPRECT, "EMR_EXCLUDECLIPRECT"},
    {EMR_INTERSECTCLIPRECT, "EMR_INTERSECTCLIPRECT"},
    {EMR_SCALEVIEWPORTEXTEX, "EMR_SCALEVIEWPORTEXTEX"},
    {EMR_SCALEWINDOWEXTEX, "EMR_SCALEWINDOWEXTEX"},
    {EMR_SAVEDC, "EMR_SAVEDC"},
    {EMR_RESTOREDC, "EMR_RESTOREDC"},
    {EMR_SETWORLDTRANSFORM, "EMR_SETWCRLDTRANSFORM"},
    {EMR_MODIFYWORLDTRANSFORM, "EMR_MODIFYWORLDTRANSFORM"},
    {EMR_SELECTOBJECT, "EMR SELECTOBJECT"},
    {EMR_CREATEPEN, "EMR_CREATEPEN"},
    {EMR_CREATEBRUSHINDIRECT, "EMR_CREATEBRUSHINDIRECT"},
    {EMR_DELETEOBJECT, "EMR_DELETEOBJECT"},
    {EMR_ANGLEARC, "EMR_ANGLEARC"},
    {EMR_ELLIPSE, "EMR_ELLIPSE"},
    {EMR_RECTANGLE, "EMR_RECTANGLE"},
    {EMR_ROUNDRECT, "EMR_ROUNDRECT"},
    {EMR_ARC, "EMR_ARC"},
    {EMR_CHORD, "EMR_CHORD"},
    {EMR_PIE, "EMR_PIE"},
    {EMR_SELECTPALETTE, "EMR_SELECTPALETTE"},
    {EMR_CREATEPALETTE, "EMR_CREATEPALETTE"},
    {EMR_SETPALETTEENTRIES, "EMR_SETPALETTEENTRIES"},
    {EMR_RESIZEPALETTE, "EMR_RESIZEPALETTE"},
    {EMR_REALIZEPALETTE, "EMR_REALIZEPALETTE"},
    {EMR_EXTFLOODFILL, "EMR_EXTFLOODFILL"},
    {EMR_LINETO, "EMR_LINETO"},
    {EMR_ARCTO, "EMR_ARCTO"},
    {EMR_POLYDRAW, "EMR_POLYDRAW"},
    {EMR_SETARCDIRECTION, "EMR_SETARCDTRECTION"},
    {EMR_SETMITERLIMIT, "EMR_SETMITERLIMIT"},
    {EMR_BEGINPATH, "EMR_BEGINPATH"},
    {EMR_ENDPATH, "EMR_ENDPATH"},
    {EMR_CLOSEFIGURE, "EMR_CLOSEFIGURE"},
    {EMR_FILLPATH, "EMR_FILLPATH"},
    {EMR_STROKEANDFILLPATH, "EMR_STROKEANDFILLPATH"},
    {EMR_STROKEPATH, "EMR_STROKEPATH"},
    {EMR_FLATTENPATH, "EMR_FLATTENPATH"},
    {EMR_WIDENPATH, "EMR_WIDENPATH"},
    {EMR_SELECTCLIPPATH, "EMR_SELECTCLIPPATH"},
    {EMR_ABORTPATH, "EMR_ABORTPATH"},
    {EMR_GDICOMMENT, "EMR_GDICOMMENT"},
    {EMR_FILLRGN, "EMR_FILLRGN"},
    {EMR_FRAMERGN, "EMR_FRAMERGN"},
    {EMR_INVERTRGN, "EMR_INVERTRGN"},
    {EMR_PAINTRGN, "EMR_PAINTRGN"},
    {EMR_EXTSELECTCLIPRGN, "EMR_EXTSELECTCLIPRGN"},
    {EMR_BITBLT, "EMR_BITBLT"},
    {EMR_STRETCHBLT, "EMR_STRETCHBLT"},
    {EMR_MASKBLT, "EMR_MASKBLT"},
    {EMR_PLGBLT, "EMR_PLGBLT"},
    {EMR_SETDIBITSTODEVICE, "EMR_SETDIBITSTODEVICE"},
    {EMR_STRETCHDIBITS, "EMR_STRETCHDIBITS"},
    {EMR_EXTCREATEFONTINDIRECTW, "EMR_EXTCREATEFONTINDIRECTW"},
    {EMR_EXTTEXTOUTA, "EMR_EXTTEXTOUTA"},
    {EMR_EXTTEXTOUTW, "EMR_EXTTEXTOUTW"},
    {EMR_POLYBEZIER16, "EMR_POLYBEZIER16"},
    {EMR_POLYGON16, "EMR_POLYGON16"},
    {EMR_POLYLINE16, "EMR_POLYLINE16"},
    {EMR_POLYBEZIERTO16, "EMR_POLYBEZIERTO16"},
    {EMR_POLYLINETO16, "EMR_POLYLINETO16"},
    {EMR_POLYPOLYLINE16, "EMR_POLYPOLYLINE16"},
    {EMR_POLYPOLYGON16, "EMR_POLYPOLYGON16"},
    {EMR_POLYDRAW16, "EMR_POLYDRAW16"},
    {EMR_CREATEMONOBRUSH, "EMR_CREATEMONOBRUSH"},
    {EMR_CREATEDIBPATTERNBRUSHPT, "EMR_CREATEDIBPATTERNBRUSHPT"},
    {EMR_EXTCREATEPEN, "EMR_EXTCREATEPEN"},
    {EMR_POLYTEXTOUTA, "EMR_POLYTEXTOUTA"},
    {EMR_POLYTEXTOUTW, "EMR_POLYTEXTOUTW"},
};

// The names indexed by record type; types without a name are empty.
constexpr auto kNameByType = [] {
    std::array<std::string_view, EMR_POLYTEXTOUTW + 1> byType{};
    for (const RecordName& entry : kRecordNames)
        byType[entry.type] = entry.name;
    return byType;
}();

std::string_view NameOf(std::uint32_t type) {
    if (type < kNameByType.size() && !kNameByType[type].empty()) return kNameByType[type];
    return "<UNKNOWN>";
}

std::string RectText(const TRect& r) {
    return "L:" + std::to_string(r.Left) + " R:" + std::to_string(r.Right) + " T:" + std::to_string(r.Top) +
           " B:" + std::to_string(r.Bottom);
}

} // namespace

TEMFParse::TEMFParse()
    : Metafile(std::make_unique<TMetafile>()), Strings(std::make_unique<std::vector<std::string>>()) {}

void TEMFParse::Message(const std::string& text) const {
    if (OnMessage) OnMessage(text);
}

// Checked on every line: an OnRecord handler may switch the dump off or drop the list.
void TEMFParse::Add(std::string_view line) {
    if (AddStrings && Strings) Strings->emplace_back(line);
}

void TEMFParse::AddHeaderBlock() {
    const ConstBytes h = header_;
    const auto value = [&](const U32Field& field) { return std::to_string(std::int32_t(field.get(h))); };
    Add("");
    Add("[Header]");
    Add("Record Size =\t\t" + std::to_string(kHeaderCopySize));
    Add("iType =\t\t\t" + value(EmrRec::Type));
    Add("nSize =\t\t\t" + value(EmrRec::Size));
    Add("rclBounds =\t\t" + RectText(EmrHeader::Bounds.get(h)));
    Add("rclFrame =\t\t" + RectText(EmrHeader::Frame.get(h)));
    Add("dSignature =\t\t" + value(EmrHeader::Signature));
    Add("nVersion =\t\t" + value(EmrHeader::Version));
    Add("nBytes =\t\t\t" + value(EmrHeader::TotalBytes));
    Add("nRecords =\t\t" + value(EmrHeader::Records));
    Add("nHandles =\t\t" + std::to_string(EmrHeader::Handles.get(h)));
    Add("sReserved =\t\t" + std::to_string(EmrHeader::Reserved.get(h)));
    Add("nDescription =\t\t" + value(EmrHeader::DescriptionLength));
    Add("offDescription =\t\t" + value(EmrHeader::DescriptionOffset));
    Add("nPalEntries =\t\t" + value(EmrHeader::PalEntries));
    Add("szlDevice =\t\t" + std::to_string(EmrHeader::Device.get(h).cx));
    Add("szlMillimeters =\t\t" + std::to_string(EmrHeader::Millimeters.get(h).cx));
}

void TEMFParse::Parse() {
    if (!Metafile) {
        Message("No metafile.");
        return;
    }
    if (AddStrings && !Strings) {
        Message("No ouput strings.");
        return;
    }

    // The walk holds on to the bytes it began with, so that a handler may clear or reload
    // the metafile while it runs; nothing is copied.
    const std::shared_ptr<const std::vector<std::uint8_t>> held = Metafile->Share();
    const ConstBytes bytes = *held;
    Add("");
    Add("[Enhanced Metafile]");
    Add("Total Size =\t\t" + std::to_string(bytes.size()));

    std::copy_n(bytes.begin(), std::min(bytes.size(), header_.size()), header_.begin());
    AddHeaderBlock();
    Add("");
    Add("[Records]");

    EmfRecordReader reader(bytes, EmrRec::Size.get(header_));
    for (EmfRecord record; reader.Next(record);) {
        if (record.Type == EMR_EOF) break;
        if (OnRecord) OnRecord(*this, record.Bytes);
        if (AddStrings && Strings) Strings->emplace_back(NameOf(record.Type));
    }
}

} // namespace kovet
