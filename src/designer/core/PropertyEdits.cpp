#include "PropertyEdits.h"

#include "convert/NewObjects.h"

#include "display/FieldFormat.h"
#include "platform/Dib.h"
#include "platform/QtTextMetrics.h"
#include "platform/emf/Metafile.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

namespace kovet::designer {
namespace {

using Store = void (*)(Bytes record, const TObjectValues& v);

struct PropertyInfo {
    TProperty Property;
    // What the Undo menu says.
    const char* Label;
    // The record type the value is stored into; 0 for the position and size of any object.
    std::int32_t Type;
    Store Set;
};

std::string recordText(const std::string& utf8) {
    return Utf8ToWindows1252(utf8);
}

void storeFont(Bytes r, const TFontChoice& font) {
    FontRec::FontName.set(r, recordText(font.Name));
    FontRec::FontColor.set(r, font.Color);
    FontRec::FontSize.set(r, std::uint8_t(font.Size));
    FontRec::FontStyle.set(r, font.Style);
    FontRec::FontHeight.set(r, font.Height);
}

TFontChoice readFont(ConstBytes r) {
    return {Windows1252ToUtf8(FontRec::FontName.get(r)), FontRec::FontColor.get(r), FontRec::FontSize.get(r),
            FontRec::FontStyle.get(r), FontRec::FontHeight.get(r)};
}

std::uint8_t byte(std::int32_t value) {
    return std::uint8_t(value);
}

std::uint8_t flag(bool on) {
    return on ? 1 : 0;
}

// In the order of TProperty.
constexpr std::array<PropertyInfo, 49> kProperties = {{
    {TProperty::Left, "Left", 0, nullptr},
    {TProperty::Top, "Top", 0, nullptr},
    {TProperty::Height, "Height", 0, nullptr},
    {TProperty::Width, "Width", 0, nullptr},
    {TProperty::PaperSize, "Paper", kvtHeaderType,
     [](Bytes r, const TObjectValues& v) { HeaderRec::PaperSize.set(r, byte(v.Page.PaperSize)); }},
    {TProperty::Orientation, "Orientation", kvtHeaderType,
     [](Bytes r, const TObjectValues& v) { HeaderRec::Orientation.set(r, byte(v.Page.Orientation)); }},
    {TProperty::PageThickness, "Border Thickness", kvtHeaderType,
     [](Bytes r, const TObjectValues& v) { HeaderRec::BorderThickness.set(r, byte(v.Page.Thickness)); }},
    {TProperty::PageStyle, "Border Style", kvtHeaderType,
     [](Bytes r, const TObjectValues& v) { HeaderRec::BorderStyle.set(r, byte(v.Page.Style)); }},
    {TProperty::PageColor, "Page Color", kvtHeaderType,
     [](Bytes r, const TObjectValues& v) { HeaderRec::PageColor.set(r, v.Page.Color); }},
    {TProperty::Text, "Text", kvtTextType,
     [](Bytes r, const TObjectValues& v) { TextRec::Text.set(r, recordText(v.Text.Text)); }},
    {TProperty::TextAngle, "Text Angle", kvtTextType,
     [](Bytes r, const TObjectValues& v) { TextRec::Angle.set(r, v.Text.Angle); }},
    {TProperty::TextAlignment, "Text Alignment", kvtTextType,
     [](Bytes r, const TObjectValues& v) { TextRec::Alignment.set(r, byte(v.Text.Alignment)); }},
    {TProperty::TextAutosize, "Autosize", kvtTextType,
     [](Bytes r, const TObjectValues& v) { TextRec::Autosize.set(r, flag(v.Text.Autosize)); }},
    {TProperty::TextFont, "Font", kvtTextType, [](Bytes r, const TObjectValues& v) { storeFont(r, v.Text.Font); }},
    {TProperty::FrameInnerStyle, "Inner Style", kvtFrameType,
     [](Bytes r, const TObjectValues& v) { FrameRec::InnerStyle.set(r, byte(v.Frame.InnerStyle)); }},
    {TProperty::FrameInnerColor, "Inner Color", kvtFrameType,
     [](Bytes r, const TObjectValues& v) { FrameRec::InnerColor.set(r, v.Frame.InnerColor); }},
    {TProperty::FrameOuterStyle, "Outer Style", kvtFrameType,
     [](Bytes r, const TObjectValues& v) { FrameRec::OuterStyle.set(r, byte(v.Frame.OuterStyle)); }},
    {TProperty::FrameOuterColor, "Outer Color", kvtFrameType,
     [](Bytes r, const TObjectValues& v) { FrameRec::OuterColor.set(r, v.Frame.OuterColor); }},
    {TProperty::FrameThickness, "Frame Thickness", kvtFrameType,
     [](Bytes r, const TObjectValues& v) { FrameRec::Thickness.set(r, byte(v.Frame.Thickness)); }},
    {TProperty::FrameRoundness, "Frame Roundness", kvtFrameType,
     [](Bytes r, const TObjectValues& v) { FrameRec::Roundness.set(r, std::int16_t(v.Frame.Roundness)); }},
    {TProperty::LineColor, "Line Color", kvtLineType,
     [](Bytes r, const TObjectValues& v) { LineRec::Color.set(r, v.Line.Color); }},
    {TProperty::LineStyle, "Line Style", kvtLineType,
     [](Bytes r, const TObjectValues& v) { LineRec::Style.set(r, byte(v.Line.Style)); }},
    {TProperty::LineThickness, "Line Thickness", kvtLineType,
     [](Bytes r, const TObjectValues& v) { LineRec::Thickness.set(r, byte(v.Line.Thickness)); }},
    {TProperty::LineAngle, "Line Angle", kvtLineType,
     [](Bytes r, const TObjectValues& v) { LineRec::Angle.set(r, v.Line.Angle); }},
    {TProperty::EllipseInnerStyle, "Inner Style", kvtEllipseType,
     [](Bytes r, const TObjectValues& v) { EllipseRec::InnerStyle.set(r, byte(v.Ellipse.InnerStyle)); }},
    {TProperty::EllipseInnerColor, "Inner Color", kvtEllipseType,
     [](Bytes r, const TObjectValues& v) { EllipseRec::InnerColor.set(r, v.Ellipse.InnerColor); }},
    {TProperty::EllipseOuterStyle, "Outer Style", kvtEllipseType,
     [](Bytes r, const TObjectValues& v) { EllipseRec::OuterStyle.set(r, byte(v.Ellipse.OuterStyle)); }},
    {TProperty::EllipseOuterColor, "Outer Color", kvtEllipseType,
     [](Bytes r, const TObjectValues& v) { EllipseRec::OuterColor.set(r, v.Ellipse.OuterColor); }},
    {TProperty::EllipseThickness, "Ellipse Thickness", kvtEllipseType,
     [](Bytes r, const TObjectValues& v) { EllipseRec::Thickness.set(r, byte(v.Ellipse.Thickness)); }},
    {TProperty::FieldName, "Field Name", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::Name.set(r, recordText(v.Field.Name)); }},
    {TProperty::FieldAlignment, "Field Alignment", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::Alignment.set(r, byte(v.Field.Alignment)); }},
    {TProperty::FieldFormat, "Format", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::Format.set(r, byte(v.Field.Format)); }},
    {TProperty::FieldTag, "Tag", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::Tag.set(r, v.Field.Tag); }},
    {TProperty::FieldMaxLength, "Max Length", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::MaxLength.set(r, std::int16_t(v.Field.MaxLength)); }},
    {TProperty::FieldGroupIndex, "GroupIdx", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::GroupIndex.set(r, byte(v.Field.GroupIndex)); }},
    {TProperty::FieldDigits, "Digits", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::Digits.set(r, byte(v.Field.Digits)); }},
    {TProperty::FieldDecimals, "Decimals", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::Decimals.set(r, byte(v.Field.Decimals)); }},
    {TProperty::FieldHelpContext, "HelpCtx", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::HelpContext.set(r, v.Field.HelpContext); }},
    {TProperty::FieldMemoSpacing, "Memospc", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::MemoSpacing.set(r, byte(v.Field.MemoSpacing)); }},
    {TProperty::FieldCtlColor, "Ctl Color", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::CtlColor.set(r, v.Field.CtlColor); }},
    {TProperty::FieldReadOnly, "Readonly", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::ReadOnly.set(r, flag(v.Field.ReadOnly)); }},
    {TProperty::FieldOutline, "Ctl outline", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::CtlOutline.set(r, flag(v.Field.Outline)); }},
    {TProperty::FieldBorder, "Ctl border", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::CtlBorder.set(r, flag(v.Field.Border)); }},
    {TProperty::FieldShowZero, "Showzero", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::ShowZero.set(r, flag(v.Field.ShowZero)); }},
    {TProperty::FieldAutoAlign, "Autoalign", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::AutoAlign.set(r, flag(v.Field.AutoAlign)); }},
    {TProperty::FieldAutoRound, "Autoround", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::AutoRound.set(r, flag(v.Field.AutoRound)); }},
    {TProperty::FieldAutoSize, "Autosize", kvtFieldType,
     [](Bytes r, const TObjectValues& v) { FieldRec::AutoSize.set(r, flag(v.Field.AutoSize)); }},
    {TProperty::FieldFont, "Font", kvtFieldType, [](Bytes r, const TObjectValues& v) { storeFont(r, v.Field.Font); }},
    {TProperty::LogoScaled, "Scale to fit", kvtLogoType,
     [](Bytes r, const TObjectValues& v) { LogoRec::Scaled.set(r, flag(v.Logo.Scaled)); }},
}};

constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < kProperties.size(); ++i)
        if (std::size_t(kProperties[i].Property) != i) return false;
    return true;
}
static_assert(inEnumOrder() && std::size_t(TProperty::LogoScaled) + 1 == kProperties.size());

const PropertyInfo& infoOf(TProperty property) {
    return kProperties[std::size_t(property)];
}

std::vector<std::int32_t> selectedIDs(DesignerCore& core) {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < core.Selection().Count(); ++i)
        ids.push_back(core.Selection().ID(i));
    return ids;
}

void storePosition(TProperty property, Bytes r, const TPropertyValues& v) {
    switch (property) {
    case TProperty::Left: ObjectRec::Left.set(r, std::int16_t(v.Left)); break;
    case TProperty::Top: ObjectRec::Top.set(r, std::int16_t(v.Top)); break;
    case TProperty::Height: ObjectRec::Height.set(r, std::int16_t(v.Height)); break;
    case TProperty::Width: ObjectRec::Width.set(r, std::int16_t(v.Width)); break;
    default: break;
    }
}

bool isAutoAlignTrigger(TProperty property) {
    return property == TProperty::FieldFormat || property == TProperty::FieldAlignment ||
           property == TProperty::FieldAutoAlign;
}

// The new name unless another field has it; the field's own name does not count.
bool rename(TKVT& form, Bytes field, const std::string& wanted) {
    const std::string name = recordText(wanted).substr(0, FieldRec::Name.capacity);
    const std::string saved = FieldRec::Name.get(field);
    FieldRec::Name.set(field, "");
    if (form.FieldExists(name)) {
        FieldRec::Name.set(field, saved);
        return false;
    }
    FieldRec::Name.set(field, name);
    return true;
}

