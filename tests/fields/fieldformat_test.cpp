// Number, currency, date and time texts of the field formats and the parsing routines.
#include "display/FieldFormat.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <ctime>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace kovet {
namespace {

// Every test runs under a known application locale; the C locale unless a test picks another.
class FieldFormatTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

std::int32_t ThisYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

double Date(std::int32_t y, std::int32_t m, std::int32_t d) {
    return EncodeDate(y, m, d).value();
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct NumberCase {
    TKVTFieldFormat format;
    double value;
    TNumberStyle style;
    const char* text;
};

TEST_F(FieldFormatTest, NumberTexts) {
    const NumberCase cases[] = {
        {lfoReal, 1234.5, {2, 0, false, false}, "1234.50"}, // digits 0 stands for 15
        {lfoReal, 0, {2, 8, false, false}, ""},
        {lfoReal, 0, {2, 8, false, true}, "0.00"},
        {lfoReal, -1234.5678, {2, 8, false, false}, "-1234.57"},
        {lfoReal, 0.125, {2, 8, false, false}, "0.13"},        // a tie rounds away from zero
        {lfoReal, 1234.5678, {2, 5, false, false}, "1234.60"}, // five significant digits
        {lfoReal, 1234.5, {2, 3, false, false}, "1.23E3"},     // integer part longer than digits
        {lfoReal, -0.001, {2, 8, false, false}, "0.00"},       // no sign on a zero text
        {lfoReal, 1.5, {-3, 8, false, false}, "2"},            // negative places count as none
        {lfoInteger, 123456789, {2, 8, false, false}, "1.2345679E8"},
        {lfoInteger, 99999999.5, {2, 8, false, false}, "1E8"}, // rounding adds a ninth digit
        {lfoInteger, -2.5, {2, 8, false, false}, "-3"},
        {lfoPercent, 0.125, {1, 8, false, false}, "12.5%"},
        {lfoPctNS, 0.125, {1, 8, false, false}, "12.5"},
        {lfoPctNS, -0.5, {0, 8, false, false}, "-50"},
        {lfoReal, 2.5, {0, 8, true, false}, "3"},
        {lfoReal, -2.5, {0, 8, true, false}, "-3"},
        {lfoReal, 2.4, {0, 8, true, false}, "2"},
        {lfoReal, 0.004, {2, 8, true, false}, ""},              // rounds to 0, which shows nothing
        {lfoReal, 3e9, {0, 0, true, false}, "3000000000"},      // too large to round: kept
        {lfoDollar, 1234.5, {2, 8, false, false}, "$1,234.50"}, // C locale: United States conventions
        {lfoDollar, 1234567.891, {2, 0, false, false}, "$1,234,567.89"},
        {lfoDollar, 0.5, {0, 8, false, false}, "$1"},
        {lfoDollar, 1e20, {2, 8, false, false}, "1E20"},
        {lfoReal, kNaN, {2, 8, false, false}, "NAN"},
        {lfoReal, kInf, {2, 8, false, false}, "INF"},
        {lfoDollar, -kInf, {2, 8, false, false}, "-INF"},
        {lfoPercent, kInf, {2, 8, true, false}, "INF%"},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(NumberText(c.format, c.value, c.style), c.text)
            << "format " << int(c.format) << " value " << c.value << " decimals " << c.style.Decimals;
    }
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::istringstream in(line);
    for (std::string part; std::getline(in, part, '\t');)
        parts.push_back(part);
    if (!line.empty() && line.back() == '\t') parts.emplace_back();
    return parts;
}

// "-0x1.8p+3", "inf", "nan" as written by printf's %a.
double HexFloat(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    double value = text == "inf" ? kInf : text == "nan" ? kNaN : 0;
    if (text.starts_with("0x"))
        std::from_chars(text.data() + 2, text.data() + text.size(), value, std::chars_format::hex);
    return negative ? -value : value;
}

TEST_F(FieldFormatTest, NumberTextsAreTheRecordedOnes) {
    std::ifstream file(std::string(KOVET_SOURCE_DIR) + "/tests/data/number-texts.tsv");
    ASSERT_TRUE(file) << "tests/data/number-texts.tsv";
    struct Column {
        QLocale Locale;
        bool General = false;
        TKVTFieldFormat Format = lfoReal;
        TNumberStyle Style;
    };
    std::vector<Column> columns;
    std::size_t compared = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with('#')) continue;
        const std::vector<std::string> parts = SplitTabs(line);
        if (parts.front() == "value") {
            for (std::size_t i = 1; i < parts.size(); ++i) {
                const std::string& name = parts[i];
                const std::size_t colon = name.find(':');
                Column c;
                const std::string locale = name.substr(0, colon);
                c.Locale = locale == "C" ? QLocale::c() : QLocale(QString::fromStdString(locale));
                int format = 0, decimals = 0, digits = 0, flags = 0;
                c.General = name.substr(colon + 1) == "G15";
                if (!c.General)
                    std::sscanf(name.c_str() + colon + 1, "%d/%d/%d/%d", &format, &decimals, &digits, &flags);
                c.Format = TKVTFieldFormat(format);
                c.Style = {decimals, digits, flags / 10 != 0, flags % 10 != 0};
                columns.push_back(c);
            }
            continue;
        }
        ASSERT_EQ(parts.size(), columns.size() + 1) << line;
        const double value = HexFloat(parts.front());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const Column& c = columns[i];
            QLocale::setDefault(c.Locale);
            const std::string text = c.General ? FloatToStrG15(value) : NumberText(c.Format, value, c.Style);
            EXPECT_EQ(text, parts[i + 1]) << parts.front() << " in column " << i + 1;
            ++compared;
        }
    }
    EXPECT_GT(compared, 4000u);
}

