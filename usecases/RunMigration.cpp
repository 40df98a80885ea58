#include "usecases/RunMigration.h"

#include <cstdint>
#include <filesystem>
#include <optional>

#include "base/Date.h"
#include "company/LookupIndexes.h"
#include "data/Savepoint.h"
#include "load/GridLayouts.h"
#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/Reconciliation.h"
#include "migration/RowsToFix.h"
#include "migration/StageContext.h"
#include "ui/StatusBox.h"
#include "usecases/ConnectCompany.h"
#include "usecases/KeepRunRecord.h"
#include "usecases/OutcomeMarks.h"

namespace ledgerlift {
namespace {

enum class Stage { Categories, Items, Ledgers };

// Holds the company's database for this run alone from its first write to
// its end: no other program can write between two batches of rows.
class ExclusiveUse {
  public:
    ExclusiveUse(Connection& companyConnection, bool take)
        : connection_(companyConnection), taken_(take) {
        if (taken_) {
            connection_.Execute("pragma locking_mode=EXCLUSIVE");
        }
    }
    ~ExclusiveUse() {
        if (!taken_ || !connection_.IsOpen() || !connection_.TransactionLost().empty()) {
            return;
        }
        try {
            // On a write-ahead journal the exclusive lock lasts as long as
            // the connection; a fresh connection lets other programs in.
            connection_.Reopen();
        } catch (const DataError&) {
            // Then the connection stays closed, and the next run connects
            // anew; everything written is already on disk.
        }
    }
    ExclusiveUse(const ExclusiveUse&) = delete;
    ExclusiveUse& operator=(const ExclusiveUse&) = delete;

  private:
    Connection& connection_;
    bool taken_;
};

// One run: the request it works on, the window operations, and what it did.
class MigrationRun {
  public:
    MigrationRun(const RunRequest& request, WindowOps& ops)
        : request_(request),
          form_(request.controls),
          db_(request.companyConnection),
          tally_(request.tally),
          ops_(ops) {}

    RunResult Run();

  private:
    bool Start();
    void Migrate(const std::string& backup);
    void TellTheEnd(bool completed, bool dry);
    void StopIfLost(Stage done);
    std::string BackUpBeforeWriting();
    void SettleBackup(const std::string& backup);
    std::string GoOnQuestion(Stage stopped) const;
    bool GoOn(Stage done, const char* completedLine, const char* stoppedLine);
    bool RunStages(StageContext& stage);
    void RecordNotRun(Stage done, const std::string& items, const std::string& ledgers);
    void SummarizeLostRun();
    void Status(const std::string& line) { AppendStatus(form_, ops_, line); }
    void ShowOutcome() {
        ops_.EndProgress();
        MarkOutcomes(form_, tally_, MarkFor::Run);
    }

