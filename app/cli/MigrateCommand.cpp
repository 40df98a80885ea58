#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/CsvField.h"
#include "app/Form1.h"
#include "app/RunReport.h"
#include "app/cli/BackupCommands.h"
#include "app/cli/CommandForm.h"
#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleWindowOps.h"
#include "app/cli/OutputPath.h"
#include "migration/mdlStock.h"

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

int Migrate(const MigrateOptions& options) {
    // Before anything is read or written: a report that could not be written
    // at the end would cost the whole run.
    if (!options.report.empty()) {
        std::string problem = FileOutputProblem("The report", options.report);
        if (!problem.empty()) {
            std::fprintf(stderr, "error: %s\n", problem.c_str());
            return kExitUsage;
        }
    }
    std::optional<Date> date = MigrationDateOption(options.date);
    if (!date) {
        return kExitUsage;
    }
    if (std::string problem = FailedRowsPathProblem(options.failedRows); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    if (!options.yes && !terminal) {
        std::fprintf(stderr,
                     "error: migrating asks for confirmation, and there is no terminal to ask "
                     "on; give --yes to confirm.\n");
        return kExitUsage;
    }
    ConsoleWindowOps ops(
        options.yes ? ConsoleWindowOps::Answer::Yes : ConsoleWindowOps::Answer::Ask,
        OnErrorAnswer(options.onError, terminal));
    ops.SetQuiet(options.quiet);
    Form1 form(options.productFolder, ops);
    form.dryRun = options.dryRun;
    form.keepBackups = options.keepBackups;
    form.onStatusLine = [&](const std::string& line) {
        if (options.quiet) {
            return;
        }
        ops.EndProgress();
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    if (options.dryRun && !options.quiet) {
        std::printf("Dry run: nothing is written to the company database.\n");
    }
    if (!LoadForCommand(form, ops, options.workbook, *date, options.updateItems, options.company)) {
        return kExitUsage;
    }
    form.cmdMigrate_Click();
    ops.EndProgress();
    cnCompany.Close();
    if (form.tally.outcome == RunTally::RunOutcome::ConnectionFailed) {
        return kExitConnection;
    }
    if (form.tally.outcome == RunTally::RunOutcome::BackupFailed) {
        return kExitBackup;
    }
    bool ran = form.tally.outcome != RunTally::RunOutcome::NotStarted;
    if (!options.failedRows.empty()) {
        if (!ran) {
            if (!options.quiet) {
                std::fprintf(stderr,
                             "information: The migration did not run, so %s was not written.\n",
                             options.failedRows.c_str());
            }
        } else if (!WriteFailedRowsFile(options.failedRows, form, form.rowsToFix, options.quiet)) {
            return kExitIncomplete;
        }
    }
    if (!options.report.empty()) {
        try {
            WriteRunReport(options.report, form.tally);
        } catch (const DataError& error) {
            std::fprintf(stderr, "error: %s\n", error.what());
            return kExitIncomplete;
        }
    }
    bool completed = form.tally.outcome == RunTally::RunOutcome::Completed;
    return completed && form.tally.AllWritten() ? kExitDone : kExitIncomplete;
}

}  // namespace ledgerlift
