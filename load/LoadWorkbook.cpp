#include "load/LoadWorkbook.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "import/core/CellText.h"
#include "import/core/WorkbookReader.h"
#include "load/GridLayouts.h"
#include "load/LoadLines.h"
#include "load/SheetPlan.h"
#include "load/SheetRows.h"

namespace ledgerlift {
namespace {

void AppendNumber(std::string& text, int n) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    text.append(digits, end);
}

const char* const kFilter =
    "Workbooks|*.xls;*.xlsx;*.xlsm;*.ods|Excel 97-2003 Workbooks|*.xls|"
    "Excel Workbooks|*.xlsx;*.xlsm|OpenDocument Spreadsheets|*.ods|All Files|*.*";

// One grid and the sheets that go into it.
struct GridPlan {
    Grid& grid;
    GridOrigin& origin;
    int tab;
    const char* captionPrefix;
    int& rowsNotRead;
};

SheetOrigin OriginOf(const SheetPlan& plan) {
    SheetOrigin origin{plan.name, plan.sheet, {}, {}};
    for (const FieldColumn& field : plan.columns.fields) {
        origin.column.push_back(field.column);
        origin.heading.push_back(field.heading);
    }
    return origin;
}

// Copies one worksheet's rows into its grid, below those already there.
SheetWalk SheetLoop(FormControls& form, WindowOps& ops, const WorkbookReader& book,
                    GridTextBudget& budget, const SheetPlan& plan, GridPlan& target) {
    Grid& grid = target.grid;
    const std::string stage = "Loading " + KindLabel(plan);
    const int total = std::max(0, LastFilledRow(book, plan) - plan.headingRow);
    target.origin.sheets.push_back(OriginOf(plan));
    const int sheetIndex = static_cast<int>(target.origin.sheets.size()) - 1;
    ops.Progress(stage, 0, total);
    return WalkSheet(book, plan, budget, [&](const SheetRow& row) {
        int r = grid.Rows() - 1;
        grid.SetRowTexts(r, row.cells);
        target.origin.sheetOfRow.resize(static_cast<std::size_t>(r) + 1, -1);
        target.origin.rowError.resize(static_cast<std::size_t>(r) + 1);
        target.origin.sheetOfRow[static_cast<std::size_t>(r)] = sheetIndex;
        target.origin.rowError[static_cast<std::size_t>(r)] = row.error;
        grid.AddItem("");
        ops.DoEvents();
        grid.SetTopRow(grid.Rows() - 1);
        // The caption keeps its room from row to row.
        std::string& caption = form.gridTabs.TabCaption[target.tab];
        caption.assign(target.captionPrefix);
        AppendNumber(caption, grid.Rows() - 2);
        ops.Progress(stage, std::min(row.sheetRow - plan.headingRow, total), total);
    });
}

// Reads one sheet with the window disabled, then makes row 1, column 2 the
// current cell and marks the grids as loaded. The sheet's cells are let go
// once they are in the grid, so that the workbook and both grids are never
// in memory at once. Gives the sheet's line for the load's lines.
std::string LoadSheet(FormControls& form, WindowOps& ops, WorkbookReader& book,
                      GridTextBudget& budget, const SheetPlan& plan, GridPlan& target) {
    ops.SetEnabled(false);
    SheetWalk walk = SheetLoop(form, ops, book, budget, plan, target);
    target.rowsNotRead += walk.rowsNotRead;
    if (std::string warning = HeadingRowsWarning(plan, walk); !warning.empty()) {
        form.loadWarnings.push_back(warning);
    }
    book.ReleaseSheet(plan.sheet);
    target.grid.SetCol(2);
    target.grid.SetRow(1);
    form.workbookLoaded = true;
    ops.SetEnabled(true);
    return LoadLine(plan, walk);
}

// The item grid gets its format string first and then a narrow first
// column; the ledger grid its format string last, which sizes every column
// to its caption.
void PrepareGrid(Grid& grid, const char* format, int cols, GridOrigin& origin) {
    bool formatFirst = format == kItemFormat;
    if (formatFirst) {
        grid.SetFormatString(format);
    }
    grid.SetColWidth(0, 200);
    grid.SetRows(1);
    grid.SetRows(2);
    grid.SetCols(cols);
    if (!formatFirst) {
        grid.SetFormatString(format);
    }
    origin.Clear();
}

}  // namespace

std::string MissingResultsMessage(const std::string& workbook, const std::string& sheet,
                                  int count) {
    std::string cells = count == 1 ? "1 formula cell" : std::to_string(count) + " formula cells";
    return "In " + sheet + " of " + workbook + ", " + cells + (count == 1 ? " has" : " have") +
           " no calculated result stored in the file, so " + (count == 1 ? "it was" : "they were") +
           " loaded as empty. Open the workbook in a spreadsheet program, save it there and load "
           "it again.";
}

