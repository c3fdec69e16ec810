#include "display/KVTEdit.h"

#include "display/FieldFormat.h"
#include "platform/QtCanvas.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

#include <cmath>
#include <optional>

namespace kovet {
namespace {

// Characters the line edit reads as mask characters; as literals they need a backslash.
constexpr std::u16string_view kQtMaskChars = u"AaNnXx90Dd#HhBb><!\\[]{};";

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The mask part ends at the first ";" that no backslash escapes.
qsizetype MaskBodyEnd(const QString& mask) {
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\')
            ++i;
        else if (mask[i] == u';')
            return i;
    }
    return mask.size();
}

// The line edit's mask character for a masked-edit position character, or nothing when the
// character is no position.
std::optional<char16_t> QtPositionChar(QChar c) {
    switch (c.unicode()) {
    case u'0': return u'9'; // digit, required
    case u'9': return u'0'; // digit, optional
    case u'#': return u'#'; // digit or sign, optional
    case u'L': return u'A'; // letter, required
    case u'l': return u'a';
    case u'A': return u'N'; // letter or digit, required
    case u'a': return u'n';
    case u'C': return u'X'; // any character, required
    case u'c': return u'x';
    default: return std::nullopt;
    }
}

// The text laid into the mask's positions section by section (a section is a run of
// positions between literals): each section takes the text up to the literals that follow
// it, padded with blanks in front (leading blanks) or behind. Nothing when the text does not
// split that way; the line edit then lays it in by itself.
std::optional<QString> LayIntoMask(const TEditMask& mask, const QString& text) {
    const auto count = qsizetype(mask.Literal.size());
    auto runEnd = [&](qsizetype from) {
        qsizetype to = from;
        while (to < count && mask.Literal[std::size_t(to)] == mask.Literal[std::size_t(from)])
            ++to;
        return to;
    };
    QString out;
    qsizetype in = 0;
    for (qsizetype pos = 0; pos < count;) {
        const qsizetype end = runEnd(pos);
        if (mask.Literal[std::size_t(pos)]) {
            const QString literals = mask.Template.mid(pos, end - pos);
            if (QStringView(text).mid(in).startsWith(literals)) in += literals.size();
            out += literals;
        } else {
            const qsizetype width = end - pos;
            const qsizetype stop =
                end < count ? text.indexOf(mask.Template.mid(end, runEnd(end) - end), in) : text.size();
            if (stop < 0 || stop - in > width) return std::nullopt;
            QString piece = text.mid(in, stop - in);
            piece.replace(u' ', mask.Blank);
            const QString pad(width - piece.size(), mask.Blank);
            out += mask.LeadingBlanks ? pad + piece : piece + pad;
            in = stop;
        }
        pos = end;
    }
    if (in != text.size()) return std::nullopt;
    return out;
}

Qt::Alignment QtAlignment(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case TAlignment::taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    case TAlignment::taLeftJustify: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

bool IsNumberKey(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u'\b';
}

} // namespace

TEditMask ParseEditMask(std::string_view maskText) {
    TEditMask m;
    const QString mask = FromUtf8(maskText);
    const qsizetype bodyEnd = MaskBodyEnd(mask);
    if (bodyEnd < mask.size()) {
        const QString rest = mask.mid(bodyEnd + 1);
        const qsizetype separator = rest.indexOf(u';');
        m.SaveLiterals = !rest.startsWith(u'0');
        if (separator >= 0 && separator + 1 < rest.size()) m.Blank = rest[separator + 1];
    }

    auto literal = [&m](QChar c) {
        // The line edit cannot show a literal ";": it becomes a blank literal.
        if (c == u';') c = u' ';
        if (kQtMaskChars.find(c.unicode()) != std::u16string_view::npos) m.InputMask += u'\\';
        m.InputMask += c;
        m.Literal.push_back(true);
        m.Template += c;
    };
    for (qsizetype i = 0; i < bodyEnd; ++i) {
        const QChar c = mask[i];
        if (const auto position = QtPositionChar(c)) {
            m.InputMask += QChar(*position);
            m.Literal.push_back(false);
            m.Template += m.Blank;
            continue;
        }
        switch (c.unicode()) {
        case u'!': m.LeadingBlanks = true; break;
        case u'>': m.InputMask += u'>'; break;
        case u'<':
            if (i + 1 < bodyEnd && mask[i + 1] == u'>') {
                m.InputMask += u'!';
                ++i;
            } else {
                m.InputMask += u'<';
            }
            break;
        case u'\\':
            if (i + 1 < bodyEnd) literal(mask[++i]);
            break;
        case u'_': literal(u' '); break;
        default: literal(c);
        }
    }
    if (m.Literal.empty()) {
        m.InputMask.clear();
    } else {
        m.InputMask += u';';
        m.InputMask += m.Blank;
    }
    return m;
}

TKVTEdit::TKVTEdit(QWidget* parent) : QLineEdit(parent) {
    applyBackground(color_);
    applyFontColor();
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange) OnChange(*this);
    });
}

