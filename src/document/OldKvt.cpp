#include "OldKvt.h"

#include <algorithm>

namespace kovet {

namespace {

constexpr char kConvertingMessage[] = "Converting Objects..";

// Splits text the way the toolkit's string list takes its text: a line ends at CR, LF or
// CR LF, a last line without an ending still counts, and a NUL ends the text.
std::vector<std::string> SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t start = p;
        while (p < text.size() && text[p] != '\r' && text[p] != '\n')
            ++p;
        lines.emplace_back(text.substr(start, p - start));
        if (p < text.size() && text[p] == '\r') ++p;
        if (p < text.size() && text[p] == '\n') ++p;
    }
    return lines;
}

float TextAngle(std::uint8_t code) {
    switch (code) {
    case 1: return 180.0f;
    case 2: return 360.0f;
    default: return 0.0f;
    }
}

float LineAngle(std::uint8_t code) {
    switch (code) {
    case 1: return 90.0f;
    case 2: return 45.0f;
    case 3: return 135.0f;
    default: return 0.0f;
    }
}

void CopyGeometry(ConstBytes old, Bytes rec) {
    ObjectRec::Left.set(rec, OldObjectRec::Left.get(old));
    ObjectRec::Top.set(rec, OldObjectRec::Top.get(old));
    ObjectRec::Width.set(rec, OldObjectRec::Width.get(old));
    ObjectRec::Height.set(rec, OldObjectRec::Height.get(old));
}

void AddHeader(ConstBytes old, TKVTFile& file) {
    std::array<std::uint8_t, kHeaderSize> rec{};
    const Bytes h(rec);
    HeaderRec::PageColor.set(h, 0xFFFFFF);
    HeaderRec::BorderThickness.set(h, OldHeaderRec::BorderThickness.get(old));
    HeaderRec::BorderStyle.set(h, OldHeaderRec::BorderStyle.get(old));
    HeaderRec::PageWidth.set(h, OldHeaderRec::PageWidth.get(old));
    HeaderRec::PageHeight.set(h, OldHeaderRec::PageHeight.get(old));
    HeaderRec::PaperSize.set(h, OldHeaderRec::PaperSize.get(old));
    HeaderRec::Orientation.set(h, OldHeaderRec::Orientation.get(old));
    HeaderRec::Version.set(h, HeaderRec::CurrentVersion);
    HeaderRec::SubVersion.set(h, 1);
    HeaderRec::Signature.set(h, HeaderRec::SignatureValue);
    file.Header.Add(h);
}

void AddText(const TOldKVT& source, ConstBytes old, TKVTFile& file) {
    std::array<std::uint8_t, kTextMaxSize> rec{};
    const Bytes t(rec);
    CopyGeometry(old, t);
    TextRec::FontStyle.set(t, OldObjectRec::FontStyle.get(old));
    TextRec::FontSize.set(t, OldObjectRec::FontSize.get(old));
    TextRec::FontHeight.set(t, OldObjectRec::TextFontHeight.get(old));
    TextRec::FontColor.set(t, TOldKVT::GetColor(OldObjectRec::FontColor.get(old)));
    // Names are cut to their field's capacity by the field itself; the text is cut here
    // because its length also sets the record's size.
    TextRec::FontName.set(t, source.GetString(OldObjectRec::FontString.get(old)));
    std::string text = source.GetString(OldObjectRec::TextString.get(old));
    text.resize(std::min(text.size(), TextRec::Text.capacity));
    TextRec::Text.set(t, text);
    TextRec::Angle.set(t, TextAngle(OldObjectRec::TextAngle.get(old)));
    ItemHeader::ItemSize.set(t, TextItemSize(text.size()));
    file.Texts.Add(t);
}

void AddFrame(ConstBytes old, TKVTFile& file) {
    std::array<std::uint8_t, kFrameSize> rec{};
    const Bytes f(rec);
    CopyGeometry(old, f);
    FrameRec::OuterStyle.set(f, OldObjectRec::OuterStyle.get(old));
    FrameRec::InnerStyle.set(f, OldObjectRec::InnerStyle.get(old));
    FrameRec::Thickness.set(f, OldObjectRec::Thickness.get(old));
    FrameRec::Roundness.set(f, OldObjectRec::Roundness.get(old));
    FrameRec::InnerColor.set(f, TOldKVT::GetColor(OldObjectRec::InnerColor.get(old)));
    FrameRec::OuterColor.set(f, TOldKVT::GetColor(OldObjectRec::OuterColor.get(old)));
    file.Frames.Add(f);
}

