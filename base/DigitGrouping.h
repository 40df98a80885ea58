#pragma once

#include <string>

namespace ledgerlift {

// How the digits of a figure's whole part are grouped for reading:
// western 1,234,567.00 (threes), Indian 12,34,567.00 (the last three, then
// twos).
enum class DigitGrouping { Western, Indian };

// The grouping that goes with a locale name such as "en_IN.UTF-8": Indian
// for a locale of India (territory IN), western for any other and for none.
DigitGrouping GroupingOfLocale(const std::string& localeName);

// A plain decimal text ("-1234567.5", as NumberText or CurrencyText write
// it) with its whole part grouped; any other text (an exponent form such as
// "1E+20") is given back as it is.
std::string GroupDigits(const std::string& plain, DigitGrouping grouping);

// An amount as a statement shows it: grouped, with two decimals, or as many
// as four when the amount has them (the currency keeps four: no figure is
// shown other than the database holds it): 1,234.50, 0.1234, -12,34,567.00.
// Never "-0.00".
std::string AmountText(double amount, DigitGrouping grouping);

// A quantity: grouped, with the decimals it has (at most 15 significant
// digits in all): 1,520, 2.5, -12,34,567.125.
std::string QuantityText(double quantity, DigitGrouping grouping);

}  // namespace ledgerlift
