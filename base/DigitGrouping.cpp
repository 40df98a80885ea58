#include "base/DigitGrouping.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

// Beyond this an amount is no currency amount; it is shown as its number.
constexpr double kLargestAmount = 9e14;

std::string NotFinite(double value) {
    return std::isnan(value) ? "(not a number)" : value > 0 ? "(infinite)" : "-(infinite)";
}

// The digits of a whole number grouped: "1234567" as "1,234,567" or
// "12,34,567".
std::string GroupWhole(const std::string& digits, DigitGrouping grouping) {
    std::string out;
    std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t left = n - i;  // digits from this one to the end
        bool boundary = i > 0 && (grouping == DigitGrouping::Western
                                      ? left % 3 == 0
                                      : left == 3 || (left > 3 && (left - 3) % 2 == 0));
        if (boundary) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

}  // namespace

DigitGrouping GroupingOfLocale(const std::string& localeName) {
    // language[_territory][.codeset][@modifier]
    std::size_t underscore = localeName.find('_');
    if (underscore == std::string::npos) {
        return DigitGrouping::Western;
    }
    std::string territory = localeName.substr(underscore + 1, 2);
    bool ends = localeName.size() == underscore + 3 || localeName[underscore + 3] == '.' ||
                localeName[underscore + 3] == '@';
    return territory == "IN" && ends ? DigitGrouping::Indian : DigitGrouping::Western;
}

std::string GroupDigits(const std::string& plain, DigitGrouping grouping) {
    std::size_t start = !plain.empty() && (plain[0] == '-' || plain[0] == '+') ? 1 : 0;
    std::size_t end = start;
    while (end < plain.size() && std::isdigit(static_cast<unsigned char>(plain[end]))) {
        ++end;
    }
    bool rest = end == plain.size() || plain[end] == '.';
    for (std::size_t i = end + 1; rest && i < plain.size(); ++i) {
        rest = std::isdigit(static_cast<unsigned char>(plain[i])) != 0;
    }
    if (end == start || !rest) {
        return plain;
    }
    return plain.substr(0, start) + GroupWhole(plain.substr(start, end - start), grouping) +
           plain.substr(end);
}

std::string AmountText(double amount, DigitGrouping grouping) {
    if (!std::isfinite(amount)) {
        return NotFinite(amount);
    }
    if (std::fabs(amount) >= kLargestAmount) {
        return GroupDigits(NumberText(amount), grouping);
    }
    double whole = std::trunc(std::fabs(amount));
    auto units = static_cast<long long>(whole);
    auto fraction = static_cast<long long>(std::nearbyint((std::fabs(amount) - whole) * 10000.0));
    if (fraction == 10000) {
        ++units;
        fraction = 0;
    }
    char decimals[8];
    std::snprintf(decimals, sizeof decimals, "%04lld", fraction);
    std::string digits = decimals;
    while (digits.size() > 2 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string sign = amount < 0 && (units != 0 || fraction != 0) ? "-" : "";
    return sign + GroupWhole(std::to_string(units), grouping) + "." + digits;
}

std::string QuantityText(double quantity, DigitGrouping grouping) {
    if (!std::isfinite(quantity)) {
        return NotFinite(quantity);
    }
    return GroupDigits(NumberText(quantity), grouping);
}

}  // namespace ledgerlift
