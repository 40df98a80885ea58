#include "app/MigrationRun.h"

#include <filesystem>
#include <optional>

#include "app/Form1.h"
#include "app/OutcomeMarks.h"
#include "company/CompanyBackups.h"
#include "data/Savepoint.h"
#include "load/GridLayouts.h"
#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/Reconciliation.h"
#include "migration/StageContext.h"
#include "migration/mdlStock.h"

namespace ledgerlift {
namespace {

enum class Stage { Categories, Items, Ledgers };

// After a stage: when the database undid the open transaction (a full disk,
// an I/O error) nothing more can be written, so the run ends here and the
// rows of the stages not run are recorded as not migrated, with the reason.
void StopIfLost(Form1& form, Stage done) {
    const std::string& lost = cnCompany.TransactionLost();
    if (lost.empty()) {
        return;
    }
    RunTally& tally = form.tally;
    std::string reason = "Not migrated: " + lost;
    if (done == Stage::Categories) {
        tally.RecordUnreached(tally.items, "items", form.msf1, 1, form.msf1.Rows() - 2, item::Code,
                              reason);
    }
    if (done != Stage::Ledgers) {
        tally.RecordUnreached(tally.ledgers, "ledgers", form.msf2, 1, form.msf2.Rows() - 2,
                              ledger::Name, reason);
    }
    throw DataError(lost);
}

// Holds the company's database for this run alone from its first write to
// its end: no other program can write between two batches of rows.
class ExclusiveUse {
  public:
    explicit ExclusiveUse(bool take) : taken_(take) {
        if (taken_) {
            cnCompany.Execute("pragma locking_mode=EXCLUSIVE");
        }
    }
    ~ExclusiveUse() {
        if (!taken_ || !cnCompany.IsOpen() || !cnCompany.TransactionLost().empty()) {
            return;
        }
        try {
            // On a write-ahead journal the exclusive lock lasts as long as
            // the connection; a fresh connection lets other programs in.
            cnCompany.Reopen();
        } catch (const DataError&) {
            // Then the connection stays closed, and the next run connects
            // anew; everything written is already on disk.
        }
    }
    ExclusiveUse(const ExclusiveUse&) = delete;
    ExclusiveUse& operator=(const ExclusiveUse&) = delete;

