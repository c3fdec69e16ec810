#include "FieldFormat.h"

#include "storage/Text1252.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>

namespace kovet {
namespace {

constexpr double kMsPerDay = 86400000.0;
// Days from 1 January 1970 back to the date-time origin, 30 December 1899.
constexpr std::int64_t kUnixToDateTime = 25569;
// First and last day of the years 1 ... 9999 as date-time numbers.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;

// Significant digits a double holds exactly; more would show binary noise ("0.1" as
// 0.100000000000000006).
constexpr std::int32_t kMaxPrecision = 15;
constexpr std::int32_t kMaxDecimals = 18;

// ---------------------------------------------------------------------------------------
// Decimal digits of a number

// value = (Negative ? -1 : 1) * 0.Digits * 10^Exponent; Digits has no leading or trailing
// zeros and is empty for zero.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    std::int32_t Exponent = 0;
};

// Significant digits of the exact binary value that rounding looks at: enough to see exact ties
// (0.125) and to round every other value the way its full expansion would.
constexpr std::int32_t kExpansionDigits = 40;

// The finite value's decimal digits, rounded half away from zero to at most `precision`
// significant digits and at most `decimals` digits after the point.
TDecimal ToDecimal(double value, std::int32_t precision, std::int32_t decimals) {
    TDecimal d;
    if (value == 0) return d;
    // "d.ddd...de-x", correctly rounded as printf("%.39e") writes it, without printf's cost.
    char text[64];
    const auto written =
        std::to_chars(text, std::end(text), std::fabs(value), std::chars_format::scientific, kExpansionDigits - 1);
    char digits[kExpansionDigits];
    digits[0] = text[0];
    std::memcpy(digits + 1, text + 2, kExpansionDigits - 1);
    const char* e = text + kExpansionDigits + 1;
    std::int32_t exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+'), written.ptr, exponent);
    d.Negative = std::signbit(value);
    d.Exponent = exponent + 1;

    const std::int64_t keep = std::min<std::int64_t>(precision, std::int64_t(d.Exponent) + decimals);
    if (keep < 0) return {};
    std::size_t count = kExpansionDigits;
    if (keep < kExpansionDigits) {
        const bool up = digits[keep] >= '5';
        count = std::size_t(keep);
        if (up) {
            std::size_t i = count;
            while (i > 0 && digits[i - 1] == '9')
                digits[--i] = '0';
            if (i == 0) {
                // 99.9 became 100.0: one digit "1" a place further up.
                digits[0] = '1';
                count = 1;
                ++d.Exponent;
            } else {
                ++digits[i - 1];
            }
        }
    }
    while (count > 0 && digits[count - 1] == '0')
        --count;
    if (count == 0) return {};
    d.Digits.assign(digits, count);
    return d;
}

std::string Sign(const TDecimal& d) {
    return d.Negative && !d.Digits.empty() ? "-" : "";
}

char DigitAt(const TDecimal& d, std::int64_t index) {
    return index >= 0 && index < std::int64_t(d.Digits.size()) ? d.Digits[std::size_t(index)] : '0';
}

// The integer part, at least "0".
std::string IntegerPart(const TDecimal& d) {
    if (d.Exponent <= 0) return "0";
    std::string out;
    for (std::int32_t i = 0; i < d.Exponent; ++i)
        out.push_back(DigitAt(d, i));
    return out;
}

// "-ddd.ddd" with exactly `decimals` digits after the point.
std::string FixedDigits(const TDecimal& d, std::int32_t decimals, std::string_view point) {
    std::string out = Sign(d) + IntegerPart(d);
    if (decimals > 0) {
        out += point;
        for (std::int32_t i = 0; i < decimals; ++i)
            out.push_back(DigitAt(d, std::int64_t(d.Exponent) + i));
    }
    return out;
}

// "-d.dddE-x": the mantissa without trailing zeros, the exponent without "+" or leading zeros.
std::string ScientificDigits(const TDecimal& d, std::string_view point) {
    std::string out = Sign(d);
    out.push_back(d.Digits[0]);
    if (d.Digits.size() > 1) {
        out += point;
        out.append(d.Digits, 1);
    }
    out += "E" + std::to_string(d.Exponent - 1);
    return out;
}

// General notation: as few digits as the value needs; scientific when the integer part needs
// more than `precision` digits or the value is below 0.0001.
std::string GeneralDigits(const TDecimal& d, std::int32_t precision, std::string_view point) {
    if (d.Digits.empty()) return "0";
    if (d.Exponent > precision || d.Exponent < -3) return ScientificDigits(d, point);
    const std::int32_t places = std::max<std::int32_t>(0, std::int32_t(d.Digits.size()) - d.Exponent);
    return FixedDigits(d, places, point);
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

double DecimalToDouble(const TDecimal& d) {
    if (d.Digits.empty()) return 0;
    const std::string text = "0." + d.Digits + "e" + std::to_string(d.Exponent);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return d.Negative ? -v : v;
}

std::string ToUtf8(const QString& s) {
    return s.toUtf8().toStdString();
}

// A currency text as a locale writes it, made without the locale: the text before and after
// the amount for each sign, the grouping of the integer part by threes, the decimal point.
// Learnt from the locale's own texts of sample amounts, and used only where it gives every
// sample's text back (a locale with other digits or another grouping writes its own).
struct TCurrencyPattern {
    std::string PositivePrefix, PositiveSuffix, NegativePrefix, NegativeSuffix;
    std::string Group, Point;

    // The amount without its sign: grouped integer part, point, `places` decimals.
    std::string Amount(const TDecimal& d, std::int32_t places) const {
        const std::string integer = IntegerPart(d);
        std::string out;
        out.reserve(integer.size() * (1 + Group.size()) + Point.size() + std::size_t(places));
        for (std::size_t i = 0; i < integer.size(); ++i) {
            if (i > 0 && (integer.size() - i) % 3 == 0) out += Group;
            out.push_back(integer[i]);
        }
        if (places > 0) {
            out += Point;
            for (std::int32_t i = 0; i < places; ++i)
                out.push_back(DigitAt(d, std::int64_t(d.Exponent) + i));
        }
        return out;
    }

    std::string Text(const TDecimal& d, std::int32_t places) const {
        const bool negative = d.Negative && !d.Digits.empty();
        return (negative ? NegativePrefix : PositivePrefix) + Amount(d, places) +
               (negative ? NegativeSuffix : PositiveSuffix);
    }
};

// The locale's own currency text of the value's digits.
std::string LocaleCurrencyText(const QLocale& locale, const QString& symbol, const TDecimal& d, std::int32_t places) {
    return ToUtf8(locale.toCurrencyString(DecimalToDouble(d), symbol, places));
}

std::optional<TCurrencyPattern> LearnCurrencyPattern(const QLocale& locale, const QString& symbol) {
    TCurrencyPattern pattern;
    pattern.Group = ToUtf8(locale.groupSeparator());
    pattern.Point = ToUtf8(locale.decimalPoint());
    // The text around the amount, from one sample of each sign.
    const TDecimal sample = ToDecimal(1234.5, kMaxPrecision, 2);
    const std::string amount = pattern.Amount(sample, 2);
    for (const bool negative : {false, true}) {
        TDecimal signedSample = sample;
        signedSample.Negative = negative;
        const std::string text = LocaleCurrencyText(locale, symbol, signedSample, 2);
        const std::size_t at = text.find(amount);
        if (at == std::string::npos) return std::nullopt;
        (negative ? pattern.NegativePrefix : pattern.PositivePrefix) = text.substr(0, at);
        (negative ? pattern.NegativeSuffix : pattern.PositiveSuffix) = text.substr(at + amount.size());
    }
    // Every length of integer part the pattern writes, both signs, with and without decimals.
    std::string digits = "0";
    for (const char next : std::string_view("1234567890123456")) {
        for (const std::int32_t places : {0, 1, 3}) {
            const double magnitude = TextToNumber(digits + ".0625", 0);
            for (const double value : {magnitude, -magnitude}) {
                const TDecimal d = ToDecimal(value, kMaxPrecision, places);
                if (d.Exponent + places > kMaxPrecision) continue;
                if (pattern.Text(d, places) != LocaleCurrencyText(locale, symbol, d, places)) return std::nullopt;
            }
        }
        digits.push_back(next);
    }
    return pattern;
}

// What number texts take from the application locale, looked up again only when that locale
// changes: a form loads thousands of values between two changes, if there is ever one.
struct TLocaleNumbers {
    QLocale Source;
    std::string DecimalPoint;
    // The locale whose currency conventions apply: the application's, or United States
    // English where the application runs under the C locale (which has no currency).
    QLocale Currency;
    QString CurrencySymbol;
    std::string CurrencyDecimalPoint;
    std::optional<TCurrencyPattern> CurrencyPattern;
};

const TLocaleNumbers& LocaleNumbers() {
    thread_local TLocaleNumbers numbers;
    thread_local bool known = false;
    const QLocale locale;
    if (!known || numbers.Source != locale) {
        numbers.Source = locale;
        numbers.DecimalPoint = ToUtf8(locale.decimalPoint());
        numbers.Currency =
            locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale(locale);
        numbers.Currency.setNumberOptions(QLocale::DefaultNumberOptions);
        numbers.CurrencySymbol = numbers.Currency.currencySymbol();
        numbers.CurrencyDecimalPoint = ToUtf8(numbers.Currency.decimalPoint());
        numbers.CurrencyPattern = LearnCurrencyPattern(numbers.Currency, numbers.CurrencySymbol);
        known = true;
    }
    return numbers;
}

const std::string& LocaleDecimalPoint() {
    return LocaleNumbers().DecimalPoint;
}

std::int32_t Precision(std::int32_t digits) {
    return std::clamp(digits == 0 ? 15 : digits, 1, kMaxPrecision);
}
std::int32_t Places(std::int32_t decimals) {
    return std::clamp(decimals, 0, kMaxDecimals);
}

// Fixed notation with `decimals` places and `digits` significant digits; scientific when the
// integer part needs more than `digits` digits.
std::string FixedText(double value, std::int32_t decimals, std::int32_t digits) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const std::int32_t precision = Precision(digits);
    const std::int32_t places = Places(decimals);
    const std::string& point = LocaleDecimalPoint();
    const TDecimal d = ToDecimal(value, precision, places);
    if (d.Exponent > precision) return ScientificDigits(d, point);
    return FixedDigits(d, places, point);
}

// ---------------------------------------------------------------------------------------
// Dates

bool IsLeapYear(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) {
    static constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int32_t& year, std::int32_t& month, std::int32_t& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = std::int32_t(doy - (153 * mp + 2) / 5 + 1);
    month = std::int32_t(mp < 10 ? mp + 3 : mp - 9);
    year = std::int32_t(yoe + era * 400 + (month <= 2));
}

std::int32_t CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// ---------------------------------------------------------------------------------------
// Scanning, as the run-time library's date and time conversions read text: blanks may stand
// before every number and separator and at the end.

class TScanner {
public:
    explicit TScanner(std::string_view text) : text_(text) {}

