#pragma once

// The formatted edit a TKVTImage opens over a field while the user types in it: numbers are
// shown formatted and edited as plain digits, dates, times and the other masked formats are
// typed into an edit mask, and the typed text is committed back into a value on leaving.

#include "display/KVTLabel.h"
#include "document/KVTRec.h"
#include "platform/Canvas.h"

#include <QLineEdit>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kovet {

enum TSuperOption : std::uint8_t {
    soAutoAlign,
    soMinMaxUsed,
    soRoundValue,
    soShowZero,
    soShowGray,
    soAllowspaces,
    soEnterToTab,
    soSpaceToUnderscore
};
// A set of TSuperOption: bit n is literal n.
using TSuperOptions = std::uint8_t;
constexpr TSuperOptions SuperOption(TSuperOption o) {
    return static_cast<TSuperOptions>(1u << o);
}
inline constexpr TSuperOptions kDefaultSuperOptions =
    SuperOption(soAutoAlign) | SuperOption(soShowGray) | SuperOption(soAllowspaces) | SuperOption(soEnterToTab);

// An edit mask in the masked-edit notation ("!99/99/99;1; "), ready for typing into.
struct TEditMask {
    // The mask in the line edit's own notation; empty for no mask.
    QString InputMask;
    // One entry per character of the edit text: true where the mask puts a literal.
    std::vector<bool> Literal;
    // The mask's literal characters at those positions (other positions hold the blank).
    QString Template;
    QChar Blank = u'_';
    bool SaveLiterals = true;
    // "!": unfilled optional positions are leading rather than trailing blanks.
    bool LeadingBlanks = false;
};
TEditMask ParseEditMask(std::string_view mask);

class TKVTEdit : public QLineEdit {
public:
    using TNotifyEvent = std::function<void(TKVTEdit& sender)>;

    explicit TKVTEdit(QWidget* parent = nullptr);

    // Formats lfoText ... lfoCustom; other values are taken as lfoText.
    TKVTFieldFormat Format() const { return format_; }
    void SetFormat(TKVTFieldFormat format);
    TSuperOptions Options() const { return options_; }
    void SetOptions(TSuperOptions options) { options_ = options; }
    bool HasOption(TSuperOption o) const { return (options_ & SuperOption(o)) != 0; }

    double Value() const { return value_; }
    void SetValue(double value);
    std::int16_t Decimals() const { return decimals_; }
    void SetDecimals(std::int16_t decimals);
    std::int16_t Digits() const { return digits_; }
    void SetDigits(std::int16_t digits);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    const std::string& CustomMask() const { return customMask_; }
    void SetCustomMask(std::string mask);
    double MinValue = 0;
    double MaxValue = 0;
    // Longest text that can be typed; 0 means no limit. A longer text set by the program is
    // kept whole. A mask sets its own length.
    std::int32_t MaxLength() const { return maxLength_; }
    void SetMaxLength(std::int32_t length);

    // Background colours ($00BBGGRR or system colours).
    TColor Color() const { return color_; }
    // Any colour other than clGray and the focus colour also becomes the normal colour.
    void SetColor(TColor color);
    TColor FocusColor = clAqua;
    bool UseFocusColor = true;
    TColor NormalColor() const { return normalColor_; }
    void SetNormalColor(TColor color) { normalColor_ = color; }
    // Text colour of non-negative values; negative values show in maroon.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    // Without the frame.
    void SetFlat(bool flat) { setFrame(!flat); }

    // The text as the field keeps it (UTF-8). For a masked edit: the mask's literals when it
    // saves them, unfilled positions as spaces, and empty when nothing has been typed.
    std::string Text() const;
    // Sets the text; a masked edit lays it into the mask (with "!", a short section of
    // the text fills its section from the right).
    void SetText(std::string_view text);

    // Turns the typed text into the value (numbers, dates and times) and shows the value
    // formatted again. Runs on leaving and on Enter.
    void Commit();

    TNotifyEvent OnChange;
    TNotifyEvent OnReturn;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool isNumeric() const { return format_ >= lfoReal && format_ <= lfoPctNS; }
    bool isDateTime() const { return format_ >= lfoDate && format_ <= lfoMTime; }
    double clamped(double value) const;
    void applyMask();
    void showNumber();
    void showDateTime();
    void applyBackground(TColor color);
    void applyFontColor();

    TKVTFieldFormat format_ = lfoText;
    TSuperOptions options_ = kDefaultSuperOptions;
    double value_ = 0;
    std::int16_t decimals_ = 2;
    std::int16_t digits_ = 8;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    std::string customMask_;
    std::int32_t maxLength_ = 0;
    // The text as the edit last formatted it from the value.
    QString shownText_;
    // The keyboard came to the edit and has not gone on to another control since.
    bool entered_ = false;
    TColor color_ = clWindow;
    TColor normalColor_ = clWindow;
    TColor fontColor_ = clWindowText;
    TEditMask mask_;
};

} // namespace kovet
