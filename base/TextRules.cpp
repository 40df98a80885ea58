#include "base/TextRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace ledgerlift {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without blanks, which the numeric reading skips wherever they are.
std::string WithoutBlanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!IsBlank(c)) {
            out += c;
        }
    }
    return out;
}

double ReadRadix(const std::string& s, std::size_t pos, int radix) {
    double value = 0;
    for (; pos < s.size(); ++pos) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[pos])));
        int digit = IsDigit(c) ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
        if (digit >= radix) {
            break;
        }
        value = value * radix + digit;
    }
    return value;
}

}  // namespace

void RequireStorableText(const std::string& text) {
    if (text.find('\0') != std::string::npos) {
        throw ConversionError("The text \"" + text.substr(0, text.find('\0')) +
                              "...\" holds a NUL character, which cannot be stored.");
    }
}

std::string SqlEscape(const std::string& text) {
    RequireStorableText(text);
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out;
}

std::string Quote(const std::string& text) {
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict for
    // "'" + temporary.
    std::string quoted = "'";
    quoted += SqlEscape(text);
    quoted += '\'';
    return quoted;
}

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string TrimBlanks(const std::string& text) {
    const char* blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return "";
    }
    auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string Upper(std::string text) {
    for (auto& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string IntText(std::int64_t value) {
    return std::to_string(value);
}

void RequireStorableNumber(double value) {
    if (!std::isfinite(value)) {
        // "inf" or "nan" in a statement would be read as a column name.
        throw ConversionError("A number too large to store (" + std::string(value > 0 ? "+" : "") +
                              (std::isnan(value) ? "not a number" : "infinity") + ") was refused.");
    }
}

std::string NumberText(double value) {
    RequireStorableNumber(value);
    if (value == 0) {
        return "0";  // also for -0
    }
    char buf[40];
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        // A whole number of at most 15 digits reads the same either way; the
        // integer conversion is the cheap one, and a run writes one a cell.
        auto whole = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        return std::string(buf, whole.ptr);
    }
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string text(buf, result.ptr);
    // "1E+20" and "1E-5", as the product writes them.
    if (auto e = text.find('e'); e != std::string::npos) {
        text[e] = 'E';
        std::size_t digits = e + 2;
        while (digits + 1 < text.size() && text[digits] == '0') {
            text.erase(digits, 1);
        }
    }
    return text;
}

double ToCurrency(double amount) {
    // The currency type holds -922337203685477.5808 to 922337203685477.5807.
    // Near there a double steps by 0.125, and the limit written as a double
    // rounds up to .625; the largest double inside the range is .5.
    constexpr double kMax = 922337203685477.5;
    if (!std::isfinite(amount) || amount > kMax || amount < -kMax) {
        throw ConversionError("The amount " +
                              (std::isfinite(amount) ? NumberText(amount) : std::string("given")) +
                              " is too large for a currency amount.");
    }
    double scaled = std::nearbyint(amount * 10000.0);
    return scaled / 10000.0;
}

std::string CurrencyText(double amount) {
    double value = ToCurrency(amount);
    // Whole units and the four decimals apart: the units fit a double
    // exactly, and the amount times 10000 would not (it loses digits above
    // 2^53 and could overflow a 64-bit integer near the range's ends).
    double whole = std::trunc(std::fabs(value));
    auto units = static_cast<long long>(whole);
    auto fraction = static_cast<long long>(std::nearbyint((std::fabs(value) - whole) * 10000.0));
    if (fraction == 10000) {
        ++units;
        fraction = 0;
    }
    // (Built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for
    // "" + a temporary.)
    std::string text = value < 0 && (units != 0 || fraction != 0) ? "-" : "";
    text += std::to_string(units);
    if (fraction != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04lld", fraction);
        std::string digits = buf;
        while (!digits.empty() && digits.back() == '0') {
            digits.pop_back();
        }
        text += "." + digits;
    }
    return text;
}

std::string DateText(const Date& date) {
    return date.ToIso();
}

namespace {

bool AllDigitGroups(const std::string& run, std::size_t first, std::size_t rest) {
    // run is digits and commas; the first group has 1..first digits, every
    // later group exactly rest digits, except that the last one has 3.
    std::vector<std::size_t> sizes{0};
    for (char c : run) {
        if (c == ',') {
            sizes.push_back(0);
        } else {
            ++sizes.back();
        }
    }
    if (sizes.size() < 2 || sizes.front() < 1 || sizes.front() > first || sizes.back() != 3) {
        return false;
    }
    for (std::size_t g = 1; g + 1 < sizes.size(); ++g) {
        if (sizes[g] != rest) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool RealDigitGroups(const std::string& run) {
    return AllDigitGroups(run, 3, 3) || AllDigitGroups(run, 2, 2);
}

namespace {

// "&H1F" and "&O17": hexadecimal and octal numbers.
NumberReading ReadRadixNumber(const std::string& s) {
    NumberReading out;
    char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
    int radix = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
    if (radix == 0) {
        return out;
    }
    std::size_t end = 2;
    while (end < s.size()) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[end])));
        int digit = IsDigit(c) ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
        if (digit >= radix) {
            break;
        }
        ++end;
    }
    out.value = ReadRadix(s, 2, radix);
    out.found = end > 2;
    out.whole = out.found && end == s.size();
    return out;
}

// The whole part from i: digits, with commas that must form real digit
// groups; any other comma ends the number. Appends the digits to number and
// gives whether there were any.
bool ReadWholePart(const std::string& s, std::size_t& i, std::string& number) {
    std::size_t runEnd = i;
    while (runEnd < s.size() && (IsDigit(s[runEnd]) || (s[runEnd] == ',' && runEnd > i))) {
        ++runEnd;
    }
    while (runEnd > i && s[runEnd - 1] == ',') {
        --runEnd;
    }
    std::string run = s.substr(i, runEnd - i);
    bool digits = runEnd > i;
    if (run.find(',') == std::string::npos || RealDigitGroups(run)) {
        for (char c : run) {
            if (c != ',') {
                number += c;
            }
        }
        i = runEnd;
    } else {
        std::size_t comma = run.find(',');
        number += run.substr(0, comma);
        i += comma;
    }
    return digits;
}

// An exponent from i ("E+3", "d-2"), appended to number when it has digits.
void ReadExponent(const std::string& s, std::size_t& i, std::string& number) {
    if (i >= s.size() || (s[i] != 'E' && s[i] != 'e' && s[i] != 'D' && s[i] != 'd')) {
        return;
    }
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
        exponent += s[j++];
    }
    bool expDigits = false;
    while (j < s.size() && IsDigit(s[j])) {
        exponent += s[j++];
        expDigits = true;
    }
    if (expDigits) {
        number += exponent;
        i = j;
    }
}

