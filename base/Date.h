#pragma once

#include <string>

namespace ledgerlift {

// A calendar date without time of day.
struct Date {
    int year = 1899;
    int month = 12;
    int day = 30;

    static Date Today();
    // "yyyy-mm-dd"; the only text form a date takes in this program.
    std::string ToIso() const;
    // Reads "yyyy-mm-dd"; false when the text is not a real calendar date.
    static bool FromIso(const std::string& text, Date& out);
    bool IsValid() const;

    bool operator==(const Date&) const = default;
};

}  // namespace ledgerlift
