#include "import/core/CellText.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "base/TextRules.h"

namespace ledgerlift {
namespace {
const char* const kNotANumber = "#NUM!";
}

std::string DateSerialText(double serial) {
    using namespace std::chrono;
    if (!std::isfinite(serial)) {
        return kNotANumber;
    }
    if (serial < 0 || serial > 2958466) {
        return NumberText(serial);  // beyond the year 9999: show the number
    }
    auto totalSeconds = static_cast<long long>(std::llround(serial * 86400.0));
    long long days = totalSeconds / 86400;
    long long seconds = totalSeconds % 86400;
    char time[16];
    std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    if (days == 0 && seconds != 0) {
        return time;
    }
    // The 1900 system counts a 29 February 1900 that never was: serials
    // before it are one day off from a plain day count.
    if (days < 61) {
        days += 1;
    }
    year_month_day ymd{sys_days{1899y / December / 30} + std::chrono::days{days}};
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return seconds == 0 ? std::string(date) : std::string(date) + " " + time;
}

std::string CellText(const CellValue& value) {
    switch (value.kind) {
        case CellValue::Kind::Empty:
            return "";
        case CellValue::Kind::Number:
            // A damaged file can hold an infinite number, which no
            // spreadsheet shows: it reads as the error a spreadsheet gives.
            return std::isfinite(value.number) ? NumberText(value.number) : kNotANumber;
        case CellValue::Kind::Date:
            return DateSerialText(value.number);
        case CellValue::Kind::Percent:
            // What the cell shows: 0.125 formatted as a percentage shows 12.5%.
            return std::isfinite(value.number) ? NumberText(value.number * 100) + "%" : kNotANumber;
        case CellValue::Kind::Text:
        case CellValue::Kind::Error:
            return value.text;
        case CellValue::Kind::Boolean:
            return value.number != 0 ? "TRUE" : "FALSE";
    }
    return "";
}

std::string CellText(CellValue&& value) {
    if (value.kind == CellValue::Kind::Text || value.kind == CellValue::Kind::Error) {
        return std::move(value.text);
    }
    return CellText(static_cast<const CellValue&>(value));
}

}  // namespace ledgerlift