TEST_F(FieldFormatTest, NegativeCurrencyCarriesTheLocaleSign) {
    const std::string text = CurrencyText(-1234.5, 2, 8);
    EXPECT_EQ(text, "($1,234.50)");
    // What the editor turns it into, and back.
    EXPECT_EQ(TextToNumber(StripToNumberChars(text), 0), -1234.5);
}

TEST_F(FieldFormatTest, CommaDecimalLocaleStaysEditable) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(NumberText(lfoReal, 1234.5, {2, 8, false, false}), "1234,50");
    const std::string money = CurrencyText(1234.5, 2, 8);
    EXPECT_NE(money.find("1.234,50"), std::string::npos) << money;
    EXPECT_EQ(StripToNumberChars(money), "1234.50");
    EXPECT_EQ(StripToNumberChars("1234,50"), "1234.50");
}

TEST_F(FieldFormatTest, StripToNumberChars) {
    EXPECT_EQ(StripToNumberChars("$1,234.50"), "1234.50");
    EXPECT_EQ(StripToNumberChars("12.5%"), "12.5");
    EXPECT_EQ(StripToNumberChars("-1.5E3"), "-1.53");
    EXPECT_EQ(StripToNumberChars("($1,234.50)"), "-1234.50");
    EXPECT_EQ(StripToNumberChars("-$5.00"), "-5.00");
    EXPECT_EQ(StripToNumberChars(""), "");
}

TEST_F(FieldFormatTest, RoundToPlaces) {
    EXPECT_EQ(RoundToPlaces(0, 2.5), 3.0);
    EXPECT_EQ(RoundToPlaces(0, -2.5), -3.0);
    EXPECT_EQ(RoundToPlaces(0, 2.4), 2.0);
    EXPECT_DOUBLE_EQ(RoundToPlaces(2, 1.234).value(), 1.23);
    EXPECT_DOUBLE_EQ(RoundToPlaces(-1, 1234.0).value(), 1230.0);
    EXPECT_EQ(RoundToPlaces(0, 2147483647.0), 2147483647.0);
    // The scaled value, or its rounding, does not fit 32 bits.
    EXPECT_FALSE(RoundToPlaces(0, 3e9));
    EXPECT_FALSE(RoundToPlaces(0, 2147483647.6));
    EXPECT_FALSE(RoundToPlaces(2, 1e8));
    EXPECT_FALSE(RoundToPlaces(0, kNaN));
    EXPECT_FALSE(RoundToPlaces(400, 1));
    EXPECT_FALSE(RoundToPlaces(-400, 1));
}