// The record holds its text and no more: sized first, then fetched again.
Bytes resizeForText(TKVTFile& list, std::int32_t id, const TTextValues& text) {
    list.Resize(list.IndexOfID(id), TextItemSize(recordText(text.Text).size()));
    return list.FindByID(id);
}

// Objects that size themselves follow their text; a right-aligned one keeps its right edge.
void fitToText(Bytes r, TextMetrics& metrics) {
    const bool text = ItemHeader::ItemType.get(r) == kvtTextType;
    const std::int16_t before = ObjectRec::Width.get(r);
    if (text && TextRec::Autosize.get(r) != 0) FitTextToFont(r, metrics);
    if (!text && FieldRec::AutoSize.get(r) != 0) FitFieldToFont(r, metrics);
    // Text and field records keep their alignment at the same place.
    if (TextRec::Alignment.get(r) == 1)
        ObjectRec::Left.set(r, std::int16_t(ObjectRec::Left.get(r) + before - ObjectRec::Width.get(r)));
}

void applyPage(DesignerCore& core, const TObjectValues& values) {
    const Bytes header = core.Form().KVTFile().Header.Items(0);
    StoreObjectValues(kvtHeaderType, header, values);
    std::int16_t width = 0, height = 0;
    if (PaperPageSize(HeaderRec::PaperSize.get(header), HeaderRec::Orientation.get(header), width, height)) {
        HeaderRec::PageWidth.set(header, width);
        HeaderRec::PageHeight.set(header, height);
    }
}

