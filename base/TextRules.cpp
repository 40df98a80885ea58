#include "base/TextRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

std::string SqlEscape(const std::string& text) {
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

std::string NumberText(double value) {
    if (value == 0) {
        return "0";  // also for -0
    }
    char buf[40];
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
    constexpr double kMax = 922337203685477.5807;
    if (!std::isfinite(amount) || std::fabs(amount) > kMax) {
        throw ConversionError("The amount " + NumberText(amount) +
                              " is too large for a currency amount.");
    }
    double scaled = std::nearbyint(amount * 10000.0);
    return scaled / 10000.0;
}

std::string CurrencyText(double amount) {
    double scaled = std::nearbyint(ToCurrency(amount) * 10000.0);
    auto units = static_cast<long long>(std::fabs(scaled));
    std::string text =
        scaled < 0 ? "-" : "";  // (a false -Wrestrict of GCC 12 at -O3 for "" + temporary)
    text += std::to_string(units / 10000);
    long long fraction = units % 10000;
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

double Val(const std::string& text) {
    std::string s = WithoutBlanks(text);
    if (s.size() >= 2 && s[0] == '&') {
        char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') {
            return ReadRadix(s, 2, 16);
        }
        if (kind == 'O') {
            return ReadRadix(s, 2, 8);
        }
        return 0;
    }
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number += s[i++];
    }
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (IsDigit(c)) {
            number += c;
            digits = true;
        } else if (c == '.' && !point) {
            number += c;
            point = true;
        } else if (c == ',' && !point && i > 0 && IsDigit(s[i - 1]) && i + 1 < s.size() &&
                   IsDigit(s[i + 1])) {
            // digit grouping: 1,000 and 1,00,000 are read whole
        } else {
            break;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
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
        }
    }
    if (number[0] == '+') {
        number.erase(0, 1);
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = number.find('e') != std::string::npos && number.find("e-") != std::string::npos
                    ? 0.0
                    : HUGE_VAL;
    }
    (void)ptr;
    if (!std::isfinite(value)) {
        throw ConversionError("The number " + Trim(text) + " is too large.");
    }
    return value;
}

std::int32_t ToInt32(double value) {
    double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) {
        throw ConversionError("The number " + NumberText(value) +
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