    void Blanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }

    // Up to four digits: the number stops growing once it reaches 1000.
    bool Number(std::int32_t& number, std::int32_t& length) {
        Blanks();
        std::size_t i = pos_;
        std::int32_t n = 0;
        while (i < text_.size() && text_[i] >= '0' && text_[i] <= '9' && n < 1000)
            n = n * 10 + (text_[i++] - '0');
        if (i == pos_) return false;
        length = std::int32_t(i - pos_);
        number = n;
        pos_ = i;
        return true;
    }

    bool Char(char c) {
        Blanks();
        if (pos_ >= text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }

    // The symbol in any letter case.
    bool Symbol(std::string_view symbol) {
        Blanks();
        if (text_.size() - pos_ < symbol.size() || !SameText(text_.substr(pos_, symbol.size()), symbol)) return false;
        pos_ += symbol.size();
        return true;
    }

    bool AtEnd() {
        Blanks();
        return pos_ == text_.size();
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// 0 for "am", 12 for "pm", -1 for neither.
std::int32_t ScanAmPm(TScanner& scan) {
    if (scan.Symbol("am")) return 0;
    if (scan.Symbol("pm")) return 12;
    return -1;
}

std::string Padded(std::int32_t n, std::size_t width) {
    std::string s = std::to_string(n);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

std::string TwoDigits(std::int32_t n) {
    return Padded(n, 2);
}

} // namespace

std::optional<double> RoundToPlaces(std::int32_t places, double value) {
    const double scale = std::pow(10.0, places);
    const double y = value * scale;
    if (!(y > -2147483649.0 && y < 2147483648.0)) return std::nullopt;
    const double whole = std::trunc(y);
    const std::int64_t r = std::int64_t(whole) + std::int64_t(std::trunc((y - whole) * 2));
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    const double result = double(r) / scale;
    if (!std::isfinite(result)) return std::nullopt;
    return result;
}

std::string NumberText(TKVTFieldFormat format, double value, const TNumberStyle& style) {
    double v = value;
    if (format == lfoPercent || format == lfoPctNS) v *= 100;
    if (style.AutoRound) {
        if (const auto rounded = RoundToPlaces(style.Decimals, v)) v = *rounded;
    }
    if (v == 0 && !style.ShowZero) return {};
    switch (format) {
    case lfoInteger: return FixedText(v, 0, style.Digits);
    case lfoDollar: return CurrencyText(v, style.Decimals, style.Digits);
    case lfoPercent: return FixedText(v, style.Decimals, style.Digits) + "%";
    default: return FixedText(v, style.Decimals, style.Digits);
    }
}

std::string CurrencyText(double value, std::int32_t decimals, std::int32_t digits) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const std::int32_t precision = Precision(digits);
    const std::int32_t places = Places(decimals);
    const TLocaleNumbers& locale = LocaleNumbers();
    const TDecimal d = ToDecimal(value, precision, places);
    if (d.Exponent > precision) return ScientificDigits(d, locale.CurrencyDecimalPoint);
    // With at most kMaxPrecision digits down to the last place, the double nearest to the
    // digits rounds back to them at `places` decimals, so the locale would write these digits;
    // with more it writes the double's binary expansion.
    if (locale.CurrencyPattern && d.Exponent + places <= kMaxPrecision) return locale.CurrencyPattern->Text(d, places);
    return LocaleCurrencyText(locale.Currency, locale.CurrencySymbol, d, places);
}

std::string_view DateTimePattern(TKVTFieldFormat format) {
    switch (format) {
    case lfoDate: return "MM/DD/YY";
    case lfoFullDate: return "MM/DD/YYYY";
    case lfoShortDate: return "MM/YY";
    case lfoTime: return "hh:mmam/pm";
    case lfoMTime: return "hh:mm:ss";
    default: return {};
    }
}

std::string_view EditMask(TKVTFieldFormat format) {
    switch (format) {
    case lfoDate: return "!99/99/99;1; ";
    case lfoFullDate: return "!99/99/9999;1; ";
    case lfoShortDate: return "!99/99;1; ";
    case lfoTime: return "!99:99ll;1; ";
    case lfoMTime: return "!99:99:99;1; ";
    case lfoPhone: return R"(!\(999\)999\-9999;1; )";
    case lfoSocial: return R"(!999\-99\-9999;1; )";
    case lfoZipCode: return R"(!99999\-9999;1; )";
    case lfoPhoneExt: return R"(!\(999\)999\-9999 \x9999;1; )";
    case lfoVisaMC: return R"(!9999\-9999\-9999\-9999;1; )";
    case lfoAmex: return R"(!9999\-999999\-99999;1; )";
    default: return {};
    }
}

std::string FormatDateTime(std::string_view pattern, double dateTime) {
    const TDateParts t = DecodeDateTime(dateTime);
    if (t.Year == 0) return {};
    const bool twelveHour = [&] {
        for (std::size_t i = 0; i + 5 <= pattern.size(); ++i) {
            if (SameText(pattern.substr(i, 5), "am/pm")) return true;
        }
        return false;
    }();
    std::string out;
    char last = ' ';
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (SameText(pattern.substr(i, 5), "am/pm")) {
            // The case of the pattern's own letters: "am/pm" writes "pm", "AM/PM" "PM".
            out.append(pattern.substr(i + (t.Hour >= 12 ? 3 : 0), 2));
            i += 5;
            last = 'A';
            continue;
        }
        char token = AsciiUpperChar(pattern[i]);
        std::size_t count = 1;
        while (i + count < pattern.size() && AsciiUpperChar(pattern[i + count]) == token)
            ++count;
        // "m" right after an hour means minutes.
        if (token == 'M' && last == 'H') token = 'N';
        auto number = [&](std::int32_t n) { out += count >= 2 ? TwoDigits(n) : std::to_string(n); };
        switch (token) {
        case 'Y': out += count <= 2 ? TwoDigits(t.Year % 100) : Padded(t.Year, 4); break;
        case 'M': number(t.Month); break;
        case 'D': number(t.Day); break;
        case 'H': number(twelveHour ? (t.Hour % 12 == 0 ? 12 : t.Hour % 12) : t.Hour); break;
        case 'N': number(t.Minute); break;
        case 'S': number(t.Second); break;
        default: out.append(pattern.substr(i, count)); break;
        }
        if (token >= 'A' && token <= 'Z') last = token;
        i += count;
    }
    return out;
}

std::string DateTimeText(TKVTFieldFormat format, double value) {
    if (!(value > 0) || DateTimePattern(format).empty()) return {};
    const TDateParts t = DecodeDateTime(value);
    if (t.Year == 0) return {};
    // The formats' patterns written out directly, as FormatDateTime reads them: a loaded form
    // shows thousands of values in these few patterns.
    char text[16];
    char* out = text;
    // Every part but the four-digit year is below 100.
    const auto two = [&](std::int32_t n, char after) {
        *out++ = char('0' + n / 10);
        *out++ = char('0' + n % 10);
        if (after != 0) *out++ = after;
    };
    switch (format) {
    case lfoDate:
        two(t.Month, '/');
        two(t.Day, '/');
        two(t.Year % 100, 0);
        break;
    case lfoFullDate:
        two(t.Month, '/');
        two(t.Day, '/');
        two(t.Year / 100, 0);
        two(t.Year % 100, 0);
        break;
    case lfoShortDate:
        two(t.Month, '/');
        two(t.Year % 100, 0);
        break;
    case lfoTime:
        two(t.Hour % 12 == 0 ? 12 : t.Hour % 12, ':');
        two(t.Minute, t.Hour >= 12 ? 'p' : 'a');
        *out++ = 'm';
        break;
    default:
        two(t.Hour, ':');
        two(t.Minute, ':');
        two(t.Second, 0);
        break;
    }
    return std::string(text, out);
}

double TextToDate(std::string_view text, double defaultValue) {
    TScanner scan(text);
    std::int32_t n1 = 0, n2 = 0, n3 = 0, length = 0;
    if (!scan.Number(n1, length) || !scan.Char('/') || !scan.Number(n2, length)) return defaultValue;
    std::int32_t year = 0;
    if (scan.Char('/')) {
        if (!scan.Number(n3, length)) return defaultValue;
        year = n3;
        if (length <= 2) {
            const std::int32_t centuryBase = CurrentYear() - kTwoDigitYearWindow;
            year += centuryBase / 100 * 100;
            if (kTwoDigitYearWindow > 0 && year < centuryBase) year += 100;
        }
    } else {
        year = CurrentYear();
    }
    if (!scan.AtEnd()) return defaultValue;
    return EncodeDate(year, n1, n2).value_or(defaultValue);
}

double TextToTime(std::string_view text, double defaultValue) {
    TScanner scan(text);
    std::int32_t baseHour = ScanAmPm(scan);
    std::int32_t hours = 0, minutes = 0, seconds = 0, length = 0;
    if (!scan.Number(hours, length)) return defaultValue;
    if (scan.Char(':')) {
        if (!scan.Number(minutes, length)) return defaultValue;
        if (scan.Char(':') && !scan.Number(seconds, length)) return defaultValue;
    }
    if (baseHour < 0) baseHour = ScanAmPm(scan);
    if (baseHour >= 0) {
        if (hours == 0 || hours > 12) return defaultValue;
        if (hours == 12) hours = 0;
        hours += baseHour;
    }
    if (!scan.AtEnd() || hours > 23 || minutes > 59 || seconds > 59) return defaultValue;
    return EncodeTime(hours, minutes, seconds, 0);
}

double TextToNumber(std::string_view text, double defaultValue) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    std::string_view s = text.substr(begin, end - begin);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    // [digits][.digits][E[sign]digits] with at least one mantissa digit; `scale` is where the
    // first significant digit stands, to tell an overflow from an underflow.
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::int64_t scale = 0;
    bool mantissa = false, significant = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        mantissa = true;
        significant = significant || s[i] != '0';
        if (significant) ++scale;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            mantissa = true;
            if (!significant && s[i] == '0') --scale;
            significant = significant || s[i] != '0';
        }
    }
    if (!mantissa) return defaultValue;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
        if (i == s.size() || !isDigit(s[i])) return defaultValue;
        std::int64_t exponent = 0;
        for (; i < s.size() && isDigit(s[i]); ++i)
            exponent = std::min<std::int64_t>(exponent * 10 + (s[i] - '0'), 1000000);
        scale += negativeExponent ? -exponent : exponent;
    }
    if (i != s.size()) return defaultValue;
    if (!significant) return negative ? -0.0 : 0.0;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (scale > 0) return defaultValue; // too large for a double
        value = 0;                          // too small: it is zero
    } else if (ec != std::errc() || ptr != s.data() + s.size()) {
        return defaultValue;
    }
    return negative ? -value : value;
}

