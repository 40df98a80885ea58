#include "import/core/DateSerials.h"

#include <charconv>
#include <chrono>

namespace ledgerlift {
namespace {

// Reads exactly `digits` digits (or at least one when digits is 0).
bool Digits(std::string_view& text, int digits, long long& out) {
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9' && n < 12) {
        ++n;
    }
    if (n == 0 || (digits > 0 && n != static_cast<std::size_t>(digits))) {
        return false;
    }
    out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        out = out * 10 + (text[i] - '0');
    }
    text.remove_prefix(n);
    return true;
}

bool Literal(std::string_view& text, char c) {
    if (text.empty() || text[0] != c) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

// A decimal number (digits, maybe a fraction) at the front of text.
bool Decimal(std::string_view& text, double& out) {
    auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::fixed);
    if (ec != std::errc() || out < 0) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

// hh:mm[:ss[.fff]] as a fraction of a day.
bool TimeOfDay(std::string_view& text, double& fraction) {
    long long h, m;
    double s = 0;
    if (!Digits(text, 2, h) || !Literal(text, ':') || !Digits(text, 2, m)) {
        return false;
    }
    if (Literal(text, ':') && !Decimal(text, s)) {
        return false;
    }
    if (h > 24 || m > 59 || s >= 61) {
        return false;
    }
    fraction = (h * 3600 + m * 60 + s) / 86400.0;
    return true;
}

// Z, +hh:mm or -hh:mm at the end; the zone is left as written.
bool ZoneOrEnd(std::string_view text) {
    if (text.empty() || text == "Z") {
        return true;
    }
    long long h, m;
    return (Literal(text, '+') || Literal(text, '-')) && Digits(text, 2, h) && Literal(text, ':') &&
           Digits(text, 2, m) && text.empty();
}

}  // namespace

double SerialFrom1904(double serial) {
    return serial > 0 && serial < 1 ? serial : serial + 1462;
}

bool SerialFromIsoDate(std::string_view text, double& serial) {
    using namespace std::chrono;
    double fraction = 0;
    if (text.size() >= 3 && text[2] == ':') {
        if (!TimeOfDay(text, fraction) || !ZoneOrEnd(text)) {
            return false;
        }
        serial = fraction;
        return true;
    }
    bool negative = Literal(text, '-');
    long long y, mo, d;
    if (!Digits(text, 0, y) || !Literal(text, '-') || !Digits(text, 2, mo) || !Literal(text, '-') ||
        !Digits(text, 2, d) || y > 9999) {
        return false;
    }
    if (Literal(text, 'T') && !TimeOfDay(text, fraction)) {
        return false;
    }
    if (!ZoneOrEnd(text)) {
        return false;
    }
    year_month_day date{year{static_cast<int>(negative ? -y : y)}, month{static_cast<unsigned>(mo)},
                        day{static_cast<unsigned>(d)}};
    if (!date.ok()) {
        return false;
    }
    long long days = (sys_days{date} - sys_days{1899y / December / 30}).count();
    // Serial 60 is the 29 February 1900 of the 1900 system: the days before
    // 1 March 1900 count one less.
    if (days < 61) {
        days -= 1;
    }
    serial = static_cast<double>(days) + fraction;
    return true;
}

bool DaysFromIsoDuration(std::string_view text, double& days) {
    bool negative = Literal(text, '-');
    if (!Literal(text, 'P') || text.empty()) {
        return false;
    }
    double total = 0;
    bool inTime = false;
    bool any = false;
    while (!text.empty()) {
        if (Literal(text, 'T')) {
            inTime = true;
            continue;
        }
        double n;
        if (!Decimal(text, n) || text.empty()) {
            return false;
        }
        char unit = text[0];
        text.remove_prefix(1);
        if (!inTime && unit == 'D') {
            total += n;
        } else if (!inTime && (unit == 'Y' || unit == 'M') && n == 0) {
            // zero years or months: LibreOffice writes P0Y0M0DT...
        } else if (inTime && unit == 'H') {
            total += n / 24;
        } else if (inTime && unit == 'M') {
            total += n / 1440;
        } else if (inTime && unit == 'S') {
            total += n / 86400;
        } else {
            return false;
        }
        any = true;
    }
    if (!any) {
        return false;
    }
    days = negative ? -total : total;
    return true;
}

}  // namespace ledgerlift
