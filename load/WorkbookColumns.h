#pragma once

#include <string>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "load/SheetPlan.h"

namespace ledgerlift {

// One column of a sheet as a person choosing columns sees it: its letter
// (by number), its heading and its first values.
struct ColumnSample {
    int column = 0;
    std::string heading;
    std::vector<std::string> values;  // the first three filled cells below the heading
};

// One worksheet, its columns, and how the load would map them as either
// kind of sheet.
struct SheetColumns {
    int sheet = 0;
    std::string name;
    int headingRow = 1;
    std::vector<ColumnSample> columns;
    ColumnMap asItems;  // as the plan reads it when it reads it as items
    ColumnMap asLedgers;
};

// A workbook's sheets and columns, and the sheet of each kind the plan reads
// (the first of each; 0 for none).
struct WorkbookColumns {
    std::vector<SheetColumns> sheets;
    int itemsSheet = 0;
    int ledgersSheet = 0;
};

// Describes the open workbook's sheets for choosing their columns: a sheet
// that plan reads keeps its heading row and its columns as planned; any
// other is described from the first of its first 10 rows that reads as
// headings (row 1 when none does), mapped as the load would map it.
WorkbookColumns DescribeColumns(const WorkbookReader& book, const WorkbookPlan& plan);

// What identifies a workbook's layout: its sheets' names and each sheet's
// headings (its heading row, a title above it aside; failing one, its first
// filled row among its first 10). Two workbooks with the same sheets and
// headings have the same signature, whatever their rows.
std::string WorkbookSignature(const WorkbookReader& book);

}  // namespace ledgerlift
