#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <ostream>

#include "base/TextRules.h"
#include "base/Utf8Text.h"

namespace ledgerlift {
namespace {

TEST(Quoting, DoublesEverySingleQuoteAndNothingElse) {
    EXPECT_EQ(Quote("O'Brien"), "'O''Brien'");
    EXPECT_EQ(Quote("''"), "''''''");
    EXPECT_EQ(Quote(""), "''");
    EXPECT_EQ(SqlEscape("a\"b\\c%"), "a\"b\\c%");
    EXPECT_EQ(SqlEscape("'x'"), "''x''");
}

TEST(NumberText, ShortestWithFifteenSignificantDigits) {
    EXPECT_EQ(NumberText(12), "12");
    EXPECT_EQ(NumberText(12.5), "12.5");
    EXPECT_EQ(NumberText(57.0), "57");
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberText(-90), "-90");
    EXPECT_EQ(NumberText(-0.0), "0");
    EXPECT_EQ(NumberText(1234.5), "1234.5");
    EXPECT_EQ(NumberText(123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(NumberText(0.00001), "1E-5");
    // Either side of where whole numbers take an exponent.
    EXPECT_EQ(NumberText(999999999999999.0), "999999999999999");
    EXPECT_EQ(NumberText(-999999999999999.0), "-999999999999999");
    EXPECT_EQ(NumberText(1e15), "1E+15");
    EXPECT_EQ(NumberText(-1e15), "-1E+15");
    EXPECT_EQ(NumberText(1234567890123456.0), "1.23456789012346E+15");
    EXPECT_EQ(IntText(-2147483647 - 1), "-2147483648");
}

TEST(CurrencyText, AtMostFourDecimalsWithoutTrailingZeros) {
    EXPECT_EQ(CurrencyText(250.5), "250.5");
    EXPECT_EQ(CurrencyText(1500), "1500");
    EXPECT_EQ(CurrencyText(0.0001), "0.0001");
    EXPECT_EQ(CurrencyText(1.23456), "1.2346");
    EXPECT_EQ(CurrencyText(0.00005), "0") << "ties go to the even digit";
    EXPECT_EQ(CurrencyText(-12.1), "-12.1");
    EXPECT_THROW(CurrencyText(1e16), ConversionError);
}

TEST(DateText, IsIsoWhateverTheLocale) {
    EXPECT_EQ(DateText(Date{2009, 4, 1}), "2009-04-01");
    Date d;
    EXPECT_TRUE(Date::FromIso("2024-02-29", d));
    EXPECT_FALSE(Date::FromIso("2023-02-29", d));
    EXPECT_FALSE(Date::FromIso("2023-2-1", d));
}

struct Reading {
    const char* name;
    const char* text;
    double value;
    bool whole = true;  // the whole text is the number
};

// Printed by name, so that test names and failure messages stay readable.
void PrintTo(const Reading& p, std::ostream* os) {
    *os << p.name;
}

class NumericReading : public ::testing::TestWithParam<Reading> {};

TEST_P(NumericReading, TakesTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(Val(GetParam().text), GetParam().value) << GetParam().text;
    NumberReading reading = ReadNumber(GetParam().text);
    EXPECT_EQ(reading.whole, GetParam().whole) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    GridText, NumericReading,
    ::testing::Values(
        Reading{"Empty", "", 0, false}, Reading{"Word", "abc", 0, false},
        Reading{"Whole", "12", 12}, Reading{"Fraction", "12.5", 12.5},
        Reading{"Negative", "-5", -5}, Reading{"Plus", "+7", 7},
        Reading{"BlanksAnywhere", " 1 2\t3\n", 123}, Reading{"StopsAtLetters", "12abc", 12, false},
        Reading{"Thousands", "1,000", 1000}, Reading{"ThousandsWithDecimals", "1,234.50", 1234.5},
        Reading{"IndianGrouping", "1,00,000", 100000}, Reading{"TrailingComma", "12,", 12, false},
        Reading{"LeadingComma", ",5", 0, false}, Reading{"CommaAfterPoint", "1.5,2", 1.5, false},
        // Decided change: commas are grouping only in real groups.
        Reading{"GroupsOfThree", "12,345,678.50", 12345678.5},
        Reading{"IndianGroups", "12,34,567.00", 1234567},
        Reading{"DecimalComma", "12,5", 12, false}, Reading{"BrokenGroups", "1,234,56", 1, false},
        Reading{"GroupOfFour", "1,2345", 1, false}, Reading{"ExponentE", "1.5E3", 1500},
        Reading{"ExponentD", "2d2", 200}, Reading{"NegativeExponent", "5e-1", 0.5},
        Reading{"ExponentWithoutDigits", "7E", 7, false}, Reading{"Hex", "&HFF", 255},
        Reading{"Octal", "&o17", 15}, Reading{"SecondPoint", "1.2.3", 1.2, false},
        Reading{"LonePoint", ".", 0, false}, Reading{"PointFirst", ".25", 0.25}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntegerConversion, EmptyIsZeroAndHalvesGoToEven) {
    EXPECT_EQ(ToInt32(Value()), 0);
    EXPECT_EQ(ToInt32(Value(2.5)), 2);
    EXPECT_EQ(ToInt32(Value(3.5)), 4);
    EXPECT_EQ(ToInt32(Value(-2.5)), -2);
    EXPECT_EQ(ToInt32(Value(std::int64_t{41})), 41);
    EXPECT_EQ(ToInt32(Value(" 12 ")), 12);
    EXPECT_THROW(ToInt32(Value("abc")), ConversionError);
    EXPECT_THROW(ToInt32(Value(std::int64_t{1} << 40)), ConversionError);
    EXPECT_THROW(ToInt32(3e9), ConversionError);
}

TEST(TextConversion, EmptyIsTheEmptyText) {
    EXPECT_EQ(ValueToText(Value()), "");
    EXPECT_EQ(ValueToText(Value(5.0)), "5");
    EXPECT_EQ(ValueToText(Value(std::int64_t{-3})), "-3");
    EXPECT_EQ(ValueToText(Value("x")), "x");
}

TEST(Trimming, RemovesOnlySpaces) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Upper("yes"), "YES");
}

}  // namespace
}  // namespace ledgerlift

