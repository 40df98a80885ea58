#include "app/RunCheck.h"

#include "app/CheckOps.h"
#include "app/Form1.h"
#include "app/OutcomeMarks.h"
#include "data/Savepoint.h"
#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/StageContext.h"
#include "migration/mdlStock.h"

namespace ledgerlift {
namespace {

void RequireNotLost() {
    if (!cnCompany.TransactionLost().empty()) {
        throw DataError(cnCompany.TransactionLost());
    }
}

}  // namespace

void RunCheck(Form1& form) {
    WindowOps& ops = form.Ops();
    CompanyRelease release(form);
    form.stop.Clear();
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
        CheckOps answers(ops);
        StageContext stage{grids, answers, tally, cnCompany, &form.stop};
        {
            Savepoint undo(cnCompany);  // never committed: the check writes nothing
            tally.baseline = ReadBaseline(cnCompany);
            migratecategory(stage);
            RequireNotLost();
            if (!stage.StopRequested()) {
                migrateitem(stage);
                RequireNotLost();
            }
            if (!stage.StopRequested()) {
                migrateledger(stage);
                RequireNotLost();
            }
        }
        ops.EndProgress();
        if (stage.StopRequested()) {
            // Half a prediction would mislead: nothing of it is shown.
            form.msf1.ClearRowMarks();
            form.msf2.ClearRowMarks();
            ops.SetMousePointer(MousePointer::Default);
            ops.MsgBox(
                "The check was stopped before it went through every row, so it tells "
                "nothing yet. Nothing was written.",
                MsgButtons::OK, MsgIcon::Information, "Check Data");
            return;
        }
        CheckResult result = CheckResultOf(tally);
        result.rowsToFix = RowsToFix(tally);
        result.workbook = form.cdlg.FileName;
        result.company = form.txtCompanyName.Text();
        result.date = form.dtpDate.Value.ToIso();
        MarkOutcomes(form, tally, MarkFor::Check);
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
        ops.EndProgress();
        ops.SetMousePointer(MousePointer::Default);
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
    }
}

}  // namespace ledgerlift