// A placeable metafile's key, or the header of a plain one (in memory or on disk, nine words).
bool isWindowsMetafile(ConstBytes bytes) {
    if (bytes.size() < 18) return false;
    if (readLE<std::uint32_t>(bytes, 0) == 0x9AC6CDD7) return true;
    const std::uint16_t type = readLE<std::uint16_t>(bytes, 0), words = readLE<std::uint16_t>(bytes, 2);
    return (type == 1 || type == 2) && words == 9;
}

// The platform's picture loader: bitmaps, enhanced metafiles and Windows metafiles, known by
// their extension and checked to be what it says; the picture in its own format is the file.
std::vector<std::uint8_t> pictureBytes(const std::string& name) {
    const std::string extension = LowerExtension(name);
    if (extension != ".bmp" && extension != ".emf" && extension != ".wmf")
        throw EFileError("Unknown picture file extension (" + extension + ")");
    std::vector<std::uint8_t> bytes = ReadWholeFile(name);
    const auto refuse = [&](const std::string& what) {
        throw EFileError("\"" + name + "\" cannot be loaded: " + what);
    };
    if (extension == ".bmp") {
        try {
            ReadBmpFile(bytes);
        } catch (const EDibError& error) {
            refuse(error.what());
        }
    }
    if (extension == ".emf" && !IsEnhancedMetafile(bytes)) refuse("it is not an enhanced metafile");
    if (extension == ".wmf" && !isWindowsMetafile(bytes)) refuse("it is not a Windows metafile");
    return bytes;
}

const TFileDialog kPictureDialog{"Load Picture", "", {{"Enhanced Metafiles", "*.emf"}, {"Bitmaps", "*.bmp"}}, {}};

// The logo record of that ID, or nothing when the logo has gone meanwhile.
std::int32_t logoIndex(TKVTFile& list, std::int32_t logoID) {
    const std::int32_t index = list.IndexOfID(logoID);
    if (index < 0 || ItemHeader::ItemType.get(list.Items(index)) != kvtLogoType) return -1;
    return index;
}

} // namespace

std::int32_t PropertyType(TProperty property) {
    return infoOf(property).Type;
}

TSelectionKind SelectionKind(DesignerCore& core) {
    const TSelection& selection = core.Selection();
    if (selection.Count() == 0) return TSelectionKind::Nothing;
    if (selection.Count() == 1) return TSelectionKind::One;
    TKVTFile& list = core.Form().KVTFile();
    const std::int32_t first = ItemHeader::ItemType.get(list.FindByID(selection.ID(0)));
    for (std::int32_t i = 1; i < selection.Count(); ++i)
        if (ItemHeader::ItemType.get(list.FindByID(selection.ID(i))) != first) return TSelectionKind::Mixed;
    return TSelectionKind::OneType;
}