namespace {

// The warnings of a load, each shown once it has completed.
std::vector<std::string> Warnings(const FormControls& form, const WorkbookReader& book,
                                  const WorkbookPlan& plan) {
    std::vector<std::string> warnings = form.loadWarnings;
    for (auto [kind, count] : {std::pair{SheetKind::Items, form.itemRowsNotRead},
                               {SheetKind::Ledgers, form.ledgerRowsNotRead}}) {
        const std::vector<SheetPlan>& sheets = kind == SheetKind::Items ? plan.items : plan.ledgers;
        if (count > 0 && !sheets.empty()) {
            warnings.push_back("Only worksheet rows " + std::to_string(sheets[0].headingRow + 1) +
                               " to 65000 of " + KindLabel(sheets[0]) + " of " +
                               form.fileDialog.FileName + " were loaded. Its " +
                               std::to_string(count) +
                               " rows below row 65000 were not read; move them to another "
                               "workbook and load that too.");
        }
    }
    for (const auto* sheets : {&plan.items, &plan.ledgers}) {
        for (const SheetPlan& sheet : *sheets) {
            if (int count = book.FormulasWithoutResult(sheet.sheet); count > 0) {
                warnings.push_back(
                    MissingResultsMessage(form.fileDialog.FileName, KindLabel(sheet), count));
            }
        }
    }
    return warnings;
}

// Reads every planned sheet into its grid; gives the load's lines.
void LoadGrids(FormControls& form, WindowOps& ops, WorkbookReader& book, const WorkbookPlan& plan) {
    GridTextBudget budget(form.fileDialog.FileName);  // both grids together
    PrepareGrid(form.itemGrid, kItemFormat, kItemCols, form.itemGrid.origin);
    PrepareGrid(form.ledgerGrid, kLedgerFormat, kLedgerCols, form.ledgerGrid.origin);
    GridPlan items{form.itemGrid, form.itemGrid.origin, 0, "Items ", form.itemRowsNotRead};
    GridPlan ledgers{form.ledgerGrid, form.ledgerGrid.origin, 1, "Ledgers ",
                     form.ledgerRowsNotRead};
    for (const SheetPlan& sheet : plan.items) {
        form.loadLines.push_back(LoadSheet(form, ops, book, budget, sheet, items));
    }
    for (const SheetPlan& sheet : plan.ledgers) {
        form.loadLines.push_back(LoadSheet(form, ops, book, budget, sheet, ledgers));
    }
    if (!plan.items.empty()) {
        form.itemHeaderRow = FieldHeadings(plan.items[0]);
    }
    if (!plan.ledgers.empty()) {
        form.ledgerHeaderRow = FieldHeadings(plan.ledgers[0]);
    }
    for (const SheetLeftAlone& sheet : plan.leftAlone) {
        form.loadLines.push_back(sheet.why);
    }
    for (const auto* sheets : {&plan.items, &plan.ledgers}) {
        for (const SheetPlan& sheet : *sheets) {
            if (std::string warning = HeadingWarning(sheet); !warning.empty()) {
                form.loadWarnings.push_back(warning);
            }
        }
    }
    form.workbookLoaded = true;
}

}  // namespace

void LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book) {
    LoadWorkbook(form, ops, book, ColumnChoice{});
}

void LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book,
                  const ColumnChoice& choice) {
    LoadWorkbook(form, ops, book, [&choice](const WorkbookReader&) { return choice; });
}

LoadOutcome LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book,
                         const ChoiceFor& choiceFor) {
    form.fileDialog.Filter = kFilter;
    std::optional<std::string> chosen = ops.ShowOpen(form.fileDialog.Filter);
    return LoadWorkbookFile(form, ops, book, chosen.value_or(""), choiceFor);
}

LoadOutcome LoadWorkbookFile(FormControls& form, WindowOps& ops, WorkbookReader& book,
                             const std::string& path, const ChoiceFor& choiceFor) {
    LoadOutcome outcome = LoadOutcome::Failed;
    try {
        form.workbookLoaded = false;
        form.migrationFrame.Visible = false;
        if (path.empty()) {
            throw WorkbookError("No workbook was chosen, so nothing was loaded.");
        }
        form.fileDialog.FileName = path;
        form.itemRowsNotRead = 0;
        form.ledgerRowsNotRead = 0;
        form.itemHeaderRow.clear();
        form.ledgerHeaderRow.clear();
        form.loadLines.clear();
        form.loadWarnings.clear();
        book.Open(form.fileDialog.FileName);
        outcome = LoadOutcome::ColumnsWanted;
        WorkbookPlan plan = PlanWorkbook(book, form.fileDialog.FileName, choiceFor(book));
        outcome = LoadOutcome::Failed;
        LoadGrids(form, ops, book, plan);
        std::vector<std::string> warnings = Warnings(form, book, plan);
        book.Close();
        ops.SetEnabled(true);
        ops.MsgBox("Completed Excel importing", MsgButtons::OK, MsgIcon::Information);
        for (const auto& text : warnings) {
            ops.MsgBox(text, MsgButtons::OK, MsgIcon::Exclamation);
        }
        form.migrationFrame.Visible = true;
        return LoadOutcome::Loaded;
    } catch (const std::exception& error) {
        bool columns = outcome == LoadOutcome::ColumnsWanted &&
                       dynamic_cast<const ColumnsError*>(&error) != nullptr;
        ops.SetEnabled(true);
        form.workbookLoaded = false;
        form.ClearWorkbookGrids();  // no rows of another workbook are left to look loaded
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
        return columns ? LoadOutcome::ColumnsWanted : LoadOutcome::Failed;
    }
}

}  // namespace ledgerlift
