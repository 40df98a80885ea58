#pragma once

#include <string_view>

namespace ledgerlift {

// Dates and times written as text in .xlsx (t="d" cells) and .ods
// (office:date-value, office:time-value) workbooks, as the serial day numbers
// that .xls workbooks store, so that all three read alike.

// "2009-04-01", "2009-04-01T10:30:00", "2009-04-01T10:30:00.5Z" (a zone is
// left as written), or a time alone, "10:30:00": the serial day number (days
// since 1899-12-30, with the 1900 system's 29 February 1900 counted before
// March 1900, the fraction being the time of day). False for anything else.
bool SerialFromIsoDate(std::string_view text, double& serial);

// An ISO 8601 duration as .ods writes a time ("PT10H30M00S", "PT36H",
// "P1DT2H", "-PT1H"): the number of days. False for anything else, or for
// years and months, which have no fixed length.
bool DaysFromIsoDuration(std::string_view text, double& days);

}  // namespace ledgerlift
