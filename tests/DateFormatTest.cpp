#include <gtest/gtest.h>

#include <ostream>

#include "import/core/DateFormat.h"

namespace ledgerlift {
namespace {

struct FormatCase {
    const char* name;
    int id;
    const char* text;  // nullptr: the workbook gives no text for the format
    bool date;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class DateFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DateFormat, ToldTheSameForXlsFormatRecordsAndXlsxNumFmts) {
    std::optional<std::string_view> text;
    if (GetParam().text) {
        text = GetParam().text;
    }
    EXPECT_EQ(FormatShowsDate(GetParam().id, text), GetParam().date) << GetParam().id;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DateFormat,
    ::testing::Values(
        // Built-in formats, known by their number alone.
        FormatCase{"BuiltIn14ShortDate", 14, nullptr, true},
        FormatCase{"BuiltIn22DateTime", 22, nullptr, true},
        FormatCase{"BuiltIn45MinutesSeconds", 45, nullptr, true},
        FormatCase{"BuiltIn46ElapsedHours", 46, nullptr, true},
        FormatCase{"BuiltIn47", 47, nullptr, true},
        FormatCase{"BuiltIn27EastAsianDate", 27, nullptr, true},
        FormatCase{"BuiltIn0General", 0, "General", false},
        FormatCase{"BuiltIn0WithoutText", 0, nullptr, false},
        FormatCase{"BuiltIn14WithItsText", 14, "m/d/yy", true},
        FormatCase{"BuiltIn4Thousands", 4, "#,##0.00", false},
        FormatCase{"BuiltIn13Fraction", 13, "# ?\?/?\?", false},
        FormatCase{"BuiltIn23NotADate", 23, nullptr, false},
        FormatCase{"BuiltIn44Accounting", 44, nullptr, false},
        FormatCase{"BuiltIn48Scientific", 48, "##0.0E+0", false},
        FormatCase{"BuiltIn49Text", 49, "@", false},
        // Formats of the workbook's own, by their text, whatever their
        // number. Regression: gnumeric numbers its own formats from 50 up,
        // and its percentages and currencies read as dates.
        FormatCase{"OwnPercentageNumbered54", 54, "0.0%", false},
        FormatCase{"OwnCurrencyNumbered53", 53, "$0.00", false},
        FormatCase{"OwnTimeNumbered50", 50, "hh:mm:ss", true},
        FormatCase{"IsoDateWithEscapes", 164, "yyyy\\-mm\\-dd", true},
        FormatCase{"UpperCaseLetters", 164, "YYYY-MM-DD HH:MM", true},
        FormatCase{"TimeOfDay", 164, "h:mm AM/PM", true},
        FormatCase{"LocaleTagIsNoElapsedTime", 164, "[$-409]d-mmm-yy;@", true},
        FormatCase{"LocaleTagAlone", 164, "[$-409]#,##0.00", false},
        FormatCase{"CurrencyLocaleTag", 164, "[$USD-409] #,##0.00", false},
        FormatCase{"ColourAndCondition", 164, "[Red][<0]#,##0;\"days\"", false},
        FormatCase{"ColourMagentaIsNoMinutes", 164, "[Magenta]0.00", false},
        FormatCase{"QuotedLettersSayNothing", 164, "0 \"days and hours\"", false},
        FormatCase{"EscapedLetterSaysNothing", 164, "0\\d", false},
        FormatCase{"PaddingAndFillSayNothing", 164, "_-* #,##0_-;_(* #,##0_)", false},
        FormatCase{"Scientific", 164, "0.00E+00", false},
        FormatCase{"FirstSectionDecides", 164, "0.00;[Red]dd", false},
        // A duration reads as a time, like the built-in [h]:mm:ss and like
        // an .ods time cell: the three formats read it alike.
        FormatCase{"ElapsedHoursReadAsTime", 164, "[h]:mm", true},
        FormatCase{"ElapsedMinutesReadAsTime", 164, "[mm]:ss", true},
        FormatCase{"ElapsedSecondsReadAsTime", 164, "[ss].00", true},
        FormatCase{"UnclosedBracket", 164, "[Red 0.00", false},
        FormatCase{"Empty", 164, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