void AddLine(ConstBytes old, TKVTFile& file) {
    std::array<std::uint8_t, kLineSize> rec{};
    const Bytes l(rec);
    CopyGeometry(old, l);
    LineRec::Style.set(l, OldObjectRec::LineStyle.get(old));
    LineRec::Thickness.set(l, OldObjectRec::LineThickness.get(old));
    LineRec::Color.set(l, TOldKVT::GetColor(OldObjectRec::LineColor.get(old)));
    LineRec::Angle.set(l, LineAngle(OldObjectRec::LineAngle.get(old)));
    file.Lines.Add(l);
}

void AddField(const TOldKVT& source, ConstBytes old, TKVTFile& file) {
    std::array<std::uint8_t, kFieldSize> rec{};
    const Bytes f(rec);
    CopyGeometry(old, f);
    FieldRec::FontStyle.set(f, OldObjectRec::FontStyle.get(old));
    FieldRec::FontSize.set(f, OldObjectRec::FontSize.get(old));
    FieldRec::FontHeight.set(f, OldObjectRec::FieldFontHeight.get(old));
    FieldRec::Format.set(f, OldObjectRec::FieldFormat.get(old));
    FieldRec::FontColor.set(f, TOldKVT::GetColor(OldObjectRec::FontColor.get(old)));
    FieldRec::FontName.set(f, source.GetString(OldObjectRec::FontString.get(old)));
    FieldRec::Name.set(f, source.GetString(OldObjectRec::TextString.get(old)));
    file.Fields.Add(f);
}

void AddEllipse(ConstBytes old, TKVTFile& file) {
    std::array<std::uint8_t, kEllipseSize> rec{};
    const Bytes e(rec);
    CopyGeometry(old, e);
    EllipseRec::OuterStyle.set(e, OldObjectRec::OuterStyle.get(old));
    EllipseRec::InnerStyle.set(e, OldObjectRec::InnerStyle.get(old));
    EllipseRec::Thickness.set(e, OldObjectRec::Thickness.get(old));
    EllipseRec::InnerColor.set(e, TOldKVT::GetColor(OldObjectRec::InnerColor.get(old)));
    EllipseRec::OuterColor.set(e, TOldKVT::GetColor(OldObjectRec::OuterColor.get(old)));
    file.Ellipses.Add(e);
}

} // namespace

TOldKVT::TOldKVT() : Objects(kOldObjectSize) {}

void TOldKVT::LoadFromStream(TStream& stream) {
    // A header cut short leaves the object as it was, so such a file reads as nothing.
    std::array<std::uint8_t, kOldHeaderSize> header{};
    if (stream.Read(header.data(), header.size()) != header.size()) return;
    Header = header;
    const Bytes h(Header);
    std::int16_t width = 0, height = 0;

    if (OldHeaderRec::Version.get(h) <= 2 && OldHeaderRec::Revision.get(h) == 0) {
        LegacyPageSize(OldHeaderRec::PaperSize.get(h), width, height);
        OldHeaderRec::PageWidth.set(h, width);
        OldHeaderRec::PageHeight.set(h, height);
        OldHeaderRec::Version.set(h, 3);
        OldHeaderRec::Orientation.set(h, 0);
    }

    Objects.Clear();
    // A negative count is damage, not a request; it reads as no objects.
    const std::int32_t count = std::max<std::int32_t>(OldHeaderRec::Count.get(h), 0);
    std::array<std::uint8_t, kOldObjectSize> object{};
    for (std::int32_t i = 0; i < count; ++i) {
        if (stream.Read(object.data(), object.size()) != object.size()) break;
        Objects.Add(object.data());
    }

    std::string rest(std::size_t(std::max<std::int64_t>(stream.Remaining(), 0)), '\0');
    rest.resize(stream.Read(rest.data(), rest.size()));
    Strings = SplitLines(rest);

    if (OldHeaderRec::PageWidth.get(h) == 0 || OldHeaderRec::PageHeight.get(h) == 0) {
        LegacyPageSize(OldHeaderRec::PaperSize.get(h), width, height);
        OldHeaderRec::PageWidth.set(h, width);
        OldHeaderRec::PageHeight.set(h, height);
    }

    if (OnChange) OnChange(*this);
}

