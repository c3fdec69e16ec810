#pragma once

// The value side of a fill-in field: what it holds (number, date-time, text, check mark or
// lines), how it shows that value, and the field record's settings. A TKVTImage keeps one
// TKVTField per field record; none of this is a window.

#include "document/KVTRec.h"
#include "platform/Canvas.h"
#include "storage/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovet {

enum TKVTLabOption : std::uint8_t { rloAutoAlign, rloAutoRound, rloAutoSize, rloShowZero };
// A set of TKVTLabOption: bit n is literal n.
using TKVTLabOptions = std::uint8_t;
constexpr TKVTLabOptions LabOption(TKVTLabOption o) {
    return static_cast<TKVTLabOptions>(1u << o);
}

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TKVTLabel;

// The labels that share a parent: a checked label of a group unchecks the others.
using TKVTLabelSiblings = std::vector<TKVTLabel*>;

class TKVTLabel {
public:
    using TNotifyEvent = std::function<void(TKVTLabel& sender)>;

    TKVTLabel();
    virtual ~TKVTLabel() = default;
    TKVTLabel(const TKVTLabel&) = delete;
    TKVTLabel& operator=(const TKVTLabel&) = delete;

    TKVTFieldFormat Format() const { return format_; }
    void SetFormat(TKVTFieldFormat format);
    TKVTLabOptions Options() const { return options_; }
    void SetOptions(TKVTLabOptions options);
    std::int16_t Decimals() const { return decimals_; }
    void SetDecimals(std::int16_t decimals);
    std::int16_t Digits() const { return digits_; }
    void SetDigits(std::int16_t digits);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    std::int32_t GroupIndex = 0;
    std::int32_t MemoSpacing = 0;

    double Value() const { return value_; }
    void SetValue(double value);
    const std::string& StringValue() const { return stringValue_; }
    void SetStringValue(std::string value);
    bool Checked() const { return checked_; }
    // Checking a label of a group (GroupIndex above 0) unchecks the other labels of the group.
    void SetChecked(bool checked);
    // Without that: a bulk load applies the group rule once, at its end.
    void SetCheckedInGroupLater(bool checked);
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    void AppendLine(std::string line);
    void ClearLines();

    // The caption that is drawn and printed (UTF-8).
    const std::string& DisplayText() const { return displayText_; }

    // Font: "Courier New", 11 pt, black, no style (logical height -14 at 96 pixels per inch).
    TFont Font;
    // Bounds in page units.
    std::int32_t Left = 0, Top = 0, Width = 60, Height = 20;
    std::int32_t Tag = 0;

    // Labels sharing this label's parent (the group rule of check boxes); may be null.
    TKVTLabelSiblings* Siblings = nullptr;
    // Measures text for auto-size; without it auto-size does nothing.
    TextMetrics* Metrics = nullptr;
    // While set, auto-size does nothing (the owner is loading).
    bool Loading = false;

    TNotifyEvent OnDataChange;
    // Asks the owner to repaint this label (option and alignment changes, group unchecks).
    TNotifyEvent OnRepaint;

    // Recomputes the display text from the value and settings (auto-align sets the alignment
    // of the numeric, date, time and check box formats; a Digits of 0 becomes 15 at the first
    // number text); with rloAutoSize the size then follows the text: its measured extent,
    // at least 15 wide (a check box exactly 15), a right-aligned label keeping its right
    // edge. Never while Loading, never for a memo.
    void UpdateDisplayText();

protected:
    // Back to no value (0, empty, unchecked, no lines) without notifying anyone.
    void resetValues();

private:
    void dataChanged();
    void repaint();
    void autoSize();

    TKVTFieldFormat format_ = lfoText;
    TKVTLabOptions options_ = 0;
    std::int16_t decimals_ = 2;
    std::int16_t digits_ = 8;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    double value_ = 0;
    std::string stringValue_;
    bool checked_ = false;
    std::vector<std::string> lines_;
    std::string displayText_;
};

class TKVTImage;

// One field of a form shown by a TKVTImage, set up from its field record.
class TKVTField : public TKVTLabel {
public:
    TKVTField() = default;

    // Copies the record's settings (format, options, alignment, font, bounds...) into the
    // field and clears its value; `screenPixelsPerInch` turns the record's point size into
    // the font height. Record strings are Windows-1252. The screen rectangle is the record's
    // box, unscaled, and the screen font height the record's FontHeight. A format code beyond
    // lfoMemo is kept and behaves as text.
    void AssignFromRecord(ConstBytes fieldRecord, std::int32_t screenPixelsPerInch);

    std::int32_t RecordID = 0;
    std::int32_t FieldIndex = 0;
    std::string Name = "Unnamed";
    bool ReadOnly = true;
    std::int32_t TabOrder = 0;
    std::int32_t MaxLength = 0;
    std::int32_t HelpContext = 0;
    bool CtlBorder = true;
    bool CtlOutline = true;
    TColor CtlColor = clAqua;
    std::int32_t ItemIndex = -1;
    // Screen rectangle and font height, recomputed when the screen scale changes.
    TRect ScreenRect;
    std::int32_t ScreenFontHeight = 0;
    TKVTImage* Image = nullptr;

    // Typed access to the stored value.
    std::string AsString() const { return StringValue(); }
    void SetAsString(std::string value) { SetStringValue(std::move(value)); }
    // The value rounded half away from zero, saturated to the 32-bit range; NaN reads as 0.
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int32_t value) { SetValue(value); }
    double AsDouble() const { return Value(); }
    void SetAsDouble(double value) { SetValue(value); }
    double AsDateTime() const { return Value(); }
    void SetAsDateTime(double value) { SetValue(value); }
    bool AsBoolean() const { return Checked(); }
    void SetAsBoolean(bool value) { SetChecked(value); }
    const std::vector<std::string>& AsStringList() const { return Lines(); }
    void SetAsStringList(std::vector<std::string> lines) { SetLines(std::move(lines)); }
};

class TKVT;

// The form's fields in record order, each set up from its record at the 96 pixels per inch of
// page units, without values: what a TKVTImage shows before it is filled in.
std::vector<std::unique_ptr<TKVTField>> FormFields(TKVT& form);

} // namespace kovet
