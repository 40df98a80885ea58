#pragma once

#include <string>

#include "load/ColumnChoice.h"

namespace ledgerlift {

// The chosen sheets and columns as JSON: what "ledgerlift columns --format
// json" prints, edited by hand, and what the window remembers. Per sheet, "name" decides
// which sheet it is ("sheet", its place, when the name is empty), "role"
// says what it is read as (items, ledgers or none) and "heading_row" where
// its headings stand; per field ("field", its described caption), "heading"
// decides which column feeds it and "column" (its letter) is used when the
// heading is empty. Other keys are there to be read and are left alone.
//
// Throws std::runtime_error with one sentence for the operator, naming the
// file, the sheet and the field, when the file can't be read (it must be a
// regular file of at most 1 MB), is not JSON (a number out of range anywhere
// included), gives a value of the wrong kind (a text where a number goes, or
// the other way round), a sheet place or heading row that is no whole number
// in range (heading rows up to 65000), a column beyond XFD, a field twice on
// one sheet, or names a role or field that does not exist.
ColumnChoice ReadColumnsFile(const std::string& path);

// The choice in JSON text (read as ReadColumnsFile reads a file); the file
// named in sentences as path.
ColumnChoice ParseColumnsJson(const std::string& text, const std::string& path);

// The choice as JSON that ParseColumnsJson reads back: its listed sheets,
// each with its name, place, role, heading row and fields.
std::string ColumnChoiceJson(const ColumnChoice& choice);

// The number of a column's letters (A is 1, AA is 27, XFD the last, 16384);
// 0 for anything else.
int ColumnNumber(const std::string& letters);

}  // namespace ledgerlift
