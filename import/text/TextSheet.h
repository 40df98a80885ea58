#pragma once

#include <cstdint>
#include <string>

#include "import/core/StoredWorkbook.h"
#include "import/core/TextFormat.h"

namespace ledgerlift {

// One text export read into one worksheet, named after the file (without its
// folder and extension). Every field is a text cell as it stands, whatever it
// looks like (a number, a date, a formula: "=1+1" is the text "=1+1"); an
// empty field is an empty cell. The rows are the rows of the file, the
// heading line first, up to the rows a workbook holds (kHeldRows).
//
// Throws WorkbookError, naming the file and the line where it can, for a file
// that cannot be read, does not decode (TextDecoding), whose quotes go wrong
// (DelimitedRows), with a row that does not fit under the heading line
// (RowFit), with more rows or columns than a worksheet holds, or larger than
// the text that a load may hold (heldBytes counts what the files of one load
// take together).
StoredSheet ReadTextSheet(const std::string& path, const TextOptions& options, TextFormat& format,
                          std::uint64_t& heldBytes);

}  // namespace ledgerlift