TPropertyValues ReadProperties(DesignerCore& core) {
    TPropertyValues v;
    v.Kind = SelectionKind(core);
    TKVTFile& list = core.Form().KVTFile();
    if (v.Kind == TSelectionKind::Nothing) {
        if (list.Count() == 0) return v;
        const ConstBytes header = list.Items(0);
        v.ItemType = kvtHeaderType;
        v.ID = ItemHeader::ID.get(header);
        v.Height = HeaderRec::PageHeight.get(header);
        v.Width = HeaderRec::PageWidth.get(header);
        ReadObjectValues(kvtHeaderType, header, v.Object);
        return v;
    }
    const ConstBytes r = list.FindByID(core.Selection().ID(0));
    v.ID = ItemHeader::ID.get(r);
    v.Left = ObjectRec::Left.get(r);
    v.Top = ObjectRec::Top.get(r);
    v.Height = ObjectRec::Height.get(r);
    v.Width = ObjectRec::Width.get(r);
    if (v.Kind == TSelectionKind::Mixed) return v;
    v.ItemType = ItemHeader::ItemType.get(r);
    if (v.ItemType == kvtFieldType) v.TabOrder = FieldRec::TabOrder.get(r);
    ReadObjectValues(v.ItemType, r, v.Object);
    return v;
}

void ApplyProperty(DesignerCore& core, Prompts& prompts, TProperty property, const TPropertyValues& values,
                   bool withEnter) {
    const TSelectionKind kind = SelectionKind(core);
    const PropertyInfo& info = infoOf(property);
    if (kind == TSelectionKind::Nothing) {
        core.Edit(info.Label, [&] { applyPage(core, values.Object); });
        return;
    }
    if (kind != TSelectionKind::One && !withEnter) return;
    bool refused = false;
    core.Edit(info.Label, [&] {
        QtTextMetrics metrics;
        TKVTFile& list = core.Form().KVTFile();
        for (const std::int32_t id : selectedIDs(core)) {
            Bytes r = list.FindByID(id);
            if (r.empty()) continue;
            storePosition(property, r, values);
            if (kind == TSelectionKind::Mixed) continue;
            const std::int32_t type = ItemHeader::ItemType.get(r);
            if (type == info.Type) {
                if (property == TProperty::Text) r = resizeForText(list, id, values.Object.Text);
                if (property == TProperty::FieldName)
                    refused = !rename(core.Form(), r, values.Object.Field.Name) || refused;
                else
                    info.Set(r, values.Object);
                if (type == kvtFieldType && isAutoAlignTrigger(property) && values.Object.Field.AutoAlign)
                    FieldRec::Alignment.set(r, byte(AutoAlignment(values.Object.Field.Format)));
            }
            if (type == kvtLogoType) LogoRec::Scaled.set(r, flag(values.Object.Logo.Scaled));
            if (type == kvtTextType || type == kvtFieldType) fitToText(r, metrics);
        }
    });
    if (refused) prompts.Inform(kDuplicateFieldName);
}

std::int32_t AutoAlignment(std::int32_t format) {
    return format >= lfoReal && format <= lfoPctNS ? 1 : 0;
}

float AngleFromText(std::string_view text) {
    const double angle = TextToNumber(text, 0);
    // A number no single float holds is no angle either.
    return std::abs(angle) <= std::numeric_limits<float>::max() ? float(angle) : 0.0f;
}

