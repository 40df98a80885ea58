#pragma once

#include <optional>
#include <vector>

#include "export/FailedRowsWorkbook.h"
#include "migration/RunTally.h"
#include "usecases/RunRequest.h"

namespace ledgerlift {

// What a migration run did, beside the rows it recorded in request.tally
// (whose outcome tells how the run ended).
struct RunResult {
    // Whether the run got under way (past its confirmation). Until then the
    // tally keeps the rows of the run before, and the rows that run left to
    // fix stay offered.
    bool underWay = false;
    // The rows that failed or have problems, for "Save Failed Rows...".
    std::vector<RowToFix> rowsToFix;
};

// "Start Migration". In this order:
//  1. refuses, with a critical message, unless a workbook is loaded;
//  2. ConnectCompany (request.companyConnection, taking request.lock): on a failure
//     (already reported) the run ends here;
//  3. asks "Are you to continue with Migratiion  <company> "; No ends it;
//  3a. unless it is a dry run, backs up the company's database (see
//     CompanyBackups; the first backup of a company is kept for good): a
//     backup that can't be made ends the run before anything is written,
//     with a critical message that says why and where;
//  4. status lines (one of them says where the backup is) and the
//     hourglass, then RunCategoryStage, RunItemStage and RunLedgerStage, each
//     reporting and handling its own row failures (No to a stage's question
//     ends that stage; the next one still runs);
//  5. the closing status lines (the summary, a line per sheet of how many
//     rows went in and how many did not, the reconciliation, and "Nothing
//     left to migrate: ..." when no row needs anything more); a run that
//     changed no row removes its backup and says so, any other prunes the
//     backups beyond keepBackups; every grid row marked with its outcome
//     (see OutcomeMarks), and "Migration Completed".
// A failure that leaves a stage (a rollback that fails) or the run itself is
// shown without an icon and ends the run; the status lines not yet written
// are not written, the rows are marked. When the database undid the open
// transaction (a full disk), the summary lines and, for a real run, the
// reconciliation are still written, for what the committed batches hold.
// The operator may stop the run (controls.stop, the window's Stop button):
// the stage in progress ends after its row in progress, and the run asks
// whether to go on with the next stage; No (or a window that is closing)
// ends the run there, with the closing lines, the marks and a message that
// says it was stopped.
// The tally is cleared once the run is under way (after 3). Its outcome
// tells how the run ended: NotStarted (1 and 3),
// ConnectionFailed (2), BackupFailed (3a), Stopped (a failure or the
// operator ended it), Completed (5). The company is let go at the end
// (request.lock); request.companyConnection stays open.
RunResult RunMigration(const RunRequest& request, WindowOps& ops);

// The status line after "User opted to migrate Data to Company ...", followed
// by the backup's path.
inline constexpr const char* kBackupStatusPrefix = "Backed up the company database to ";

// A dry run's last status line and message, in place of the real run's.
inline constexpr const char* kDryRunClosingLine =
    "Dry run completed: nothing was written to the company; the lines above say what a real "
    "migration would do.";

}  // namespace ledgerlift
