#pragma once

#include <functional>
#include <string>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "load/GridTextBudget.h"
#include "load/SheetPlan.h"

namespace ledgerlift {

// The rows of a sheet as the load reads them: from the row below its
// heading row down to its last filled row (worksheet row 65000 at most).
//  - a row whose key (item code or item name; ledger name or alias) is
//    filled is a data row;
//  - a row with both keys blank but another field holding something other
//    than 0, YES, NO, Dr, Cr or blanks is loaded too, marked with an error
//    ("Item row 12: no item code or name"), and never written;
//  - a row two or more of whose texts are names of their own fields, word
//    for word, is a heading row below the one the load read by: skipped
//    and counted, never data;
//  - any other row is blank: skipped and counted.

// One row handed to the grid: cells[0] the worksheet row number as text,
// cells[c] the text of the field of grid column c ("" when the workbook has
// no column for it); error says why the row is never written ("" for none).
struct SheetRow {
    int sheetRow = 0;
    std::vector<std::string> cells;
    std::string error;
};
using SheetRowSink = std::function<void(const SheetRow& row)>;

// What a walk over a sheet found.
struct SheetWalk {
    int rowsRead = 0;            // rows handed over, marked ones included
    int rowsMarked = 0;          // of them, rows without their keys: never written
    std::vector<int> blankRows;  // worksheet rows skipped as blank
    // Worksheet rows skipped as headings: two or more of their texts are
    // names of the very field of their column, word for word ("Item Code"
    // under ITEM CODE). Such a row, wherever it stands, is never data.
    std::vector<int> headingRows;
    int rowsNotRead = 0;  // filled rows below row 65000
};

// The last row of the sheet whose fields hold anything (0 when none does),
// row 65000 at most.
int LastFilledRow(const WorkbookReader& book, const SheetPlan& plan);

// The rows below row 65000 that hold something in the sheet's fields: those
// the reader holds counted one by one, those below them by the reader's own
// count (the run of rows whose column B holds something, repeated rows by
// their number).
int RowsBelowLimit(const WorkbookReader& book, const SheetPlan& plan);

// Walks the sheet's rows by the rules above and hands each row that is not
// blank to onRow, in worksheet order. The texts kept are counted against the
// load's budget (the sheet named to the operator by its label).
SheetWalk WalkSheet(const WorkbookReader& book, const SheetPlan& plan, GridTextBudget& budget,
                    const SheetRowSink& onRow);

// The texts of the sheet's heading row by grid column, as the grid's header
// would show the workbook's own headings: element c the heading of the
// column that feeds grid column c.
std::vector<std::string> FieldHeadings(const SheetPlan& plan);

}  // namespace ledgerlift
