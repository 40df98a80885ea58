#pragma once

#include <string>
#include <vector>

#include "import/WorkbookReader.h"

namespace ledgerlift {

// The stop rule of the import: a worksheet's rows run from row 2 down to the
// row before the first one whose column B, upper-cased and without its
// leading and trailing spaces, is empty; row 65000 at most.
bool IsSheetEnd(const WorkbookReader& book, int sheet, int row);
// Whether the sheet goes on below the last row that is read.
bool IsSheetCut(const WorkbookReader& book, int sheet);

// The rows of a worksheet exactly as the import loads them into its grid:
// column 0 the worksheet row number, columns 1 to lastCol the cell texts.
// Gives whether the sheet was cut below row 65000.
bool ReadSheetRows(const WorkbookReader& book, int sheet, int lastCol,
                   std::vector<std::vector<std::string>>& rows);

}  // namespace ledgerlift