// The digits read, as a double; too large a number is refused.
double NumberValue(std::string number, const std::string& text) {
    if (number[0] == '+') {
        number.erase(0, 1);
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = number.find("e-") != std::string::npos ? 0.0 : HUGE_VAL;
    }
    (void)ptr;
    if (!std::isfinite(value)) {
        throw ConversionError("The number " + Trim(text) + " is too large.");
    }
    return value;
}

}  // namespace

NumberReading ReadNumber(const std::string& text) {
    std::string s = WithoutBlanks(text);
    NumberReading out;
    if (s.size() >= 2 && s[0] == '&') {
        return ReadRadixNumber(s);
    }
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number += s[i++];
    }
    bool digits = ReadWholePart(s, i, number);
    bool stoppedAtComma = i < s.size() && s[i] == ',';
    if (!stoppedAtComma && i < s.size() && s[i] == '.') {
        number += '.';
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits) {
        return out;
    }
    if (!stoppedAtComma) {
        ReadExponent(s, i, number);
    }
    out.value = NumberValue(number, text);
    out.found = true;
    out.whole = i == s.size();
    return out;
}

double Val(const std::string& text) {
    return ReadNumber(text).value;
}

std::int32_t ToInt32(double value) {
    double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) {
        throw ConversionError("The number " +
                              (std::isfinite(value) ? NumberText(value) : std::string("given")) +
                              " is too large for a whole number of 32 bits.");
    }
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ToInt32(const Value& value) {
    if (value.IsNull()) {
        return 0;
    }
    if (value.IsInteger()) {
        return ToInt32(static_cast<double>(value.AsInteger()));
    }
    if (value.IsReal()) {
        return ToInt32(value.AsReal());
    }
    const std::string& text = value.AsText();
    std::string trimmed = Trim(text);
    double number = 0;
    auto [ptr, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
    if (trimmed.empty() || ec != std::errc() || ptr != trimmed.data() + trimmed.size()) {
        throw ConversionError("The value " + text + " is not a number.");
    }
    return ToInt32(number);
}

std::string ValueToText(const Value& value) {
    if (value.IsNull()) {
        return "";
    }
    if (value.IsInteger()) {
        return IntText(value.AsInteger());
    }
    if (value.IsReal()) {
        return NumberText(value.AsReal());
    }
    return value.AsText();
}

}  // namespace ledgerlift
