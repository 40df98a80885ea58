#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "load/SheetPlan.h"

namespace ledgerlift {

// A worksheet as the operator names it: by its name, or by its place (from
// 1) when no name is given. A name made of digits that no sheet bears names
// the sheet at that place ("--items-sheet 2").
struct SheetRef {
    std::string name;
    int number = 0;

    bool Given() const { return !name.empty() || number > 0; }
    bool operator==(const SheetRef&) const = default;
};

// The column the operator chose for one field: the column whose heading is
// heading; column (1 is A) when heading is empty, or to tell apart columns
// that bear the same heading; neither: the workbook has no column for it.
struct ChosenField {
    int gridCol = 0;
    std::string heading;
    int column = 0;

    bool operator==(const ChosenField&) const = default;
};

// One worksheet as the operator wants it read.
struct ChosenSheet {
    SheetRef sheet;
    std::optional<SheetKind> kind;  // none: the sheet is not read
    int headingRow = 0;             // 0: found as the load finds it
    // When any is given, every field of the kind is read from its chosen
    // column, and a field not listed is not in the workbook. None given:
    // the columns are found by their headings as ever.
    std::vector<ChosenField> fields;

    bool operator==(const ChosenSheet&) const = default;
};

// What the operator chose instead of what the load would find by itself.
struct ColumnChoice {
    // When given: these sheets, read as said; a sheet not listed is not read.
    std::vector<ChosenSheet> sheets;
    // The one sheet read as items, or as ledgers, whatever else says so.
    SheetRef itemsSheet;
    SheetRef ledgersSheet;

    bool Empty() const { return sheets.empty() && !itemsSheet.Given() && !ledgersSheet.Given(); }
};

// The errors below are ColumnsErrors: the workbook is refused for the
// choice, and choosing again reads it.

// The sheet ref names in book, from 1. Throws WorkbookError, naming the
// workbook, what asked for it (as "the items sheet") and the sheets it has,
// when no sheet answers to it.
int FindSheet(const WorkbookReader& book, const std::string& path, const SheetRef& ref,
              const std::string& what);

// The columns of a sheet of the kind as chosen (headings: element c the
// heading of column c). Throws WorkbookError, naming the sheet (label) and
// the field, for a heading that no column bears or that several bear
// without a letter to tell them apart. A required field left without a
// column, or one column chosen for two fields, is the map's problem.
ColumnMap ChosenColumns(const std::vector<std::string>& headings, SheetKind kind,
                        const std::vector<ChosenField>& fields, const std::string& label);

// The plan of the workbook as chosen: the sheets the choice lists read as
// it says (those it does not list are not read), else as the load finds
// them (see FindSheets); then the sheet each option names as the one sheet
// of its kind. Several sheets of a kind stay in workbook order. A sheet
// whose columns can't be read keeps its problem in its column map. Throws
// WorkbookError for a sheet or heading the choice names and the workbook
// lacks, and for one sheet chosen as both kinds.
WorkbookPlan FindChosenSheets(const WorkbookReader& book, const std::string& path,
                              const ColumnChoice& choice);

// The plan the load reads by: FindChosenSheets, refused as PlanSheets
// refuses a sheet whose columns can't be read. PlanSheets when nothing is
// chosen.
WorkbookPlan PlanWorkbook(const WorkbookReader& book, const std::string& path,
                          const ColumnChoice& choice);

}  // namespace ledgerlift
