#pragma once

#include <string>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "load/ColumnMap.h"

namespace ledgerlift {

// A workbook the load refuses for its columns: a sheet whose headings leave
// a required field without a column or give one field two columns. Choosing
// the columns by hand (see ColumnChoice) reads it.
class ColumnsError : public WorkbookError {
  public:
    using WorkbookError::WorkbookError;
};

// One worksheet as the load will read it.
struct SheetPlan {
    int sheet = 0;     // its position in the workbook, from 1
    std::string name;  // as its tab shows it
    SheetKind kind = SheetKind::Items;
    int headingRow = 1;  // the row of its column headings, never data
    ColumnMap columns;
    // How its kind was found: "headings", "name" or "position".
    const char* foundBy = "";
};

// A worksheet the load leaves alone, and the sentence that says why.
struct SheetLeftAlone {
    int sheet = 0;
    std::string why;
};

// What the load reads of a workbook: the item sheets and the ledger sheets,
// each in workbook order, and the worksheets it leaves alone with why.
struct WorkbookPlan {
    std::vector<SheetPlan> items;
    std::vector<SheetPlan> ledgers;
    std::vector<SheetLeftAlone> leftAlone;
};

// The heading row of a sheet: row 1, or the first of its first 10 rows that
// reads as a heading row of the kind (two or more fields claimed); row 1
// when none does.
int FindHeadingRow(const WorkbookReader& book, int sheet, SheetKind kind);

// Finds the item and ledger sheets of an open workbook:
//  - a sheet whose headings (in one of its first 10 rows) claim fields of
//    one kind more than of the other is of that kind;
//  - failing that, a sheet whose name says so ("Items", "Customers", ...);
//  - a workbook with no sign at all is read as worksheet 1 items and
//    worksheet 2 ledgers, by position; where the signs find only one kind,
//    the described partner (worksheet 1 beside a ledger worksheet 2, or
//    worksheet 2 beside an item worksheet 1) is read by position.
// Throws WorkbookError, naming the workbook, the sheet and the field, for a
// sheet whose headings leave a required field without a column or give one
// field two columns; and, as before, for a workbook with one worksheet that
// nothing says is an item or ledger sheet.
WorkbookPlan PlanSheets(const WorkbookReader& book, const std::string& path);

// PlanSheets without the refusal of a sheet whose columns can't be read:
// each such sheet keeps its problem in its column map.
WorkbookPlan FindSheets(const WorkbookReader& book, const std::string& path);

// Throws ColumnsError, naming the workbook, the sheet and the field, when a
// planned sheet's columns can't be read (see ColumnMap::problem).
void RequireReadable(const WorkbookPlan& plan, const std::string& path);

// The texts of a sheet's row as headings (element 0 unused, element c that
// of column c), over the columns the load looks at.
std::vector<std::string> HeadingTexts(const WorkbookReader& book, int sheet, int row);

// The plan of one sheet read as kind, its columns mapped by the headings in
// headingRow; foundBy says how its kind was found.
SheetPlan PlanSheet(const WorkbookReader& book, int sheet, SheetKind kind, int headingRow,
                    const char* foundBy);

// "worksheet 2 (Customers)": a sheet by its place and name.
std::string SheetLabel(const SheetPlan& plan);
// "worksheet 2 (ledgers)": a sheet by its place and what it is read as, as
// the load's progress and messages name it.
std::string KindLabel(const SheetPlan& plan);

}  // namespace ledgerlift