    const RunRequest& request_;
    FormControls& form_;
    Connection& db_;
    RunTally& tally_;
    WindowOps& ops_;
    RunResult result_;
    // The reconciliation lines the run wrote, for its record.
    std::vector<std::string> reconciled_;
    // The database's count of changed rows when the backup was made.
    std::int64_t changedAtBackup_ = 0;
};

// The rows of the stages after done, recorded as not migrated, each sheet's
// with its reason.
void MigrationRun::RecordNotRun(Stage done, const std::string& items, const std::string& ledgers) {
    RunTally& tally = tally_;
    if (done == Stage::Categories) {
        tally.RecordUnreached(tally.items, "items", form_.itemGrid, 1, form_.itemGrid.Rows() - 2,
                              item::Code, items);
    }
    if (done != Stage::Ledgers) {
        tally.RecordUnreached(tally.ledgers, "ledgers", form_.ledgerGrid, 1,
                              form_.ledgerGrid.Rows() - 2, ledger::Name, ledgers);
    }
}

// After a stage: when the database undid the open transaction (a full disk,
// an I/O error) nothing more can be written, so the run ends here and the
// rows of the stages not run are recorded as not migrated, with the reason.
void MigrationRun::StopIfLost(Stage done) {
    const std::string& lost = db_.TransactionLost();
    if (lost.empty()) {
        return;
    }
    RecordNotRun(done, "Not migrated: " + lost, "Not migrated: " + lost);
    throw DataError(lost);
}

// The company's database as it is before the run's first write, kept as a
// backup (and the oldest ones beyond the number to keep removed). Gives the
// backup's path, or "" when it could not be made; the operator is then told
// why and where, and nothing is written.
std::string MigrationRun::BackUpBeforeWriting() {
    std::string code = form_.companyList.Text();
    std::string where;
    try {
        // The connection was just made through the very same lookup.
        CompanyBackups backups(LocateCompanyDatabase(request_.productFolder, code));
        where = " The backups are kept in " + backups.Folder() + ".";
        ops_.DoEvents();
        std::error_code ec;
        std::filesystem::path workbook = std::filesystem::absolute(form_.fileDialog.FileName, ec);
        // The first backup is the company before Ledgerlift wrote to it.
        bool first = backups.List().empty();
        std::string what = (ec ? form_.fileDialog.FileName : workbook.string()) + " on " +
                           Date::Today().ToIso() + " (migration date " +
                           form_.migrationDate.Value.ToIso() + ")";
        BackupInfo made = backups.Make(
            db_,
            first ? "before the first migration, of " + what : "before the migration of " + what,
            first);
        changedAtBackup_ = db_.RowsChanged();
        return made.path;
    } catch (const DataError& error) {
        ops_.SetMousePointer(MousePointer::Default);
        ops_.MsgBox("The company " + code + "'s database could not be backed up, so the " +
                        "migration was not started and nothing was written to it. " +
                        error.Description() + where,
                    MsgButtons::OK, MsgIcon::Critical);
        return "";
    }
}

// After a run that wrote: a run that changed no row of the database
// (measured by the database) leaves no backup behind; otherwise the oldest
// backups beyond the number to keep go (never the first one).
void MigrationRun::SettleBackup(const std::string& backup) {
    try {
        CompanyBackups backups(
            LocateCompanyDatabase(request_.productFolder, form_.companyList.Text()));
        std::string problem;
        if (db_.RowsChanged() == changedAtBackup_ && db_.TransactionLost().empty()) {
            problem = backups.Remove(backup);
            if (problem.empty()) {
                Status(
                    "Nothing in the company was changed, so the backup made before the run "
                    "was removed.");
            }
        } else {
            problem = backups.Prune(request_.options.keepBackups, backup);
        }
        if (!problem.empty()) {
            ops_.MsgBox(problem, MsgButtons::OK, MsgIcon::Exclamation);
        }
    } catch (const DataError& error) {
        ops_.MsgBox("The company's old backups were not tidied: " + error.Description(),
                    MsgButtons::OK, MsgIcon::Exclamation);
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
std::string MigrationRun::GoOnQuestion(Stage stopped) const {
    if (stopped == Stage::Categories) {
        return "You stopped the migration while the categories were written; those written so "
               "far are kept.\r\n\r\nGo on with the items and then the ledgers?";
    }
    bool rowsLeft = false;
    for (const auto& row : tally_.rows) {
        rowsLeft = rowsLeft || (row.sheet == "items" && RunTally::NotReached(row));
    }
    std::string last = LastItemRowDone(tally_);
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
bool MigrationRun::GoOn(Stage done, const char* completedLine, const char* stoppedLine) {
    StopRequest& stop = form_.stop;
    if (!stop.requested) {
        Status(completedLine);
        return true;
    }
    Status(stoppedLine);
    StatusCaretToEnd(form_);
    bool goOn = done != Stage::Ledgers && !stop.closing &&
                ops_.MsgBox(GoOnQuestion(done), MsgButtons::YesNo, MsgIcon::Question,
                            "Data Migration") == MsgAnswer::Yes;
    if (goOn) {
        stop.requested = false;
        return true;
    }
    const std::string reason = "Not migrated: the migration was stopped by the operator before ";
    RecordNotRun(done, reason + "the items.", reason + "the ledgers.");
    return false;
}

// The three stages with their status lines. Gives false when the operator
// stopped the run before the last stage had done its last row.
bool MigrationRun::RunStages(StageContext& stage) {
    Status("Migrating Category Master");
    StatusCaretToEnd(form_);
    ops_.DoEvents();
    RunCategoryStage(stage);
    StopIfLost(Stage::Categories);
    if (!GoOn(Stage::Categories, "Completed Migrating Category Master",
              "Stopped Migrating Category Master")) {
        return false;
    }
    Status("Started Migrating Item Master");
    StatusCaretToEnd(form_);
    ops_.DoEvents();
    RunItemStage(stage);
    StopIfLost(Stage::Items);
    if (!GoOn(Stage::Items, "Completed Migrating Item Master", "Stopped Migrating Item Master")) {
        return false;
    }
    Status("Started Migrating Item Customer Supplier");
    ops_.DoEvents();
    RunLedgerStage(stage);
    StopIfLost(Stage::Ledgers);
    if (form_.stop.requested) {
        Status("Stopped Migrating Item Customer Supplier");
        return false;
    }
    return true;
}

// Reads back what the run wrote and compares it with what its rows say; a
// difference counts against the run.
std::vector<std::string> ReconcileRun(RunTally& tally, Connection& db) {
    Reconciliation r;
    try {
        r = Reconcile(tally, db);
    } catch (const DataError& error) {
        r.lines = {"Reconciled: DIFFERENCE: what the run wrote could not be read back: " +
                   error.Description()};
        r.differences = 1;
    }
    tally.reconcileDifferences = r.differences;
    return r.lines;
}

// Steps 1 to 3a: gives whether the run goes on to write.
bool MigrationRun::Start() {
    RunTally& tally = tally_;
    if (!RequireLoaded(form_, ops_)) {
        return false;
    }
    ops_.SetMousePointer(MousePointer::Default);
    // Without the company's database there is nothing to migrate into.
    if (!ConnectCompany(db_, request_.productFolder, form_.companyList.Text(), ops_,
                        !request_.options.dryRun, &request_.lock)) {
        tally.outcome = RunTally::RunOutcome::ConnectionFailed;
        return false;
    }
    return ops_.MsgBox("Are you to continue with Migratiion  " + form_.companyList.Text() + " ",
                       MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::No;
}

// Steps 4 and 5, after the backup.
void MigrationRun::Migrate(const std::string& backup) {
    RunTally& tally = tally_;
    const bool dry = request_.options.dryRun;
    tally.outcome = RunTally::RunOutcome::Stopped;  // until the last stage is done
    form_.itemGrid.ClearRowMarks();                 // the marks of an earlier run or check
    form_.ledgerGrid.ClearRowMarks();
    tally.itemRowsNotRead = form_.itemRowsNotRead;
    tally.ledgerRowsNotRead = form_.ledgerRowsNotRead;
    if (!dry) {
        tally.baseline = ReadBaseline(db_);  // what lies above these afterwards, this run wrote
    }
    form_.stop.Clear();
    StageContext stage{form_, ops_, tally, db_, &form_.stop, request_.options.batchTiming};
    // A dry run does all its work in one transaction that is undone at the
    // end; the category stage's own transaction nests inside it.
    ExclusiveUse exclusive(db_, !dry);
    std::optional<Savepoint> dryRun;
    if (dry) {
        dryRun.emplace(db_);
    }
    // Each row looks the company up; without these the run is quadratic.
    // A dry run undoes them with everything else.
    EnsureLookupIndexes(db_);
    Status("User opted to migrate Data to Company " + form_.companyList.Text());
    if (!backup.empty()) {
        Status(kBackupStatusPrefix + backup);
    }
    StatusCaretToEnd(form_);
    ops_.SetMousePointer(MousePointer::Hourglass);
    bool completed = RunStages(stage);
    for (const std::string& line : tally.SummaryLines()) {
        Status(line);
    }
    for (const std::string& line : tally.SheetLines()) {
        Status(line);
    }
    if (!dry) {
        reconciled_ = ReconcileRun(tally, db_);
        for (const std::string& line : reconciled_) {
            Status(line);
        }
        if (completed && tally.NothingLeft()) {
            Status(tally.NothingLeftLine());
        }
        SettleBackup(backup);
    }
    Status(!completed ? "The migration was stopped by the operator."
           : dry      ? kDryRunClosingLine
                      : "Load Tallvane Company and start with the entries.... ");
    Status("*************************************************");
    StatusCaretToEnd(form_);
    ops_.DoEvents();
    // Everything the run wrote is on disk before it says it is done; a dry
    // run leaves nothing behind.
    dryRun.reset();
    db_.Flush();
    ops_.SetMousePointer(MousePointer::Default);
    tally.outcome = completed ? RunTally::RunOutcome::Completed : RunTally::RunOutcome::Stopped;
    ShowOutcome();
    TellTheEnd(completed, dry);
}

// The run's last message. A dry run wrote nothing, so it never says that the
// migration completed.
void MigrationRun::TellTheEnd(bool completed, bool dry) {
    if (completed) {
        ops_.MsgBox(dry ? kDryRunClosingLine : "Migration Completed", MsgButtons::OK,
                    MsgIcon::Information, "Data Migration");
        return;
    }
    std::string text = dry ? "The dry run was stopped; nothing was written to the company."
                           : "The migration was stopped. What went in stays in the company.";
    text += ops_.ShowsGrids() ? " The rows that did not go in are marked in the grids, and Save "
                                "Report... lists them with the reason."
                              : " The report (--report) lists the rows that did not go in, with "
                                "the reason.";
    ops_.MsgBox(text, MsgButtons::OK, MsgIcon::Information, "Data Migration");
}

// After the database undid the open transaction (a full disk): the tally
// holds what the committed batches hold, so the summary and, for a real run,
// the reconciliation say what did go in. The lost connection refuses every
// statement: the reconciliation reads on a fresh one.
void MigrationRun::SummarizeLostRun() {
    for (const std::string& line : tally_.SummaryLines()) {
        Status(line);
    }
    for (const std::string& line : tally_.SheetLines()) {
        Status(line);
    }
    if (request_.options.dryRun) {
        return;
    }
    try {
        db_.Reopen();
    } catch (const DataError& error) {
        tally_.reconcileDifferences = 1;
        reconciled_ = {"Reconciled: DIFFERENCE: what the run wrote could not be read back: " +
                       error.Description()};
        Status(reconciled_.front());
        return;
    }
    reconciled_ = ReconcileRun(tally_, db_);
    for (const std::string& line : reconciled_) {
        Status(line);
    }
    StatusCaretToEnd(form_);
}

RunResult MigrationRun::Run() {
    CompanyRelease release(request_.lock);
    RunTally& tally = tally_;
    std::string backup;
    std::string failure;
    try {
        tally.outcome = RunTally::RunOutcome::NotStarted;
        if (!Start()) {
            return result_;
        }
        tally.Clear();
        result_.underWay = true;
        // Every real run can be undone: nothing is written before the
        // database as it was is safe in a backup.
        if (!request_.options.dryRun) {
            backup = BackUpBeforeWriting();
            if (backup.empty()) {
                tally.outcome = RunTally::RunOutcome::BackupFailed;
                result_.rowsToFix = RowsToFix(tally);
                return result_;
            }
        }
        Migrate(backup);
    } catch (const std::exception& error) {
        ops_.SetMousePointer(MousePointer::Default);
        if (tally.outcome == RunTally::RunOutcome::Stopped) {
            if (!db_.TransactionLost().empty()) {
                SummarizeLostRun();
            }
            ShowOutcome();  // what went in before the failure
        } else {
            ops_.EndProgress();
        }
        failure = error.what();
        ops_.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
    }
    // A run that wrote (a backup was made first) leaves its record, while
    // the company is still taken.
    if (!backup.empty()) {
        KeepRunRecord({request_, backup, reconciled_, failure}, ops_);
    }
    result_.rowsToFix = RowsToFix(tally);
    return result_;
}

}  // namespace

RunResult RunMigration(const RunRequest& request, WindowOps& ops) {
    return MigrationRun(request, ops).Run();
}

}  // namespace ledgerlift