  private:
    bool taken_;
};

// Reads back what the run wrote and compares it with what its rows say; a
// difference counts against the run.
std::vector<std::string> ReconcileRun(RunTally& tally) {
    Reconciliation r;
    try {
        r = Reconcile(tally, cnCompany);
    } catch (const DataError& error) {
        r.lines = {"Reconciled: DIFFERENCE: what the run wrote could not be read back: " +
                   error.Description()};
        r.differences = 1;
    }
    tally.reconcileDifferences = r.differences;
    return r.lines;
}

// Offers the rows of this run that need attention, however it ends.
struct OfferFailedRows {
    Form1& form;
    ~OfferFailedRows() { form.OfferFailedRows(RowsToFix(form.tally)); }
};

// The company's database as it is before the run's first write, kept as a
// backup (and the oldest ones beyond the number to keep removed). Gives the
// backup's path, or "" when it could not be made; the operator is then told
// why and where, and nothing is written.
std::string BackUpBeforeWriting(Form1& form) {
    WindowOps& ops = form.Ops();
    std::string code = form.txtCompanyName.Text();
    std::string where;
    try {
        // The connection was just made through the very same lookup.
        CompanyBackups backups(LocateCompanyDatabase(form.ProgramFolder(), code));
        where = " The backups are kept in " + backups.Folder() + ".";
        ops.DoEvents();
        std::error_code ec;
        std::filesystem::path workbook = std::filesystem::absolute(form.cdlg.FileName, ec);
        BackupInfo made = backups.Make(
            cnCompany, "the migration of " + (ec ? form.cdlg.FileName : workbook.string()) +
                           " (migration date " + form.dtpDate.Value.ToIso() + ")");
        if (std::string pruned = backups.Prune(form.keepBackups, made.path); !pruned.empty()) {
            ops.MsgBox(pruned, MsgButtons::OK, MsgIcon::Exclamation);
        }
        return made.path;
    } catch (const DataError& error) {
        ops.SetMousePointer(MousePointer::Default);
        ops.MsgBox("The company " + code + "'s database could not be backed up, so the " +
                       "migration was not started and nothing was written to it. " +
                       error.Description() + where,
                   MsgButtons::OK, MsgIcon::Critical);
        return "";
    }
}

// The last item row the stopped item stage did, in the operator's words.
std::string LastItemRowDone(const RunTally& tally) {
    for (auto row = tally.rows.rbegin(); row != tally.rows.rend(); ++row) {
        if (row->sheet == "items" && !RunTally::NotReached(*row)) {
            return "item row " + row->sheetRow + (row->key.empty() ? "" : " (" + row->key + ")");
        }
    }
    return "";
}

// The question after a stage the operator stopped.
std::string GoOnQuestion(const RunTally& tally, Stage stopped) {
    if (stopped == Stage::Categories) {
        return "You stopped the migration while the categories were written; those written so "
               "far are kept.\r\n\r\nGo on with the items and then the ledgers?";
    }
    bool rowsLeft = false;
    for (const auto& row : tally.rows) {
        rowsLeft = rowsLeft || (row.sheet == "items" && RunTally::NotReached(row));
    }
    std::string last = LastItemRowDone(tally);
    std::string where = last.empty() ? "before the first item row" : "after " + last;
    return "You stopped the migration " + where +
           (rowsLeft ? "; the item rows after it were not migrated."
                     : ", the last one: every item row was done.") +
           "\r\n\r\nGo on with the ledgers?";
}

// After a stage: whether the run goes on. A stage that ran to its end says
// so in the status box. A stage the operator stopped ends the run, unless he
// answers that it should go on (never when the window is closing); the rows
// of the stages not run are then recorded as not reached.
bool GoOn(Form1& form, Stage done, const char* completedLine, const char* stoppedLine) {
    if (!form.stop.requested) {
        form.AppendStatus(completedLine);
        return true;
    }
    form.AppendStatus(stoppedLine);
    form.StatusCaretToEnd();
    bool goOn = done != Stage::Ledgers && !form.stop.closing &&
                form.Ops().MsgBox(GoOnQuestion(form.tally, done), MsgButtons::YesNo,
                                  MsgIcon::Question, "Data Migration") == MsgAnswer::Yes;
    if (goOn) {
        form.stop.requested = false;
        return true;
    }
    RunTally& tally = form.tally;
    std::string reason = "Not migrated: the migration was stopped by the operator before ";
    if (done == Stage::Categories) {
        tally.RecordUnreached(tally.items, "items", form.msf1, 1, form.msf1.Rows() - 2, item::Code,
                              reason + "the items.");
    }
    if (done != Stage::Ledgers) {
        tally.RecordUnreached(tally.ledgers, "ledgers", form.msf2, 1, form.msf2.Rows() - 2,
                              ledger::Name, reason + "the ledgers.");
    }
    return false;
}

// The three stages with their status lines. Gives false when the operator
// stopped the run before the last stage had done its last row.
bool RunStages(Form1& form, StageContext& stage) {
    WindowOps& ops = form.Ops();
    form.AppendStatus("Migrating Category Master");
    form.StatusCaretToEnd();
    ops.DoEvents();
    migratecategory(stage);
    StopIfLost(form, Stage::Categories);
    if (!GoOn(form, Stage::Categories, "Completed Migrating Category Master",
              "Stopped Migrating Category Master")) {
        return false;
    }
    form.AppendStatus("Started Migrating Item Master");
    form.StatusCaretToEnd();
    ops.DoEvents();
    migrateitem(stage);
    StopIfLost(form, Stage::Items);
    if (!GoOn(form, Stage::Items, "Completed Migrating Item Master",
              "Stopped Migrating Item Master")) {
        return false;
    }
    form.AppendStatus("Started Migrating Item Customer Supplier");
    ops.DoEvents();
    migrateledger(stage);
    StopIfLost(form, Stage::Ledgers);
    if (form.stop.requested) {
        form.AppendStatus("Stopped Migrating Item Customer Supplier");
        return false;
    }
    return true;
}

// What every run that got under way shows at its end, before its last
// message: the summary, per sheet, and every row's outcome in the grids.
void ShowOutcome(Form1& form) {
    form.Ops().EndProgress();
    MarkOutcomes(form, form.tally, MarkFor::Run);
}

}  // namespace

void RunMigration(Form1& form) {
    WindowOps& ops = form.Ops();
    CompanyRelease release(form);
    try {
        if (!form.RequireLoaded()) {
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
        OfferFailedRows offer{form};
        // Every real run can be undone: nothing is written before the
        // database as it was is safe in a backup.
        std::string backup;
        if (!form.dryRun) {
            backup = BackUpBeforeWriting(form);
            if (backup.empty()) {
                form.tally.outcome = RunTally::RunOutcome::BackupFailed;
                return;
            }
        }
        form.tally.outcome = RunTally::RunOutcome::Stopped;  // until the last stage is done
        form.msf1.ClearRowMarks();                           // the marks of an earlier run or check
        form.msf2.ClearRowMarks();
        form.tally.itemRowsNotRead = form.itemRowsNotRead;
        form.tally.ledgerRowsNotRead = form.ledgerRowsNotRead;
        if (!form.dryRun) {
            // What lies above these afterwards, this run wrote.
            form.tally.baseline = ReadBaseline(cnCompany);
        }
        form.stop.Clear();
        StageContext stage{form, ops, form.tally, cnCompany, &form.stop};
        // A dry run does all its work in one transaction that is undone at
        // the end; the category stage's own transaction nests inside it.
        ExclusiveUse exclusive(!form.dryRun);
        std::optional<Savepoint> dryRun;
        if (form.dryRun) {
            dryRun.emplace(cnCompany);
        }
        form.AppendStatus("User opted to migrate Data to Company " + company);
        if (!backup.empty()) {
            form.AppendStatus(kBackupStatusPrefix + backup);
        }
        form.StatusCaretToEnd();
        ops.SetMousePointer(MousePointer::Hourglass);
        bool completed = RunStages(form, stage);
        for (const std::string& line : form.tally.SummaryLines()) {
            form.AppendStatus(line);
        }
        for (const std::string& line : form.tally.SheetLines()) {
            form.AppendStatus(line);
        }
        if (!form.dryRun) {
            for (const std::string& line : ReconcileRun(form.tally)) {
                form.AppendStatus(line);
            }
        }
        form.AppendStatus(completed ? "Load Tallvane Company and start with the entries.... "
                                    : "The migration was stopped by the operator.");
        form.AppendStatus("*************************************************");
        form.StatusCaretToEnd();
        ops.DoEvents();
        // Everything the run wrote is on disk before it says it is done;
        // a dry run leaves nothing behind.
        dryRun.reset();
        cnCompany.Flush();
        ops.SetMousePointer(MousePointer::Default);
        form.tally.outcome =
            completed ? RunTally::RunOutcome::Completed : RunTally::RunOutcome::Stopped;
        ShowOutcome(form);
        if (completed) {
            ops.MsgBox("Migration Completed", MsgButtons::OK, MsgIcon::Information,
                       "Data Migration");
        } else {
            ops.MsgBox(
                "The migration was stopped. What went in stays in the company; the rows "
                "that did not go in are marked in the grids, and Save Report... lists "
                "them with the reason.",
                MsgButtons::OK, MsgIcon::Information, "Data Migration");
        }
    } catch (const std::exception& error) {
        ops.SetMousePointer(MousePointer::Default);
        if (form.tally.outcome == RunTally::RunOutcome::Stopped) {
            ShowOutcome(form);  // what went in before the failure
        } else {
            ops.EndProgress();
        }
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
    }
}

}  // namespace ledgerlift