namespace ledgerlift {
namespace {

// Regression: 922337203685477.6 passed the range check (the limit rounds up
// to .625 as a double) and then overflowed a 64-bit integer when its text was
// formed: a crash.
TEST(CurrencyRange, IsCheckedExactlyAtBothLimits) {
    const double inside = 922337203685477.5;
    EXPECT_EQ(CurrencyText(inside), "922337203685477.5");
    EXPECT_EQ(CurrencyText(-inside), "-922337203685477.5");
    for (double outside :
         {std::nextafter(inside, 1e300), std::nextafter(-inside, -1e300), 922337203685477.58,
          922337203685477.6, -922337203685477.6, 1e19, std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(ToCurrency(outside), ConversionError) << outside;
        EXPECT_THROW(CurrencyText(outside), ConversionError) << outside;
    }
}

// Regression: an infinite product reached a statement as "inf", which the
// database read as a column name.
TEST(NumberText, RefusesWhatIsNotAFiniteNumber) {
    EXPECT_THROW(NumberText(std::numeric_limits<double>::infinity()), ConversionError);
    EXPECT_THROW(NumberText(-std::numeric_limits<double>::infinity()), ConversionError);
    EXPECT_THROW(NumberText(std::numeric_limits<double>::quiet_NaN()), ConversionError);
    EXPECT_THROW(ToInt32(std::numeric_limits<double>::infinity()), ConversionError);
}

// Regression: SQLite ends a text at a NUL, so a quoted text holding one was
// cut (or failed with "unrecognized token").
TEST(Quoting, RefusesATextHoldingANul) {
    EXPECT_THROW(SqlEscape(std::string("a\0b", 3)), ConversionError);
    EXPECT_THROW(Quote(std::string("\0", 1)), ConversionError);
}

// Texts cut to a length, and texts shown in a message: each row names the
// fault it guards.
struct Utf8Case {
    const char* name;
    std::string text;
    std::size_t cut;
    std::string head;   // Utf8Head(text, cut)
    std::string shown;  // ShownText(text)
};

class Utf8Texts : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Texts, CutAtACharactersEndAndShownWithoutControls) {
    EXPECT_EQ(std::string(Utf8Head(GetParam().text, GetParam().cut)), GetParam().head);
    EXPECT_TRUE(!IsValidUtf8(GetParam().text) || IsValidUtf8(GetParam().head));
    EXPECT_EQ(ShownText(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8Text, Utf8Texts,
    ::testing::Values(
        Utf8Case{"Ascii", "Item Code", 4, "Item", "Item Code"},
        // A heading cut at 256 bytes once ended in half an "é".
        Utf8Case{"CutInsideACharacter", "a\xC3\xA9\xC3\xA9", 4, "a\xC3\xA9", "a\xC3\xA9\xC3\xA9"},
        Utf8Case{"CutInsideAFourByteCharacter", "\xF0\x9F\x98\x80!", 3, "", "\xF0\x9F\x98\x80!"},
        // A NUL in a sheet name once cut the sentence short.
        Utf8Case{"Nul", std::string("Sheet\0One", 9), 20, std::string("Sheet\0One", 9),
                 "Sheet\\x00One"},
        // Terminal escapes in a heading were once printed raw.
        Utf8Case{"TerminalEscape", "\x1B[2JCode", 20, "\x1B[2JCode", "\\x1B[2JCode"},
        Utf8Case{"EightBitControl", "Code\xC2\x9B", 20, "Code\xC2\x9B", "Code\\u009B"},
        Utf8Case{"NoCharacter", "Code\xFF", 20, "Code\xFF", "Code\\xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
