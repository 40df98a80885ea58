#include "usecases/RunCheck.h"

#include "company/LookupIndexes.h"
#include "data/Savepoint.h"
#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/RowsToFix.h"
#include "migration/StageContext.h"
#include "ui/StatusBox.h"
#include "usecases/CheckOps.h"
#include "usecases/ConnectCompany.h"
#include "usecases/OutcomeMarks.h"

namespace ledgerlift {
namespace {

void RequireNotLost(Connection& db) {
    if (!db.TransactionLost().empty()) {
        throw DataError(db.TransactionLost());
    }
}

// The three stages on a copy of the grids, inside a transaction that is
// undone. Gives the tally, or nothing when the operator stopped the check.
std::optional<RunTally> Predict(const RunRequest& request, WindowOps& ops) {
    Connection& db = request.companyConnection;
    FormControls grids = request.controls;  // the run reads the real grids as they are now
    RunTally tally;
    CheckOps answers(ops);
    StageContext stage{
        grids, answers, tally, db, &request.controls.stop, request.options.batchTiming};
    {
        Savepoint undo(db);       // never committed: the check writes nothing
        EnsureLookupIndexes(db);  // for the check alone: undone with the rest
        tally.baseline = ReadBaseline(db);
        RunCategoryStage(stage);
        RequireNotLost(db);
        if (!stage.StopRequested()) {
            RunItemStage(stage);
            RequireNotLost(db);
        }
        if (!stage.StopRequested()) {
            RunLedgerStage(stage);
            RequireNotLost(db);
        }
    }
    ops.EndProgress();
    if (stage.StopRequested()) {
        return std::nullopt;
    }
    return tally;
}

void Tell(const CheckResult& result, WindowOps& ops) {
    int rows = result.RowsWithProblems();
    ops.MsgBox(rows == 0 ? std::string("The check found no problems: every row would go in "
                                       "as it stands.")
                         : "The check found problems in " + std::to_string(rows) +
                               " rows: " + std::to_string(result.RowsWithErrors()) +
                               " would not go in whole, the others would go in but not as "
                               "you may expect." +
                               (ops.ShowsGrids() ? " They are marked in the grids; rest the "
                                                   "pointer on a row to read why."
                                                 : ""),
               MsgButtons::OK, MsgIcon::Information, "Check Data");
}

}  // namespace

std::optional<CheckResult> RunCheck(const RunRequest& request, WindowOps& ops) {
    FormControls& form = request.controls;
    CompanyRelease release(request.lock);
    form.stop.Clear();
    if (!RequireLoaded(form, ops)) {
        return std::nullopt;
    }
    form.saveFailedRowsButton.Enabled = false;  // what an earlier run or check left is gone
    try {
        ops.SetMousePointer(MousePointer::Default);
        if (!ConnectCompany(request.companyConnection, request.productFolder,
                            form.companyList.Text(), ops, false, &request.lock,
                            CompanyUse::Check)) {
            return CheckResult{};
        }
        ops.SetMousePointer(MousePointer::Hourglass);
        std::optional<RunTally> tally = Predict(request, ops);
        if (!tally) {
            // Half a prediction would mislead: nothing of it is shown.
            form.itemGrid.ClearRowMarks();
            form.ledgerGrid.ClearRowMarks();
            ops.SetMousePointer(MousePointer::Default);
            ops.MsgBox(
                "The check was stopped before it went through every row, so it tells nothing "
                "yet. Nothing was written.",
                MsgButtons::OK, MsgIcon::Information, "Check Data");
            return CheckResult{};
        }
        CheckResult result = CheckResultOf(*tally);
        result.rowsToFix = RowsToFix(*tally);
        result.workbook = form.fileDialog.FileName;
        result.company = form.companyList.Text();
        result.date = form.migrationDate.Value.ToIso();
        result.loadWarnings = form.loadWarnings;
        MarkOutcomes(form, *tally, MarkFor::Check);
        for (const std::string& line : result.Lines(ops.ShowsGrids())) {
            AppendStatus(form, ops, line);
        }
        StatusCaretToEnd(form);
        ops.SetMousePointer(MousePointer::Default);
        // The rows are offered before the window says what the check found.
        form.saveFailedRowsButton.Enabled = !result.rowsToFix.empty();
        Tell(result, ops);
        return result;
    } catch (const std::exception& error) {
        ops.EndProgress();
        ops.SetMousePointer(MousePointer::Default);
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
        return CheckResult{};
    }
}

}  // namespace ledgerlift
