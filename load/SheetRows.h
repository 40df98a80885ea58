#pragma once

#include <functional>
#include <string>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "load/GridTextBudget.h"

namespace ledgerlift {

// The stop rule of the import: a worksheet's rows run from row 2 down to the
// row before the first one whose column B, upper-cased and without its
// leading and trailing spaces, is empty; row 65000 at most.
bool IsSheetEnd(const WorkbookReader& book, int sheet, int row);
// How many rows the sheet holds below the last row that is read (0 when it
// ends there), by the same stop rule; repeated rows count by their number,
// and a count beyond the largest int is given as the largest int.
int RowsBelowLimit(const WorkbookReader& book, int sheet);

// The texts that a walk keeps are counted against the load's budget, and
// the sheet is named to the operator as `label` ("worksheet 1 (items)") when
// they go beyond it.

// How many rows the import reads from the sheet, by the stop rule above:
// the rows a walk hands over, counted ahead of it (for its progress). Their
// column B texts are counted against a copy of the budget, so that a sheet
// that the walk would refuse is refused before it is counted through.
int CountSheetRows(const WorkbookReader& book, int sheet, GridTextBudget budget,
                   const std::string& label);

// One row as the import loads it into its grid: cells[0] is the worksheet
// row number as text, cells[1] to cells[lastCol] the cell texts.
using SheetRowSink = std::function<void(int sheetRow, const std::vector<std::string>& cells)>;

// The one walk over a worksheet's rows, by the stop rule above; hands each
// row to onRow in worksheet order. Gives how many rows below row 65000 were
// not read (0 when the sheet ends above).
int ForEachSheetRow(const WorkbookReader& book, int sheet, int lastCol, GridTextBudget& budget,
                    const std::string& label, const SheetRowSink& onRow);

// Worksheet row 1 (the column headings) as the import would load it: element
// 0 empty, elements 1 to lastCol the cell texts.
std::vector<std::string> HeaderRow(const WorkbookReader& book, int sheet, int lastCol,
                                   GridTextBudget& budget, const std::string& label);

// The rows of a worksheet collected, as ForEachSheetRow hands them over.
int ReadSheetRows(const WorkbookReader& book, int sheet, int lastCol, GridTextBudget& budget,
                  const std::string& label, std::vector<std::vector<std::string>>& rows);

}  // namespace ledgerlift
