#include "app/RunCheck.h"

#include <map>

#include "app/CheckOps.h"
#include "app/Form1.h"
#include "data/Savepoint.h"
#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/StageContext.h"
#include "migration/mdlStock.h"

namespace ledgerlift {
namespace {

constexpr Rgb kErrorRow{255, 199, 206};
constexpr Rgb kWarningRow{255, 235, 156};

void RequireNotLost() {
    if (!cnCompany.TransactionLost().empty()) {
        throw DataError(cnCompany.TransactionLost());
    }
}

// Marks the rows of a grid that have problems.
void MarkRows(Grid& grid, const RunTally& tally, const char* sheet) {
    grid.ClearRowMarks();
    std::map<std::string, int> rowOf;
    for (int r = 1; r < grid.Rows(); ++r) {
        rowOf[std::string(grid.TextMatrix(r, 0))] = r;
    }
    for (const auto& row : tally.rows) {
        std::string text = ProblemText(row);
        auto at = rowOf.find(row.sheetRow);
        if (row.sheet != sheet || text.empty() || at == rowOf.end()) {
            continue;
        }
        grid.SetRowMark(at->second, RowHasError(row) ? kErrorRow : kWarningRow, text);
    }
}

}  // namespace

void RunCheck(Form1& form) {
    WindowOps& ops = form.Ops();
    CompanyRelease release(form);
    try {
        if (!form.RequireLoaded()) {
            return;
        }
        ops.SetMousePointer(MousePointer::Default);
        form.lastCheck = CheckResult{};
        form.OfferFailedRows({});
        if (!form.ConnectForCheck()) {
            return;
        }
        ops.SetMousePointer(MousePointer::Hourglass);
        FormControls grids = form;  // the run reads the real grids as they are now
        RunTally tally;
        tally.onProgress = form.tally.onProgress;
        CheckOps answers(ops);
        StageContext stage{grids, answers, tally, cnCompany};
        {
            Savepoint undo(cnCompany);  // never committed: the check writes nothing
            tally.baseline = ReadBaseline(cnCompany);
            migratecategory(stage);
            RequireNotLost();
            migrateitem(stage);
            RequireNotLost();
            migrateledger(stage);
            RequireNotLost();
        }
        CheckResult result = CheckResultOf(tally);
        result.rowsToFix = RowsToFix(tally);
        result.workbook = form.cdlg.FileName;
        result.company = form.txtCompanyName.Text();
        result.date = form.dtpDate.Value.ToIso();
        MarkRows(form.msf1, tally, "items");
        MarkRows(form.msf2, tally, "ledgers");
        for (const std::string& line : result.Lines()) {
            form.AppendStatus(line);
        }
        form.StatusCaretToEnd();
        ops.SetMousePointer(MousePointer::Default);
        form.lastCheck = result;
        form.OfferFailedRows(result.rowsToFix);
        int rows = result.RowsWithProblems();
        ops.MsgBox(rows == 0 ? std::string("The check found no problems: every row would go in "
                                           "as it stands.")
                             : "The check found problems in " + std::to_string(rows) +
                                   " rows: " + std::to_string(result.RowsWithErrors()) +
                                   " would not go in whole, the others would go in but not as "
                                   "you may expect. They are marked in the grids; rest the "
                                   "pointer on a row to read why.",
                   MsgButtons::OK, MsgIcon::Information, "Check Data");
    } catch (const std::exception& error) {
        ops.SetMousePointer(MousePointer::Default);
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
    }
}

}  // namespace ledgerlift
