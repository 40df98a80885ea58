// Figures as a statement shows them: grouped in the western or the Indian
// way, amounts to two decimals unless the currency holds more, and the
// grouping a locale asks for.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/DigitGrouping.h"

namespace ledgerlift {
namespace {

struct Figure {
    double value;
    const char* western;
    const char* indian;
};
void PrintTo(const Figure& f, std::ostream* os) {
    *os << f.western;
}

class Amounts : public ::testing::TestWithParam<Figure> {};

TEST_P(Amounts, AreGroupedEachWay) {
    EXPECT_EQ(AmountText(GetParam().value, DigitGrouping::Western), GetParam().western);
    EXPECT_EQ(AmountText(GetParam().value, DigitGrouping::Indian), GetParam().indian);
}

INSTANTIATE_TEST_SUITE_P(
    DigitGrouping, Amounts,
    ::testing::Values(
        Figure{0, "0.00", "0.00"}, Figure{-0.0, "0.00", "0.00"}, Figure{-0.00001, "0.00", "0.00"},
        Figure{5, "5.00", "5.00"}, Figure{999, "999.00", "999.00"},
        Figure{1000, "1,000.00", "1,000.00"}, Figure{1234567, "1,234,567.00", "12,34,567.00"},
        Figure{-1234567.5, "-1,234,567.50", "-12,34,567.50"},
        Figure{123456789012.25, "123,456,789,012.25", "1,23,45,67,89,012.25"},
        Figure{0.1 + 0.2, "0.30", "0.30"}, Figure{1520.1234, "1,520.1234", "1,520.1234"},
        Figure{10.125, "10.125", "10.125"}, Figure{99999.99999, "100,000.00", "1,00,000.00"},
        Figure{-60, "-60.00", "-60.00"}));

class Quantities : public ::testing::TestWithParam<Figure> {};

TEST_P(Quantities, KeepTheirDecimals) {
    EXPECT_EQ(QuantityText(GetParam().value, DigitGrouping::Western), GetParam().western);
    EXPECT_EQ(QuantityText(GetParam().value, DigitGrouping::Indian), GetParam().indian);
}

INSTANTIATE_TEST_SUITE_P(DigitGrouping, Quantities,
                         ::testing::Values(Figure{0, "0", "0"}, Figure{2.5, "2.5", "2.5"},
                                           Figure{-1234567.125, "-1,234,567.125", "-12,34,567.125"},
                                           Figure{1e20, "1E+20", "1E+20"},
                                           Figure{100000, "100,000", "1,00,000"}));

TEST(DigitGrouping, FiguresBeyondTheCurrencyAreShownAsNumbers) {
    EXPECT_EQ(AmountText(1e20, DigitGrouping::Western), "1E+20");
    EXPECT_EQ(AmountText(9.5e14, DigitGrouping::Western), "950,000,000,000,000");
    EXPECT_EQ(AmountText(std::numeric_limits<double>::infinity(), DigitGrouping::Indian),
              "(infinite)");
    EXPECT_EQ(AmountText(std::nan(""), DigitGrouping::Indian), "(not a number)");
}

TEST(DigitGrouping, OnlyPlainNumbersAreGrouped) {
    EXPECT_EQ(GroupDigits("12345", DigitGrouping::Western), "12,345");
    EXPECT_EQ(GroupDigits("+12345.5", DigitGrouping::Indian), "+12,345.5");
    EXPECT_EQ(GroupDigits("12a345", DigitGrouping::Western), "12a345");
    EXPECT_EQ(GroupDigits("1.2.3", DigitGrouping::Western), "1.2.3");
    EXPECT_EQ(GroupDigits("", DigitGrouping::Western), "");
    EXPECT_EQ(GroupDigits("-", DigitGrouping::Western), "-");
}

struct LocaleCase {
    const char* name;
    DigitGrouping grouping;
};
void PrintTo(const LocaleCase& l, std::ostream* os) {
    *os << l.name;
}
class Locales : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(Locales, AskForTheirGrouping) {
    EXPECT_EQ(GroupingOfLocale(GetParam().name), GetParam().grouping);
}

INSTANTIATE_TEST_SUITE_P(DigitGrouping, Locales,
                         ::testing::Values(LocaleCase{"en_IN", DigitGrouping::Indian},
                                           LocaleCase{"en_IN.UTF-8", DigitGrouping::Indian},
                                           LocaleCase{"hi_IN.utf8", DigitGrouping::Indian},
                                           LocaleCase{"en_IN@euro", DigitGrouping::Indian},
                                           LocaleCase{"en_US.UTF-8", DigitGrouping::Western},
                                           LocaleCase{"en_INX", DigitGrouping::Western},
                                           LocaleCase{"C", DigitGrouping::Western},
                                           LocaleCase{"", DigitGrouping::Western},
                                           LocaleCase{"POSIX", DigitGrouping::Western}));

}  // namespace
}  // namespace ledgerlift
