#include "app/cli/BackupCommands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>

#include "app/SaveFailedRows.h"
#include "app/cli/OutputPath.h"
#include "migration/FailedRowsWorkbook.h"

namespace ledgerlift {

bool BackupCommands::Parsed() const {
    return (backups && backups->parsed()) || (restore && restore->parsed());
}

BackupCommands AddBackupCommands(CLI::App& app, BackupOptions& options,
                                 const AddToCommand& addFolder) {
    BackupCommands commands;
    commands.backups = app.add_subcommand(
        "backups", "List a company's backups, newest first: time, size and what made each");
    commands.backups->add_option("--company", options.company, "The company code")->required();
    addFolder(commands.backups);
    commands.backups->footer(
        "Example:\n  ledgerlift backups --company DEMO\n\nExit status:\n"
        "  0 the backups were listed (or none was found)\n"
        "  2 a usage error, or no product folder was found\n"
        "  3 the company can't be found");

    commands.restore = app.add_subcommand(
        "restore",
        "Put a backup in the place of a company's database; the database as it is is backed up "
        "first");
    commands.restore->add_option("--company", options.company, "The company code")->required();
    commands.restore->add_option("--from", options.from,
                                 "The backup file (default: the company's newest backup)");
    commands.restore->add_flag("--yes", options.yes, "Answer the confirmation question with Yes");
    addFolder(commands.restore);
    commands.restore->footer(
        "Example:\n  ledgerlift restore --company DEMO --yes\n\nExit status:\n"
        "  0 the backup was restored\n"
        "  1 the question was answered No: nothing was restored\n"
        "  2 a usage error, or no product folder was found\n"
        "  3 the company can't be found, or another program is migrating or restoring it\n"
        "  4 the restore was refused or failed: the database is as it was");
    return commands;
}

void AddBackupOptions(CLI::App& migrate, MigrateOptions& options) {
    migrate
        .add_option("--keep-backups", options.keepBackups,
                    "How many backups of the company to keep, the newest (default: " +
                        std::to_string(kDefaultKeepBackups) +
                        "); one is made before the first write")
        ->check(CLI::Range(1, 100000));
    AddFailedRowsOption(migrate, options.failedRows);
}

void AddFailedRowsOption(CLI::App& command, std::string& path) {
    command.add_option("--failed-rows", path,
                       "Write the rows that failed or have problems to this .xlsx workbook, to "
                       "fix and load again (its folder is checked before the run starts)");
}

std::string FailedRowsPathProblem(const std::string& path) {
    if (path.empty()) {
        return "";
    }
    if (WithXlsxExtension(path) != path) {
        return "The failed rows are written as an .xlsx workbook; name the file with .xlsx (" +
               path + " was given).";
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec) &&
        !std::filesystem::is_directory(path, ec)) {
        return "The failed-rows workbook " + path +
               " cannot be written: that name is taken by something that is not a file.";
    }
    return FileOutputProblem("The failed-rows workbook", path);
}

bool WriteFailedRowsFile(const std::string& path, const FormControls& form,
                         const std::vector<RowToFix>& rows, bool quiet) {
    try {
        int written = WriteFailedRowsWorkbook(path, form, rows);
        if (!quiet) {
            std::string said =
                written == 0 ? "No row needs attention; " + path + " holds the header rows only."
                             : FailedRowsSavedText(written, path);
            std::fprintf(stderr, "information: %s\n", said.c_str());
        }
        return true;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return false;
    }
}

int RunBackupCommand(const BackupCommands& commands, const BackupOptions& options) {
    return commands.backups->parsed() ? ListBackups(options) : Restore(options);
}

}  // namespace ledgerlift
