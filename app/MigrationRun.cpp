#include "app/MigrationRun.h"

#include <optional>

#include "app/Form1.h"
#include "data/Savepoint.h"
#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/StageContext.h"
#include "migration/mdlStock.h"

namespace ledgerlift {

void RunMigration(Form1& form) {
    WindowOps& ops = form.Ops();
    try {
        if (!form.blnExcelLoaded) {
            ops.MsgBox("Excel data not loaded. Please load Excel data to proceed", MsgButtons::OK,
                       MsgIcon::Critical);
            return;
        }
        ops.SetMousePointer(MousePointer::Default);
        form.tally.outcome = RunTally::RunOutcome::NotStarted;
        // Without the company's database there is nothing to migrate into.
        if (!form.ConnectSql()) {
            form.tally.outcome = RunTally::RunOutcome::ConnectionFailed;
            return;
        }
        std::string company = form.txtCompanyName.Text();
        if (ops.MsgBox("Are you to continue with Migratiion  " + company + " ", MsgButtons::YesNo,
                       MsgIcon::Question) == MsgAnswer::No) {
            return;
        }
        form.tally.Clear();
        form.tally.outcome = RunTally::RunOutcome::Stopped;  // until the last stage is done
        StageContext stage{form, ops, form.tally, cnCompany};
        // A dry run does all its work in one transaction that is undone at
        // the end; the category stage's own transaction nests inside it.
        std::optional<Savepoint> dryRun;
        if (form.dryRun) {
            dryRun.emplace(cnCompany);
        }
        form.AppendStatus("User opted to migrate Data to Company " + company);
        form.StatusCaretToEnd();
        ops.SetMousePointer(MousePointer::Hourglass);
        form.AppendStatus("Migrating Category Master");
        form.StatusCaretToEnd();
        ops.DoEvents();
        migratecategory(stage);
        form.AppendStatus("Completed Migrating Category Master");
        form.AppendStatus("Started Migrating Item Master");
        form.StatusCaretToEnd();
        ops.DoEvents();
        migrateitem(stage);
        form.AppendStatus("Completed Migrating Item Master");
        form.AppendStatus("Started Migrating Item Customer Supplier");
        ops.DoEvents();
        migrateledger(stage);
        for (const std::string& line : form.tally.SummaryLines()) {
            form.AppendStatus(line);
        }
        form.AppendStatus("Load Tallvane Company and start with the entries.... ");
        form.AppendStatus("*************************************************");
        form.StatusCaretToEnd();
        ops.DoEvents();
        // Everything the run wrote is on disk before it says it is done;
        // a dry run leaves nothing behind.
        dryRun.reset();
        cnCompany.Flush();
        ops.SetMousePointer(MousePointer::Default);
        form.tally.outcome = RunTally::RunOutcome::Completed;
        ops.MsgBox("Migration Completed", MsgButtons::OK, MsgIcon::Information, "Data Migration");
    } catch (const std::exception& error) {
        ops.SetMousePointer(MousePointer::Default);
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
    }
}

}  // namespace ledgerlift
