#include "FormInfo.h"

#include "Json.h"

#include "storage/Text1252.h"

#include <array>
#include <cstdio>

namespace kovet::cli {
namespace {

std::string padLeft(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string padRight(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string hex8(std::uint32_t value) {
    char buffer[12];
    std::snprintf(buffer, sizeof buffer, "$%08X", value);
    return buffer;
}

// Stored colours are $00BBGGRR; shown the way people write them today.
std::string colour(std::uint32_t value) {
    if (value >> 24 == 0x80) return "system colour " + std::to_string(value & 0xFF);
    if (value >> 24 != 0) return hex8(value);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    return buffer;
}

template <std::size_t N>
std::string nameOf(const std::array<const char*, N>& names, std::uint32_t code, const char* what) {
    return code < N ? names[code] : std::string(what) + " " + std::to_string(code);
}

constexpr std::array<const char*, 4> kPenStyles = {"solid", "dashed", "dotted", "clear"};
constexpr std::array<const char*, 4> kFillStyles = {"clear", "solid", "diagonal", "hash"};
constexpr std::array<const char*, 5> kPapers = {"Legal", "Letter", "A3", "A4", "A5"};
constexpr std::array<const char*, 2> kOrientations = {"portrait", "landscape"};
constexpr std::array<const char*, 4> kTextAlignments = {"left", "right", "centred", "justified"};
constexpr std::array<const char*, 3> kFieldAlignments = {"left", "right", "centre"};
constexpr std::array<const char*, 3> kPictureTypes = {"empty", "metafile", "bitmap"};
constexpr std::array<const char*, 21> kFieldFormats = {
    "Text",  "Real",   "Integer", "Dollar",   "Percent", "PctNS", "Date",   "FullDate", "ShortDate", "Time", "MTime",
    "Phone", "Social", "ZipCode", "PhoneExt", "VisaMC",  "Amex",  "Custom", "Checkbox", "ComboBox",  "Memo",
};

std::string typeName(std::int32_t type) {
    switch (type) {
    case kvtHeaderType: return "header";
    case kvtFrameType: return "frame";
    case kvtLineType: return "line";
    case kvtEllipseType: return "ellipse";
    case kvtTextType: return "text";
    case kvtFieldType: return "field";
    case kvtLogoType: return "logo";
    default: return "type " + std::to_string(type);
    }
}

// Names are shown as they are, except that control characters, which would break the one
// line per record, become "?".
std::string printable(std::string_view windows1252) {
    std::string out = Windows1252ToUtf8(windows1252);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    }
    return out;
}

std::string angle(float degrees) {
    const std::string shown = JsonFloat(degrees);
    return shown == "null" ? "not a number" : shown;
}

std::string font(ConstBytes rec) {
    std::string out = printable(FontRec::FontName.get(rec)) + " " + std::to_string(FontRec::FontSize.get(rec)) + "pt";
    const std::uint8_t style = FontRec::FontStyle.get(rec);
    if (style & fsBold) out += " bold";
    if (style & fsItalic) out += " italic";
    if (style & fsUnderline) out += " underline";
    if (style & fsStrikeOut) out += " strike-out";
    return out + " " + colour(FontRec::FontColor.get(rec));
}

std::string outlineAndFill(std::uint8_t outer, std::uint8_t thickness, std::uint32_t outerColour, std::uint8_t inner,
                           std::uint32_t innerColour) {
    std::string out = "outline " + nameOf(kPenStyles, outer, "style");
    if (outer != psClear) out += " " + std::to_string(thickness) + " px " + colour(outerColour);
    out += ", fill " + nameOf(kFillStyles, inner, "style");
    if (inner != fsClear) out += " " + colour(innerColour);
    return out;
}

std::string details(ConstBytes rec) {
    switch (ItemHeader::ItemType.get(rec)) {
    case kvtHeaderType:
        return std::to_string(HeaderRec::PageWidth.get(rec)) + " x " + std::to_string(HeaderRec::PageHeight.get(rec)) +
               " " + nameOf(kPapers, HeaderRec::PaperSize.get(rec), "paper") + " " +
               nameOf(kOrientations, HeaderRec::Orientation.get(rec), "orientation") + ", version " +
               std::to_string(HeaderRec::Version.get(rec));
    case kvtFrameType: {
        std::string out =
            outlineAndFill(FrameRec::OuterStyle.get(rec), FrameRec::Thickness.get(rec), FrameRec::OuterColor.get(rec),
                           FrameRec::InnerStyle.get(rec), FrameRec::InnerColor.get(rec));
        if (FrameRec::Roundness.get(rec) > 0) out += ", roundness " + std::to_string(FrameRec::Roundness.get(rec));
        return out;
    }
    case kvtLineType:
        return "angle " + angle(LineRec::Angle.get(rec)) + ", " + nameOf(kPenStyles, LineRec::Style.get(rec), "style") +
               " " + std::to_string(LineRec::Thickness.get(rec)) + " px " + colour(LineRec::Color.get(rec));
    case kvtEllipseType:
        return outlineAndFill(EllipseRec::OuterStyle.get(rec), EllipseRec::Thickness.get(rec),
                              EllipseRec::OuterColor.get(rec), EllipseRec::InnerStyle.get(rec),
                              EllipseRec::InnerColor.get(rec));
    case kvtTextType: {
        std::string out = JsonString(Windows1252ToUtf8(TextRec::Text.get(rec))) + ", " + font(rec) + ", " +
                          nameOf(kTextAlignments, TextRec::Alignment.get(rec), "alignment");
        if (TextRec::Angle.get(rec) != 0) out += ", angle " + angle(TextRec::Angle.get(rec));
        if (TextRec::Autosize.get(rec)) out += ", autosize";
        return out;
    }
    case kvtFieldType: {
        std::string out = JsonString(Windows1252ToUtf8(FieldRec::Name.get(rec))) + " " +
                          nameOf(kFieldFormats, FieldRec::Format.get(rec), "format") + ", tab order " +
                          std::to_string(FieldRec::TabOrder.get(rec)) + ", " + font(rec) + ", " +
                          nameOf(kFieldAlignments, FieldRec::Alignment.get(rec), "alignment");
        if (FieldRec::ReadOnly.get(rec)) out += ", read-only";
        return out;
    }
    case kvtLogoType: {
        const std::int32_t claimed = LogoRec::DataSize.get(rec);
        const std::size_t present = LogoRec::Data(rec).size();
        std::string out = nameOf(kPictureTypes, LogoRec::PictureType.get(rec), "picture type") + ", " +
                          std::to_string(claimed) + " bytes";
        if (claimed < 0 || std::size_t(claimed) != present) out += " (" + std::to_string(present) + " present)";
        if (LogoRec::Scaled.get(rec)) out += ", scaled";
        return out;
    }
    default: return {};
    }
}

std::string headerBlock(const TKVTFile& list) {
    if (list.Count() == 0 || ItemHeader::ItemType.get(list.Items(0)) != kvtHeaderType) {
        return "Header:       none (record 0 is not a form header)\n";
    }
    const ConstBytes h = list.Items(0);
    std::string out;
    out += "Page size:    " + std::to_string(HeaderRec::PageWidth.get(h)) + " x " +
           std::to_string(HeaderRec::PageHeight.get(h)) + " pixels\n";
    out += "Paper:        " + nameOf(kPapers, HeaderRec::PaperSize.get(h), "paper") + "\n";
    out += "Orientation:  " + nameOf(kOrientations, HeaderRec::Orientation.get(h), "orientation") + "\n";
    out += "Version:      " + std::to_string(HeaderRec::Version.get(h)) + " (sub-version " +
           std::to_string(HeaderRec::SubVersion.get(h)) + ")\n";
    if (HeaderRec::Signature.get(h) != HeaderRec::SignatureValue) {
        out += "Signature:    " + hex8(HeaderRec::Signature.get(h)) + " (not a form signature)\n";
    }
    out += "Border:       " + nameOf(kPenStyles, HeaderRec::BorderStyle.get(h), "style") + " " +
           std::to_string(HeaderRec::BorderThickness.get(h)) + " px\n";
    out += "Page colour:  " + colour(HeaderRec::PageColor.get(h)) + "\n";
    return out;
}

constexpr std::size_t kDetailsColumn = 5 + 7 + 2 + 9 + 6 + 4 * 7;

std::string recordLine(std::int32_t index, ConstBytes rec) {
    const std::int32_t type = ItemHeader::ItemType.get(rec);
    std::string line = padLeft(std::to_string(index), 5) + padLeft(std::to_string(ItemHeader::ID.get(rec)), 7) + "  " +
                       padRight(typeName(type), 9) + padLeft(std::to_string(ItemHeader::ItemSize.get(rec)), 6);
    // Every type above the header's shares the geometry fields.
    if (type > kvtHeaderType) {
        line += padLeft(std::to_string(ObjectRec::Left.get(rec)), 7) +
                padLeft(std::to_string(ObjectRec::Top.get(rec)), 7) +
                padLeft(std::to_string(ObjectRec::Width.get(rec)), 7) +
                padLeft(std::to_string(ObjectRec::Height.get(rec)), 7);
    }
    const std::string more = details(rec);
    if (!more.empty()) {
        if (line.size() < kDetailsColumn) line.append(kDetailsColumn - line.size(), ' ');
        line += "  " + more;
    }
    return line + "\n";
}

} // namespace

std::string FormToText(FormEncoding encoding, const TKVTFile& list) {
    std::string out = "Format:       " + std::string(EncodingName(encoding)) + "\n";
    out += headerBlock(list);
    out += "Records:      " + std::to_string(list.Count()) + "\n";
    out += "Total size:   " + std::to_string(list.TotalSize()) + " bytes\n\n";
    out += "Index     ID  Type       Size   Left    Top  Width Height  Details\n";
    for (std::int32_t i = 0; i < list.Count(); ++i)
        out += recordLine(i, list.Items(i));
    return out;
}

} // namespace kovet::cli
