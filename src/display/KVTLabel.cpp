#include "KVTLabel.h"

#include "FieldFormat.h"
#include "document/KVTFile.h"

#include "storage/Text1252.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kovet {
namespace {

constexpr std::int32_t kMinAutoWidth = 15;
constexpr std::int32_t kCheckboxWidth = 15;

bool IsNumeric(TKVTFieldFormat f) {
    return f >= lfoReal && f <= lfoPctNS;
}
bool IsDateTime(TKVTFieldFormat f) {
    return f >= lfoDate && f <= lfoMTime;
}

// The text's extent with tabs expanded to the next multiple of eight average character
// widths (the width of "x" stands for the average).
TSize MeasureExpanded(TextMetrics& metrics, const TFont& font, std::string_view text) {
    if (text.find('\t') == std::string_view::npos) return metrics.Extent(font, text);
    const std::int32_t tab = std::max(1, 8 * metrics.Extent(font, "x").cx);
    TSize size{0, metrics.Extent(font, " ").cy};
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\t', start);
        const TSize part = metrics.Extent(font, text.substr(start, end - start));
        size.cx += part.cx;
        size.cy = std::max(size.cy, part.cy);
        if (end == std::string_view::npos) break;
        size.cx = (size.cx / tab + 1) * tab;
        start = end + 1;
    }
    return size;
}

} // namespace

TKVTLabel::TKVTLabel() {
    Font.Name = "Courier New";
    Font.Height = -14;
}

void TKVTLabel::SetFormat(TKVTFieldFormat format) {
    format_ = format;
    if (format_ == lfoMemo) options_ = TKVTLabOptions(options_ & ~LabOption(rloAutoSize));
    UpdateDisplayText();
}

void TKVTLabel::SetOptions(TKVTLabOptions options) {
    options_ = options;
    UpdateDisplayText();
    repaint();
}

void TKVTLabel::SetDecimals(std::int16_t decimals) {
    decimals_ = decimals;
    UpdateDisplayText();
}

void TKVTLabel::SetDigits(std::int16_t digits) {
    digits_ = digits;
    UpdateDisplayText();
}

void TKVTLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    UpdateDisplayText();
    repaint();
}

void TKVTLabel::SetValue(double value) {
    value_ = value;
    UpdateDisplayText();
    dataChanged();
}

void TKVTLabel::SetStringValue(std::string value) {
    stringValue_ = std::move(value);
    UpdateDisplayText();
    dataChanged();
}

void TKVTLabel::SetChecked(bool checked) {
    if (checked && GroupIndex > 0 && Siblings != nullptr) {
        for (TKVTLabel* other : *Siblings) {
            if (other == nullptr || other == this || other->GroupIndex != GroupIndex || !other->checked_) continue;
            other->SetChecked(false);
            other->repaint();
        }
    }
    SetCheckedInGroupLater(checked);
}

void TKVTLabel::SetCheckedInGroupLater(bool checked) {
    checked_ = checked;
    UpdateDisplayText();
    dataChanged();
}

void TKVTLabel::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    dataChanged();
}

void TKVTLabel::AppendLine(std::string line) {
    lines_.push_back(std::move(line));
    dataChanged();
}

void TKVTLabel::ClearLines() {
    lines_.clear();
    dataChanged();
}

void TKVTLabel::UpdateDisplayText() {
    const bool autoAlign = (options_ & LabOption(rloAutoAlign)) != 0;
    if (IsNumeric(format_)) {
        if (autoAlign) alignment_ = TAlignment::taRightJustify;
        // A digits setting of 0 means 15 from the first formatting on.
        if (digits_ == 0) digits_ = 15;
        const TNumberStyle style{decimals_, digits_, (options_ & LabOption(rloAutoRound)) != 0,
                                 (options_ & LabOption(rloShowZero)) != 0};
        displayText_ = NumberText(format_, value_, style);
    } else if (IsDateTime(format_)) {
        if (autoAlign) alignment_ = TAlignment::taLeftJustify;
        displayText_ = DateTimeText(format_, value_);
    } else if (format_ == lfoCheckbox) {
        if (autoAlign) alignment_ = TAlignment::taLeftJustify;
        displayText_ = checked_ ? "X" : "";
    } else {
        displayText_ = stringValue_;
    }
    autoSize();
}

