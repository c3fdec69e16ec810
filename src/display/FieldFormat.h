#pragma once

// How a field's value becomes text and text a value again: the number, date and time
// notations of the field formats, their edit masks, and the parsing routines behind typing
// and field data files. Parsing never throws; each routine returns the caller's default when
// the text does not parse.
//
// Date-time values are days since 30 December 1899; the fraction is the time of day. Dates
// and times use the fixed process-wide settings: "/" between month, day and year (month
// first), ":" between hours, minutes and seconds, "am" and "pm".
//
// Values are doubles (the form's first run-time library held them in 80-bit extended
// floats), so number texts show at most 15 significant digits: a double holds no more
// exactly. Infinite and NaN values format as "INF", "-INF" and "NAN".

#include "document/KVTRec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kovet {

// Years written with one or two digits fall into the hundred years that begin
// kTwoDigitYearWindow years before the current year: in 2025 those are 1975 ... 2074, so
// "75" reads as 1975 and "74" as 2074. Three or four digits are the year as written.
inline constexpr std::int32_t kTwoDigitYearWindow = 50;

// Value rounded half away from zero at `places` decimals; nullopt when the scaled value
// does not fit the 32-bit integer the rounding goes through.
std::optional<double> RoundToPlaces(std::int32_t places, double value);

// Text of a number for the numeric formats (lfoReal ... lfoPctNS): `value` is the stored
// value (a fraction for the percent formats, shown times 100; lfoPercent adds "%"). With
// AutoRound the value is first rounded to Decimals places (RoundToPlaces; kept when that
// fails). Empty for a (rounded) zero unless ShowZero. Fixed notation with Decimals places
// (0 ... 18; lfoInteger none) and Digits significant digits (0 stands for 15; 1 ... 15), the
// last digit rounded half away from zero, no thousands separators, the application locale's
// decimal point; when the integer part needs more than Digits digits, scientific notation
// instead ("1.23E3": mantissa, "E", exponent without "+" or leading zeros). lfoDollar is
// CurrencyText.
struct TNumberStyle {
    std::int32_t Decimals = 2;
    std::int32_t Digits = 8;
    bool AutoRound = false;
    bool ShowZero = false;
};
std::string NumberText(TKVTFieldFormat format, double value, const TNumberStyle& style);

// Currency text with the locale's symbol, grouping and negative pattern, rounded as
// NumberText rounds. The locale is the application's (QLocale()); under the C/POSIX locale,
// which has no currency, United States English: "$1,234.50" and "($1,234.50)".
std::string CurrencyText(double value, std::int32_t decimals, std::int32_t digits);

// The date-time value through a pattern of the run-time library's notation, letters in
// either case: "M"/"MM" month, "D"/"DD" day, "YY"/"YYYY" year, "h"/"hh" hour, "m"/"mm" right
// after an hour (or "n"/"nn") minutes, "s"/"ss" seconds, "am/pm" a 12-hour clock with am or
// pm in the pattern's letter case. Other characters are copied. Empty for a value that is no
// date of the years 1 ... 9999.
std::string FormatDateTime(std::string_view pattern, double dateTime);

// The display pattern of the date and time formats (lfoDate ... lfoMTime); empty otherwise.
std::string_view DateTimePattern(TKVTFieldFormat format);

// The edit mask of the masked formats (lfoDate ... lfoAmex); empty otherwise (the custom
// format takes the field's own mask).
std::string_view EditMask(TKVTFieldFormat format);

// Display text of a date or time format: empty for a value of 0 or less.
std::string DateTimeText(TKVTFieldFormat format, double value);

// Month/day/year with "/": up to four digits a number, blanks allowed before each number
// and separator and at the end, nothing else. Two numbers are month and day of the current
// year. The date must exist (Gregorian leap years, years 1 ... 9999).
double TextToDate(std::string_view text, double defaultValue);
// Hours[:minutes[:seconds]] with "am" or "pm" (any letter case) before or after, blanks
// allowed as in dates. With am/pm the hour is 1 ... 12 (12 am is midnight); else 0 ... 23.
double TextToTime(std::string_view text, double defaultValue);
// The whole text as a floating-point number: blanks around it, an optional sign, digits
// with "." as the decimal separator, an optional exponent ("1.5E3"); no thousands
// separators. A value beyond the range of a double is the default; one too small is 0.
double TextToNumber(std::string_view text, double defaultValue);
// A ShortDate text: exactly five characters "MM/YY" are the first day of that month;
// anything else gives 0 (the editor's commit) or, with `otherAsDate`, is read as a date
// (field data files).
double ShortDateTextToDate(std::string_view text, bool otherAsDate);

// Encoding and decoding of date-time values. EncodeDate: nullopt for a date that does not
// exist. DecodeDateTime: the time of day rounded to the millisecond (a value a hair before
// midnight is the next day); all zero for a value that is no date of the years 1 ... 9999.
std::optional<double> EncodeDate(std::int32_t year, std::int32_t month, std::int32_t day);
double EncodeTime(std::int32_t hours, std::int32_t minutes, std::int32_t seconds, std::int32_t ms);
struct TDateParts {
    std::int32_t Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};
TDateParts DecodeDateTime(double dateTime);

// General floating-point notation with up to 15 significant digits ("0.125", "1234.5"), as
// field data files store numbers: "." as the decimal point whatever the locale; scientific
// ("1E20", "1.5E-10") when the integer part needs more than 15 digits or the value is below
// 0.0001.
std::string FloatToStrG15(double value);

// Digits, "-" and "." only: how a formatted number is shown for editing ("$1,234.50" is
// edited as "1234.50"). A negative amount in parentheses keeps its sign ("($5.00)" is edited
// as "-5.00"), and under a locale whose decimal point is not "." that point becomes "." and
// its "." thousands separators go ("1.234,50 €" is edited as "1234.50").
std::string StripToNumberChars(std::string_view text);

} // namespace kovet
