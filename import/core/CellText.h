#pragma once

#include <string>

#include "import/core/WorkbookReader.h"

namespace ledgerlift {

// The text that a cell value becomes in a grid, the same everywhere and on
// every machine whatever its locale:
// - empty: the empty text;
// - number: the shortest text with at most 15 significant digits, "." as
//   decimal point, no thousands separators (1234.5, 12);
// - date: yyyy-mm-dd, with " hh:mm:ss" when it has a time of day; a time
//   alone: hh:mm:ss;
// - text: as stored, spaces kept;
// - boolean: TRUE or FALSE; error: its text (#DIV/0!, #N/A, ...).
std::string CellText(const CellValue& value);
// The same, taking the text of a text or error value instead of copying it.
std::string CellText(CellValue&& value);

// The text of a date serial number (days since 1899-12-30 in the 1900 date
// system, with the fraction as time of day), by the rule above.
std::string DateSerialText(double serial);

}  // namespace ledgerlift
