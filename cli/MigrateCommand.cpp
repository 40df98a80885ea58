#include "cli/MigrateCommand.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>

#include "base/AtomicFile.h"
#include "cli/CommandLine.h"
#include "cli/CommandSession.h"
#include "cli/ConsoleWindowOps.h"
#include "cli/FailedRowsFile.h"
#include "company/FileIdentity.h"
#include "reports/RunReport.h"
#include "usecases/RunMigration.h"

namespace ledgerlift {
namespace {

ConsoleWindowOps::Answer OnErrorAnswer(const std::string& option, bool terminal) {
    if (option == "continue") {
        return ConsoleWindowOps::Answer::Yes;
    }
    if (option == "stop" || !terminal) {
        return ConsoleWindowOps::Answer::No;
    }
    return ConsoleWindowOps::Answer::Ask;
}

}  // namespace

void MigrateCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(Name(), "Load a workbook and migrate it into a company");
    command_->add_option("workbook", workbook_, kWorkbookHelp)->required();
    command_->add_option("--company", company_, "The company code")->required();
    command_->add_option("--date", date_, "The migration date, YYYY-MM-DD (default: today)");
    command_->add_flag("--negative-is-credit", negativeIsCredit_,
                       "An opening balance that is negative and says neither Dr nor Cr is a "
                       "credit, and a positive one a debit (without it, such a negative balance "
                       "is an error)");
    command_->add_flag("--update-items", updateItems_, "Replace items whose code is already there");
    command_->add_flag("--replace-openings", replaceOpenings_,
                       "Where the company already holds an item or ledger with another opening "
                       "stock or balance than the workbook's, replace the opening this program "
                       "posted with the workbook's");
    command_->add_flag("--yes", yes_, "Answer the confirmation question with Yes");
    command_
        ->add_option("--on-error", onError_,
                     "How to answer \"continue with next data?\": ask (on a terminal), stop or "
                     "continue (default: ask on a terminal, else stop)")
        ->check(CLI::IsMember({"ask", "stop", "continue"}));
    command_->add_flag("--dry-run", dryRun_, "Do the whole run, then undo it: nothing is written");
    command_->add_option("--report", report_,
                         "Write a CSV file with one line per grid row (the path is checked "
                         "before the run starts)");
    command_
        ->add_option("--keep-backups", keepBackups_,
                     "How many backups of the company to keep, the newest (default: " +
                         std::to_string(kDefaultKeepBackups) +
                         "); one is made before the first write")
        ->check(CLI::Range(1, 100000));
    AddFailedRowsOption(*command_, failedRows_);
    AddProductFolderOption(*command_, common);
    columns_.Register(*command_);
    AddQuietOption(*command_, common);
    command_->footer(
        Footer("ledgerlift migrate opening.xls --company DEMO --date 2024-04-01 --yes "
               "--report report.csv",
               "  0 every row went in, was completed or was already there\n"
               "  1 some rows failed, were written in part, were not reached or differ\n"
               "  2 a usage error, or a workbook that cannot be loaded\n"
               "  3 the company connection failed\n"
               "  4 no backup of the company could be made first: nothing was written"));
}

// What the run's outcome means for the files asked for and the exit status.
int MigrateCommand::Finish(const RunResult& result, const CommandSession& session, bool quiet,
                           const OutputGuard& guard) const {
    const RunTally& tally = session.tally;
    if (tally.outcome == RunTally::RunOutcome::ConnectionFailed) {
        return kExitConnection;
    }
    if (tally.outcome == RunTally::RunOutcome::BackupFailed) {
        return kExitBackup;
    }
    bool ran = tally.outcome != RunTally::RunOutcome::NotStarted;
    if (!failedRows_.empty()) {
        if (!ran) {
            if (!quiet) {
                std::fprintf(stderr,
                             "information: The migration did not run, so %s was not written.\n",
                             failedRows_.c_str());
            }
        } else if (!WriteFailedRowsFile(failedRows_, session.controls, result.rowsToFix, quiet,
                                        guard)) {
            return kExitIncomplete;
        }
    }
    if (!report_.empty()) {
        try {
            WriteRunReport(report_, tally, dryRun_, guard);
        } catch (const FileError& error) {
            std::fprintf(stderr, "error: %s\n", error.what());
            return kExitIncomplete;
        }
    }
    bool completed = tally.outcome == RunTally::RunOutcome::Completed;
    // Every row in the company as the workbook has it: nothing left to do.
    return completed && tally.NothingLeft() ? kExitDone : kExitIncomplete;
}

// Why the files asked for could not be written at the end ("" when they can).
std::string MigrateCommand::OutputProblem(const OutputGuard& guard) const {
    if (!report_.empty()) {
        if (std::string problem = guard.Problem("The report", report_); !problem.empty()) {
            return problem;
        }
    }
    if (!report_.empty() && !failedRows_.empty() && SameFile(report_, failedRows_)) {
        // The report would replace the rows written just before it.
        return "The report and the failed-rows workbook are both to be written to " + report_ +
               "; name a file for each.";
    }
    return FailedRowsPathProblem(failedRows_, guard);
}

int MigrateCommand::Run(const CommonOptions& common) {
    // Before anything is read or written: an output that could not be
    // written at the end would cost the whole run, and one that would replace
    // a company's database, a backup or the workbook must never be written.
    const OutputGuard guard{common.productFolder, workbook_};
    if (std::string problem = OutputProblem(guard); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    std::optional<Date> date = MigrationDateOption(date_);
    if (!date) {
        return kExitUsage;
    }
    bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    if (!yes_ && !terminal) {
        std::fprintf(stderr,
                     "error: migrating asks for confirmation, and there is no terminal to ask "
                     "on; give --yes to confirm.\n");
        return kExitUsage;
    }
    ConsoleWindowOps ops(yes_ ? ConsoleWindowOps::Answer::Yes : ConsoleWindowOps::Answer::Ask,
                         OnErrorAnswer(onError_, terminal));
    ops.SetQuiet(common.quiet);
    ops.PrintStatusLines(!common.quiet);
    if (dryRun_ && !common.quiet) {
        std::printf("Dry run: nothing is written to the company database.\n");
    }
    CommandSession session(common.productFolder, ops);
    std::optional<ColumnChoice> choice = columns_.Choice();
    if (!choice) {
        return kExitUsage;
    }
    session.columns = *choice;
    if (!session.Load(workbook_, *date, updateItems_, company_, !common.quiet)) {
        return kExitUsage;
    }
    session.controls.negativeIsCreditBox.Value = negativeIsCredit_ ? 1 : 0;
    session.controls.replaceOpeningsBox.Value = replaceOpenings_ ? 1 : 0;
    RunOptions options;
    options.dryRun = dryRun_;
    options.keepBackups = keepBackups_;
    RunResult result = RunMigration(session.Request(options), ops);
    ops.EndProgress();
    session.companyConnection.Close();
    return Finish(result, session, common.quiet, guard);
}

}  // namespace ledgerlift
