#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/Date.h"
#include "base/Value.h"

namespace ledgerlift {

// How values go into statement text, and how numbers are read from grid text.
// None of these depends on the machine's locale: "." is always the decimal
// point and dates are always yyyy-mm-dd, because the text is read back by the
// database.

// A conversion that cannot be made (a value too large for 32 bits, a text
// that is no number). Its message is meant for the operator.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Every single quote doubled; nothing else changes. Throws ConversionError
// for a text that can't be stored (see RequireStorableText).
std::string SqlEscape(const std::string& text);
// Throws ConversionError when the text holds a NUL character: the database
// would end the text there and store it cut.
void RequireStorableText(const std::string& text);
// The text between single quotes, every single quote inside doubled.
std::string Quote(const std::string& text);

// Leading and trailing spaces removed (only the space character).
std::string Trim(const std::string& text);
std::string Upper(std::string text);
// Leading and trailing blanks removed: spaces, tabs, carriage returns and
// line feeds.
std::string TrimBlanks(const std::string& text);

std::string IntText(std::int64_t value);
// The shortest text with at most 15 significant digits: 12, 12.5, 0.3, 1E+20.
// Throws ConversionError for infinity and NaN (see RequireStorableNumber).
std::string NumberText(double value);
// Throws ConversionError for a number no text can hold (infinity, NaN).
void RequireStorableNumber(double value);
// A currency amount: rounded to four decimals (ties to even), no trailing
// zeros: 250.5, 1500, 0.0001.
std::string CurrencyText(double amount);
// The amount as the currency type holds it: to the nearest 0.0001, ties to
// even. Throws ConversionError beyond the currency range.
double ToCurrency(double amount);
std::string DateText(const Date& date);

// The leading number of a text: blanks (space, tab, line feed) are skipped
// wherever they occur; then an optional sign, digits with "." as decimal
// point, commas that form real digit groups (skipped, see below), and an
// optional exponent with E or D; "&H" and "&O" read a hexadecimal or octal
// integer. A text that does not begin with a number gives 0.
double Val(const std::string& text);

// The same reading, and whether it took the whole text (blanks aside): "12",
// "1,234.50" and "&HFF" are read whole; "12abc", "12,5" and "1,234,56" are
// not. Commas are digit grouping only where they form real groups: 1,234 and
// 12,345,678.50 or the Indian 12,34,567.00; any other comma ends the number.
struct NumberReading {
    double value = 0;
    bool found = false;  // the text begins with a number
    bool whole = false;  // ... and holds nothing else
};
NumberReading ReadNumber(const std::string& text);

// Whether digits with commas are grouped as numbers are written: 1,234 and
// 12,345,678 (groups of three) or the Indian 12,34,567 (groups of two before
// the last three). "12,5" is not.
bool RealDigitGroups(const std::string& run);

// A read value as a 32-bit integer: empty gives 0, fractions go to the nearest
// integer with ties to the even one. Throws ConversionError on overflow or a
// text that is no number.
std::int32_t ToInt32(const Value& value);
// A double as a 32-bit integer, by the same rule.
std::int32_t ToInt32(double value);
// A read value as text: empty gives the empty text, numbers their number text.
std::string ValueToText(const Value& value);

}  // namespace ledgerlift
