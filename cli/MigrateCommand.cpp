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

MigrateCommand::MigrateCommand()
    : CompanyRunCommand({"Load a workbook and migrate it into a company", kWorkbookHelp,
                         "Replace items whose code is already there",
                         "Where the company already holds an item or ledger with another opening "
                         "stock or balance than the workbook's, replace the opening this program "
                         "posted with the workbook's"}) {}

void MigrateCommand::AddRunOptions(CLI::App& command) {
    AddYesOption(command, yes_);
    command
        .add_option("--on-error", onError_,
                    "How to answer \"continue with next data?\": ask (on a terminal), stop or "
                    "continue (default: ask on a terminal, else stop)")
        ->check(CLI::IsMember({"ask", "stop", "continue"}));
    command.add_flag("--dry-run", dryRun_, "Do the whole run, then undo it: nothing is written");
    command.add_option("--report", report_,
                       "Write a CSV file with one line per grid row (the path is checked "
                       "before the run starts)");
    command
        .add_option("--keep-backups", keepBackups_,
                    "How many backups of the company to keep, the newest (default: " +
                        std::to_string(kDefaultKeepBackups) +
                        "); one is made before the first write")
        ->check(CLI::Range(1, 100000));
    command.footer(
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
    if (!FailedRows().empty()) {
        if (!ran) {
            if (!quiet) {
                std::fprintf(stderr,
                             "information: The migration did not run, so %s was not written.\n",
                             FailedRows().c_str());
            }
        } else if (!WriteFailedRowsFile(FailedRows(), session.controls, result.rowsToFix, quiet,
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
    if (!report_.empty() && !FailedRows().empty() && SameFile(report_, FailedRows())) {
        // The report would replace the rows written just before it.
        return "The report and the failed-rows workbook are both to be written to " + report_ +
               "; name a file for each.";
    }
    return CompanyRunCommand::OutputProblem(guard);
}

std::unique_ptr<ConsoleWindowOps> MigrateCommand::StartConsole(bool quiet) const {
    bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    if (!yes_ && !terminal) {
        std::fprintf(stderr,
                     "error: migrating asks for confirmation, and there is no terminal to ask "
                     "on; give --yes to confirm.\n");
        return nullptr;
    }
    auto ops = std::make_unique<ConsoleWindowOps>(
        yes_ ? ConsoleWindowOps::Answer::Yes : ConsoleWindowOps::Answer::Ask,
        OnErrorAnswer(onError_, terminal));
    ops->SetQuiet(quiet);
    ops->PrintStatusLines(!quiet);
    if (dryRun_ && !quiet) {
        std::printf("Dry run: nothing is written to the company database.\n");
    }
    return ops;
}

int MigrateCommand::RunLoaded(CommandSession& session, bool quiet, const OutputGuard& guard) {
    RunOptions options;
    options.dryRun = dryRun_;
    options.keepBackups = keepBackups_;
    RunResult result = RunMigration(session.Request(options), session.Ops());
    session.EndRun();
    return Finish(result, session, quiet, guard);
}

}  // namespace ledgerlift