void TKVTEdit::SetFormat(TKVTFieldFormat format) {
    format_ = format <= lfoCustom ? format : lfoText;
    if (value_ == 0 && ((isNumeric() && !HasOption(soShowZero)) || isDateTime())) clear();
    applyMask();
    if (isNumeric()) {
        if (HasOption(soAutoAlign)) SetAlignment(TAlignment::taRightJustify);
        showNumber();
    } else if (format_ >= lfoDate && format_ <= lfoAmex) {
        if (HasOption(soAutoAlign)) SetAlignment(TAlignment::taLeftJustify);
        // The value, not whatever the text was, is what the commit below reads back.
        if (isDateTime() && value_ != 0) showDateTime();
    }
    Commit();
}

void TKVTEdit::SetValue(double value) {
    if (!std::isfinite(value)) value = 0;
    if (value == value_) return;
    value_ = clamped(value);
    if (isNumeric())
        showNumber();
    else if (isDateTime())
        showDateTime();
}

void TKVTEdit::SetDecimals(std::int16_t decimals) {
    decimals_ = decimals;
    if (isNumeric()) showNumber();
}

void TKVTEdit::SetDigits(std::int16_t digits) {
    digits_ = digits;
    if (isNumeric()) showNumber();
}

void TKVTEdit::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    setAlignment(QtAlignment(alignment));
}

void TKVTEdit::SetCustomMask(std::string mask) {
    customMask_ = std::move(mask);
    if (format_ == lfoCustom) applyMask();
}

void TKVTEdit::SetMaxLength(std::int32_t length) {
    // The limit applies to typing (see keyPressEvent): the line edit's own limit would also
    // cut a longer value put in by the program.
    maxLength_ = length;
    if (mask_.InputMask.isEmpty()) QLineEdit::setMaxLength(32767);
}

void TKVTEdit::SetColor(TColor color) {
    if (color != clGray && color != FocusColor) normalColor_ = color;
    applyBackground(color);
}

void TKVTEdit::SetFontColor(TColor color) {
    fontColor_ = color;
    applyFontColor();
}

std::string TKVTEdit::Text() const {
    if (mask_.InputMask.isEmpty()) return text().toStdString();
    const QString shown = displayText();
    QString out;
    bool typed = false;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool literal = std::size_t(i) < mask_.Literal.size() && mask_.Literal[std::size_t(i)];
        if (literal) {
            if (mask_.SaveLiterals) out += shown[i];
        } else if (shown[i] == mask_.Blank) {
            out += u' ';
        } else {
            out += shown[i];
            typed = true;
        }
    }
    return typed ? out.toStdString() : std::string();
}

void TKVTEdit::SetText(std::string_view text) {
    const QString qtext = FromUtf8(text);
    if (!mask_.InputMask.isEmpty()) {
        if (const auto laid = LayIntoMask(mask_, qtext)) {
            setText(*laid);
            return;
        }
    }
    setText(qtext);
}

void TKVTEdit::Commit() {
    // Text the edit showed itself and nobody changed is not read back: reading "01/01/50" or
    // "1234.50" again would move a 1950 date to 2050 and round the value to the decimals.
    if (text() == shownText_ && (isNumeric() || isDateTime())) {
        if (isNumeric()) showNumber();
        return;
    }
    switch (format_) {
    case lfoReal:
    case lfoInteger:
    case lfoDollar:
    case lfoPercent:
    case lfoPctNS: {
        std::string text = Text();
        if (text.empty()) text = "0";
        double v = TextToNumber(StripToNumberChars(text), 0);
        if (format_ == lfoPercent || format_ == lfoPctNS) v /= 100;
        value_ = clamped(std::isfinite(v) ? v : 0);
        showNumber();
        break;
    }
    case lfoDate:
    case lfoFullDate: value_ = TextToDate(Text(), 0); break;
    case lfoShortDate: value_ = ShortDateTextToDate(Text(), false); break;
    case lfoTime:
    case lfoMTime: value_ = TextToTime(Text(), 0); break;
    default: return;
    }
    if (isDateTime()) showDateTime();
}

void TKVTEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QPointer<TKVTEdit> alive(this);
        if (HasOption(soEnterToTab)) {
            event->accept();
            focusNextChild();
        } else {
            event->ignore();
        }
        if (alive.isNull()) return;
        Commit();
        if (OnReturn) OnReturn(*this);
        return;
    }
    case Qt::Key_Escape:
        // Left to the parent, so that a cancel button can act.
        event->ignore();
        return;
    default: break;
    }

    QString typed = event->text();
    if (typed == QStringLiteral(" ") && !HasOption(soAllowspaces)) {
        if (!HasOption(soSpaceToUnderscore)) return;
        typed = QStringLiteral("_");
    }
    if (isNumeric() && typed.size() == 1 && !IsNumberKey(typed[0]) && typed[0].isPrint()) return;
    if (maxLength_ > 0 && mask_.InputMask.isEmpty() && typed.size() == 1 && typed[0].isPrint() &&
        text().size() - selectedText().size() + typed.size() > maxLength_)
        return;
    if (typed == event->text()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(QEvent::KeyPress, Qt::Key_Underscore, event->modifiers(), typed);
    QLineEdit::keyPressEvent(&replaced);
}

namespace {

// Another window, or a pop-up, taking the keyboard for a while: the edit is not left, and
// what is half typed stays as it is until the user comes back.
bool leftForAWhile(const QFocusEvent* event) {
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

} // namespace

void TKVTEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (entered_ && leftForAWhile(event)) return;
    entered_ = true;
    if (UseFocusColor) applyBackground(FocusColor);
    if (isNumeric()) {
        if (text().isEmpty()) showNumber();
        // A number shown in scientific notation is edited as its full digits.
        const bool scientific = text().contains(u'E');
        const double shown = (format_ == lfoPercent || format_ == lfoPctNS) ? value_ * 100 : value_;
        setText(QString::fromStdString(scientific ? FloatToStrG15(shown) : StripToNumberChars(Text())));
        shownText_ = text();
    }
    selectAll();
}

void TKVTEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (leftForAWhile(event)) return;
    entered_ = false;
    if (UseFocusColor) applyBackground(normalColor_);
    Commit();
}

void TKVTEdit::paintEvent(QPaintEvent* event) {
    if (HasOption(soShowGray) && (!isEnabled() || isReadOnly()) && !hasFocus())
        applyBackground(clBtnFace);
    else if (color_ != FocusColor)
        applyBackground(normalColor_);
    QLineEdit::paintEvent(event);
}

double TKVTEdit::clamped(double value) const {
    if (!HasOption(soMinMaxUsed)) return value;
    if (value < MinValue) return MinValue;
    if (value > MaxValue) return MaxValue;
    return value;
}

void TKVTEdit::applyMask() {
    const std::string_view mask = format_ == lfoCustom ? std::string_view(customMask_) : EditMask(format_);
    mask_ = ParseEditMask(mask);
    setInputMask(mask_.InputMask);
    if (mask_.InputMask.isEmpty()) SetMaxLength(maxLength_);
}

void TKVTEdit::showNumber() {
    const TNumberStyle style{decimals_, digits_, HasOption(soRoundValue), HasOption(soShowZero)};
    setText(QString::fromStdString(NumberText(format_, value_, style)));
    shownText_ = text();
    applyFontColor();
}

void TKVTEdit::showDateTime() {
    if (value_ == 0)
        clear();
    else
        SetText(FormatDateTime(DateTimePattern(format_), value_));
    shownText_ = text();
}

void TKVTEdit::applyBackground(TColor color) {
    color_ = color;
    const QColor wanted = ToQColor(color);
    if (palette().color(QPalette::Base) == wanted) return;
    QPalette p = palette();
    p.setColor(QPalette::Base, wanted);
    setPalette(p);
}

void TKVTEdit::applyFontColor() {
    const QColor wanted = ToQColor(isNumeric() && value_ < 0 ? clMaroon : fontColor_);
    if (palette().color(QPalette::Active, QPalette::Text) == wanted) return;
    QPalette p = palette();
    // A disabled box keeps the style's grey text.
    p.setColor(QPalette::Active, QPalette::Text, wanted);
    p.setColor(QPalette::Inactive, QPalette::Text, wanted);
    setPalette(p);
}

} // namespace kovet
