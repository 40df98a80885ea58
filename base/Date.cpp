#include "base/Date.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace ledgerlift {

Date Date::Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string Date::ToIso() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    return buf;
}

bool Date::IsValid() const {
    using namespace std::chrono;
    return year >= 1 && year <= 9999 &&
           year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                          std::chrono::day{static_cast<unsigned>(day)}}
               .ok();
}

bool Date::FromIso(const std::string& text, Date& out) {
    Date d;
    char tail = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &d.year, &d.month, &d.day, &tail) != 3) {
        return false;
    }
    if (!d.IsValid()) {
        return false;
    }
    out = d;
    return true;
}

}  // namespace ledgerlift
