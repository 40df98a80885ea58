#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/Form1.h"
#include "app/RunReport.h"
#include "app/SaveFailedRows.h"
#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleWindowOps.h"
#include "base/AtomicFile.h"
#include "migration/FailedRowsWorkbook.h"
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

void SelectCompany(ComboBox& combo, const std::string& code) {
    for (int i = 0; i < combo.ListCount(); ++i) {
        if (combo.List(i) == code) {
            combo.SetListIndex(i);
            return;
        }
    }
    // Not listed: the connection step names it in its message.
    combo.AddItem(code);
    combo.SetListIndex(combo.NewIndex());
}

// The rows that need attention, in the workbook the operator asked for.
bool WriteFailedRowsFile(const std::string& path, const Form1& form) {
    try {
        int written = WriteFailedRowsWorkbook(path, form, RowsToFix(form.tally));
        if (written == 0) {
            std::fprintf(stderr,
                         "information: No row needs attention; %s holds the header rows only.\n",
                         path.c_str());
        } else {
            std::fprintf(stderr, "information: %s\n", FailedRowsSavedText(written, path).c_str());
        }
        return true;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return false;
    }
}

}  // namespace

int Migrate(const MigrateOptions& options) {
    Date date = Date::Today();
    if (!options.date.empty() && !Date::FromIso(options.date, date)) {
        std::fprintf(stderr, "error: the date %s is not a date of the form YYYY-MM-DD.\n",
                     options.date.c_str());
        return kExitUsage;
    }
    if (!options.failedRows.empty()) {
        // Before anything is written: a name that can't be written is
        // refused now, not after the run.
        if (WithXlsxExtension(options.failedRows) != options.failedRows) {
            std::fprintf(stderr,
                         "error: the failed rows are written as an .xlsx workbook; name the file "
                         "with .xlsx (%s was given).\n",
                         options.failedRows.c_str());
            return kExitUsage;
        }
        try {
            AtomicFile probe(options.failedRows);
        } catch (const FileError& error) {
            std::fprintf(stderr, "error: %s\n", error.what());
            return kExitUsage;
        }
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
    Form1 form(options.productFolder, ops);
    form.dryRun = options.dryRun;
    form.keepBackups = options.keepBackups;
    form.onStatusLine = [&](const std::string& line) {
        ops.EndProgress();
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    form.tally.onProgress = [&](const char* stage, int done, int total) {
        ops.Progress(stage, done, total);
    };
    if (options.dryRun) {
        std::printf("Dry run: nothing is written to the company database.\n");
    }
    form.Form_Load();
    form.dtpDate.Value = date;
    form.chkUpdateItems.Value = options.updateItems ? 1 : 0;
    SelectCompany(form.txtCompanyName, options.company);

    ops.QueueFile(options.workbook);
    ops.HoldMessages();
    form.cmdLoad_Click();
    ops.ReleaseMessages(!form.blnExcelLoaded);
    if (!form.blnExcelLoaded) {
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
            std::fprintf(stderr, "information: The migration did not run, so %s was not written.\n",
                         options.failedRows.c_str());
        } else if (!WriteFailedRowsFile(options.failedRows, form)) {
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
