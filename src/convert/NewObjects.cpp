#include "convert/NewObjects.h"

#include "storage/Text1252.h"

namespace kovet {
namespace {

template <typename Field> void copyField(const Field& field, Bytes to, ConstBytes from) {
    field.set(to, field.get(from));
}

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

std::vector<std::uint8_t> DefaultFieldRecord(TKVTDefaults& defaults) {
    std::vector<std::uint8_t> r(static_cast<std::size_t>(kFieldSize));
    const ConstBytes d = defaults.Field();
    copyField(FieldRec::FontStyle, r, d), copyField(FieldRec::FontSize, r, d);
    copyField(FieldRec::FontHeight, r, d), copyField(FieldRec::FontName, r, d);
    copyField(FieldRec::FontColor, r, d), copyField(FieldRec::Alignment, r, d);
    copyField(FieldRec::Format, r, d), copyField(FieldRec::GroupIndex, r, d);
    copyField(FieldRec::Digits, r, d), copyField(FieldRec::Decimals, r, d);
    copyField(FieldRec::MemoSpacing, r, d), copyField(FieldRec::ReadOnly, r, d);
    copyField(FieldRec::AutoRound, r, d), copyField(FieldRec::AutoSize, r, d);
    copyField(FieldRec::AutoAlign, r, d), copyField(FieldRec::ShowZero, r, d);
    copyField(FieldRec::CtlBorder, r, d), copyField(FieldRec::CtlOutline, r, d);
    copyField(FieldRec::MaxLength, r, d), copyField(FieldRec::HelpContext, r, d);
    copyField(FieldRec::CtlColor, r, d);
    return r;
}

std::vector<std::uint8_t> NewTextRecord(TKVTDefaults& defaults, std::string_view text) {
    const std::int32_t size = TextItemSize(text.size());
    std::vector<std::uint8_t> r(std::size_t(size), 0);
    const ConstBytes d = defaults.Text();
    copyField(TextRec::FontStyle, r, d), copyField(TextRec::FontSize, r, d);
    copyField(TextRec::FontHeight, r, d), copyField(TextRec::FontName, r, d);
    copyField(TextRec::FontColor, r, d), copyField(TextRec::Angle, r, d);
    copyField(TextRec::Alignment, r, d), copyField(TextRec::Autosize, r, d);
    TextRec::Text.set(r, text);
    ItemHeader::ItemSize.set(r, size);
    return r;
}

std::vector<std::uint8_t> NewObjectRecord(TKVT& form, TKVTDefaults& defaults, std::int32_t type, TextMetrics& metrics) {
    std::vector<std::uint8_t> r;
    switch (type) {
    case kvtFrameType: {
        r.assign(std::size_t(kFrameSize), 0);
        const ConstBytes d = defaults.Frame();
        copyField(FrameRec::Width, r, d), copyField(FrameRec::Height, r, d);
        copyField(FrameRec::OuterStyle, r, d), copyField(FrameRec::InnerStyle, r, d);
        copyField(FrameRec::InnerColor, r, d), copyField(FrameRec::OuterColor, r, d);
        copyField(FrameRec::Thickness, r, d), copyField(FrameRec::Roundness, r, d);
        break;
    }
    case kvtLineType: {
        r.assign(std::size_t(kLineSize), 0);
        const ConstBytes d = defaults.Line();
        copyField(LineRec::Width, r, d), copyField(LineRec::Height, r, d);
        copyField(LineRec::Angle, r, d), copyField(LineRec::Style, r, d);
        copyField(LineRec::Color, r, d), copyField(LineRec::Thickness, r, d);
        break;
    }
    case kvtEllipseType: {
        r.assign(std::size_t(kEllipseSize), 0);
        const ConstBytes d = defaults.Ellipse();
        copyField(EllipseRec::Width, r, d), copyField(EllipseRec::Height, r, d);
        copyField(EllipseRec::OuterStyle, r, d), copyField(EllipseRec::InnerStyle, r, d);
        copyField(EllipseRec::OuterColor, r, d), copyField(EllipseRec::InnerColor, r, d);
        copyField(EllipseRec::Thickness, r, d);
        break;
    }
    case kvtTextType:
        r = NewTextRecord(defaults, TextRec::Text.get(defaults.Text()));
        FitTextToFont(r, metrics);
        break;
    case kvtFieldType: {
        r = DefaultFieldRecord(defaults);
        std::string name;
        form.NewFieldName(name);
        FieldRec::Name.set(r, name);
        FieldRec::TabOrder.set(r, std::int16_t(form.NextTabOrder()));
        FitFieldToFont(r, metrics);
        break;
    }
    case kvtLogoType:
        r.assign(std::size_t(LogoItemSize(0)), 0);
        ItemHeader::ItemSize.set(r, LogoItemSize(0));
        LogoRec::Width.set(r, 100);
        LogoRec::Height.set(r, 100);
        break;
    default: break;
    }
    return r;
}

TCustomRecordListObject& WrapperOf(TKVTFile& list, std::int32_t type) {
    switch (type) {
    case kvtFrameType: return list.Frames;
    case kvtLineType: return list.Lines;
    case kvtEllipseType: return list.Ellipses;
    case kvtTextType: return list.Texts;
    case kvtFieldType: return list.Fields;
    case kvtLogoType: return list.Logos;
    default: return list.Header;
    }
}

std::int32_t AppendNewObject(TKVT& form, TKVTDefaults& defaults, std::int32_t type, std::int32_t x, std::int32_t y,
                             TextMetrics& metrics) {
    std::vector<std::uint8_t> record = NewObjectRecord(form, defaults, type, metrics);
    if (record.empty()) return 0;
    ObjectRec::Left.set(record, std::int16_t(x));
    ObjectRec::Top.set(record, std::int16_t(y));
    return ItemHeader::ID.get(WrapperOf(form.KVTFile(), type).Add(record));
}

} // namespace kovet