void TKVTLabel::resetValues() {
    value_ = 0;
    stringValue_.clear();
    checked_ = false;
    lines_.clear();
}

void TKVTLabel::dataChanged() {
    if (OnDataChange) OnDataChange(*this);
}

void TKVTLabel::repaint() {
    if (OnRepaint) OnRepaint(*this);
}

void TKVTLabel::autoSize() {
    if ((options_ & LabOption(rloAutoSize)) == 0 || Loading || Metrics == nullptr || format_ == lfoMemo) return;
    const TSize size = MeasureExpanded(*Metrics, Font, displayText_.empty() ? " " : displayText_);
    const std::int32_t width = format_ == lfoCheckbox ? kCheckboxWidth : std::max(size.cx, kMinAutoWidth);
    if (alignment_ == TAlignment::taRightJustify) Left -= width - Width;
    Width = width;
    Height = size.cy;
}

void TKVTField::AssignFromRecord(ConstBytes fieldRecord, std::int32_t screenPixelsPerInch) {
    using namespace FieldRec;
    const ConstBytes r = fieldRecord;
    RecordID = ItemHeader::ID.get(r);
    TKVTLabOptions options = 0;
    if (AutoAlign.get(r) != 0) options |= LabOption(rloAutoAlign);
    if (AutoRound.get(r) != 0) options |= LabOption(rloAutoRound);
    if (AutoSize.get(r) != 0) options |= LabOption(rloAutoSize);
    if (ShowZero.get(r) != 0) options |= LabOption(rloShowZero);
    SetOptions(options);
    switch (FieldRec::Alignment.get(r)) {
    case 1: SetAlignment(TAlignment::taRightJustify); break;
    case 2: SetAlignment(TAlignment::taCenter); break;
    default: SetAlignment(TAlignment::taLeftJustify); break;
    }
    Name = Windows1252ToUtf8(FieldRec::Name.get(r));
    ReadOnly = FieldRec::ReadOnly.get(r) != 0;
    TabOrder = FieldRec::TabOrder.get(r);
    MaxLength = FieldRec::MaxLength.get(r);
    HelpContext = FieldRec::HelpContext.get(r);
    CtlBorder = FieldRec::CtlBorder.get(r) != 0;
    CtlOutline = FieldRec::CtlOutline.get(r) != 0;
    CtlColor = FieldRec::CtlColor.get(r);
    SetFormat(TKVTFieldFormat(FieldRec::Format.get(r)));
    Font.Name = Windows1252ToUtf8(FontName.get(r));
    Font.Style = FontStyle.get(r);
    Font.Height = -std::int32_t(std::trunc(FontSize.get(r) * double(screenPixelsPerInch) / 72));
    Font.Color = FontColor.get(r);
    GroupIndex = FieldRec::GroupIndex.get(r);
    SetDecimals(FieldRec::Decimals.get(r));
    SetDigits(FieldRec::Digits.get(r));
    MemoSpacing = FieldRec::MemoSpacing.get(r);
    Tag = FieldRec::Tag.get(r);
    resetValues();
    UpdateDisplayText();
    // The record's box wins over any auto-size while setting up.
    Left = FieldRec::Left.get(r);
    Top = FieldRec::Top.get(r);
    Width = FieldRec::Width.get(r);
    Height = FieldRec::Height.get(r);
    ScreenRect = {Left, Top, Left + Width, Top + Height};
    ScreenFontHeight = FontHeight.get(r);
}

std::int32_t TKVTField::AsInteger() const {
    // Half away from zero, saturating at the ends of the 32-bit range; NaN reads as 0.
    const double v = Value();
    if (std::isnan(v)) return 0;
    const double rounded = std::round(v);
    if (rounded <= double(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    if (rounded >= double(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(rounded);
}

std::vector<std::unique_ptr<TKVTField>> FormFields(TKVT& form) {
    std::vector<std::unique_ptr<TKVTField>> fields;
    TRecObj_KVTField& records = form.KVTFile().Fields;
    for (std::int32_t i = 0, n = records.Count(); i < n; ++i) {
        auto field = std::make_unique<TKVTField>();
        field->AssignFromRecord(records.Items(i), 96);
        field->FieldIndex = i;
        fields.push_back(std::move(field));
    }
    return fields;
}

} // namespace kovet
