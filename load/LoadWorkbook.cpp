#include "load/LoadWorkbook.h"

#include <charconv>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "import/core/CellText.h"
#include "import/core/WorkbookReader.h"
#include "load/GridLayouts.h"
#include "load/SheetRows.h"

namespace ledgerlift {
namespace {

void AppendNumber(std::string& text, int n) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    text.append(digits, end);
}

const char* const kFilter =
    "Excel Files|*.XLS;*.XLSX;*.XLSM|OpenDocument Spreadsheets|*.ODS|All Files|*.*";

struct SheetPlan {
    int sheet;
    Grid& grid;
    int lastCol;
    int tab;
    const char* captionPrefix;
    const char* sheetName;
};

// Copies one worksheet into its grid. Gives how many rows below the last row
// that is read were left out.
int SheetLoop(FormControls& form, WindowOps& ops, const WorkbookReader& book,
              GridTextBudget& budget, const SheetPlan& plan) {
    Grid& grid = plan.grid;
    const std::string stage = std::string("Loading ") + plan.sheetName;
    const int total = CountSheetRows(book, plan.sheet, budget, plan.sheetName);
    ops.Progress(stage, 0, total);
    return ForEachSheetRow(book, plan.sheet, plan.lastCol, budget, plan.sheetName,
                           [&](int r, const std::vector<std::string>& cells) {
                               grid.SetRowTexts(grid.Rows() - 1, cells);
                               grid.AddItem("");
                               ops.DoEvents();
                               grid.SetTopRow(grid.Rows() - 1);
                               // The caption keeps its room from row to row.
                               std::string& caption = form.SSTab1.TabCaption[plan.tab];
                               caption.assign(plan.captionPrefix);
                               AppendNumber(caption, r - 1);
                               ops.Progress(stage, r - 1, total);
                           });
}

// Reads one sheet with the window disabled, then makes row 1, column 2 the
// current cell and marks the grids as loaded. The sheet's cells are let go
// once they are in the grid, so that the workbook and both grids are never
// in memory at once.
void LoadSheet(FormControls& form, WindowOps& ops, WorkbookReader& book, GridTextBudget& budget,
               const SheetPlan& plan, int& rowsNotRead) {
    ops.SetEnabled(false);
    rowsNotRead = SheetLoop(form, ops, book, budget, plan);
    book.ReleaseSheet(plan.sheet);
    plan.grid.SetCol(2);
    plan.grid.SetRow(1);
    form.blnExcelLoaded = true;
    ops.SetEnabled(true);
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

void LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book) {
    try {
        form.cdlg.Filter = kFilter;
        std::optional<std::string> chosen = ops.ShowOpen(form.cdlg.Filter);
        form.blnExcelLoaded = false;
        form.fraMIgrate.Visible = false;
        if (!chosen) {
            throw WorkbookError("No workbook was chosen, so nothing was loaded.");
        }
        form.cdlg.FileName = *chosen;
        form.itemRowsNotRead = 0;
        form.ledgerRowsNotRead = 0;
        form.itemHeaderRow.clear();
        form.ledgerHeaderRow.clear();
        book.Open(form.cdlg.FileName);
        GridTextBudget budget(form.cdlg.FileName);  // both sheets together

        Grid& items = form.msf1;
        items.SetFormatString(kItemFormat);
        items.SetColWidth(0, 200);
        items.SetRows(1);
        items.SetRows(2);
        items.SetCols(kItemCols);
        if (book.SheetCount() >= 1) {
            form.itemHeaderRow = HeaderRow(book, 1, kItemCols - 1, budget, "worksheet 1 (items)");
        }
        LoadSheet(form, ops, book, budget,
                  {1, items, kItemCols - 1, 0, "Items ", "worksheet 1 (items)"},
                  form.itemRowsNotRead);

        Grid& ledgers = form.msf2;
        ledgers.SetColWidth(0, 200);
        ledgers.SetRows(1);
        ledgers.SetRows(2);
        ledgers.SetCols(kLedgerCols);
        ledgers.SetFormatString(kLedgerFormat);
        if (book.SheetCount() >= 2) {
            form.ledgerHeaderRow =
                HeaderRow(book, 2, kLedgerCols - 1, budget, "worksheet 2 (ledgers)");
        }
        LoadSheet(form, ops, book, budget,
                  {2, ledgers, kLedgerCols - 1, 1, "Ledgers ", "worksheet 2 (ledgers)"},
                  form.ledgerRowsNotRead);

        std::vector<std::string> missingResults;
        for (const auto& [number, name] :
             {std::pair{1, "worksheet 1 (items)"}, std::pair{2, "worksheet 2 (ledgers)"}}) {
            if (int count = book.FormulasWithoutResult(number); count > 0) {
                missingResults.push_back(MissingResultsMessage(form.cdlg.FileName, name, count));
            }
        }
        book.Close();
        ops.SetEnabled(true);
        ops.MsgBox("Completed Excel importing", MsgButtons::OK, MsgIcon::Information);
        for (auto [sheet, count] : {std::pair{"worksheet 1 (items)", form.itemRowsNotRead},
                                    {"worksheet 2 (ledgers)", form.ledgerRowsNotRead}}) {
            if (count > 0) {
                ops.MsgBox("Only worksheet rows 2 to 65000 of " + std::string(sheet) + " of " +
                               form.cdlg.FileName + " were loaded. Its " + std::to_string(count) +
                               " rows below row 65000 were not read; move them to another "
                               "workbook and load that too.",
                           MsgButtons::OK, MsgIcon::Exclamation);
            }
        }
        for (const auto& text : missingResults) {
            ops.MsgBox(text, MsgButtons::OK, MsgIcon::Exclamation);
        }
        form.fraMIgrate.Visible = true;
    } catch (const std::exception& error) {
        ops.SetEnabled(true);
        form.blnExcelLoaded = false;
        form.ClearWorkbookGrids();  // no rows of another workbook are left to look loaded
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

}  // namespace ledgerlift