void TOldKVT::SaveToStream(TStream& stream) {
    const std::int32_t count = Objects.Count();
    if (count == 0) return;
    OldHeaderRec::Count.set(Header, std::int16_t(count));
    stream.Write(Header.data(), Header.size());
    for (std::int32_t i = 0; i < count; ++i)
        stream.Write(Objects.Items(i), std::size_t(kOldObjectSize));
    for (const std::string& line : Strings) {
        stream.Write(line.data(), line.size());
        stream.Write("\r\n", 2);
    }
}

std::vector<std::uint8_t> TOldKVT::KVTData() {
    TMemoryStream stream;
    SaveToStream(stream);
    return stream.TakeBytes();
}

void TOldKVT::SetKVTData(std::span<const std::uint8_t> bytes) {
    TBytesStream stream(bytes);
    LoadFromStream(stream);
}

std::string TOldKVT::GetString(std::int32_t n) const {
    if (n < 0 || std::size_t(n) >= Strings.size()) return "ERROR " + std::to_string(n);
    return Strings[std::size_t(n)];
}

std::uint32_t TOldKVT::GetColor(std::uint8_t number) {
    static constexpr std::array<std::uint32_t, 17> colors = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080, 0xC0C0C0,
        0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0xAAFFFF,
    };
    return number < colors.size() ? colors[number] : 0x000000;
}

void TOldKVT::LegacyPageSize(std::uint8_t paperSize, std::int16_t& width, std::int16_t& height) {
    struct PageSize {
        std::int16_t width, height;
    };
    static constexpr std::array<PageSize, 5> sizes = {
        {{800, 1320}, {800, 1035}, {1100, 1556}, {778, 1095}, {551, 778}}};
    const PageSize size = paperSize < sizes.size() ? sizes[paperSize] : PageSize{800, 1035};
    width = size.width;
    height = size.height;
}

void ConvertOldKVT(const TOldKVT& source, TKVT& target, const TProgressEvent& progress) {
    TKVTFile& file = target.KVTFile();
    file.Clear();
    AddHeader(source.Header, file);

    // TsvDynArray offers no read-only access to its items; a copy keeps the source const.
    TsvDynArray objects = source.Objects;
    const std::int32_t count = objects.Count();
    for (std::int32_t i = 0; i < count; ++i) {
        if (progress) progress(kConvertingMessage, std::int32_t(std::int64_t(i) * 100 / count));
        const ConstBytes old(objects.Items(i), std::size_t(kOldObjectSize));
        switch (OldObjectRec::ObjType.get(old)) {
        case OldObjectRec::otText: AddText(source, old, file); break;
        case OldObjectRec::otFrame:
        case OldObjectRec::otFrame5:
        case OldObjectRec::otFrame8: AddFrame(old, file); break;
        case OldObjectRec::otLine: AddLine(old, file); break;
        case OldObjectRec::otField: AddField(source, old, file); break;
        case OldObjectRec::otEllipse: AddEllipse(old, file); break;
        default: break;
        }
    }
}

bool IsCurrentFormFile(ConstBytes file) {
    const std::uint8_t version = readLE<std::uint8_t>(file, 40);
    const std::uint8_t olderEncodingVersion = readLE<std::uint8_t>(file, 30);
    return version > 3 || (olderEncodingVersion > 3 && olderEncodingVersion < 20);
}

bool IsPlausibleLegacyForm(ConstBytes file) {
    using namespace OldHeaderRec;
    if (file.size() < kOldHeaderSize) return false;
    const std::int16_t count = Count.get(file);
    if (count < 0 || kOldHeaderSize + std::size_t(count) * kOldObjectSize > file.size()) return false;
    if (Version.get(file) > 3 || Orientation.get(file) > kvtLandScape || BorderStyle.get(file) > psClear) return false;
    for (std::int16_t i = 0; i < count; ++i) {
        if (OldObjectRec::ObjType.get(file.subspan(kOldHeaderSize + std::size_t(i) * kOldObjectSize)) >
            OldObjectRec::otFrame8)
            return false;
    }
    return true;
}

} // namespace kovet