void ReadObjectValues(std::int32_t itemType, ConstBytes r, TObjectValues& v) {
    switch (itemType) {
    case kvtHeaderType:
        v.Page = {HeaderRec::PaperSize.get(r), HeaderRec::Orientation.get(r), HeaderRec::BorderThickness.get(r),
                  HeaderRec::BorderStyle.get(r), HeaderRec::PageColor.get(r)};
        break;
    case kvtTextType:
        v.Text = {Windows1252ToUtf8(TextRec::Text.get(r)), TextRec::Angle.get(r), TextRec::Alignment.get(r),
                  TextRec::Autosize.get(r) != 0, readFont(r)};
        break;
    case kvtFrameType:
        v.Frame = {FrameRec::InnerStyle.get(r), FrameRec::OuterStyle.get(r), FrameRec::InnerColor.get(r),
                   FrameRec::OuterColor.get(r), FrameRec::Thickness.get(r),  FrameRec::Roundness.get(r)};
        break;
    case kvtLineType:
        v.Line = {LineRec::Color.get(r), LineRec::Style.get(r), LineRec::Thickness.get(r), LineRec::Angle.get(r)};
        break;
    case kvtEllipseType:
        v.Ellipse = {EllipseRec::InnerStyle.get(r), EllipseRec::OuterStyle.get(r), EllipseRec::InnerColor.get(r),
                     EllipseRec::OuterColor.get(r), EllipseRec::Thickness.get(r),  0};
        break;
    case kvtFieldType:
        v.Field = {Windows1252ToUtf8(FieldRec::Name.get(r)),
                   FieldRec::Alignment.get(r),
                   FieldRec::Format.get(r),
                   FieldRec::Tag.get(r),
                   FieldRec::MaxLength.get(r),
                   FieldRec::GroupIndex.get(r),
                   FieldRec::Digits.get(r),
                   FieldRec::Decimals.get(r),
                   FieldRec::HelpContext.get(r),
                   FieldRec::MemoSpacing.get(r),
                   FieldRec::CtlColor.get(r),
                   FieldRec::ReadOnly.get(r) != 0,
                   FieldRec::CtlOutline.get(r) != 0,
                   FieldRec::CtlBorder.get(r) != 0,
                   FieldRec::ShowZero.get(r) != 0,
                   FieldRec::AutoAlign.get(r) != 0,
                   FieldRec::AutoRound.get(r) != 0,
                   FieldRec::AutoSize.get(r) != 0,
                   readFont(r)};
        break;
    case kvtLogoType:
        v.Logo = {LogoRec::PictureType.get(r), LogoRec::DataSize.get(r), LogoRec::Scaled.get(r) != 0};
        break;
    default: break;
    }
}

void StoreObjectValues(std::int32_t itemType, Bytes record, const TObjectValues& values) {
    for (const PropertyInfo& info : kProperties)
        if (info.Type == itemType && itemType != 0) info.Set(record, values);
}

void LoadLogoPicture(DesignerCore& core, Prompts& prompts, std::int32_t logoID) {
    const std::optional<std::string> chosen = prompts.OpenFileName(kPictureDialog);
    if (!chosen) return;
    std::vector<std::uint8_t> picture;
    try {
        picture = pictureBytes(*chosen);
    } catch (const Exception& error) {
        prompts.ShowError(error.what());
        return;
    }
    if (picture.size() > std::size_t(kMaxLogoData)) {
        prompts.Inform(kLogoTooLarge);
        return;
    }
    core.Edit("Load Picture", [&] {
        TKVTFile& list = core.Form().KVTFile();
        const std::int32_t index = logoIndex(list, logoID);
        if (index < 0) return;
        const std::int32_t size = std::int32_t(picture.size());
        list.Resize(index, LogoItemSize(size));
        const Bytes r = list.FindByID(logoID);
        LogoRec::DataSize.set(r, size);
        std::copy(picture.begin(), picture.end(), r.begin() + std::ptrdiff_t(LogoRec::DataOffset));
        LogoRec::PictureType.set(r, PictureTypeForFileName(*chosen));
    });
}

void ClearLogoPicture(DesignerCore& core, std::int32_t logoID) {
    core.Edit("Clear Picture", [&] {
        TKVTFile& list = core.Form().KVTFile();
        const std::int32_t index = logoIndex(list, logoID);
        if (index < 0) return;
        LogoRec::DataSize.set(list.Items(index), 0);
        list.Resize(index, LogoItemSize(0));
    });
}

} // namespace kovet::designer