TEST_F(FieldFormatTest, FloatToStrG15) {
    const std::pair<double, const char*> cases[] = {
        {0.125, "0.125"},
        {1234.5, "1234.5"},
        {0, "0"},
        {-3, "-3"},
        {0.1 + 0.2, "0.3"},
        {1e20, "1E20"},
        {1.5e-10, "1.5E-10"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {-kInf, "-INF"},
        {kNaN, "NAN"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FloatToStrG15(value), text) << value;
}

TEST_F(FieldFormatTest, TextToNumber) {
    const std::pair<const char*, double> good[] = {
        {"12.5", 12.5}, {"  12.5  ", 12.5}, {"-7", -7},    {"+3", 3},        {"1.", 1},  {".5", 0.5},
        {"1e3", 1000},  {"2.5E-1", 0.25},   {"1e-999", 0}, {"0.125", 0.125}, {"007", 7},
    };
    for (const auto& [text, value] : good)
        EXPECT_EQ(TextToNumber(text, -99), value) << text;
    for (const char* text : {"", " ", "-", ".", "1,234", "12.5x", "1e", "1e+", "e5", "1e999", "\t1", "0x10", "inf",
                             "nan", "1 2", "--1", "$5"}) {
        EXPECT_EQ(TextToNumber(text, -99), -99) << text;
    }
}

TEST_F(FieldFormatTest, EncodeAndDecodeDates) {
    EXPECT_EQ(Date(1899, 12, 30), 0);
    EXPECT_EQ(Date(1900, 1, 1), 2);
    EXPECT_EQ(Date(2000, 1, 1), 36526);
    EXPECT_EQ(Date(1, 1, 1), -693593);
    EXPECT_EQ(Date(9999, 12, 31), 2958465);
    EXPECT_FALSE(EncodeDate(0, 1, 1));
    EXPECT_FALSE(EncodeDate(10000, 1, 1));
    EXPECT_FALSE(EncodeDate(2023, 2, 29));
    EXPECT_FALSE(EncodeDate(1900, 2, 29));
    EXPECT_TRUE(EncodeDate(2000, 2, 29));
    EXPECT_FALSE(EncodeDate(2024, 4, 31));

    const TDateParts t = DecodeDateTime(Date(1999, 12, 31) + EncodeTime(14, 5, 30, 0));
    EXPECT_EQ(t.Year, 1999);
    EXPECT_EQ(t.Month, 12);
    EXPECT_EQ(t.Day, 31);
    EXPECT_EQ(t.Hour, 14);
    EXPECT_EQ(t.Minute, 5);
    EXPECT_EQ(t.Second, 30);
    // A hair before midnight rounds to the next day rather than to hour 24.
    const TDateParts midnight = DecodeDateTime(Date(1999, 12, 31) + 0.9999999999);
    EXPECT_EQ(midnight.Year, 2000);
    EXPECT_EQ(midnight.Hour, 0);
    EXPECT_EQ(DecodeDateTime(1e20).Year, 0);
    EXPECT_EQ(DecodeDateTime(kNaN).Year, 0);
}

TEST_F(FieldFormatTest, TextToDate) {
    const std::int32_t year = ThisYear();
    const std::pair<const char*, double> good[] = {
        {"12/31/1999", Date(1999, 12, 31)}, {" 7/ 5/1999 ", Date(1999, 7, 5)},
        {"02/29/2000", Date(2000, 2, 29)},  {"1/1/001", Date(1, 1, 1)},  // three digits: the year as written
        {"12/31/9999", Date(9999, 12, 31)}, {"07/05", Date(year, 7, 5)}, // two numbers: this year
    };
    for (const auto& [text, value] : good)
        EXPECT_EQ(TextToDate(text, -1), value) << text;
    for (const char* text : {"13/45/99", "02/29/1900", "02/30/2000", "0/1/99", "12/31/1999x", "12/31/1999/", "1/1/0000",
                             "1/1/10000", "12//99", "12-31-99", "", "/", "12/", "a/b/c"}) {
        EXPECT_EQ(TextToDate(text, -1), -1) << text;
    }
}

TEST_F(FieldFormatTest, TwoDigitYearsFallIntoTheWindow) {
    const std::int32_t first = ThisYear() - kTwoDigitYearWindow;
    const std::int32_t last = first + 99;
    const auto text = [](std::int32_t y) { return "6/15/" + std::to_string(y % 100); };
    EXPECT_EQ(TextToDate(text(first), -1), Date(first, 6, 15));
    EXPECT_EQ(TextToDate(text(last), -1), Date(last, 6, 15));
    EXPECT_EQ(TextToDate("1/2/5", -1), TextToDate("1/2/05", -1));
    EXPECT_NE(TextToDate("1/2/5", -1), -1);
}

TEST_F(FieldFormatTest, TextToTime) {
    const std::pair<const char*, double> good[] = {
        {"14:05", EncodeTime(14, 5, 0, 0)},
        {"02:05pm", EncodeTime(14, 5, 0, 0)},
        {"2:05 PM", EncodeTime(14, 5, 0, 0)},
        {"pm 2:05", EncodeTime(14, 5, 0, 0)},
        {"12:00am", 0},
        {"12:30pm", EncodeTime(12, 30, 0, 0)},
        {"12am", 0},
        {"11:59:59 Pm", EncodeTime(23, 59, 59, 0)},
        {"23:59:59", EncodeTime(23, 59, 59, 0)},
        {" 9 ", EncodeTime(9, 0, 0, 0)},
        {"0:00", 0},
    };
    for (const auto& [text, value] : good)
        EXPECT_DOUBLE_EQ(TextToTime(text, -1), value) << text;
    for (const char* text : {"13:00pm", "0:30am", "24:00", "10:60", "10:05:60", "10:", "10:05x", "am", "",
                             "am 10:00 pm", "1000", "10.30"}) {
        EXPECT_EQ(TextToTime(text, -1), -1) << text;
    }
}

TEST_F(FieldFormatTest, DateTimeTexts) {
    const double day = Date(1999, 12, 31);
    EXPECT_EQ(DateTimeText(lfoTime, EncodeTime(14, 5, 0, 0)), "02:05pm");
    EXPECT_EQ(DateTimeText(lfoTime, EncodeTime(0, 30, 0, 0)), "12:30am");
    EXPECT_EQ(DateTimeText(lfoTime, EncodeTime(12, 0, 0, 0)), "12:00pm");
    EXPECT_EQ(DateTimeText(lfoMTime, EncodeTime(14, 5, 9, 0)), "14:05:09");
    EXPECT_EQ(DateTimeText(lfoDate, day), "12/31/99");
    EXPECT_EQ(DateTimeText(lfoFullDate, day), "12/31/1999");
    EXPECT_EQ(DateTimeText(lfoShortDate, Date(2005, 7, 1)), "07/05");
    EXPECT_EQ(FormatDateTime("MM/DD/YYYY", Date(5, 3, 4)), "03/04/0005");
    for (const double nothing : {0.0, -1.0, 1e20, kNaN, kInf})
        EXPECT_EQ(DateTimeText(lfoFullDate, nothing), "") << nothing;
    EXPECT_EQ(DateTimeText(lfoText, day), "");
    EXPECT_EQ(FormatDateTime("AM/PM h:n", EncodeTime(13, 7, 0, 0)), "PM 1:7");
}

TEST_F(FieldFormatTest, DateTimeTextsSayWhatTheirPatternsSay) {
    // DateTimeText writes the formats' patterns without reading them.
    const double lastDay = Date(9999, 12, 31);
    for (const TKVTFieldFormat format : {lfoDate, lfoFullDate, lfoShortDate, lfoTime, lfoMTime}) {
        const std::string_view pattern = DateTimePattern(format);
        for (double day = 1; day <= lastDay; day += 997)
            ASSERT_EQ(DateTimeText(format, day + 0.75), FormatDateTime(pattern, day + 0.75)) << day;
        for (std::int32_t second = 0; second < 86400; second += 7) {
            const double at = Date(2024, 2, 29) + second / 86400.0;
            ASSERT_EQ(DateTimeText(format, at), FormatDateTime(pattern, at)) << second;
        }
    }
}

TEST_F(FieldFormatTest, ShortDateTexts) {
    const double july2005 = TextToDate("07/01/05", -1);
    EXPECT_EQ(ShortDateTextToDate("07/05", false), july2005);
    EXPECT_EQ(ShortDateTextToDate("13/05", false), 0);
    EXPECT_EQ(ShortDateTextToDate("12/31/1999", false), 0);
    EXPECT_EQ(ShortDateTextToDate("12/31/1999", true), Date(1999, 12, 31));
    EXPECT_EQ(ShortDateTextToDate("", true), 0);
    EXPECT_EQ(ShortDateTextToDate(DateTimeText(lfoShortDate, Date(2010, 11, 23)), true), Date(2010, 11, 1));
}

TEST_F(FieldFormatTest, PatternsAndMasks) {
    EXPECT_EQ(DateTimePattern(lfoDate), "MM/DD/YY");
    EXPECT_EQ(DateTimePattern(lfoTime), "hh:mmam/pm");
    EXPECT_EQ(DateTimePattern(lfoPhone), "");
    EXPECT_EQ(EditMask(lfoTime), "!99:99ll;1; ");
    EXPECT_EQ(EditMask(lfoPhone), "!\\(999\\)999\\-9999;1; ");
    EXPECT_EQ(EditMask(lfoPhoneExt), "!\\(999\\)999\\-9999 \\x9999;1; ");
    EXPECT_EQ(EditMask(lfoAmex), "!9999\\-999999\\-99999;1; ");
    EXPECT_EQ(EditMask(lfoText), "");
    EXPECT_EQ(EditMask(lfoCustom), "");
    EXPECT_EQ(EditMask(lfoCheckbox), "");
}

} // namespace
} // namespace kovet