double ShortDateTextToDate(std::string_view text, bool otherAsDate) {
    if (text.size() == 5) {
        std::string firstOfMonth(text.substr(0, 3));
        firstOfMonth += "01/";
        firstOfMonth += text.substr(3);
        return TextToDate(firstOfMonth, 0);
    }
    return otherAsDate ? TextToDate(text, 0) : 0;
}

std::optional<double> EncodeDate(std::int32_t year, std::int32_t month, std::int32_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return double(DaysFromCivil(year, month, day) + kUnixToDateTime);
}

double EncodeTime(std::int32_t hours, std::int32_t minutes, std::int32_t seconds, std::int32_t ms) {
    return (hours * 3600000.0 + minutes * 60000.0 + seconds * 1000.0 + ms) / kMsPerDay;
}

TDateParts DecodeDateTime(double dateTime) {
    if (!(dateTime > double(kFirstDay) - 1 && dateTime < double(kLastDay) + 1)) return {};
    const double whole = std::trunc(dateTime);
    std::int64_t day = std::int64_t(whole);
    std::int64_t ms = std::llround(std::fabs(dateTime - whole) * kMsPerDay);
    if (ms >= std::int64_t(kMsPerDay)) {
        // Rounded up to the next midnight (before the origin, the day count runs backwards).
        ms = 0;
        day += dateTime < 0 ? -1 : 1;
    }
    if (day < kFirstDay || day > kLastDay) return {};
    TDateParts t;
    CivilFromDays(day - kUnixToDateTime, t.Year, t.Month, t.Day);
    t.Hour = std::int32_t(ms / 3600000);
    t.Minute = std::int32_t(ms / 60000 % 60);
    t.Second = std::int32_t(ms / 1000 % 60);
    t.Millisecond = std::int32_t(ms % 1000);
    return t;
}

std::string FloatToStrG15(double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    return GeneralDigits(ToDecimal(value, 15, std::numeric_limits<std::int32_t>::max() / 2), 15, ".");
}

std::string StripToNumberChars(std::string_view text) {
    // Under a locale whose decimal point is not "." (1.234,50), the point becomes "." and
    // every "." there is a thousands separator.
    const std::string& point = LocaleDecimalPoint();
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (point != "." && text.substr(i, point.size()) == point) {
            out.push_back('.');
            i += point.size();
            continue;
        }
        const char c = text[i++];
        if ((c >= '0' && c <= '9') || c == '-' || (c == '.' && point == ".")) out.push_back(c);
    }
    // A currency text in parentheses is negative: keep its sign.
    const bool parenthesised = text.find('(') != std::string_view::npos && text.find(')') != std::string_view::npos;
    if (parenthesised && out.find('-') == std::string::npos) out.insert(out.begin(), '-');
    return out;
}

} // namespace kovet
