#pragma once

#include <functional>
#include <string>

#include "app/cli/Commands.h"
#include "migration/FailedRowsWorkbook.h"
#include "ui/FormControls.h"

namespace CLI {
class App;
}

namespace ledgerlift {

// The command line's part in undoing a run: the commands "backups" and
// "restore", migrate's --keep-backups and --failed-rows, and check's
// --failed-rows.
struct BackupCommands {
    CLI::App* backups = nullptr;
    CLI::App* restore = nullptr;
    bool Parsed() const;
};

using AddToCommand = std::function<void(CLI::App*)>;

// Adds "backups" and "restore" to app; addFolder adds --product-folder.
BackupCommands AddBackupCommands(CLI::App& app, BackupOptions& options,
                                 const AddToCommand& addFolder);
// Adds --keep-backups and --failed-rows to migrate.
void AddBackupOptions(CLI::App& migrate, MigrateOptions& options);
// Adds --failed-rows to a command.
void AddFailedRowsOption(CLI::App& command, std::string& path);

// Why the failed rows could not be written to path ("" when they can, or
// when no path was given): checked before anything is read or written.
std::string FailedRowsPathProblem(const std::string& path);
// Writes the rows that failed or have problems to path, and
// says so on standard error (unless quiet); an error is said whatever.
// Gives whether the file was written.
bool WriteFailedRowsFile(const std::string& path, const FormControls& form,
                         const std::vector<RowToFix>& rows, bool quiet);

// Runs the one of the two commands that was given.
int RunBackupCommand(const BackupCommands& commands, const BackupOptions& options);

}  // namespace ledgerlift
