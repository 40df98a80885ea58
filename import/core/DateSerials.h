#pragma once

#include <string_view>

namespace ledgerlift {

// Dates and times as the serial day numbers of the 1900 date system (days
// since 1899-12-30, the fraction being the time of day), which CellValue
// holds, whatever the workbook wrote, so that all formats read alike.

// A serial number of a workbook in the 1904 date system (.xls DATEMODE,
// .xlsx date1904) in the 1900 system. A time of day alone (under 1) stays as
// it is: it is the same time in either system; 0 is the system's first day.
double SerialFrom1904(double serial);

// Dates and times written as text in .xlsx (t="d" cells) and .ods
// (office:date-value, office:time-value) workbooks.

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
